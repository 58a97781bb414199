#include "partlist/plan_csv.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "text/codec.h"

namespace velmora::partlist {
namespace {

std::string Cp(const char* utf8) {
  return text::Cp932(utf8);
}

ColumnHeaders Headers() {
  return {"NEW", "NAME", "FOLDER", "NEWFOLDER", "e", "b", "a", "d", "p", "n"};
}

class PlanCsvTest : public ::testing::Test {
 protected:
  PlanCsvTest() {
    Add("a.prt", "D:\\w\\");
    Add("表.prt", "D:\\w\\");
    Add("a.prt", "D:\\v\\");
  }
  void Add(const char* name, const char* folder) {
    PartRow row;
    row.partName = Cp(name);
    row.folderName = Cp(folder);
    row.number = std::to_string(list_.RowCount() + 1);
    list_.InsertRow(list_.RowCount(), std::move(row));
  }
  PartList list_;
};

TEST_F(PlanCsvTest, RecordsAreTheHeadersThenEveryRow) {
  list_.SetText(1, kNewPartName, Cp("新.prt"));
  const std::vector<text::CsvRecord> records = PlanRecords(list_, Headers());
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0][9], "n");
  EXPECT_EQ(records[2],
            (text::CsvRecord{Cp("新.prt"), Cp("表.prt"), "D:\\w\\", "", "", "", "", "", "", "2"}));
}

TEST_F(PlanCsvTest, ReadsByHeaderWhereverTheColumnsStand) {
  const std::vector<text::CsvRecord> records = {
      {"FOLDER", "x", "NEWFOLDER", "NAME", "NEW"},
      {"d:\\W", "", "D:\\new", Cp("表.PRT"), "b.prt"},  // case and a missing final separator
      {},
      {"D:\\v\\", "", "", "a.prt", ""},
  };
  const PlanImport plan = ReadPlan(list_, records, Headers());
  EXPECT_TRUE(plan.headersFound);
  EXPECT_TRUE(plan.issues.empty());
  ASSERT_EQ(plan.changes.size(), 2u);
  EXPECT_EQ(plan.changes[0].row, 1);
  EXPECT_EQ(plan.changes[0].newPartName, "b.prt");
  EXPECT_EQ(plan.changes[0].newFolderName, "D:\\new\\");
  EXPECT_EQ(plan.changes[1].row, 2);
  EXPECT_EQ(plan.changes[1].newPartName, "");
  EXPECT_EQ(plan.changes[1].newFolderName, "");
}

TEST_F(PlanCsvTest, IssuesNameTheSpreadsheetRow) {
  struct Case {
    text::CsvRecord record;
    ImportFault fault;
    NameVerdict verdict;
  };
  const Case cases[] = {
      {{"nope.prt", "D:\\w\\", "", ""}, ImportFault::NotInList, NameVerdict::Accept},
      {{"a.prt", "D:\\w\\", "b.txt", ""}, ImportFault::BadName, NameVerdict::NotPrt},
      {{"a.prt", "D:\\w\\", "sub\\b.prt", ""}, ImportFault::BadName, NameVerdict::HasSeparator},
      {{"a.prt", "D:\\w\\", "", "relative\\"}, ImportFault::BadFolder, NameVerdict::Accept},
      {{"a.prt", "D:\\w\\", "", "D:\\a:b\\"}, ImportFault::BadFolder, NameVerdict::Accept},
      {{"a.prt", "D:\\w\\", "", "\\\\\\"}, ImportFault::BadFolder, NameVerdict::Accept},
  };
  for (const Case& c : cases) {
    const PlanImport plan =
        ReadPlan(list_, {{"NAME", "FOLDER", "NEW", "NEWFOLDER"}, {}, c.record}, Headers());
    ASSERT_EQ(plan.issues.size(), 1u) << c.record[2] << c.record[3];
    EXPECT_EQ(plan.issues[0].record, 3);
    EXPECT_EQ(plan.issues[0].fault, c.fault);
    EXPECT_EQ(plan.issues[0].verdict, c.verdict);
    EXPECT_EQ(plan.Refused(), c.fault != ImportFault::NotInList);
  }
}

TEST_F(PlanCsvTest, NetworkFoldersAndASecondRecordOfOneRow) {
  const PlanImport plan = ReadPlan(list_,
                                   {{"NAME", "FOLDER", "NEW", "NEWFOLDER"},
                                    {"a.prt", "D:\\w\\", "", "\\\\srv\\share"},
                                    {"A.prt", "D:\\W\\", "c.prt", ""}},
                                   Headers());
  ASSERT_EQ(plan.changes.size(), 1u);
  EXPECT_EQ(plan.changes[0].newFolderName, "\\\\srv\\share\\");
  ASSERT_EQ(plan.issues.size(), 1u);
  EXPECT_EQ(plan.issues[0].fault, ImportFault::SameRowTwice);
  EXPECT_TRUE(plan.Refused());
}

