// Renaming by rule and the plan through a CSV file, on a generated assembly, up to a change run;
// and where the file dialogs open.

#include "app/choose_file.h"
#include "app/rename_preview.h"
#include "dialog_fixture.h"
#include "resources/messages/captions.h"
#include "resources/messages/session.h"
#include "text/csv.h"
#include "text/mbstring.h"
#include "text/utf8.h"

namespace velmora::app::test {
namespace {

using partlist::kFolderName;
using partlist::kNewFolderName;
using partlist::kNewPartName;
using partlist::kPartName;

class PlanEditingTest : public DialogFixture {
 protected:
  void SetUp() override {
    top_ = drive.MakeAssembly("gen", "--parts 30 --seed 5");
    ASSERT_FALSE(top_.empty());
    Start();
    ASSERT_TRUE(ChooseInputPart(top_));
  }
  // Every row below the input part in the input part's folder.
  std::vector<int> SelectTopFolder() {
    std::vector<int> rows;
    for (int row = 1; row < List().RowCount(); ++row) {
      if (List().Text(row, kFolderName) == List().Text(0, kFolderName)) {
        List().SetSelected(row, true);
        rows.push_back(row);
      }
    }
    return rows;
  }
  std::string top_;
};

TEST_F(PlanEditingTest, RuleNamesTheSelectionAndTheRunCarriesThemOut) {
  const std::vector<int> rows = SelectTopFolder();
  ASSERT_GT(rows.size(), 3u);
  ASSERT_TRUE(dialog.RenameSelected({.pattern = Cp("部品-##.prt"), .start = 1, .step = 1}));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string number = (i + 1 < 10 ? "0" : "") + std::to_string(i + 1);
    EXPECT_EQ(Cell(rows[i], kNewPartName), "部品-" + number + ".prt");
  }
  ui.controlOptions.overwriteAll = 1;
  Execute(operations::Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_TRUE(StructureResolves(State().inputPartPath));
}

TEST_F(PlanEditingTest, RefusedRuleNamesTheFirstRowAndChangesNothing) {
  const std::vector<int> rows = SelectTopFolder();
  List().SetText(rows[0], kNewPartName, "kept.prt");
  const std::string first = text::ToDisplayUtf8(List().RowPath(rows[0], false));
  const std::string second = text::ToDisplayUtf8(List().RowPath(rows[1], false));

  EXPECT_FALSE(dialog.RenameSelected({.pattern = "same.prt"}));
  EXPECT_FALSE(dialog.RenameSelected({.suffix = ":"}));
  EXPECT_FALSE(dialog.RenameSelected({.pattern = "#.prt", .start = 9}));
  List().ClearSelection();
  EXPECT_FALSE(dialog.RenameSelected({.prefix = "x"}));
  const std::string oldName = Cell(rows[0], kPartName);
  const std::string stem = oldName.substr(0, oldName.rfind('.'));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{
                             first + " と " + second +
                                 " の変更後のパスが同じになります。\n　名前の一括変更 は適用しません。",
                             first + " の 変更後パート名 " + stem + ":" + oldName.substr(stem.size()) +
                                 " は使用出来ません。: か \\ が有ります。\n"
                                 "　名前の一括変更 は適用しません。",
                             second + " の連番が # の桁数に収まりません。\n　名前の一括変更 は適用しません。",
                             Msg(msg::kRenameNoSelection)}));
  EXPECT_EQ(Cell(rows[0], kNewPartName), "kept.prt");
  EXPECT_EQ(Cell(rows[1], kNewPartName), "");
}

