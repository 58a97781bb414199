// The plan of a run on tables: rows, a tree of lines and the files present before the run.

#include "operations/action_plan.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "text/mbstring.h"

namespace velmora::operations {
namespace {

class ActionPlanTest : public ::testing::Test {
 protected:
  ActionPlanTest() {
    state.inputPartPath = "D:\\w\\a.prt";
    state.options.overwriteAll = 1;
    state.operation = Operation::Change;
  }

  void Row(std::string name, std::string newName = {}) {
    partlist::PartRow row;
    row.partName = std::move(name);
    row.folderName = "D:\\w\\";
    row.newPartName = std::move(newName);
    state.partList.InsertRow(state.partList.RowCount(), std::move(row));
    present.insert(
        text::ToLower("D:\\w\\" + state.partList.Text(state.partList.RowCount() - 1, partlist::kPartName)));
  }
  // Lines as (row, level); each hangs under the last line one level up.
  void Lines(const std::vector<std::pair<int, int>>& lines) {
    std::vector<int> last;
    for (const auto& [row, level] : lines) {
      last.resize(static_cast<std::size_t>(level) + 1);
      last[static_cast<std::size_t>(level)] = static_cast<int>(tree.lines.size());
      tree.lines.push_back({row, level, level == 0 ? -1 : last[static_cast<std::size_t>(level) - 1]});
    }
  }

  std::vector<std::string> Plan() {
    std::vector<std::string> shown;
    for (const Action& action :
         MakeRunPlan({.state = state,
         .inputFolder = "D:\\w\\",
         .tree = tree,
         .existsAtStart = [this](std::string_view path) { return present.contains(text::ToLower(path)); }})) {
      switch (action.kind) {
        case ActionKind::Copy:
          shown.push_back("copy " + action.source + " " + action.path);
          break;
        case ActionKind::Rename:
          shown.push_back("rename " + action.source + " " + action.path);
          break;
        case ActionKind::ReferenceEdit:
        case ActionKind::BulkEdit:
          shown.push_back(std::string(toolrunner::Spelling(action.mode)) + " " +
                          (action.source.empty() ? "" : action.source + " ") + action.path +
                          (action.befFile.empty() ? "" : " " + action.befFile + " " + action.aftFile));
          break;
        case ActionKind::Resave:
          shown.push_back("resave " + action.path);
          break;
        case ActionKind::CloseAll:
          shown.emplace_back("close");
          break;
      }
    }
    return shown;
  }

  DialogState state;
  StructureTree tree;
  std::set<std::string> present;
};

TEST_F(ActionPlanTest, ARenamedPartIsCopiedAndItsParentEditedAndResavedUpToTheTop) {
  Row("a.prt");
  Row("b.prt", "b2.prt");
  Row("c.prt");
  Lines({{0, 0}, {1, 1}, {2, 2}});
  EXPECT_EQ(Plan(), (std::vector<std::string>{
                        "close", "copy D:\\w\\b.prt D:\\w\\b2.prt", "resave D:\\w\\b2.prt", "close",
                        "-change_name D:\\w\\a.prt b.prt b2.prt", "resave D:\\w\\a.prt", "close", "close"}));
}

// The specified schedule does each use of a part again: the copy made at the first use is found
// at the second, but the parent's edit and every ancestor's re-save come once per use.
TEST_F(ActionPlanTest, APartUsedTwiceIsCopiedOnceButItsAncestorsAreDoneAtEachUse) {
  Row("a.prt");
  Row("b.prt");
  Row("c.prt", "c2.prt");
  Lines({{0, 0}, {1, 1}, {2, 2}, {1, 1}, {2, 2}});
  const std::vector<std::string> atEachUse = {"-change_name D:\\w\\b.prt c.prt c2.prt", "resave D:\\w\\b.prt",
                                              "resave D:\\w\\a.prt", "close"};
  std::vector<std::string> expected = {"close", "close", "copy D:\\w\\c.prt D:\\w\\c2.prt",
                                       "resave D:\\w\\c2.prt", "close"};
  expected.insert(expected.end(), atEachUse.begin(), atEachUse.end());
  expected.insert(expected.end(), {"close", "close"});
  expected.insert(expected.end(), atEachUse.begin(), atEachUse.end());
  EXPECT_EQ(Plan(), expected);
}

// Without copies of missing files a renamed parent has no new file: its edits are left out, and
// nothing is re-saved but what is there.
TEST_F(ActionPlanTest, ANewFileNotMadeIsNeitherEditedNorResaved) {
  state.options.copyMissingFiles = 0;
  Row("a.prt");
  Row("b.prt", "b2.prt");
  Row("c.prt", "c2.prt");
  Lines({{0, 0}, {1, 1}, {2, 2}});
  EXPECT_EQ(Plan(), (std::vector<std::string>{"close", "close", "-change_name D:\\w\\a.prt b.prt b2.prt",
                                              "resave D:\\w\\a.prt", "close", "close", "resave D:\\w\\a.prt",
                                              "close"}));
}

// A bulk run after new names works on the files the change made; a case change of a name is a
// new spelling of the same file.
TEST_F(ActionPlanTest, BulkRunsFollowTheChangeOnTheFilesItMade) {
  state.operation = Operation::UpperAllParts;
  state.options.allowReplaceAll = 0;
  Row("a.prt");
  Row("b.prt", "B.prt");
  Lines({{0, 0}, {1, 1}});
  EXPECT_EQ(Plan(),
            (std::vector<std::string>{
                "close", "rename D:\\w\\b.prt D:\\w\\B.prt", "close", "-change_name D:\\w\\a.prt b.prt B.prt",
                "close", "-upper_name D:\\w\\a.prt D:\\w\\A.PRT", "-upper_name D:\\w\\B.prt D:\\w\\B.PRT"}));
}

// The specified schedule stops and counts between the files: a point at each line of the change,
// a step at a row's first line only, then a point and a step at each bulk row.
TEST_F(ActionPlanTest, EveryLineIsAProgressPointAndEveryRowOneStep) {
  state.operation = Operation::LowerAllParts;
  Row("a.prt");
  Row("b.prt");
  Row("c.prt", "c2.prt");
  Lines({{0, 0}, {1, 1}, {2, 2}, {1, 1}, {2, 2}});
  const PlannedRun run = PlanRun(
      {.state = state,
       .inputFolder = "D:\\w\\",
       .tree = tree,
       .existsAtStart = [this](std::string_view path) { return present.contains(text::ToLower(path)); }});
  std::vector<std::pair<int, bool>> points;
  for (const ProgressPoint& point : run.points)
    points.emplace_back(point.row, point.newStep);
  EXPECT_EQ(points,
            (std::vector<std::pair<int, bool>>{
                {0, true}, {1, true}, {2, true}, {1, false}, {2, false}, {0, true}, {1, true}, {2, true}}));
  ASSERT_EQ(run.bulkPoint, 5u);
  ASSERT_LT(run.bulkAction, run.actions.size());
  for (std::size_t i = 0; i < run.actions.size(); ++i)
    EXPECT_EQ(run.actions[i].kind == ActionKind::BulkEdit, i >= run.bulkAction) << i;
  // Each bulk row's point comes right before its run; the change's come in order before them.
  for (std::size_t i = run.bulkPoint; i < run.points.size(); ++i)
    EXPECT_EQ(run.points[i].before, run.bulkAction + (i - run.bulkPoint));
  for (std::size_t i = 1; i < run.points.size(); ++i)
    EXPECT_LE(run.points[i - 1].before, run.points[i].before);
}

}  // namespace
}  // namespace velmora::operations