TEST_F(PlanCsvTest, WithoutTheFourHeadersNothingIsReadAndTheMissingOnesAreNamed) {
  EXPECT_FALSE(ReadPlan(list_, {}, Headers()).headersFound);
  const PlanImport three =
      ReadPlan(list_, {{"NAME", "FOLDER", "NEW"}, {"a.prt", "D:\\w\\", "b.prt"}}, Headers());
  EXPECT_FALSE(three.headersFound);
  EXPECT_EQ(three.missingColumns, std::vector<int>{kNewFolderName});
  const PlanImport one = ReadPlan(list_, {{"x", "NEWFOLDER"}}, Headers());
  EXPECT_EQ(one.missingColumns, (std::vector<int>{kPartName, kFolderName, kNewPartName}));
  EXPECT_TRUE(one.changes.empty());
}

TEST_F(PlanCsvTest, AnEmptyCellKeepsTheRowsValueAndOneBlankClearsIt) {
  list_.SetText(0, kNewPartName, "typed.prt");
  list_.SetText(0, kNewFolderName, "D:\\kept\\");
  struct Case {
    std::string newName, newFolder;
    std::string wantName, wantFolder;
    bool changes;
  };
  const Case cases[] = {
      {"", "", "typed.prt", "D:\\kept\\", false},
      {" ", "", "", "D:\\kept\\", true},
      {"", " ", "typed.prt", "", true},
      {"typed.prt", "D:\\kept", "typed.prt", "D:\\kept\\", false},
      {"other.prt", "", "other.prt", "D:\\kept\\", true},
  };
  for (const Case& c : cases) {
    const PlanImport plan = ReadPlan(
        list_, {{"NAME", "FOLDER", "NEW", "NEWFOLDER"}, {"a.prt", "D:\\w\\", c.newName, c.newFolder}},
        Headers());
    ASSERT_EQ(plan.changes.size(), 1u) << c.newName << "|" << c.newFolder;
    EXPECT_EQ(plan.changes[0].newPartName, c.wantName);
    EXPECT_EQ(plan.changes[0].newFolderName, c.wantFolder);
    EXPECT_EQ(plan.changes[0].changes, c.changes) << c.newName << "|" << c.newFolder;
  }
  // Two blanks are no clearing cell but a name with blanks, refused as typed.
  const PlanImport blanks =
      ReadPlan(list_, {{"NAME", "FOLDER", "NEW", "NEWFOLDER"}, {"a.prt", "D:\\w\\", "  ", ""}}, Headers());
  ASSERT_EQ(blanks.issues.size(), 1u);
  EXPECT_EQ(blanks.issues[0].fault, ImportFault::BadName);
}

// The plan as LibreOffice Calc saved it in each of its encodings reads the same.
TEST(SpreadsheetPlanTest, EveryEncodingACalcSheetWasSavedInReadsTheSame) {
  PartList list;
  const char* const rows[][2] = {{"表.prt", "D:\\w\\"},
                                 {"a.prt", "D:\\w\\"},
                                 {"b.prt", "D:\\w\\"},
                                 {"c.prt", "D:\\w\\"},
                                 {"ソ.prt", "D:\\w\\表\\"}};
  for (const auto& [name, folder] : rows) {
    PartRow row;
    row.partName = Cp(name);
    row.folderName = Cp(folder);
    list.InsertRow(list.RowCount(), std::move(row));
  }
  list.SetText(2, kNewPartName, "old.prt");
  ColumnHeaders headers;
  for (std::size_t column = 0; column < headers.size(); ++column)
    headers[column] = Cp(std::array<const char*, kColumnCount>{"変更後パート名", "パート名", "フォルダ名",
                                                               "変更後フォルダ名", "編集", "前", "後", "重複",
                                                               "親", "No"}[column]);
  const std::pair<const char*, text::FileEncoding> files[] = {
      {"calc-cp932.csv", text::FileEncoding::Cp932},
      {"calc-utf8.csv", text::FileEncoding::Utf8},
      {"calc-utf16.csv", text::FileEncoding::Utf16},
  };
  for (const auto& [file, encoding] : files) {
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/tests/partlist/spreadsheet/" + file,
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ASSERT_FALSE(bytes.str().empty()) << file;
    const text::FileText decoded = text::FileTextToCp932(bytes.str());
    ASSERT_TRUE(decoded.ok) << file;
    EXPECT_EQ(decoded.encoding, encoding) << file;
    const PlanImport plan = ReadPlan(list, text::ParseCsv(decoded.cp932), headers);
    ASSERT_TRUE(plan.headersFound) << file;
    EXPECT_TRUE(plan.issues.empty()) << file;
    ASSERT_EQ(plan.changes.size(), 5u) << file;
    const std::pair<std::string, std::string> wanted[] = {{Cp("新しい表.prt"), ""},
                                                          {"", Cp("D:\\新しい\\")},
                                                          {"", ""},
                                                          {"x,y.prt", ""},
                                                          {Cp("ソース.prt"), ""}};
    for (std::size_t i = 0; i < plan.changes.size(); ++i) {
      EXPECT_EQ(plan.changes[i].row, static_cast<int>(i)) << file;
      EXPECT_EQ(plan.changes[i].newPartName, wanted[i].first) << file << " " << i;
      EXPECT_EQ(plan.changes[i].newFolderName, wanted[i].second) << file << " " << i;
      EXPECT_TRUE(plan.changes[i].changes) << file << " " << i;
    }
  }
}

}  // namespace
}  // namespace velmora::partlist
