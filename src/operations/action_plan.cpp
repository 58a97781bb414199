#include "operations/action_plan.h"

#include <unordered_set>
#include <utility>

#include "operations/bulk.h"
#include "operations/structure_reader.h"
#include "operations/target_plan.h"
#include "partlist/part_row.h"
#include "resources/messages/structure.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::operations {

void StructureTree::Add(int row, int level) {
  const auto at = static_cast<std::size_t>(level);
  if (lastAtLevel.size() <= at)
    lastAtLevel.resize(at + 1, -1);
  lines.push_back({row, level, level == 0 ? -1 : lastAtLevel[at - 1]});
  lastAtLevel[at] = static_cast<int>(lines.size()) - 1;
}

std::optional<StructureTree> ReadStructureTree(Context& context, platform::TextStream& listing,
                                               std::string_view messageTail, PassMode passMode) {
  StructureReader reader(context, listing, passMode, messageTail);
  StructureTree tree;
  StructureLine line;
  for (;;) {
    const StructureReader::Next next = reader.NextLine(line);
    if (next == StructureReader::Next::Failed)
      return std::nullopt;
    if (next == StructureReader::Next::End)
      break;
    // A number that no row holds any more: the list changed after the check pass numbered it.
    if (passMode == PassMode::Perform && line.level > 0 &&
        context.state.partList.FindRow(partlist::kNumber,
                                       text::FormatInt(reader.LevelEntry(line.level - 1))) < 0) {
      static_cast<void>(reader.Fail(msg::kNoMatchingNumber));
      return std::nullopt;
    }
    tree.Add(line.row, line.level);
    reader.Advance();
  }
  if (reader.Finish() == Step::Failed)
    return std::nullopt;
  return tree;
}

namespace {

using partlist::PartList;
using toolrunner::ToolMode;

// Each kind of action with what it names; the rest stays at its default.
Action EditAction(ToolMode mode, std::string path, std::string bef, std::string aft, int row) {
  Action action;
  action.kind = ActionKind::ReferenceEdit;
  action.path = std::move(path);
  action.mode = mode;
  action.befFile = std::move(bef);
  action.aftFile = std::move(aft);
  action.row = row;
  return action;
}

Action ResaveAction(std::string path, int row) {
  Action action;
  action.kind = ActionKind::Resave;
  action.path = std::move(path);
  action.journalKind = journal::WriteKind::Resaved;
  action.row = row;
  return action;
}

Action CloseAllAction(std::string placed) {
  Action action;
  action.source = std::move(placed);
  return action;
}

bool AnyNewPath(const PartList& list) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (!list.RowPath(row, true).empty())
      return true;
  }
  return false;
}

class Planner {
 public:
  explicit Planner(const PlanInput& input)
      : input_(input),
        list_(input.state.partList),
        options_(input.state.options),
        operation_(input.state.operation),
        removingFolders_(operation_ == Operation::RemoveAllFolders),
        inputKey_(text::ToLower(input.state.inputPartPath)),
        inputFolder_(input.inputFolder),
        finalPaths_(FinalPaths(input.state, input.inputFolder)),
        handled_(static_cast<std::size_t>(list_.RowCount()), false) {}

  PlannedRun Run() && {
    if (list_.RowCount() < 2) {
      // The input part alone: no structure is read.
      if (AnyNewPath(list_))
        Replace(list_.RowPath(0, false), list_.RowPath(0, true), CopyMode::Overwrite, true, 0);
    } else if (WalksStructure(input_.state)) {
      StructurePass();
    }
    run_.bulkAction = run_.actions.size();
    run_.bulkPoint = run_.points.size();
    if (BulkMode(operation_))
      BulkPass();
    return std::move(run_);
  }

  std::vector<Action> Placed(const Placement& placement) && {
    Replace(std::string(placement.source), std::string(placement.destination), placement.copyMode,
            placement.closeAll, placement.row);
    return std::move(run_.actions);
  }

  std::vector<Action> BulkOn(int row) && {
    if (BulkMode(operation_))
      BulkRow(row);
    return std::move(run_.actions);
  }

 private:
  [[nodiscard]] bool Exists(std::string_view path) const {
    return created_.contains(text::ToLower(path)) || input_.existsAtStart(path);
  }
  [[nodiscard]] bool IsInputRow(int row) const {
    return text::ToLower(list_.RowPath(row, false)) == inputKey_;
  }
  // The row's copy lands in a folder other than its own; gathering every part is no move.
  [[nodiscard]] bool MovesToAnotherFolder(int row) const {
    const std::string& newFolder = list_.Text(row, partlist::kNewFolderName);
    return !removingFolders_ && !newFolder.empty() &&
           text::ToLower(newFolder) != text::ToLower(list_.Text(row, partlist::kFolderName));
  }

