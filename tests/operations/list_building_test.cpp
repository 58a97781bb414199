#include "operations/list_building.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list_building_fixture.h"
#include "partlist/part_row.h"
#include "text/mbstring.h"

namespace velmora::operations::test {
namespace {

using velmora::testing::Call;

// --- CheckInputs -------------------------------------------------------------------------------

struct InputCase {
  const char* label;
  const char* editTool;  // "ok": the stand-in tool; "missing": a path with nothing there
  const char* pcTool;
  const char* inputPart;
  const char* expected;  // "" when the check passes
};

class CheckInputsTest : public OperationsFixture, public ::testing::WithParamInterface<InputCase> {};

TEST_P(CheckInputsTest, ShowsTheFirstFailedTestOnly) {
  const InputCase& c = GetParam();
  drive.WriteFile("work/top.prt", "part");
  const auto pick = [&](std::string_view kind, const std::string& good, std::string_view missingName) {
    if (kind == "ok")
      return good;
    if (kind == "missing")
      return drive.Win(missingName);
    return std::string();
  };
  state.editToolPath = pick(c.editTool, drive.EditTool(), "nowhere/ug_edit_part_names.exe");
  state.pcToolPath = pick(c.pcTool, drive.PcTool(), "nowhere/ugpc.exe");
  state.inputPartPath = pick(c.inputPart, drive.Win("work/top.prt"), "work/gone.prt");

  const bool failed = CheckInputs(context, Cp("検査は出来ていません。")) == Step::Failed;

  if (std::string(c.expected).empty()) {
    EXPECT_FALSE(failed);
    EXPECT_TRUE(ui.messages.empty());
  } else {
    EXPECT_TRUE(failed);
    EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(c.expected) + "\n　検査は出来ていません。"});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Order, CheckInputsTest,
    ::testing::Values(InputCase{"AllGiven", "ok", "ok", "ok", ""},
                      InputCase{"NothingChosen", "", "", "", "UG_EDIT_PART_NAMES.exe が選択されていません。"},
                      InputCase{"EditToolEmptyBeatsMissingInput", "", "ok", "missing",
                                "UG_EDIT_PART_NAMES.exe が選択されていません。"},
                      InputCase{"PcToolEmpty", "ok", "", "ok", "UGPC.exe が選択されていません。"},
                      InputCase{"InputEmptyBeatsMissingTools", "missing", "missing", "",
                                "入力パート が選択されていません。"},
                      InputCase{"EditToolMissing", "missing", "missing", "missing",
                                "UG_EDIT_PART_NAMES.exe が見つかりません。"},
                      InputCase{"PcToolMissing", "ok", "missing", "missing", "UGPC.exe が見つかりません。"},
                      InputCase{"InputMissing", "ok", "ok", "missing", "入力パート が見つかりません。"}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.label); });

// --- BuildPartList over a listing the test controls ---------------------------------------------

class BuildFromListingTest : public OperationsFixture {
 protected:
  // The edit tool prints the given listing (cp932 bytes) whatever it is asked.
  void ListingIs(std::string_view listing) {
    drive.WriteFile("listing.txt", listing);
    state.editToolPath = FakeTool("lister", "cat '" + drive.Host("listing.txt") + "'");
  }

  void SetUp() override {
    drive.WriteFile("work/top.prt", "part");
    drive.WriteFile("work/sub/表示.prt", "part");
    state.inputPartPath = drive.Win("work/top.prt");
  }
};

TEST_F(BuildFromListingTest, FillsRowsInTheToolsOrderWithTheExistenceMark) {
  // "表" is 95 5C: its second byte must not split the name.
  ListingIs(Cp("top.prt (D:\\work)\r\n表示.prt (D:\\work\\sub)\r\nMissing.PRT (D:\\work)\r\n"));
  AddRow("old.prt", "D:\\old\\");
  state.partList.SortByColumn(1);
  state.operation = Operation::UpperAllParts;
  ui.controlOperation = Operation::UpperAllParts;
  ui.controlOptions.overwriteAll = 1;
  ui.controlOptions.copyMissingFiles = 0;

  ASSERT_EQ(BuildPartList(context), Step::Done);

  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(state.partList.RowCount(), 3);
  const char* expected[3][3] = {{"top.prt", "D:\\work\\", "○"},
                                {"表示.prt", "D:\\work\\sub\\", "○"},
                                {"Missing.PRT", "D:\\work\\", "Ｘ"}};
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(Text(row, partlist::kPartName), expected[row][0]);
    EXPECT_EQ(Text(row, partlist::kFolderName), expected[row][1]);
    EXPECT_EQ(Text(row, partlist::kBefore), expected[row][2]);
    EXPECT_EQ(state.partList.Row(row).itemData, row);
    for (int column : {0, 3, 4, 6, 7, 8, 9})
      EXPECT_EQ(Text(row, column), "") << "column " << column;
  }
  EXPECT_TRUE(drive.TempFiles().empty());
  for (int flag : state.partList.SortAscending())
    EXPECT_EQ(flag, 1);
  // The operation returns to inspect; the check boxes keep what the user set on the controls.
  EXPECT_EQ(state.operation, Operation::Inspect);
  EXPECT_EQ(ui.controlOperation, Operation::Inspect);
  EXPECT_EQ(state.options.overwriteAll, 1);
  EXPECT_EQ(state.options.copyMissingFiles, 0);
  EXPECT_EQ(ui.controlOptions.overwriteAll, 1);
}

TEST_F(BuildFromListingTest, EmptyListingGivesAnEmptyListAndSuccess) {
  ListingIs("");
  AddRow("old.prt", "D:\\old\\");
  state.operation = Operation::Change;
  ui.controlOperation = Operation::Change;

  EXPECT_EQ(BuildPartList(context), Step::Done);

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(state.partList.RowCount(), 0);
  EXPECT_TRUE(drive.TempFiles().empty());
  EXPECT_EQ(state.operation, Operation::Inspect);
}

