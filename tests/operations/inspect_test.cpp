// The state columns of the inspection, the single-row case and the closing of the ugpc output,
// with files held in memory. The full inspection with its ugpc run is in inspect_e2e_test.cpp.

#include "operations/inspect.h"

#include <gtest/gtest.h>

#include "structure_test_support.h"
#include "text/codec.h"

namespace velmora::operations::test {
namespace {

struct Row {
  std::string path;
  std::string newName;
  std::string newFolder;
};

struct CollisionCase {
  const char* name;
  std::vector<Row> rows;
  std::string duplicate;  // column 7 of every row
};

class CollisionTest : public StructureFixture, public ::testing::WithParamInterface<CollisionCase> {};

TEST_P(CollisionTest, FlagsEveryRowWhosePathMeetsAnother) {
  for (const Row& row : GetParam().rows)
    AddRow(row.path, row.newName, row.newFolder);
  EXPECT_EQ(RunInspect(context, PassMode::Check, text::Cp932("C:\\w\\")), Step::Done);
  std::string marks;
  for (int row = 0; row < state.partList.RowCount(); ++row)
    marks += Text(row, partlist::kDuplicate);
  EXPECT_EQ(marks, GetParam().duplicate);
  EXPECT_EQ(Messages(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Collisions, CollisionTest,
    ::testing::Values(
        CollisionCase{
            "Distinct",
            {{"C:\\w\\a.prt", "", ""}, {"C:\\w\\b.prt", "x.prt", ""}, {"C:\\w\\c.prt", "", "C:\\n\\"}},
            "○○○"},
        CollisionCase{"SameOldPathInOtherCase", {{"C:\\w\\a.prt", "", ""}, {"c:\\W\\A.PRT", "", ""}}, "ＸＸ"},
        CollisionCase{"NewMeetsOld",
                      {{"C:\\w\\a.prt", "", ""}, {"C:\\w\\b.prt", "A.prt", ""}, {"C:\\w\\c.prt", "", ""}},
                      "ＸＸ○"},
        CollisionCase{
            "OldMeetsLaterNew", {{"C:\\w\\b.prt", "", "C:\\n\\"}, {"C:\\n\\b.prt", "", ""}}, "ＸＸ"},
        CollisionCase{
            "NewMeetsNew",
            {{"C:\\w\\a.prt", "", ""}, {"C:\\w\\b.prt", "x.prt", ""}, {"C:\\v\\c.prt", "x.prt", "C:\\w\\"}},
            "○ＸＸ"},
        // A new name that spells the row's own path differently meets no other row.
        CollisionCase{"OwnPathAgain", {{"C:\\w\\a.prt", "A.PRT", ""}, {"C:\\w\\b.prt", "", ""}}, "○○"},
        // Row 2 meets only row 0, which already met row 1: a scan that stops at a row's first
        // collision would leave row 2 unflagged.
        CollisionCase{
            "EveryPartnerFlagged",
            {{"C:\\w\\a.prt", "x.prt", ""}, {"C:\\w\\x.prt", "", ""}, {"C:\\w\\b.prt", "a.prt", ""}},
            "ＸＸＸ"},
        CollisionCase{
            "JapaneseNames", {{"C:\\表\\ソ.prt", "", ""}, {"C:\\表\\能.prt", "ソ.PRT", ""}}, "ＸＸ"}),
    [](const ::testing::TestParamInfo<CollisionCase>& info) { return std::string(info.param.name); });

TEST_F(StructureFixture, InspectMarksExistenceAndClearsTheStructureColumns) {
  AddRow("C:\\w\\a.prt", "a2.prt");
  AddRow("C:\\w\\b.prt");
  AddRow("C:\\w\\c.prt", "", "C:\\n\\");
  memory.files[text::Cp932("C:\\w\\a.prt")] = "part";
  memory.files[text::Cp932("c:\\n\\c.prt")] = "part";
  for (int row = 0; row < 3; ++row) {
    for (const int column : {partlist::kEdited, partlist::kParent, partlist::kNumber})
      state.partList.SetText(row, column, "1");
  }
  EXPECT_EQ(RunInspect(context, PassMode::Check, text::Cp932("C:\\w\\")), Step::Done);
  std::string columns;
  for (int row = 0; row < 3; ++row) {
    for (const int column :
         {partlist::kBefore, partlist::kAfter, partlist::kEdited, partlist::kParent, partlist::kNumber})
      columns += "[" + Text(row, column) + "]";
  }
  EXPECT_EQ(columns,
            "[○][Ｘ][][][]"
            "[Ｘ][][][][]"
            "[Ｘ][○][][][]");
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(host.Count(velmora::testing::Call::StartBatch), 0);
}

TEST_F(StructureFixture, InspectOfASingleRowStartsNoTool) {
  AddRow("C:\\w\\a.prt", "a2.prt");
  memory.files[text::Cp932("C:\\w\\a.prt")] = "part";
  state.inputPartPath = text::Cp932("C:\\w\\a.prt");
  EXPECT_EQ(RunInspect(context, PassMode::Inspect, text::Cp932("C:\\w\\")), Step::Done);
  EXPECT_EQ(Messages(), "[検査を完了しました。]");
  EXPECT_EQ(Text(0, partlist::kParent) + "/" + Text(0, partlist::kNumber) + Text(0, partlist::kEdited),
            "0/1Ｖ");
  EXPECT_EQ(host.Count(velmora::testing::Call::StartBatch), 0);
}

TEST_F(StructureFixture, InspectOfAnEmptyListOnlyCloses) {
  EXPECT_EQ(RunInspect(context, PassMode::Inspect, {}), Step::Done);
  EXPECT_EQ(Messages(), "[検査を完了しました。]");
}

TEST_F(StructureFixture, InspectStopsWhenTheToolCannotRun) {
  AddRow("C:\\w\\a.prt");
  AddRow("C:\\w\\b.prt");
  state.inputPartPath = text::Cp932("C:\\w\\a.prt");
  memory.env.erase("TEMP");
  EXPECT_EQ(RunInspect(context, PassMode::Inspect, text::Cp932("C:\\w\\")), Step::Failed);
  EXPECT_EQ(Messages(), "[環境変数に TEMP が設定されていません。\n　検査は出来ていません。]");
}

class ClosePcOutputTest : public StructureFixture {
 protected:
  bool Close() {
    ListingBytes("C:\\w\\a.prt\r\n");
    return ClosePcOutput(context, *stream, kListingPath, text::Cp932("検査は完了しました。")) == Step::Failed;
  }
};

TEST_F(ClosePcOutputTest, ClosesAndDeletes) {
  EXPECT_FALSE(Close());
  EXPECT_FALSE(stream->IsOpen());
  EXPECT_FALSE(memory.files.contains(kListingPath));
  EXPECT_EQ(Messages(), "");
}

TEST_F(ClosePcOutputTest, ReportsAFailedClose) {
  host.Fail(velmora::testing::Call::StreamClose, "ugpc");
  EXPECT_TRUE(Close());
  EXPECT_TRUE(memory.files.contains(kListingPath));
  EXPECT_EQ(Messages(), "[UGPC の テキストファイル を閉じるのに失敗しました。\n　検査は完了しました。]");
}

TEST_F(ClosePcOutputTest, ReportsAFailedRemove) {
  host.Fail(velmora::testing::Call::Remove, "ugpc");
  EXPECT_TRUE(Close());
  EXPECT_EQ(Messages(), "[UGPC の テキストファイル の削除に失敗しました。\n　検査は完了しました。]");
}

}  // namespace
}  // namespace velmora::operations::test
