// The progress of change and bulk runs on generated assemblies: one step per file, the points at
// which the user may stop, and a stopped run that ends with its message and is undone whole.

#include <stdlib.h>

#include <algorithm>

#include "dialog_fixture.h"
#include "resources/messages/journal.h"
#include "resources/messages/operations.h"
#include "resources/messages/runner.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"

namespace velmora::app::test {
namespace {

using operations::Operation;
using Point = velmora::testing::ScriptedUi::ProgressPoint;

class ProgressTest : public DialogFixture {
 protected:
  ~ProgressTest() override { unsetenv("VELMORA_CAD_DELAY_MS"); }

  void Generated(std::string_view arguments) {
    top_ = drive.MakeAssembly("gen", arguments);
    Start();
    ASSERT_TRUE(ChooseInputPart(top_));
    ui.messages.clear();
    ui.controlOptions.overwriteAll = 1;
    ui.controlOptions.swapInputAfterRun = 0;
  }
  void RenameEveryThird() {
    for (int row = 1; row < List().RowCount(); row += 3)
      ASSERT_TRUE(dialog.OnEndLabelEdit(row, "p" + std::to_string(row) + ".prt"));
  }
  void Rerun(Operation operation) {
    ui.progressTotals.clear();
    ui.progressPoints.clear();
    ui.progressEnds = 0;
    ui.messages.clear();
    Execute(operation);
  }
  // Steps never go back, each goes up by one at most, and the last is the total.
  static ::testing::AssertionResult Counted(const std::vector<Point>& points, int total) {
    int last = 0;
    for (const Point& point : points) {
      if (point.step < last || point.step > last + 1)
        return ::testing::AssertionFailure() << "step " << point.step << " after " << last;
      last = point.step;
    }
    if (last != total)
      return ::testing::AssertionFailure() << "last step " << last << " of " << total;
    return ::testing::AssertionSuccess();
  }
  std::string Cancelled() const { return Msg(msg::kRunCancelled, msg::kTailRunBroken); }

  std::string top_;
};

TEST_F(ProgressTest, ChangeCountsEveryFileOnceAndEndsBeforeTheClosingMessage) {
  Generated("--parts 40 --seed 3");
  RenameEveryThird();
  const int rows = List().RowCount();
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_EQ(ui.progressTotals, std::vector<int>{rows});
  EXPECT_EQ(ui.progressEnds, 1);
  EXPECT_EQ(ui.messagesOverProgress, 0);
  EXPECT_TRUE(Counted(ui.progressPoints, rows));
  // The shared sub-assemblies are met again: more points than files.
  EXPECT_GT(ui.progressPoints.size(), static_cast<std::size_t>(rows));
  EXPECT_EQ(ui.progressPoints.front().file, Cell(0, partlist::kPartName));
}

TEST_F(ProgressTest, StoppedChangeEndsAtTheStepTellsSoAndIsUndoneWhole) {
  Generated("--parts 40 --seed 3");
  const auto before = DriveSnapshot();
  RenameEveryThird();
  ui.cancelAtStep = 12;
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Cancelled()});
  EXPECT_EQ(ui.messagesOverProgress, 0);
  EXPECT_EQ(ui.progressEnds, 1);
  ASSERT_FALSE(ui.progressPoints.empty());
  EXPECT_EQ(ui.progressPoints.back().step, 12);
  EXPECT_EQ(std::count_if(ui.progressPoints.begin(), ui.progressPoints.end(),
                          [](const Point& p) { return p.step == 12; }),
            1);
  EXPECT_NE(DriveSnapshot(), before);
  // Nothing of the stopped run is left in TEMP to refuse the next one.
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());

  ui.messages.clear();
  ui.answers.push_back(true);
  dialog.UndoLastRun();
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kUndoDone)});
  EXPECT_EQ(DriveSnapshot(), before);
  RenameEveryThird();
  ui.cancelAtStep = 0;
  Rerun(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
}

