#include "operations/bulk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "list_building_fixture.h"
#include "operations/list_building.h"
#include "operations/replacement.h"
#include "partlist/part_row.h"
#include "planned_passes.h"
#include "text/mbstring.h"

namespace velmora::operations::test {
namespace {

// --- Which file each row gives the tool, through a tool that records its arguments ----------------

class BulkRowTest : public OperationsFixture {
 protected:
  void SetUp() override {
    state.editToolPath = FakeTool("recorder", "printf '%s|' \"$@\" >> '" + drive.Host("args.log") + "'");
  }
  // The arguments of every run so far, one run per line, cp932 shown as UTF-8.
  std::string Runs() const {
    return text::ToDisplayUtf8(drive.Exists("args.log") ? drive.ReadFile("args.log") : std::string());
  }
};

struct RowCase {
  const char* label;
  Operation operation;
  const char* newName;
  const char* newFolder;
  const char* existingFile;  // created below D: (UTF-8, "/"), or ""
  const char* expected;      // the tool's arguments, or "" when the row is skipped
};

class BulkRowChoiceTest : public BulkRowTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(BulkRowChoiceTest, GivesTheToolTheRowsFile) {
  const RowCase& c = GetParam();
  drive.WriteFile("work/Top.PRT", "part");
  if (*c.existingFile != '\0')
    drive.WriteFile(c.existingFile, "part");
  AddRow("Top.PRT", "D:\\work\\", Cp(c.newName), Cp(c.newFolder));
  state.operation = c.operation;

  EXPECT_EQ(RunBulkOnRow(context, 0, "D:\\in\\"), Step::Done);

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Runs(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BulkRowChoiceTest,
    ::testing::Values(
        RowCase{"LowerDirAsListed", Operation::LowerAllFolders, "", "", "",
                "D:\\work\\Top.PRT|-o|D:\\work\\Top.PRT|-lower_dir|"},
        RowCase{"LowerNameAsListed", Operation::LowerAllParts, "", "", "",
                "D:\\work\\Top.PRT|-o|D:\\work\\top.prt|-lower_name|"},
        RowCase{"UpperNameAsListed", Operation::UpperAllParts, "", "", "",
                "D:\\work\\Top.PRT|-o|D:\\work\\TOP.PRT|-upper_name|"},
        // ソ is 83 5C and ｱ-like trail bytes must not be case-changed.
        RowCase{"UpperNewNameWritten", Operation::UpperAllParts, "ソフトa.prt", "", "work/ソフトa.prt",
                "D:\\work\\ソフトa.prt|-o|D:\\work\\ソフトA.PRT|-upper_name|"},
        RowCase{"LowerNameInNewFolder", Operation::LowerAllParts, "", "D:\\New\\", "New/Top.PRT",
                "D:\\New\\Top.PRT|-o|D:\\New\\top.prt|-lower_name|"},
        RowCase{"LowerDirNewNameAndFolder", Operation::LowerAllFolders, "b.prt", "D:\\New\\", "New/b.prt",
                "D:\\New\\b.prt|-o|D:\\New\\b.prt|-lower_dir|"},
        RowCase{"NewNameWithoutFileSkipped", Operation::UpperAllParts, "b.prt", "", "", ""},
        RowCase{"NewFolderWithoutFileSkipped", Operation::LowerAllFolders, "", "D:\\New\\", "", ""},
        RowCase{"RemoveDirsInInputFolder", Operation::RemoveAllFolders, "", "", "",
                "D:\\in\\Top.PRT|-o|D:\\in\\Top.PRT|-remove_dirs|"},
        RowCase{"RemoveDirsNewNameInInputFolder", Operation::RemoveAllFolders, "b.prt", "D:\\New\\", "",
                "D:\\in\\b.prt|-o|D:\\in\\b.prt|-remove_dirs|"},
        RowCase{"ChangeHasNoBulkRun", Operation::Change, "", "", "", ""}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return std::string(info.param.label); });

TEST_F(BulkRowTest, RemoveDirsWithoutInputFolderIsSkipped) {
  AddRow("top.prt", "D:\\work\\");
  state.operation = Operation::RemoveAllFolders;
  EXPECT_EQ(RunBulkOnRow(context, 0, ""), Step::Done);
  EXPECT_EQ(Runs(), "");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BulkRowTest, ToolOutputBreaksTheRunWithTheRunnersMessage) {
  state.editToolPath = FakeTool("chatty", "echo done");
  drive.WriteFile("work/top.prt", "part");
  AddRow("top.prt", "D:\\work\\");
  state.operation = Operation::LowerAllParts;

  EXPECT_EQ(RunBulkOnRow(context, 0, "D:\\work\\"), Step::Failed);

  EXPECT_EQ(ui.messages,
            std::vector<std::string>{
                "エラーの為か テキストファイル が作成されています。\nD:\\temp\\top-lower_name.txt\n"
                "done\n　実行は中断しました。"});
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>{"top-lower_name.txt"});
}

// --- Each operation on the stand-in tool's real files --------------------------------------------

class BulkOnAssemblyTest : public OperationsFixture {
 protected:
  void SetUp() override {
    state.inputPartPath = drive.MakeAssembly("asm", "--parts 12");
    ASSERT_FALSE(state.inputPartPath.empty());
    ASSERT_EQ(BuildPartList(context), Step::Done) << ui.Last();
    inputFolder = state.inputPartPath.substr(0, text::FindLast(state.inputPartPath, '\\') + 1);
  }

