// New names typed in place, the two new-folder buttons, sorting by a header and Ctrl+C.

#include "dialog_fixture.h"
#include "resources/messages/session.h"

namespace velmora::app::test {
namespace {

using partlist::kFolderName;
using partlist::kNewFolderName;
using partlist::kNewPartName;

class ListEditingTest : public DialogFixture {
 protected:
  void SetUp() override {
    AddRow("a.prt", "D:\\work\\");
    AddRow("b.prt", "D:\\Work\\");
    AddRow("c.prt", "D:\\work\\");
    AddRow("d.prt", "D:\\other\\");
  }
  std::vector<int> Selected() {
    std::vector<int> rows;
    for (int row = List().FirstSelected(); row >= 0; row = List().NextSelected(row))
      rows.push_back(row);
    return rows;
  }
  std::vector<std::string> NewFolders() {
    std::vector<std::string> folders;
    for (int row = 0; row < List().RowCount(); ++row)
      folders.push_back(Cell(row, kNewFolderName));
    return folders;
  }
};

struct LabelCase {
  const char* typed;  // UTF-8
  bool accepted;
  std::string_view message;
};

class LabelEditTest : public ListEditingTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(LabelEditTest, AcceptsOnlyPrtNamesWithoutSeparators) {
  const LabelCase& c = GetParam();
  List().SetText(0, kNewPartName, "old.prt");
  EXPECT_EQ(dialog.OnEndLabelEdit(0, Cp(c.typed)), c.accepted);
  EXPECT_EQ(Cell(0, kNewPartName), c.accepted ? c.typed : "old.prt");
  if (c.message.empty())
    EXPECT_EQ(ui.messages, std::vector<std::string>());
  else
    EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(c.message)});
}

INSTANTIATE_TEST_SUITE_P(Names, LabelEditTest,
                         ::testing::Values(LabelCase{"ABC.PRT", true, {}}, LabelCase{"", true, {}},
                                           LabelCase{"表示.prt", true, {}},
                                           LabelCase{".prt", false, msg::kNewNameNoExtension},
                                           LabelCase{"abc", false, msg::kNewNameNoExtension},
                                           LabelCase{"a.prt ", false, msg::kNewNameNotPrt},
                                           LabelCase{"a.prt.bak", false, msg::kNewNameNotPrt},
                                           LabelCase{"sub\\a.prt", false, msg::kNewNameHasSeparator},
                                           LabelCase{"d:a.prt", false, msg::kNewNameHasSeparator},
                                           LabelCase{"ソ能.prt", true, {}},
                                           LabelCase{"a|b.prt", false, msg::kNewNameForbiddenCharacter},
                                           LabelCase{"what?.prt", false, msg::kNewNameForbiddenCharacter},
                                           LabelCase{"Con.prt", false, msg::kNewNameReserved},
                                           LabelCase{"lpt1.prt", false, msg::kNewNameReserved},
                                           LabelCase{" a.prt", false, msg::kNewNameBlank},
                                           LabelCase{"表　.prt", false, msg::kNewNameBlank}));

// The length counts the folder the file will be in: the new one when the row has it.
TEST_F(ListEditingTest, NameMakingTooLongAPathIsRefused) {
  const std::string name = std::string(259 - 9 - 4, 'n') + ".prt";  // with "D:\work\" 258 bytes
  EXPECT_TRUE(dialog.OnEndLabelEdit(0, name));
  List().SetText(2, kNewFolderName, "D:\\works\\");
  EXPECT_TRUE(dialog.OnEndLabelEdit(2, name));
  List().SetText(2, kNewFolderName, "D:\\workss\\");
  EXPECT_FALSE(dialog.OnEndLabelEdit(2, name));
  EXPECT_FALSE(dialog.OnEndLabelEdit(3, std::string(300, 'n') + ".prt"));
  EXPECT_EQ(Cell(2, kNewPartName), name);
  EXPECT_EQ(Cell(3, kNewPartName), "");
  EXPECT_EQ(ui.messages, (std::vector<std::string>{Msg(msg::kNewNameTooLong), Msg(msg::kNewNameTooLong)}));
}

