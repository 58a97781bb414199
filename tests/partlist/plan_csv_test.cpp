#include "partlist/plan_csv.h"

#include <gtest/gtest.h>

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

TEST_F(PlanCsvTest, WithoutTheFourHeadersNothingIsRead) {
  EXPECT_FALSE(ReadPlan(list_, {}, Headers()).headersFound);
  EXPECT_FALSE(
      ReadPlan(list_, {{"NAME", "FOLDER", "NEW"}, {"a.prt", "D:\\w\\", "b.prt"}}, Headers()).headersFound);
}

}  // namespace
}  // namespace velmora::partlist