// What every window's preview shows, and the refusal of a field cp932 cannot hold.
TEST_F(PlanEditingTest, PreviewRowsNameTheProblemAndAnUnholdableFieldIsRefused) {
  const std::vector<int> rows = SelectTopFolder();
  const partlist::RenamePlan clash = partlist::PlanRenames(List(), {.pattern = "same.prt"});
  ASSERT_EQ(clash.entries.size(), rows.size());
  const RenamePreviewRow second = PreviewRowOf(List(), clash.entries[1]);
  EXPECT_EQ(second.folder, List().Text(rows[1], kFolderName));
  EXPECT_EQ(second.oldName, List().Text(rows[1], kPartName));
  EXPECT_EQ(second.newName, "same.prt");
  EXPECT_EQ(second.problem, msg::kRenameProblemCollision);
  const partlist::RenamePlan counted = partlist::PlanRenames(List(), {.pattern = "#.prt", .start = 8});
  EXPECT_EQ(PreviewRowOf(List(), counted.entries[0]).problem, "");
  EXPECT_EQ(PreviewRowOf(List(), counted.entries[2]).problem, msg::kRenameProblemOverflow);

  EXPECT_FALSE(dialog.ApplyNamingRule(nullptr));
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kNameNotCp932)});
  for (const int row : rows)
    EXPECT_EQ(Cell(row, kNewPartName), "") << row;
  const partlist::NamingRule prefixed{.prefix = "x"};
  EXPECT_TRUE(dialog.ApplyNamingRule(&prefixed));
  EXPECT_EQ(Cell(rows[0], kNewPartName), "x" + Cell(rows[0], kPartName));
}

TEST_F(PlanEditingTest, PlanGoesToCsvAndComesBack) {
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ExportPlanCsv();
  ASSERT_EQ(ui.messages, std::vector<std::string>());
  const platform::FileDialogRequest& save = ui.fileRequests.back();
  EXPECT_FALSE(save.open);
  EXPECT_EQ(save.defaultExtension, "csv");
  EXPECT_EQ(save.initialFolder, FolderOf(top_));
  EXPECT_EQ(save.initialName,
            top_.substr(FolderOf(top_).size(), top_.size() - FolderOf(top_).size() - 4) + ".csv");

  // The file as a spreadsheet reads it: cp932, CR LF, one record per row after the headers.
  const std::string bytes = drive.ReadFile("plan.csv");
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
  std::vector<text::CsvRecord> records = text::ParseCsv(bytes);
  ASSERT_EQ(records.size(), static_cast<std::size_t>(List().RowCount()) + 1);
  EXPECT_EQ(text::ToDisplayUtf8(records[0][0]), "変更後パート名");
  for (int row = 0; row < List().RowCount(); ++row)
    EXPECT_EQ(records[static_cast<std::size_t>(row) + 1][1], List().Text(row, kPartName));

  // Edited in the spreadsheet: two names and a folder; the row's own letter case may differ.
  records[2][0] = Cp("新しい表.prt");
  records[3][0] = "n3.prt";
  records[3][2] = text::ToLower(records[3][2]);
  records[3][3] = "D:\\moved";
  std::string edited;
  for (const text::CsvRecord& record : records)
    edited += text::FormatCsvRecord(record) + "\r\n";
  drive.WriteFile("plan.csv", edited);
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ImportPlanCsv();
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"CSVを読み込みました。 " + std::to_string(List().RowCount()) +
                                     " 行がリストと一致し，2 行を変更しました。"});
  EXPECT_EQ(Cell(1, kNewPartName), "新しい表.prt");
  EXPECT_EQ(Cell(2, kNewPartName), "n3.prt");
  EXPECT_EQ(Cell(2, kNewFolderName), "D:\\moved\\");
  EXPECT_EQ(ui.fileRequests.back().initialFolder, "D:\\");  // where the plan was saved
}