// A bad line keeps the rows above it; the listing goes with the failed build, so that the next one
// is not refused for it and meets the same line again.
TEST_F(BuildFromListingTest, BadLineKeepsTheRowsAboveAndNothingInTheWay) {
  ListingIs(
      Cp("top.prt (D:\\work)\r\n表示.prt (D:\\work\\sub)\r\nbroken.prt D:\\work\r\nlast.prt (D:\\work)\r\n"));
  state.operation = Operation::Change;
  ui.controlOperation = Operation::Change;

  EXPECT_EQ(BuildPartList(context), Step::Failed);

  const std::vector<std::string> badLine{
      "テキストファイル に ( か ) が無い行が有ります。\n　リストは完成していません。"};
  EXPECT_EQ(ui.messages, badLine);
  ASSERT_EQ(state.partList.RowCount(), 2);
  EXPECT_EQ(Text(1, partlist::kPartName), "表示.prt");
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
  EXPECT_EQ(state.operation, Operation::Change);

  ui.messages.clear();
  EXPECT_EQ(BuildPartList(context), Step::Failed);
  EXPECT_EQ(ui.messages, badLine);
  EXPECT_EQ(state.partList.RowCount(), 2);
}

TEST_F(BuildFromListingTest, FailedCheckEmptiesTheOldList) {
  ListingIs("top.prt (D:\\work)\r\n");
  AddRow("old.prt", "D:\\old\\");
  state.pcToolPath.clear();

  EXPECT_EQ(BuildPartList(context), Step::Failed);

  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"UGPC.exe が選択されていません。\n　リストを作成出来ません。"});
  EXPECT_EQ(state.partList.RowCount(), 0);
}

TEST_F(BuildFromListingTest, FailingToolRunStopsWithTheRunnersMessage) {
  state.editToolPath = FakeTool("complainer", "echo broken >&2");

  EXPECT_EQ(BuildPartList(context), Step::Failed);

  EXPECT_EQ(ui.messages,
            std::vector<std::string>{
                "エラーの為と思われる ログファイル が作成されています。\nD:\\temp\\top-list.log\nbroken\n　"
                "リストを作成出来ません。"});
  EXPECT_EQ(state.partList.RowCount(), 0);
}

struct ListingFileFault {
  const char* label;
  Call call;
  const char* expected;
  int rows;          // rows in the list afterwards
  bool listingLeft;  // the .txt still in TEMP: never, whatever failed
};

class ListingFileFaultTest : public BuildFromListingTest,
                             public ::testing::WithParamInterface<ListingFileFault> {};

TEST_P(ListingFileFaultTest, ShowsItsOwnMessage) {
  const ListingFileFault& c = GetParam();
  ListingIs("top.prt (D:\\work)\r\n");
  host.Fail(c.call, "top-list.txt");

  EXPECT_EQ(BuildPartList(context), Step::Failed);

  EXPECT_EQ(ui.messages, std::vector<std::string>{c.expected});
  EXPECT_EQ(state.partList.RowCount(), c.rows);
  EXPECT_EQ(drive.TempFiles().size(), c.listingLeft ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ListingFileFaultTest,
    ::testing::Values(
        ListingFileFault{"Open", Call::Open,
                         "テキストファイル を開くのに失敗しました。\n　リストを作成出来ません。", 0, false},
        ListingFileFault{"Close", Call::StreamClose, "テキストファイル を閉じるのに失敗しました。", 1, false},
        // A removal that failed is tried once more as the build ends.
        ListingFileFault{"Remove", Call::Remove, "テキストファイル の削除に失敗しました。", 1, false},
        ListingFileFault{"Read", Call::StreamRead,
                         "テキストファイル の読込みエラーが発生しました。\n　リストは完成していません。", 0,
                         false}),
    [](const ::testing::TestParamInfo<ListingFileFault>& info) { return std::string(info.param.label); });

// --- BuildPartList over the stand-in tool and a generated assembly -------------------------------

TEST_F(OperationsFixture, BuildsTheListOfAGeneratedAssembly) {
  state.inputPartPath = drive.MakeAssembly("asm", "--parts 40 --missing 3");
  ASSERT_FALSE(state.inputPartPath.empty());

  ASSERT_EQ(BuildPartList(context), Step::Done) << ui.Last();

  const partlist::PartList& list = state.partList;
  ASSERT_GT(list.RowCount(), 1);
  EXPECT_EQ(list.FindRow(partlist::kFolderName, state.inputPartPath), 0);
  int missing = 0;
  bool trailByteIsBackslash = false;
  for (int row = 0; row < list.RowCount(); ++row) {
    const std::string path = list.RowPath(row, false);
    const bool exists = realHost.Stat(path).has_value();
    EXPECT_EQ(Text(row, partlist::kBefore), exists ? "○" : "Ｘ") << text::ToDisplayUtf8(path);
    missing += exists ? 0 : 1;
    EXPECT_EQ(list.Text(row, partlist::kFolderName).back(), '\\');
    const std::string& name = list.Text(row, partlist::kPartName);
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
      if (text::IsLeadByte(static_cast<unsigned char>(name[i]))) {
        trailByteIsBackslash |= name[i + 1] == '\\';
        ++i;
      }
    }
  }
  EXPECT_EQ(missing, 3);
  EXPECT_TRUE(trailByteIsBackslash) << "the sample should hold a name like 表 (95 5C)";
  EXPECT_TRUE(drive.TempFiles().empty());
}

}  // namespace
}  // namespace velmora::operations::test
