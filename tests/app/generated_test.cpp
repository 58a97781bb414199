// A generated assembly (Japanese names, mixed case, shared sub-assemblies, several folders) renamed
// through the whole road: choose, edit, execute, swap, inspect the result.

#include <set>

#include "dialog_fixture.h"
#include "resources/messages/operations.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"

namespace velmora::app::test {
namespace {

using operations::Operation;

TEST_F(DialogFixture, GeneratedAssemblyRenamedEndToEnd) {
  const std::string top = drive.MakeAssembly("gen", "--parts 40 --seed 11");
  ASSERT_FALSE(top.empty());
  Start();
  ASSERT_TRUE(ChooseInputPart(top));
  const int rows = List().RowCount();
  ASSERT_GT(rows, 30);

  // Every third part and the input part get a new name; the parents are rewritten in place.
  List().SetText(0, partlist::kNewPartName, "top-renamed.prt");
  std::set<std::string> expected{"top-renamed.prt"};
  for (int row = 1; row < rows; ++row) {
    std::string name = List().Text(row, partlist::kPartName);
    if (row % 3 == 0) {
      name = "r" + std::to_string(row) + ".PRT";
      ASSERT_TRUE(dialog.OnEndLabelEdit(row, name));
    }
    expected.insert(text::ToDisplayUtf8(name));
  }
  ui.controlOptions.overwriteAll = 1;
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_EQ(ui.waitCursorDepth, 0);

  EXPECT_TRUE(State().inputPartPath.ends_with("\\top-renamed.prt")) << State().inputPartPath;
  EXPECT_TRUE(StructureResolves(State().inputPartPath));
  ASSERT_EQ(List().RowCount(), rows);
  std::set<std::string> listed;
  for (int row = 0; row < rows; ++row) {
    listed.insert(Cell(row, partlist::kPartName));
    EXPECT_EQ(Cell(row, partlist::kBefore), "○") << row;
  }
  EXPECT_EQ(listed, expected);

  ui.messages.clear();
  Execute(Operation::Inspect);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kInspectCompleted)});
  for (int row = 0; row < rows; ++row)
    EXPECT_NE(Cell(row, partlist::kNumber), "") << row;
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
}

// A run stopped by the program's own checks has written nothing, so it leaves nothing in TEMP that
// would refuse the next run of the same top part.
TEST_F(DialogFixture, RefusedRunsLeaveNothingInTemp) {
  const std::string top = drive.MakeAssembly("gen", "--parts 30 --seed 5");
  ASSERT_FALSE(top.empty());
  Start();
  ASSERT_TRUE(ChooseInputPart(top));
  ASSERT_GT(List().RowCount(), 20);
  const std::vector<std::string> none;

  // The inspection meets a listed file that is not in the list.
  const int renamed = 5;
  const std::string name = List().Text(renamed, partlist::kPartName);
  const std::string folder = List().Text(renamed, partlist::kFolderName);
  ASSERT_TRUE(realHost.CopyFile(folder + name, folder + "copy.prt", true));
  List().SetText(renamed, partlist::kPartName, "copy.prt");
  Execute(Operation::Inspect);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kPcFileNotInList, msg::kTailInspectNotDone)});
  EXPECT_EQ(drive.TempFiles(), none);
  List().SetText(renamed, partlist::kPartName, name);

  // The overwrite rule refuses a change and a bulk run in their check pass.
  ui.messages.clear();
  ASSERT_TRUE(dialog.OnEndLabelEdit(3, "renamed.prt"));
  Execute(Operation::Change);
  Execute(Operation::LowerAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, Msg(msg::kInputPartExists, msg::kTailRunRefused)));
  EXPECT_EQ(drive.TempFiles(), none);

  ui.messages.clear();
  Execute(Operation::Inspect);
  ui.controlOptions.overwriteAll = 1;
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{Msg(msg::kInspectCompleted), Msg(msg::kRunFinished)}));
  EXPECT_EQ(drive.TempFiles(), none);
}

}  // namespace
}  // namespace velmora::app::test