// A folder is refused for every selected row when one name would not fit or a piece is no file name.
TEST_F(ListEditingTest, NewFolderThatCannotHoldTheNamesIsRefused) {
  List().SetSelected(0, true);
  List().SetSelected(3, true);
  List().SetText(3, kNewPartName, std::string(200, 'd') + ".prt");
  const std::string deep = "D:\\" + std::string(60, 'f');
  const std::string shallow = "D:\\" + std::string(40, 'f');
  ui.folders = {deep, "D:\\work\\NUL", shallow};
  dialog.ChooseNewFolder();
  dialog.ChooseNewFolder();
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{"", "", "", ""}));
  dialog.ChooseNewFolder();
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{Msg(msg::kNewFolderTooLong), Msg(msg::kNewFolderForbiddenName)}));
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{shallow + "\\", "", "", shallow + "\\"}));
}

TEST_F(ListEditingTest, CancelledEditOrUnknownRowChangesNothing) {
  List().SetText(1, kNewPartName, "old.prt");
  EXPECT_FALSE(dialog.OnEndLabelEdit(1, std::nullopt));
  EXPECT_FALSE(dialog.OnEndLabelEdit(7, std::string("x.prt")));
  EXPECT_FALSE(dialog.OnEndLabelEdit(-1, std::string("x.prt")));
  EXPECT_EQ(Cell(1, kNewPartName), "old.prt");
  EXPECT_EQ(ui.messages, std::vector<std::string>());
}

TEST_F(ListEditingTest, NewFolderGoesToEverySelectedRow) {
  List().SetSelected(1, true);
  List().SetSelected(3, true);
  ui.folders.push_back(Cp("D:\\表示"));
  dialog.ChooseNewFolder();
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{"", "D:\\表示\\", "", "D:\\表示\\"}));
  EXPECT_TRUE(ui.fileRequests.empty());
  ASSERT_EQ(ui.folderRequests.size(), 1u);
  EXPECT_EQ(ui.folderRequests[0].title, Cp(msg::kNewFolderDialogTitle));
  // It opens in the folder of the first selected row.
  EXPECT_EQ(ui.folderRequests[0].initialFolder, "D:\\Work\\");

  // Once the rows have a new folder, it opens there; a drive's root keeps its one separator.
  ui.folders.push_back("D:\\");
  dialog.ChooseNewFolder();
  EXPECT_EQ(ui.folderRequests[1].initialFolder, Cp("D:\\表示\\"));
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{"", "D:\\", "", "D:\\"}));
  EXPECT_EQ(ui.messages, std::vector<std::string>());
}

TEST_F(ListEditingTest, SameFoldersGrowsTheSelectionByExactFolder) {
  ui.controlOptions.applyToSameFolders = 1;
  List().SetSelected(2, true);
  ui.folders.push_back("D:\\new\\sub");
  dialog.ChooseNewFolder();
  EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{"D:\\new\\sub\\", "", "D:\\new\\sub\\", ""}));
}

TEST_F(ListEditingTest, SameFoldersRefusesASelectionOfDifferentFolders) {
  ui.controlOptions.applyToSameFolders = 1;
  List().SetSelected(0, true);
  List().SetSelected(1, true);  // D:\Work\ differs from D:\work\ by case
  ui.folders.push_back("D:\\new");
  dialog.ChooseNewFolder();
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kNewFolderMixedFolders)});
  EXPECT_TRUE(ui.folderRequests.empty());
  EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{"", "", "", ""}));
}

TEST_F(ListEditingTest, CancelledFolderChoiceKeepsTheGrownSelection) {
  ui.controlOptions.applyToSameFolders = 1;
  List().SetText(0, kNewFolderName, "D:\\keep\\");
  List().SetSelected(0, true);
  dialog.ChooseNewFolder();
  EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{"D:\\keep\\", "", "", ""}));
  EXPECT_EQ(ui.messages, std::vector<std::string>());
}

TEST_F(ListEditingTest, FolderButtonsNeedASelection) {
  dialog.ChooseNewFolder();
  dialog.ClearNewFolder();
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{Msg(msg::kNewFolderNoSelection), Msg(msg::kClearFolderNoSelection)}));
  EXPECT_TRUE(ui.folderRequests.empty());
}

