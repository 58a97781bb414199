// The three browse buttons: file dialogs, checks and re-open loops.

#include "dialog_fixture.h"
#include "resources/messages/operations.h"
#include "resources/messages/session.h"
#include "resources/messages/tails.h"

namespace velmora::app::test {
namespace {

enum class Button { EditTool, PcTool };

struct BrowseCase {
  const char* name;
  Button button;
  std::vector<std::string> files;  // dialog answers, cp932 (ASCII here); "" cancels
  std::vector<std::string_view> messages;
  std::string field;  // afterwards
  std::size_t dialogs;
};

class BrowseToolTest : public DialogFixture, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(BrowseToolTest, ChecksTheFileNameAndReopensOnAWrongFile) {
  const BrowseCase& c = GetParam();
  std::string& field = c.button == Button::EditTool ? State().editToolPath : State().pcToolPath;
  field = "D:\\before\\tool.exe";
  for (const std::string& file : c.files)
    ui.files.push_back(file);
  if (c.button == Button::EditTool)
    dialog.BrowseEditTool();
  else
    dialog.BrowsePcTool();
  std::vector<std::string> expected;
  for (std::string_view message : c.messages)
    expected.push_back(Msg(message));
  EXPECT_EQ(ui.messages, expected);
  EXPECT_EQ(field, c.field);
  EXPECT_EQ(ui.fileRequests.size(), c.dialogs);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, BrowseToolTest,
    ::testing::Values(
        BrowseCase{"EditAcceptedAsGiven",
                   Button::EditTool,
                   {"D:\\cad\\UG_Edit_Part_Names.EXE"},
                   {},
                   "D:\\cad\\UG_Edit_Part_Names.EXE",
                   1},
        BrowseCase{"EditCancelClears", Button::EditTool, {""}, {}, "", 1},
        BrowseCase{"EditNoSeparator",
                   Button::EditTool,
                   {"ug_edit_part_names.exe"},
                   {msg::kEditToolNoSeparator},
                   "",
                   1},
        BrowseCase{"EditSeparatorFirst",
                   Button::EditTool,
                   {"\\ug_edit_part_names.exe"},
                   {msg::kEditToolNoSeparator},
                   "",
                   1},
        BrowseCase{"EditWrongThenRight",
                   Button::EditTool,
                   {"D:\\cad\\ugpc.exe", "D:\\cad\\ug_edit_part_names.exe"},
                   {msg::kEditToolWrongFile},
                   "D:\\cad\\ug_edit_part_names.exe",
                   2},
        BrowseCase{"EditWrongThenCancel",
                   Button::EditTool,
                   {"D:\\cad\\ugpc.exe", ""},
                   {msg::kEditToolWrongFile},
                   "",
                   2},
        BrowseCase{"PcAcceptedAsGiven", Button::PcTool, {"D:\\cad\\UGPC.EXE"}, {}, "D:\\cad\\UGPC.EXE", 1},
        BrowseCase{"PcNoSeparator", Button::PcTool, {"ugpc.exe"}, {msg::kPcToolNoSeparator}, "", 1},
        BrowseCase{"PcWrongTwiceThenRight",
                   Button::PcTool,
                   {"D:\\cad\\ug_edit_part_names.exe", "D:\\cad\\ugpc.exe.bak", "D:\\x\\ugpc.exe"},
                   {msg::kPcToolWrongFile, msg::kPcToolWrongFile},
                   "D:\\x\\ugpc.exe",
                   3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogFixture, ToolDialogsAskForExecutables) {
  dialog.BrowseEditTool();
  dialog.BrowsePcTool();
  ASSERT_EQ(ui.fileRequests.size(), 2u);
  const char* names[] = {"ug_edit_part_names.exe", "ugpc.exe"};
  const std::string_view titles[] = {msg::kEditToolDialogTitle, msg::kPcToolDialogTitle};
  for (int i = 0; i < 2; ++i) {
    const platform::FileDialogRequest& request = ui.fileRequests[i];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.defaultExtension, "exe");
    EXPECT_EQ(request.initialName, names[i]);
    EXPECT_EQ(request.flags, 0x1004u);
    EXPECT_EQ(request.filter, Cp(msg::kExeFilter));
    EXPECT_EQ(request.title, Cp(titles[i]));
  }
}

TEST_F(DialogFixture, InputPartDialogAsksForPartFiles) {
  dialog.BrowseInputPart();
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  const platform::FileDialogRequest& request = ui.fileRequests[0];
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.defaultExtension, "prt");
  EXPECT_EQ(request.initialName, "*.prt");
  EXPECT_EQ(request.flags, 0x1004u);
  EXPECT_EQ(request.filter, Cp(msg::kPrtFilter));
  EXPECT_EQ(request.title, Cp(msg::kInputPartDialogTitle));
}

TEST_F(DialogFixture, InputPartWithoutExtensionIsRefused) {
  ui.files = {"D:\\work\\model", ".prt"};
  State().inputPartPath = "D:\\work\\old.prt";
  dialog.BrowseInputPart();
  EXPECT_EQ(State().inputPartPath, "");
  dialog.BrowseInputPart();
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{Msg(msg::kInputPartNoExtension), Msg(msg::kInputPartNoExtension)}));
}

TEST_F(DialogFixture, WrongExtensionReopensAndCancelKeepsTheRows) {
  AddRow("old.prt", "D:\\work\\");
  State().inputPartPath = "D:\\work\\old.prt";
  // A dot in a folder name is the last dot when the file has none.
  ui.files = {"D:\\work\\model.prt.bak", "D:\\v1.prt\\model", ""};
  dialog.BrowseInputPart();
  EXPECT_EQ(ui.messages, (std::vector<std::string>{Msg(msg::kInputPartNotPrt), Msg(msg::kInputPartNotPrt)}));
  EXPECT_EQ(ui.fileRequests.size(), 3u);
  EXPECT_EQ(State().inputPartPath, "");
  EXPECT_EQ(List().RowCount(), 1);
}

TEST_F(DialogFixture, FailedListBuildEmptiesTheInputField) {
  Start();
  EXPECT_FALSE(ChooseInputPart(drive.Win("work/none.PRT")));
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kInputPartNotFound, msg::kTailListNotBuilt)});
}

}  // namespace
}  // namespace velmora::app::test