// A bulk run after new names walks the files twice: the perform pass, then a row each.
TEST_F(ProgressTest, BulkAfterNewNamesCountsBothPassesAndStopsBetweenRows) {
  Generated("--parts 30 --seed 8");
  const auto before = DriveSnapshot();
  RenameEveryThird();
  const int rows = List().RowCount();
  Execute(Operation::LowerAllParts);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  ASSERT_EQ(ui.progressTotals, std::vector<int>{2 * rows});
  EXPECT_TRUE(Counted(ui.progressPoints, 2 * rows));
  const std::vector<Point> full = ui.progressPoints;
  const auto done = DriveSnapshot();
  ui.messages.clear();
  ui.answers.push_back(true);
  dialog.UndoLastRun();
  ASSERT_EQ(DriveSnapshot(), before);

  // Stopped in the bulk pass: the same points as the full run up to the stop.
  RenameEveryThird();
  ui.cancelAtStep = rows + 5;
  Rerun(Operation::LowerAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Cancelled()});
  const auto stop =
      std::find_if(full.begin(), full.end(), [&](const Point& p) { return p.step == rows + 5; });
  EXPECT_EQ(ui.progressPoints, std::vector<Point>(full.begin(), stop + 1));
  const auto stopped = DriveSnapshot();
  EXPECT_NE(stopped, before);
  EXPECT_NE(stopped, done);
  ui.messages.clear();
  ui.answers.push_back(true);
  dialog.UndoLastRun();
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kUndoDone)});
  EXPECT_EQ(DriveSnapshot(), before);
}

TEST_F(ProgressTest, BulkOnTheInputPartAloneIsOneStepAndAStopBeforeItWritesNothing) {
  Generated("--parts 20 --seed 2");
  const auto before = DriveSnapshot();
  ui.controlOptions.inputPartOnly = 1;
  ui.cancelAtStep = 1;
  Execute(Operation::UpperAllParts);
  EXPECT_EQ(ui.progressTotals, std::vector<int>{1});
  EXPECT_EQ(ui.progressPoints, (std::vector<Point>{{1, Cell(0, partlist::kPartName)}}));
  EXPECT_EQ(ui.messages, std::vector<std::string>{Cancelled()});
  EXPECT_EQ(DriveSnapshot(), before);
}

// 中止 in a fast run while the edits hang: the user is asked once, as for a run of one tool, and
// Yes ends every tool running; the run stops with one message, leaves nothing in TEMP and is
// undone whole.
TEST_F(ProgressTest, FastChangeOffersToEndHungToolsOnceAndStops) {
  Generated("--parts 12 --seed 3");
  const auto before = DriveSnapshot();
  RenameEveryThird();
  ui.controlOptions.fastSchedule = 1;
  setenv("VELMORA_CAD_HANG", "-change_name", 1);
  setenv("VELMORA_JOBS", "3", 1);
  ui.stopRequested = true;
  ui.answers.push_back(true);
  Execute(Operation::Change);
  unsetenv("VELMORA_CAD_HANG");
  unsetenv("VELMORA_JOBS");
  EXPECT_EQ(ui.questions,
            std::vector<std::string>{text::ToDisplayUtf8(msg::kToolStillRunning(State().editToolPath))});
  EXPECT_EQ(ui.messages, std::vector<std::string>{Cancelled()});
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());

  ui.stopRequested = false;
  ui.messages.clear();
  ui.answers.push_back(true);
  dialog.UndoLastRun();
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kUndoDone)});
  EXPECT_EQ(DriveSnapshot(), before);
}

// Inspection shows no progress; a slow tool hands control back to the window while it runs.
TEST_F(ProgressTest, InspectionHasNoProgressAndSlowToolsLetTheWindowRepaint) {
  Generated("--parts 6 --seed 1");
  setenv("VELMORA_CAD_DELAY_MS", "150", 1);
  Execute(Operation::Inspect);
  EXPECT_EQ(ui.Last(), Msg(msg::kInspectCompleted));
  EXPECT_TRUE(ui.progressTotals.empty());
  EXPECT_TRUE(ui.progressPoints.empty());
  EXPECT_GE(ui.waits, 2);
}

}  // namespace
}  // namespace velmora::app::test
