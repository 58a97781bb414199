// The reader of the ugpc structure listing, driven through the inspect pass (mode 0) over
// hand-written listings, and directly for its look-ahead.

#include "operations/structure_reader.h"

#include <gtest/gtest.h>

#include "operations/structure_pass.h"
#include "structure_test_support.h"
#include "text/codec.h"

namespace velmora::operations::test {
namespace {

constexpr std::string_view kTail = "検査は出来ていません。";

struct ListingCase {
  const char* name;
  std::vector<std::string> rows;   // part paths; the first is the input part
  std::vector<std::string> lines;  // the listing
  std::string numbers;             // "parent/number" per row, as Numbers() gives them
  std::string message;             // the one message expected, tail included; empty for success
};

class ListingTest : public StructureFixture, public ::testing::WithParamInterface<ListingCase> {};

TEST_P(ListingTest, NumbersRowsOrRefusesTheListing) {
  const ListingCase& c = GetParam();
  for (const std::string& row : c.rows)
    AddRow(row);
  state.inputPartPath = text::Cp932(c.rows.front());
  Listing(c.lines);
  const bool failed = Pass(PassMode::Inspect, kTail);
  EXPECT_EQ(failed, !c.message.empty());
  EXPECT_EQ(Messages(), c.message.empty() ? "" : "[" + c.message + "]");
  EXPECT_EQ(Numbers(), c.numbers);
  // Success keeps the listing open for the next pass; failure has closed it.
  EXPECT_EQ(stream->IsOpen(), !failed);
}

const std::vector<std::string> kFour = {"C:\\w\\a.prt", "C:\\w\\b.prt", "C:\\w\\c.prt", "C:\\w\\d.prt"};
const std::vector<std::string> kFive = {"C:\\w\\a.prt", "C:\\w\\b.prt", "C:\\w\\c.prt", "C:\\w\\d.prt",
                                        "C:\\w\\e.prt"};
const std::string kTailed = "\n　検査は出来ていません。";

INSTANTIATE_TEST_SUITE_P(
    Listings, ListingTest,
    ::testing::Values(
        ListingCase{"Depth",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", " C:\\w\\d.prt"},
                    "0/1 1/2 2/3 1/4",
                    ""},
        ListingCase{"TabIsOneLevel",
                    kFour,
                    {"C:\\w\\a.prt", "\tC:\\w\\b.prt", " \tC:\\w\\c.prt", "\tC:\\w\\d.prt"},
                    "0/1 1/2 2/3 1/4",
                    ""},
        // Entries outlive their branch: E at level 3 hangs under C, the last line at level 2.
        ListingCase{"StaleEntryStillParent",
                    kFive,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", " C:\\w\\d.prt", "   C:\\w\\e.prt"},
                    "0/1 1/2 2/3 1/4 3/5",
                    ""},
        ListingCase{"UsedUnderTwoParents",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", " C:\\w\\d.prt", "  C:\\w\\c.prt"},
                    "0/1 1/2 -1/3 1/4",
                    ""},
        ListingCase{"UsedTwiceUnderOneParent",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", "  C:\\w\\c.prt", " C:\\w\\d.prt"},
                    "0/1 1/2 2/3 1/5",
                    ""},
        // The components of a repeated sub-assembly are numbered under its first occurrence.
        ListingCase{"RepeatedSubassembly",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", " C:\\w\\d.prt", "  C:\\w\\b.prt",
                     "   C:\\w\\c.prt"},
                    "0/1 -1/2 2/3 1/4",
                    ""},
        ListingCase{"CaseIgnored",
                    {"c:\\w\\a.prt", "c:\\w\\b.prt"},
                    {"C:\\W\\A.PRT", " C:\\w\\B.Prt"},
                    "0/1 1/2",
                    ""},
        ListingCase{"JapaneseNames",
                    {"C:\\表\\ソ.prt", "C:\\表\\能.prt"},
                    {"C:\\表\\ソ.prt", " C:\\表\\能.prt"},
                    "0/1 1/2",
                    ""},
        ListingCase{"EmptyLineEndsListing",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", "", " C:\\w\\d.prt"},
                    "0/1 1/2 2/3 /",
                    "UGPC で書き出されたファイルが不足してます。" + kTailed},
        ListingCase{"RowNeverListed",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt"},
                    "0/1 1/2 2/3 /",
                    "UGPC で書き出されたファイルが不足してます。" + kTailed},
        ListingCase{"SecondUnindentedLine",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "C:\\w\\c.prt"},
                    "0/1 1/2 / /",
                    "UGPC の最初の行がアセンブリパートファイルでは有りません。" + kTailed},
        ListingCase{"IndentedFirstLine",
                    kFour,
                    {" C:\\w\\a.prt"},
                    "/ / / /",
                    "UGPC の階層を取得出来ません。" + kTailed},
        ListingCase{"SecondLineTooDeep",
                    kFour,
                    {"C:\\w\\a.prt", "  C:\\w\\b.prt"},
                    "0/1 / / /",
                    "UGPC の2行目の空白が1以外です。" + kTailed},
        ListingCase{"LevelSkipped",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "   C:\\w\\c.prt"},
                    "0/1 1/2 / /",
                    "UGPC の階層を取得出来ません。" + kTailed},
        // One entry per row: a level at the row count would write past the table.
        ListingCase{"DeeperThanRowCount",
                    {"C:\\w\\a.prt", "C:\\w\\b.prt"},
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\b.prt"},
                    "0/1 1/2",
                    "UGPC の階層を取得出来ません。" + kTailed},
        ListingCase{"HugeIndent",
                    {"C:\\w\\a.prt", "C:\\w\\b.prt"},
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", std::string(100000, ' ') + "C:\\w\\b.prt"},
                    "0/1 1/2",
                    "UGPC の階層を取得出来ません。" + kTailed},
        ListingCase{"UnknownPart",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\x.prt"},
                    "0/1 / / /",
                    "リストに無い UGPC で書き出されたファイルが有ります。" + kTailed},
        ListingCase{"TrailingBlankMatchesNoRow",
                    kFour,
                    {"C:\\w\\a.prt", " C:\\w\\b.prt "},
                    "0/1 / / /",
                    "リストに無い UGPC で書き出されたファイルが有ります。" + kTailed},
        // The input part (c) on line 3, another part on line 1.
        ListingCase{"InputPartNotFirst",
                    {"C:\\w\\c.prt", "C:\\w\\a.prt", "C:\\w\\b.prt"},
                    {"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt"},
                    "2/3 0/1 1/2",
                    "UGPC の最初の行が 入力パート では有りません。" + kTailed}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

TEST_F(StructureFixture, FinalLineWithoutLineBreakIsRead) {
  AddRow("C:\\w\\a.prt");
  AddRow("C:\\w\\b.prt");
  state.inputPartPath = text::Cp932("C:\\w\\a.prt");
  Listing({"C:\\w\\a.prt", " C:\\w\\b.prt"}, false);
  EXPECT_FALSE(Pass(PassMode::Inspect));
  EXPECT_EQ(Numbers(), "0/1 1/2");
}

// Values left in the list must be consistent with the listing; each inconsistency has its message.
struct StaleCase {
  const char* name;
  std::string parent;  // preset on row c (listed on line 3)
  std::string number;
  std::string message;
};

class StaleColumnsTest : public StructureFixture, public ::testing::WithParamInterface<StaleCase> {};

TEST_P(StaleColumnsTest, RefusesInconsistentNumbers) {
  const StaleCase& c = GetParam();
  for (const std::string& row : kFour)
    AddRow(row);
  state.partList.SetText(2, partlist::kParent, c.parent);
  state.partList.SetText(2, partlist::kNumber, c.number);
  state.inputPartPath = text::Cp932(kFour[0]);
  state.operation = Operation::Change;
  state.options.overwriteAll = 1;
  Listing({"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", " C:\\w\\d.prt"});
  EXPECT_TRUE(Pass(PassMode::Check));
  EXPECT_EQ(Messages(), "[" + c.message + "\n　実行は使用出来ません。]");
}

INSTANTIATE_TEST_SUITE_P(
    Columns, StaleColumnsTest,
    ::testing::Values(StaleCase{"OnlyNumber", "", "2", "リストの 親 か No を取得出来ません。"},
                      StaleCase{"OnlyParent", "1", "", "リストの 親 か No を取得出来ません。"},
                      StaleCase{"NumberNotEarlier", "1", "3", "リストの No を取得出来ません。"},
                      StaleCase{"NumberOfInput", "0", "1", "リストの No を取得出来ません。"},
                      StaleCase{"ParentZero", "0", "2", "リストの 親 を取得出来ません。"},
                      StaleCase{"ParentNotAbove", "2", "2", "リストの 親 を取得出来ません。"}),
    [](const ::testing::TestParamInfo<StaleCase>& info) { return std::string(info.param.name); });

TEST_F(StructureFixture, PerformPassNeedsTheNumbersOfTheCheckPass) {
  for (const std::string& row : kFour)
    AddRow(row);
  state.inputPartPath = text::Cp932(kFour[0]);
  state.partList.SetText(0, partlist::kParent, "0");
  state.partList.SetText(0, partlist::kNumber, "2");
  Listing({"C:\\w\\a.prt", " C:\\w\\b.prt"});
  EXPECT_TRUE(Pass(PassMode::Perform, "実行は中断しました。"));
  EXPECT_EQ(Messages(), "[変更 でリストの No を取得出来ません。\n　実行は中断しました。]");
  EXPECT_EQ(Numbers(), "0/2 / / /");
}

TEST_F(StructureFixture, ReadErrorEndsThePass) {
  for (const std::string& row : kFour)
    AddRow(row);
  state.inputPartPath = text::Cp932(kFour[0]);
  host.Fail(velmora::testing::Call::StreamRead, "ugpc", 20);
  Listing({"C:\\w\\a.prt", " C:\\w\\b.prt", "  C:\\w\\c.prt", " C:\\w\\d.prt"});
  EXPECT_TRUE(Pass(PassMode::Inspect, kTail));
  EXPECT_EQ(Messages(), "[UGPC の テキストファイル の読込みエラーが発生しました。" + kTailed + "]");
  EXPECT_FALSE(stream->IsOpen());
}

TEST_F(StructureFixture, FailedCloseAfterAFailureIsReported) {
  AddRow("C:\\w\\a.prt");
  AddRow("C:\\w\\b.prt");
  state.inputPartPath = text::Cp932("C:\\w\\a.prt");
  host.Fail(velmora::testing::Call::StreamClose, "ugpc");
  Listing({"C:\\w\\a.prt", " C:\\w\\x.prt"});
  EXPECT_TRUE(Pass(PassMode::Inspect, kTail));
  EXPECT_EQ(Messages(), "[リストに無い UGPC で書き出されたファイルが有ります。" + kTailed +
                            "][UGPC の テキストファイル を閉じるのに失敗しました。]");
}

}  // namespace
}  // namespace velmora::operations::test