TEST_F(ListEditingTest, FolderButtonsStopSilentlyWhenTheExchangeFails) {
  List().SetSelected(0, true);
  ui.exchangeFails = true;
  List().SetText(0, kNewFolderName, "D:\\keep\\");
  dialog.ChooseNewFolder();
  dialog.ClearNewFolder();
  EXPECT_EQ(ui.messages, std::vector<std::string>());
  EXPECT_EQ(Cell(0, kNewFolderName), "D:\\keep\\");
}

TEST_F(ListEditingTest, ChosenPathWithoutUsableSeparatorIsRefused) {
  List().SetSelected(0, true);
  ui.folders = {"D:", "\\a"};
  dialog.ChooseNewFolder();
  dialog.ChooseNewFolder();
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{Msg(msg::kNewFolderNoSeparator), Msg(msg::kNewFolderNoSeparator)}));
  EXPECT_EQ(Cell(0, kNewFolderName), "");
}

TEST_F(ListEditingTest, ClearTouchesOnlySelectedRowsWhateverTheSameFoldersOption) {
  ui.controlOptions.applyToSameFolders = 1;
  for (int row = 0; row < 4; ++row)
    List().SetText(row, kNewFolderName, "D:\\n\\");
  List().SetSelected(0, true);
  List().SetSelected(3, true);
  dialog.ClearNewFolder();
  EXPECT_EQ(NewFolders(), (std::vector<std::string>{"", "D:\\n\\", "D:\\n\\", ""}));
  EXPECT_EQ(ui.messages, std::vector<std::string>());
}

TEST_F(ListEditingTest, NumberColumnSortsNumericallyAndAlternates) {
  const char* numbers[] = {"10", "1", "2", ""};
  for (int row = 0; row < 4; ++row)
    List().SetText(row, partlist::kNumber, numbers[row]);
  auto column = [&] {
    std::vector<std::string> cells;
    for (int row = 0; row < List().RowCount(); ++row)
      cells.push_back(Cell(row, partlist::kNumber));
    return cells;
  };
  dialog.SortByColumn(9);
  EXPECT_EQ(column(), (std::vector<std::string>{"", "1", "2", "10"}));
  dialog.SortByColumn(9);
  EXPECT_EQ(column(), (std::vector<std::string>{"10", "2", "1", ""}));
  for (int row = 0; row < List().RowCount(); ++row)
    EXPECT_EQ(List().Row(row).itemData, row);
  // Another column keeps its own direction: ascending on its first click.
  dialog.SortByColumn(1);
  EXPECT_EQ(Cell(0, partlist::kPartName), "a.prt");
  dialog.SortByColumn(10);
  dialog.SortByColumn(-1);
  EXPECT_EQ(Cell(0, partlist::kPartName), "a.prt");
}

TEST_F(ListEditingTest, CopyNeedsExactlyOneSelectedRow) {
  dialog.CopyPartName();
  EXPECT_EQ(ui.clipboardCalls, 0);
  EXPECT_EQ(ui.messages, std::vector<std::string>());

  List().SetText(2, kNewPartName, "new.prt");
  List().SetSelected(2, true);
  dialog.CopyPartName();
  EXPECT_EQ(ui.clipboard, "c.prt");
  EXPECT_EQ(ui.messages, std::vector<std::string>());

  List().SetSelected(3, true);
  dialog.CopyPartName();
  EXPECT_EQ(ui.clipboardCalls, 1);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kCopyMultipleSelected)});
}

struct ClipboardCase {
  platform::ClipboardFailure failure;
  std::string_view message;
};

class ClipboardFailureTest : public ListEditingTest, public ::testing::WithParamInterface<ClipboardCase> {};

TEST_P(ClipboardFailureTest, EachStepHasItsMessage) {
  List().SetSelected(0, true);
  ui.clipboardFailure = GetParam().failure;
  dialog.CopyPartName();
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(GetParam().message)});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ClipboardFailureTest,
    ::testing::Values(ClipboardCase{platform::ClipboardFailure::Allocate, msg::kClipboardAllocateFailed},
                      ClipboardCase{platform::ClipboardFailure::Lock, msg::kClipboardLockFailed},
                      ClipboardCase{platform::ClipboardFailure::Open, msg::kClipboardOpenFailed},
                      ClipboardCase{platform::ClipboardFailure::Empty, msg::kClipboardEmptyFailed},
                      ClipboardCase{platform::ClipboardFailure::SetData, msg::kClipboardSetDataFailed}));

}  // namespace
}  // namespace velmora::app::test
