// Start-up, quitting and the list's resize rule.

#include "resources/messages/session.h"

#include <stdlib.h>

#include "dialog_fixture.h"

namespace velmora::app::test {
namespace {

struct GeometryCase {
  int cx, cy;
  int width, height;
};

class ListGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ListGeometryTest, GrowsFromTheTemplateSizeAndNeverShrinks) {
  const GeometryCase& c = GetParam();
  const ListGeometry geometry = ListGeometryForClient(c.cx, c.cy);
  EXPECT_EQ(geometry.x, 9);
  EXPECT_EQ(geometry.y, 236);
  EXPECT_EQ(geometry.width, c.width);
  EXPECT_EQ(geometry.height, c.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ListGeometryTest,
                         ::testing::Values(GeometryCase{984, 301, 963, 57}, GeometryCase{983, 300, 963, 57},
                                           GeometryCase{985, 302, 964, 58},
                                           GeometryCase{1600, 900, 1579, 656},
                                           GeometryCase{400, 900, 963, 656}, GeometryCase{0, 0, 963, 57}));

using SessionTest = DialogFixture;

TEST_F(SessionTest, StartFindsBothToolsAndShowsTheDefaults) {
  ui.controlOptions.swapInputAfterRun = 0;
  ui.controlOptions.allowReplaceAll = 0;
  ui.controlOperation = operations::Operation::Change;
  Start();
  EXPECT_EQ(State().editToolPath, drive.EditTool());
  EXPECT_EQ(State().pcToolPath, drive.PcTool());
  EXPECT_EQ(State().inputPartPath, "");
  EXPECT_EQ(List().RowCount(), 0);
  // The controls now show the defaults of a fresh start.
  EXPECT_EQ(ui.controlOptions.swapInputAfterRun, 1);
  EXPECT_EQ(ui.controlOptions.allowReplaceAll, 1);
  EXPECT_EQ(ui.controlOptions.applyToSameFolders, 0);
  EXPECT_EQ(ui.controlOperation, operations::Operation::Inspect);
}

struct RootCase {
  const char* name;
  int kind;  // 0 unset, 1 host folder without separator, 2 Windows folder with separator
  bool found;
};

class ToolDiscoveryTest : public DialogFixture, public ::testing::WithParamInterface<RootCase> {};

TEST_P(ToolDiscoveryTest, RootIsAPrefixWithoutAddedSeparator) {
  const RootCase& c = GetParam();
  if (c.kind == 0)
    unsetenv("UGII_ROOT_DIR");
  else if (c.kind == 1)
    setenv("UGII_ROOT_DIR", VELMORA_CAD_DIR, 1);
  else
    setenv("UGII_ROOT_DIR", (drive.EditTool().substr(0, drive.EditTool().rfind('\\') + 1)).c_str(), 1);
  EXPECT_TRUE(Init());
  if (c.found) {
    EXPECT_EQ(ui.messages, std::vector<std::string>());
    EXPECT_EQ(State().editToolPath, drive.EditTool());
    EXPECT_EQ(State().pcToolPath, drive.PcTool());
  } else {
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{Msg(msg::kEditToolMissingAtStart), Msg(msg::kPcToolMissingAtStart)}));
    EXPECT_EQ(State().editToolPath, "");
    EXPECT_EQ(State().pcToolPath, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Roots, ToolDiscoveryTest,
                         ::testing::Values(RootCase{"Unset", 0, false},
                                           RootCase{"NoTrailingSeparator", 1, false},
                                           RootCase{"WindowsFormWithSeparator", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionTest, FailedLibraryStartEndsTheDialogAfterTheToolChecks) {
  setenv("VELMORA_UF_FAIL", "UF_initialize", 1);
  unsetenv("UGII_ROOT_DIR");
  EXPECT_FALSE(Init());
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{Msg(msg::kUfInitializeFailed), Msg(msg::kEditToolMissingAtStart),
                                      Msg(msg::kPcToolMissingAtStart)}));
}

TEST_F(SessionTest, FailedLibraryStartStillFillsTheToolPaths) {
  setenv("VELMORA_UF_FAIL", "UF_initialize", 1);
  EXPECT_FALSE(Init());
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kUfInitializeFailed)});
  EXPECT_EQ(State().editToolPath, drive.EditTool());
}

TEST_F(SessionTest, QuitAnsweredNoKeepsEverything) {
  Start();
  AddRow("a.prt", "D:\\work\\");
  ui.answers.push_back(false);
  EXPECT_FALSE(dialog.OnCancel());
  EXPECT_EQ(ui.questions, std::vector<std::string>{Msg(msg::kQuitQuestion)});
  EXPECT_EQ(ui.messages, std::vector<std::string>());
  EXPECT_EQ(List().RowCount(), 1);
  EXPECT_EQ(cad.calls, std::vector<std::string>{"initialize"});
}

TEST_F(SessionTest, QuitAnsweredYesClosesTheSession) {
  Start();
  ui.answers.push_back(true);
  EXPECT_TRUE(Quit());
  EXPECT_EQ(ui.questions, std::vector<std::string>{Msg(msg::kQuitQuestion)});
  EXPECT_EQ(ui.messages, std::vector<std::string>());
  EXPECT_EQ(cad.calls, (std::vector<std::string>{"initialize", "terminate"}));
}

TEST_F(SessionTest, FailedSessionEndIsReportedAndTheDialogClosesAnyway) {
  Start();
  setenv("VELMORA_UF_FAIL", "UF_terminate", 1);
  ui.answers.push_back(true);
  EXPECT_TRUE(dialog.OnCancel());
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kUfTerminateFailed)});
}

}  // namespace
}  // namespace velmora::app::test