  // Every row, in list order, as the dispatcher runs the bulk pass; then the list is built again
  // from the input part as the swap would.
  void RunOnEveryRowAndRelist(Operation operation, std::string newInput) {
    state.operation = operation;
    for (int row = 0; row < state.partList.RowCount(); ++row)
      ASSERT_EQ(RunBulkOnRow(context, row, inputFolder), Step::Done) << ui.Last();
    state.inputPartPath = std::move(newInput);
    ASSERT_EQ(BuildPartList(context), Step::Done) << ui.Last();
    ASSERT_TRUE(ui.messages.empty()) << ui.Last();
  }

  // The names of the host files in a folder below the drive.
  std::vector<std::string> FilesIn(const std::string& relative) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(drive.Host(relative)))
      if (entry.is_regular_file())
        names.push_back(entry.path().filename().string());
    return names;
  }

  std::string inputFolder;
};

TEST_F(BulkOnAssemblyTest, UpperNamesRenamesEveryFileAndKeepsTheAssembly) {
  const int rows = state.partList.RowCount();
  const std::size_t files = FilesIn("asm").size();

  RunOnEveryRowAndRelist(Operation::UpperAllParts, text::ToLower(state.inputPartPath));

  EXPECT_EQ(state.partList.RowCount(), rows);
  // Row 0 is the input part as the swap names it, lower-cased; the references are upper-cased.
  for (int row = 0; row < rows; ++row) {
    const std::string& name = state.partList.Text(row, partlist::kPartName);
    if (row > 0) {
      EXPECT_EQ(name, text::ToUpper(name));
    }
    EXPECT_EQ(Text(row, partlist::kBefore), "○") << text::ToDisplayUtf8(name);
  }
  // Renamed, none lost, none doubled.
  const std::vector<std::string> after = FilesIn("asm");
  EXPECT_EQ(after.size(), files);
  for (const std::string& name : after)
    EXPECT_EQ(name, text::ToDisplayUtf8(text::ToUpper(Cp(name))));
}

TEST_F(BulkOnAssemblyTest, LowerNamesRenamesEveryFile) {
  const std::size_t files = FilesIn("asm").size();

  RunOnEveryRowAndRelist(Operation::LowerAllParts, text::ToLower(state.inputPartPath));

  for (int row = 0; row < state.partList.RowCount(); ++row) {
    const std::string& name = state.partList.Text(row, partlist::kPartName);
    EXPECT_EQ(name, text::ToLower(name));
    EXPECT_EQ(Text(row, partlist::kBefore), "○");
  }
  const std::vector<std::string> after = FilesIn("asm");
  EXPECT_EQ(after.size(), files);
  for (const std::string& name : after)
    EXPECT_EQ(name, text::ToDisplayUtf8(text::ToLower(Cp(name))));
}

TEST_F(BulkOnAssemblyTest, LowerDirsLowersTheListedFolders) {
  std::map<std::string, std::string> folderBefore;  // by lower-cased name
  for (int row = 0; row < state.partList.RowCount(); ++row)
    folderBefore[text::ToLower(state.partList.Text(row, partlist::kPartName))] =
        state.partList.Text(row, partlist::kFolderName);

  RunOnEveryRowAndRelist(Operation::LowerAllFolders, state.inputPartPath);

  // The same files, each reference's folder now lower case; a reference without a folder still
  // resolves beside its parent, so the input part's own spelling may show through.
  EXPECT_EQ(static_cast<std::size_t>(state.partList.RowCount()), folderBefore.size());
  int lowered = 0;
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    const std::string& folder = state.partList.Text(row, partlist::kFolderName);
    const std::string& before = folderBefore[text::ToLower(state.partList.Text(row, partlist::kPartName))];
    EXPECT_EQ(text::ToLower(folder), text::ToLower(before));
    if (folder != inputFolder) {
      EXPECT_EQ(folder, text::ToLower(folder));
    }
    lowered += folder != before ? 1 : 0;
    EXPECT_EQ(Text(row, partlist::kBefore), "○");
  }
  EXPECT_GT(lowered, 0);
}

TEST_F(BulkOnAssemblyTest, RemoveDirsPutsEveryComponentInItsParentsFolder) {
  // The perform pass first gathers every part file in the input part's folder.
  state.operation = Operation::RemoveAllFolders;
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    const std::string old = state.partList.RowPath(row, false);
    ASSERT_EQ(ReplacePartFile(context, old, "", Cp("実行は中断しました。"), CopyMode::IfMissing, true,
                              inputFolder, row),
              Step::Done)
        << ui.Last();
  }

  RunOnEveryRowAndRelist(Operation::RemoveAllFolders, state.inputPartPath);

  // Without folder information every component resolves beside its parent: the whole assembly now
  // lists in the input part's folder.
  ASSERT_GT(state.partList.RowCount(), 1);
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    EXPECT_EQ(text::ToLower(state.partList.Text(row, partlist::kFolderName)), text::ToLower(inputFolder));
    EXPECT_EQ(Text(row, partlist::kBefore), "○");
  }
}

}  // namespace
}  // namespace velmora::operations::test
