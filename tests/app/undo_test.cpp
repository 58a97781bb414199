// Undoing runs from their journals: byte for byte, under the names' old spellings, run by run,
// after a run that stopped, and never over a file changed since.

#include <stdlib.h>

#include <filesystem>

#include "dialog_fixture.h"
#include "resources/messages/journal.h"
#include "resources/messages/session.h"

namespace velmora::app::test {
namespace {

using operations::Operation;

class UndoTest : public DialogFixture {
 protected:
  ~UndoTest() override { unsetenv("VELMORA_CAD_FAIL"); }

  // Top.prt uses Mid.PRT and Sub\Leaf.prt; Mid.PRT uses Leaf.prt too.
  void SmallAssembly() {
    WritePart("work/Top.prt", {{"", "Mid.PRT"}, {"D:\\Work\\Sub", "Leaf.prt"}});
    WritePart("work/Mid.PRT", {{"D:\\Work\\Sub", "Leaf.prt"}});
    WritePart("work/Sub/Leaf.prt", {});
    Start();
    ASSERT_TRUE(ChooseInputPart(drive.Win("work/Top.prt")));
    ui.messages.clear();
    ui.controlOptions.overwriteAll = 1;
  }

  void Undo(std::string_view expected) {
    ui.messages.clear();
    ui.answers.push_back(true);
    dialog.UndoLastRun();
    EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(expected)});
  }

  std::vector<std::string> RowNames() {
    std::vector<std::string> names;
    for (int row = 0; row < List().RowCount(); ++row)
      names.push_back(Cell(row, partlist::kPartName));
    return names;
  }

  int Journals() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(drive.Host("temp/velmora-journal")))
      count += entry.path().extension() == ".jnl";
    return count;
  }
};

TEST_F(UndoTest, NothingToUndoBeforeAnyRunAndAfterAnInspection) {
  SmallAssembly();
  Undo(msg::kUndoNothing);
  Execute(Operation::Inspect);
  Undo(msg::kUndoNothing);
}

TEST_F(UndoTest, GeneratedChangeComesBackByteForByteAndTheListAsBefore) {
  const std::string top = drive.MakeAssembly("gen", "--parts 40 --seed 11");
  Start();
  ASSERT_TRUE(ChooseInputPart(top));
  const auto before = DriveSnapshot();
  const std::vector<std::string> rows = RowNames();
  List().SetText(0, partlist::kNewPartName, "top-renamed.prt");
  for (int row = 3; row < List().RowCount(); row += 3)
    ASSERT_TRUE(dialog.OnEndLabelEdit(row, "r" + std::to_string(row) + ".PRT"));
  ui.controlOptions.overwriteAll = 1;
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  ASSERT_NE(DriveSnapshot(), before);

  Undo(msg::kUndoDone);
  EXPECT_EQ(DriveSnapshot(), before);
  EXPECT_EQ(State().inputPartPath, top);
  EXPECT_EQ(RowNames(), rows);
  for (int row = 0; row < List().RowCount(); ++row)
    EXPECT_EQ(Cell(row, partlist::kNewPartName), "") << row;
  Undo(msg::kUndoNothing);
}

TEST_F(UndoTest, BulkCaseChangesGoBackRunByRunUnderTheOldSpellings) {
  SmallAssembly();
  const auto original = DriveSnapshot();
  Execute(Operation::LowerAllParts);
  ASSERT_EQ(ui.Last(), Msg(msg::kRunFinished));
  const auto lowered = DriveSnapshot();
  ASSERT_TRUE(lowered.contains("work/mid.prt"));
  Execute(Operation::UpperAllParts);
  ASSERT_EQ(ui.Last(), Msg(msg::kRunFinished));
  ASSERT_TRUE(DriveSnapshot().contains("work/MID.PRT"));

  Undo(msg::kUndoDone);
  EXPECT_EQ(DriveSnapshot(), lowered);
  EXPECT_EQ(State().inputPartPath, "d:\\work\\top.prt");
  Undo(msg::kUndoDone);
  EXPECT_EQ(DriveSnapshot(), original);
  EXPECT_EQ(State().inputPartPath, drive.Win("work/Top.prt"));
  EXPECT_EQ(RowNames(), (std::vector<std::string>{"Top.prt", "Mid.PRT", "Leaf.prt"}));
  Undo(msg::kUndoNothing);
}

