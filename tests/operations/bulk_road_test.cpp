// The whole road of a case-only rename: the execute button, the check pass, the bulk pass through
// the batch runner and the stand-in tool, the swap and the rebuilt list.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "list_building_fixture.h"
#include "partlist/part_row.h"
#include "text/mbstring.h"

namespace velmora::operations::test {
namespace {

class BulkRoadTest : public OperationsFixture {
 protected:
  BulkRoadTest() {
    // The dialog opens the library session itself.
    if (session.IsOpen())
      (void)session.Close();
  }
  ~BulkRoadTest() override {
    ui.answers.push_back(true);
    dialog.OnCancel();
  }

  void SetUp() override {
    ui.Attach(&dialog.State());
    ASSERT_TRUE(dialog.OnInitDialog()) << ui.Last();
  }

  void Choose(const std::string& inputPart) {
    ui.files.push_back(inputPart);
    dialog.BrowseInputPart();
    ASSERT_TRUE(ui.messages.empty()) << ui.Last();
    ASSERT_GT(dialog.State().partList.RowCount(), 0);
  }

  // Chooses the input part as the browse button does, then runs the operation.
  void Execute(const std::string& inputPart, Operation operation, int overwriteAll) {
    Choose(inputPart);
    Run(operation, overwriteAll);
  }

  void Run(Operation operation, int overwriteAll) {
    ui.controlOperation = operation;
    ui.controlOptions.overwriteAll = overwriteAll;
    dialog.OnExecute();
  }

  std::vector<std::string> FilesIn(const std::string& relative) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(drive.Host(relative)))
      if (entry.is_regular_file())
        names.push_back(entry.path().filename().string());
    return names;
  }

  app::MainDialog dialog{ui, host, cad};
};

TEST_F(BulkRoadTest, SinglePartIsRenamedToItsUpperCaseSpelling) {
  drive.WriteFile("work/top.prt", "VELMORA-PART 1\nsaved-as\ttop.prt\nsaves\t0\nend\n");

  Execute(drive.Win("work/top.prt"), Operation::UpperAllParts, 1);

  EXPECT_EQ(ui.messages, std::vector<std::string>{"実行が正常に終了しました。"});
  EXPECT_EQ(FilesIn("work"), std::vector<std::string>{"TOP.PRT"});
  // The swap listed the renamed file again.
  ASSERT_EQ(dialog.State().partList.RowCount(), 1);
  EXPECT_EQ(text::ToDisplayUtf8(dialog.State().partList.Text(0, partlist::kBefore)), "○");
}

TEST_F(BulkRoadTest, AssemblyIsRenamedToLowerCaseAndStillLists) {
  const std::string input = drive.MakeAssembly("asm", "--parts 15");
  const std::size_t files = FilesIn("asm").size();

  Execute(input, Operation::LowerAllParts, 1);

  EXPECT_EQ(ui.messages, std::vector<std::string>{"実行が正常に終了しました。"});
  const std::vector<std::string> after = FilesIn("asm");
  EXPECT_EQ(after.size(), files);
  for (const std::string& name : after)
    EXPECT_EQ(name, text::ToDisplayUtf8(text::ToLower(Cp(name))));
  const partlist::PartList& list = dialog.State().partList;
  ASSERT_GT(list.RowCount(), 1);
  for (int row = 0; row < list.RowCount(); ++row) {
    EXPECT_EQ(list.Text(row, partlist::kPartName), text::ToLower(list.Text(row, partlist::kPartName)));
    EXPECT_EQ(text::ToDisplayUtf8(list.Text(row, partlist::kBefore)), "○");
  }
}

TEST_F(BulkRoadTest, ChangeToAnotherCaseRenamesTheInputPart) {
  drive.WriteFile("work/top.prt", "VELMORA-PART 1\nsaved-as\ttop.prt\nsaves\t0\nend\n");
  Choose(drive.Win("work/top.prt"));
  ASSERT_TRUE(dialog.OnEndLabelEdit(0, std::string("TOP.PRT")));

  Run(Operation::Change, 1);

  EXPECT_EQ(ui.messages, std::vector<std::string>{"実行が正常に終了しました。"});
  EXPECT_EQ(FilesIn("work"), std::vector<std::string>{"TOP.PRT"});
  EXPECT_EQ(text::ToDisplayUtf8(dialog.State().inputPartPath), "D:\\work\\TOP.PRT");
  ASSERT_EQ(dialog.State().partList.RowCount(), 1);
}

TEST_F(BulkRoadTest, ChangeToAnotherCaseRenamesAComponent) {
  Choose(drive.MakeAssembly("asm", "--parts 8"));
  partlist::PartList& list = dialog.State().partList;
  ASSERT_GT(list.RowCount(), 2);
  int row = 1;
  while (row < list.RowCount() &&
         text::ToUpper(list.Text(row, partlist::kPartName)) == list.Text(row, partlist::kPartName))
    ++row;
  ASSERT_LT(row, list.RowCount()) << "the sample should hold a name that is not all upper case";
  const std::string upper = text::ToUpper(list.Text(row, partlist::kPartName));
  const std::size_t files = FilesIn("asm").size();
  ASSERT_TRUE(dialog.OnEndLabelEdit(row, upper));

  Run(Operation::Change, 1);

  EXPECT_EQ(ui.messages, std::vector<std::string>{"実行が正常に終了しました。"});
  const std::vector<std::string> after = FilesIn("asm");
  EXPECT_EQ(after.size(), files);
  EXPECT_NE(std::find(after.begin(), after.end(), text::ToDisplayUtf8(upper)), after.end());
  EXPECT_GE(list.FindRow(partlist::kPartName, upper), 0);
  for (int r = 0; r < list.RowCount(); ++r)
    EXPECT_EQ(text::ToDisplayUtf8(list.Text(r, partlist::kBefore)), "○");
}

}  // namespace
}  // namespace velmora::operations::test
