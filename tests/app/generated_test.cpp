// A generated assembly (Japanese names, mixed case, shared sub-assemblies, several folders) renamed
// through the whole road: choose, edit, execute, swap, inspect the result.

#include <set>

#include "dialog_fixture.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"

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

}  // namespace
}  // namespace velmora::app::test