// A case-only new name replaces the file under the new spelling; undo must bring the old spelling
// back and not take the restored file for the created one.
TEST_F(UndoTest, CaseOnlyRenameComesBackUnderItsSpelling) {
  SmallAssembly();
  const auto original = DriveSnapshot();
  ASSERT_TRUE(dialog.OnEndLabelEdit(RowOf("Mid.PRT"), "mid.prt"));
  Execute(Operation::Change);
  ASSERT_EQ(ui.Last(), Msg(msg::kRunFinished));
  ASSERT_TRUE(DriveSnapshot().contains("work/mid.prt"));
  ASSERT_FALSE(DriveSnapshot().contains("work/Mid.PRT"));
  Undo(msg::kUndoDone);
  EXPECT_EQ(DriveSnapshot(), original);
}

TEST_F(UndoTest, KeepsTheLastTenRuns) {
  SmallAssembly();
  std::vector<std::map<std::string, std::string>> states{DriveSnapshot()};
  for (int run = 0; run < 11; ++run) {
    Execute(run % 2 == 0 ? Operation::UpperAllParts : Operation::LowerAllParts);
    ASSERT_EQ(ui.Last(), Msg(msg::kRunFinished)) << run;
    states.push_back(DriveSnapshot());
  }
  EXPECT_EQ(Journals(), 10);
  for (int run = 11; run > 1; --run) {
    Undo(msg::kUndoDone);
    EXPECT_EQ(DriveSnapshot(), states[static_cast<std::size_t>(run - 1)]) << run;
  }
  Undo(msg::kUndoNothing);
  EXPECT_EQ(DriveSnapshot(), states[1]);
}

TEST_F(UndoTest, AFileChangedSinceTheRunIsNamedAndNothingIsTouched) {
  SmallAssembly();
  Execute(Operation::LowerAllParts);
  ASSERT_EQ(ui.Last(), Msg(msg::kRunFinished));
  drive.WriteFile("work/mid.prt", drive.ReadFile("work/mid.prt") + "changed later\n");
  const auto changed = DriveSnapshot();
  // The original's copy is named, to be taken back by hand.
  Undo(text::ToDisplayUtf8(msg::kUndoFileChangedKept(drive.Win("work/mid.prt"),
                                                     drive.Win("temp/velmora-journal/00000001-2.bak"))));
  EXPECT_EQ(DriveSnapshot(), changed);
  EXPECT_EQ(Journals(), 1);
}

TEST_F(UndoTest, ARunStoppedPartWayIsUndone) {
  const std::string top = drive.MakeAssembly("gen", "--parts 30 --seed 5");
  Start();
  ASSERT_TRUE(ChooseInputPart(top));
  const auto before = DriveSnapshot();
  for (int row = 1; row < List().RowCount(); row += 2)
    ASSERT_TRUE(dialog.OnEndLabelEdit(row, "n" + std::to_string(row) + ".prt"));
  ui.controlOptions.overwriteAll = 1;
  setenv("VELMORA_CAD_FAIL", "-change_name", 1);
  Execute(Operation::Change);
  ASSERT_NE(ui.Last(), Msg(msg::kRunFinished));
  ASSERT_NE(DriveSnapshot(), before);
  unsetenv("VELMORA_CAD_FAIL");
  Undo(msg::kUndoDone);
  EXPECT_EQ(DriveSnapshot(), before);
}

TEST_F(UndoTest, NoRunWritesWithoutItsJournal) {
  SmallAssembly();
  const auto before = DriveSnapshot();
  host.Fail(velmora::testing::Call::AppendDurably);
  Execute(Operation::LowerAllParts);
  EXPECT_EQ(ui.Last(), Msg(msg::kJournalWriteFailed));
  EXPECT_EQ(DriveSnapshot(), before);
}

}  // namespace
}  // namespace velmora::app::test