  void Add(Action action) {
    if (action.kind == ActionKind::Copy || action.kind == ActionKind::Rename ||
        action.kind == ActionKind::BulkEdit)
      created_.insert(text::ToLower(action.path));
    run_.actions.push_back(std::move(action));
  }
  void Point(int row, bool newStep) { run_.points.push_back({run_.actions.size(), row, newStep}); }

  void StructurePass() {
    const std::vector<StructureTree::Line>& lines = input_.tree.lines;
    levelRows_.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const StructureTree::Line& line = lines[i];
      const auto level = static_cast<std::size_t>(line.level);
      if (levelRows_.size() <= level)
        levelRows_.resize(level + 1, -1);
      levelRows_[level] = line.row;
      const bool isInput = IsInputRow(line.row);
      Point(line.row, isInput || !handled_[static_cast<std::size_t>(line.row)]);
      if (isInput)
        InputLine(i);
      else
        OtherLine(i);
    }
  }

  void InputLine(std::size_t index) {
    const StructureTree::Line& line = input_.tree.lines[index];
    const std::string newPath = list_.RowPath(line.row, true);
    Replace(list_.RowPath(line.row, false), newPath, CopyMode::Overwrite, true, line.row);
    if (MovesToAnotherFolder(line.row))
      KeepComponentFolders(index, newPath);
  }

  void OtherLine(std::size_t index) {
    const StructureTree::Line& line = input_.tree.lines[index];
    const std::string newPath = list_.RowPath(line.row, true);
    const bool repeated = handled_[static_cast<std::size_t>(line.row)];
    handled_[static_cast<std::size_t>(line.row)] = true;
    // Only a copy made here is the run's to edit; a file already at the new path is kept as it is.
    const bool keepComponents = !repeated && MovesToAnotherFolder(line.row) && !Exists(newPath);
    Replace(list_.RowPath(line.row, false), newPath, CopyMode::IfMissing, true, line.row);
    if (keepComponents && Exists(newPath))
      KeepComponentFolders(index, newPath);
    if (!newPath.empty())
      AncestorWalk(line);
  }

  // A copy in another folder would look for its folderless components beside itself: each direct
  // component that does not end up in the copy's folder gets its final folder spelt out.
  void KeepComponentFolders(std::size_t index, const std::string& copyPath) {
    const std::vector<StructureTree::Line>& lines = input_.tree.lines;
    const int level = lines[index].level;
    const std::string copyFolder = text::ToLower(text::FolderOf(copyPath));
    std::unordered_set<int> done;
    for (std::size_t i = index + 1; i < lines.size() && lines[i].level > level; ++i) {
      const int component = lines[i].row;
      if (lines[i].level != level + 1 || !done.insert(component).second)
        continue;
      const std::string& newFolder = list_.Text(component, partlist::kNewFolderName);
      const std::string& folder =
          newFolder.empty() ? list_.Text(component, partlist::kFolderName) : newFolder;
      if (text::ToLower(folder) == copyFolder)
        continue;
      Add(EditAction(ToolMode::ChangeComponentFolder, copyPath, list_.Text(component, partlist::kPartName),
                     std::string(text::WithoutLastCharacter(folder)), lines[index].row));
    }
  }

  // Every part above a changed one: its reference edited by the direct parent, each re-saved.
  void AncestorWalk(const StructureTree::Line& line) {
    for (int d = line.level - 1; d >= 0; --d) {
      const int ancestor = levelRows_[static_cast<std::size_t>(d)];
      const std::string aOld = list_.RowPath(ancestor, false);
      const std::string aNew =
          removingFolders_ ? finalPaths_[static_cast<std::size_t>(ancestor)] : list_.RowPath(ancestor, true);
      if (d == line.level - 1) {
        const std::string& folder =
            removingFolders_ ? inputFolder_ : list_.Text(line.row, partlist::kNewFolderName);
        const std::string& bef = list_.Text(line.row, partlist::kPartName);
        ReferenceEdit(ToolMode::ChangeComponentFolder, aOld, aNew, bef,
                      std::string(text::WithoutLastCharacter(folder)), ancestor);
        ReferenceEdit(ToolMode::ChangeName, aOld, aNew, bef, list_.Text(line.row, partlist::kNewPartName),
                      ancestor);
      }
      Replace(aOld, aNew, CopyMode::IfMissingElseResave, d == 0, ancestor);
    }
  }

  void ReferenceEdit(ToolMode mode, const std::string& parentOld, const std::string& parentNew,
                     const std::string& bef, const std::string& aft, int row) {
    // A parent whose new file was not made (missing files not copied) is left alone.
    if (aft.empty() || (!parentNew.empty() && !Exists(parentNew)))
      return;
    Add(EditAction(mode, parentNew.empty() ? parentOld : parentNew, bef, aft, row));
  }

  void Replace(const std::string& source, const std::string& destination, CopyMode copyMode, bool closeAll,
               int row) {
    std::string target = destination;
    if (copyMode != CopyMode::Overwrite && removingFolders_)
      target = finalPaths_[static_cast<std::size_t>(row)];
    if (!target.empty())
      Place(source, target, copyMode, row);
    else if (copyMode == CopyMode::IfMissingElseResave && options_.allowReplaceAll != 0)
      Add(ResaveAction(source, row));
    if (closeAll)
      Add(CloseAllAction(target.empty() ? std::string() : source));
  }

  void Place(const std::string& source, const std::string& target, CopyMode copyMode, int row) {
    const bool caseOnly = IsCaseOnlyRename(source, target);
    // A case-only rename finds its own source at the new spelling: that is no file in the way.
    const bool renameInPlace =
        caseOnly && (!input_.sameFileOrAbsent || input_.sameFileOrAbsent(source, target));
    const auto resave = [&] {
      if (options_.allowReplaceAll != 0)
        Add(ResaveAction(target, row));
    };
    const auto copy = [&](bool failIfExists, journal::WriteKind kind) {
      Action action;
      action.kind = renameInPlace ? ActionKind::Rename : ActionKind::Copy;
      action.path = target;
      action.source = source;
      action.failIfExists = !renameInPlace && failIfExists;
      action.journalKind = kind;
      action.row = row;
      Add(std::move(action));
      resave();
    };
    if (copyMode == CopyMode::Overwrite) {
      if (text::ToLower(source) == text::ToLower(target) && !caseOnly)
        resave();
      else
        copy(false, journal::WriteKind::Overwritten);
      return;
    }
    const bool present = Exists(target);
    if ((!present || renameInPlace) && options_.copyMissingFiles != 0)
      copy(true, journal::WriteKind::Created);
    else if (present && copyMode == CopyMode::IfMissingElseResave)
      resave();
  }

  void BulkPass() {
    int inputRow = -1;
    for (int row = 0; row < list_.RowCount(); ++row) {
      const bool isInput = IsInputRow(row);
      // Removing the folders does the input part last.
      if (isInput && removingFolders_)
        inputRow = row;
      else if (isInput || options_.inputPartOnly == 0)
        PointAndBulkRow(row);
    }
    if (inputRow >= 0)
      PointAndBulkRow(inputRow);
  }

  void PointAndBulkRow(int row) {
    Point(row, true);
    BulkRow(row);
  }

  // On the file the change left for the row; a new name or folder that produced no file leaves
  // nothing to work on.
  void BulkRow(int row) {
    const std::string& source = finalPaths_[static_cast<std::size_t>(row)];
    const std::string folder(text::FolderOf(source));
    if (folder.empty() || (!removingFolders_ && !list_.RowPath(row, true).empty() && !Exists(source)))
      return;
    const std::string name(text::FileNameOf(source));
    const ToolMode mode = *BulkMode(operation_);
    const std::string written = mode == ToolMode::LowerNames   ? text::ToLower(name)
                                : mode == ToolMode::UpperNames ? text::ToUpper(name)
                                                               : name;
    Action action;
    action.kind = ActionKind::BulkEdit;
    action.path = folder + written;
    action.source = source;
    action.mode = mode;
    action.row = row;
    Add(std::move(action));
  }

  const PlanInput& input_;
  const PartList& list_;
  const Options& options_;
  const Operation operation_;
  const bool removingFolders_;
  const std::string inputKey_;
  const std::string inputFolder_;
  const std::vector<std::string> finalPaths_;
  std::vector<bool> handled_;                // rows whose line has been met
  std::vector<int> levelRows_;               // the row on the current branch at each level
  std::unordered_set<std::string> created_;  // lower-cased paths the run has written
  PlannedRun run_;
};

}  // namespace

bool WalksStructure(const DialogState& state) {
  return state.partList.RowCount() >= 2 &&
         (state.operation == Operation::RemoveAllFolders || AnyNewPath(state.partList));
}

PlannedRun PlanRun(const PlanInput& input) {
  return Planner(input).Run();
}

std::vector<Action> MakeRunPlan(const PlanInput& input) {
  return PlanRun(input).actions;
}

std::vector<Action> PlanPlacement(const PlanInput& input, const Placement& placement) {
  return Planner(input).Placed(placement);
}

std::vector<Action> PlanBulkRow(const PlanInput& input, int row) {
  return Planner(input).BulkOn(row);
}

}  // namespace velmora::operations