TEST_F(PlanEditingTest, ARefusedValueAppliesNothingAndEveryProblemIsListed) {
  const std::string partName = Cell(1, kPartName);
  const std::string folder = Cell(1, kFolderName);
  drive.WriteFile("plan.csv",
                  Cp("パート名,フォルダ名,変更後パート名,変更後フォルダ名\r\n"
                     "gone.prt,D:\\gen\\,x.prt,\r\n" +
                     partName + "," + folder + ",ok.prt,\r\n" + partName + "," + folder + ",b.txt,\r\n" +
                     Cell(2, kPartName) + "," + Cell(2, kFolderName) + ",,sub\\\r\n"));
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ImportPlanCsv();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0],
            "CSVの次の行は適用出来ません。\n"
            "2行目 D:\\gen\\gone.prt: リストに有りません。\n"
            "4行目 " +
                folder + partName +
                ": 前の行と同じパートです。\n"
                "5行目 " +
                Cell(2, kFolderName) + Cell(2, kPartName) +
                ": 変更後フォルダ名 sub\\ はドライブかネットワークのフォルダでは有りません。"
                "\n　CSVは読み込んでいません。");
  EXPECT_EQ(Cell(1, kNewPartName), "");

  // Rows it does not find are told, the others taken.
  drive.WriteFile("plan.csv", Cp("パート名,フォルダ名,変更後パート名,変更後フォルダ名\r\n"
                                 "gone.prt,D:\\gen\\,x.prt,\r\n" +
                                 partName + "," + folder + ",ok.prt,\r\n"));
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ImportPlanCsv();
  EXPECT_EQ(ui.messages.back(),
            "CSVを読み込みました。 1 行がリストと一致し，1 行を変更しました。\n"
            "CSVの次の行は適用出来ません。\n2行目 D:\\gen\\gone.prt: リストに有りません。"
            "\n　他の行は読み込みました。");
  EXPECT_EQ(Cell(1, kNewPartName), "ok.prt");

  drive.WriteFile("plan.csv", "a,b\r\n");
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ImportPlanCsv();
  EXPECT_EQ(
      ui.messages.back(),
      "D:\\plan.csv の1行目に パート名，フォルダ名，変更後パート名，変更後フォルダ名 の見出しが有りません。\n"
      "　CSVは読み込んでいません。");
  drive.WriteFile("plan.csv", Cp("フォルダ名,パート名,変更後パート名\r\n"));
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ImportPlanCsv();
  EXPECT_EQ(ui.messages.back(),
            "D:\\plan.csv の1行目に 変更後フォルダ名 の見出しが有りません。\n　CSVは読み込んでいません。");
}

// A sheet saved as UTF-16 (CR LF and all) reads as one in cp932 does; a character no name can
// hold is told by its line, and nothing is read.
TEST_F(PlanEditingTest, UnicodeSheetsAreReadAndTheirStrayCharactersTold) {
  const std::string partName = Cell(1, kPartName);
  const std::string folder = Cell(1, kFolderName);
  const std::string utf8 =
      "パート名,フォルダ名,変更後パート名,変更後フォルダ名\r\n" + partName + "," + folder + ",新.prt,\r\n";
  std::string utf16 = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    i += text::DecodeUtf8(utf8, i, c);
    ASSERT_LT(c, 0x10000u);
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  drive.WriteFile("plan.csv", utf16);
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ImportPlanCsv();
  EXPECT_EQ(ui.messages.back(), "CSVを読み込みました。 1 行がリストと一致し，1 行を変更しました。");
  EXPECT_EQ(Cell(1, kNewPartName), "新.prt");

  drive.WriteFile("plan.csv", "パート名,フォルダ名,変更後パート名,変更後フォルダ名\n" + partName + "," +
                                  folder + ",\xF0\x9F\x98\x80.prt,\n");
  ui.files.push_back(drive.Win("plan.csv"));
  dialog.ImportPlanCsv();
  EXPECT_EQ(ui.messages.back(),
            "D:\\plan.csv の2行目に，パートやフォルダの名前に使用出来ない文字が有ります。\n"
            "　CSVは読み込んでいません。");
  EXPECT_EQ(Cell(1, kNewPartName), "新.prt");
}

TEST_F(PlanEditingTest, InputPartChooserOpensAtTheInputPart) {
  ui.files.push_back(top_);
  dialog.BrowseInputPart();
  EXPECT_EQ(ui.fileRequests.back().initialFolder, FolderOf(top_));
  dialog.BrowseInputPart();  // cancelled: the input part is gone, its folder is remembered
  dialog.BrowseInputPart();
  EXPECT_EQ(ui.fileRequests.back().initialFolder, FolderOf(top_));
  dialog.BrowsePcTool();
  EXPECT_EQ(ui.fileRequests.back().initialFolder, FolderOf(drive.PcTool()));
}

}  // namespace
}  // namespace velmora::app::test
