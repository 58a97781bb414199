#include "operations/executor.h"

#include <limits>
#include <optional>
#include <string>

#include "operations/fast_schedule.h"
#include "operations/inspect.h"
#include "operations/path_budget.h"
#include "operations/replacement.h"
#include "operations/structure_pass.h"
#include "partlist/part_row.h"
#include "resources/messages/operations.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "text/file_name.h"

namespace velmora::operations {
namespace {

// A file copied onto itself keeps its spelling (and Windows refuses the copy), so a new spelling of
// the same file is a rename of it, in one atomic step. Nothing at the new spelling, or the source
// itself found there by a lookup that ignores case, is the same file; a host that tells the
// spellings apart may hold a different file there, which is then a file in the way like any other.
bool SameFileOrAbsent(platform::Host& host, std::string_view source, std::string_view target) {
  const std::optional<platform::FileStatus> to = host.Stat(target);
  if (!to)
    return true;
  const std::optional<platform::FileStatus> from = host.Stat(source);
  return from && from->id == to->id;
}

Step Place(Context& context, const Action& action, std::string_view messageTail) {
  if (context.journal.BeforeWrite(action.path, action.journalKind, action.source) == Step::Failed)
    return Step::Failed;
  const bool placed = action.kind == ActionKind::Rename
                          ? context.host.Rename(action.source, action.path)
                          : context.host.CopyFile(action.source, action.path, action.failIfExists);
  if (placed)
    return Step::Done;
  // Said only when the platform said why: the file and the reason.
  const std::string name(text::FileNameOf(action.source));
  const std::string reason = toolrunner::ReasonLine(context.host.LastError());
  context.ui.ShowMessage(reason.empty()
                             ? msg::ReplaceCopyFailed(name, messageTail)
                             : msg::ReplaceCopyFailed(name, action.path + '\n' + reason, messageTail));
  return Step::Failed;
}

Step Edit(Context& context, const Action& action, std::string_view messageTail) {
  if (context.journal.BeforeWrite(action.path, action.journalKind) == Step::Failed ||
      context.runner.RunTool(ToolCallOf(action), messageTail) == Step::Failed)
    return Step::Failed;
  return context.journal.AfterWrite(action.path);
}

// One part of the plan in order, each progress point passed before the action it precedes.
Step RunPart(Context& context, const PlannedRun& run, bool bulk, std::string_view messageTail) {
  std::size_t point = bulk ? run.bulkPoint : 0;
  const std::size_t pointEnd = bulk ? run.points.size() : run.bulkPoint;
  const auto stoppedBefore = [&](std::size_t action) {
    for (; point < pointEnd && run.points[point].before <= action; ++point) {
      const ProgressPoint& at = run.points[point];
      if (context.progress.Reached(context.state.partList.Text(at.row, partlist::kPartName), at.newStep,
                                   messageTail))
        return true;
    }
    return false;
  };
  const std::size_t end = bulk ? run.actions.size() : run.bulkAction;
  for (std::size_t i = bulk ? run.bulkAction : 0; i < end; ++i) {
    if (stoppedBefore(i) || RunAction(context, run.actions[i], messageTail) == Step::Failed)
      return Step::Failed;
  }
  return stoppedBefore(std::numeric_limits<std::size_t>::max()) ? Step::Failed : Step::Done;
}

void CloseListing(Context& context, platform::TextStream& listing) {
  if (listing.IsOpen() && !listing.Close())
    context.ui.ShowMessage(msg::kPcCloseFailedNoTail());
}

// The work files of every reference edit the plan makes fit: only the plan knows which parents are
// edited, and in which files. Failed after its message, which names the edited row's part.
Step EditsFit(Context& context, const PlannedRun& run, std::string_view messageTail) {
  const PathBudget budget(context, messageTail);
  for (const Action& action : run.actions) {
    if (action.kind == ActionKind::ReferenceEdit &&
        budget.WorkFilesFit(action.path, action.mode,
                            context.state.partList.Text(action.row, partlist::kPartName)) == Step::Failed)
      return Step::Failed;
  }
  return Step::Done;
}

int StepCount(const PlannedRun& run) {
  int steps = 0;
  for (const ProgressPoint& point : run.points)
    steps += point.newStep ? 1 : 0;
  return steps;
}

}  // namespace

PlanInput PlanInputOnDisk(Context& context, std::string_view inputFolder, const StructureTree& tree) {
  platform::Host& host = context.host;
  return {.state = context.state,
          .inputFolder = inputFolder,
          .tree = tree,
          .existsAtStart = [&host](std::string_view path) { return host.Stat(path).has_value(); },
          .sameFileOrAbsent =
              [&host](std::string_view source, std::string_view target) {
                return SameFileOrAbsent(host, source, target);
              }};
}

toolrunner::ToolCall ToolCallOf(const Action& action) {
  return {.mode = action.mode,
          .inFile = action.kind == ActionKind::BulkEdit ? action.source : action.path,
          .outFile = action.path,
          .befFile = action.befFile,
          .aftFile = action.aftFile};
}

Step RunAction(Context& context, const Action& action, std::string_view messageTail) {
  switch (action.kind) {
    case ActionKind::Copy:
    case ActionKind::Rename:
      return Place(context, action, messageTail);
    case ActionKind::ReferenceEdit:
    case ActionKind::BulkEdit:
      return Edit(context, action, messageTail);
    case ActionKind::Resave:
      return ResavePart(context, action.path, messageTail);
    case ActionKind::CloseAll:
      break;
  }
  if (context.cad.PartCloseAll())
    return Step::Done;
  context.ui.ShowMessage(
      msg::kReplaceCloseAllFailed(std::string(text::FileNameOf(action.source)), messageTail));
  return Step::Failed;
}

Step RunActions(Context& context, const std::vector<Action>& actions, std::string_view messageTail) {
  for (const Action& action : actions) {
    if (RunAction(context, action, messageTail) == Step::Failed)
      return Step::Failed;
  }
  return Step::Done;
}

Step PerformOnListing(Context& context, platform::TextStream& listing, const PlannedRun& run,
                      std::string_view messageTail) {
  if (RunPart(context, run, false, messageTail) == Step::Done)
    return Step::Done;
  CloseListing(context, listing);
  return Step::Failed;
}

Step RunChange(Context& context, std::string_view inputKey, std::string_view inputFolder) {
  const std::string refused = msg::kTailRunRefused();
  const std::string broken = msg::kTailRunBroken();
  const bool fast = context.state.options.fastSchedule != 0;
  StructureTree tree;
  PlannedRun run;
  bool changed = false;  // the change's part has been carried out
  if (context.state.partList.RowCount() < 2) {
    if (RunSinglePartPass(context, PassMode::Check, refused) == Step::Failed)
      return Step::Failed;
    run = PlanRun(PlanInputOnDisk(context, inputFolder, tree));
  } else {
    // A failing pass has shown its message and closed the listing. The check pass wrote nothing,
    // so its listing goes too; after a failed change it stays for the user to look at, unless the
    // user stopped it: then there is nothing to look at, and it would refuse the next run.
    const auto passes = [&](platform::TextStream& listing, const std::string& listingPath) {
      if (CheckingStructurePass(context, listing, listingPath, PassMode::Check, refused, inputFolder,
                                &tree) == Step::Failed)
        return Step::Failed;
      run = PlanRun(PlanInputOnDisk(context, inputFolder, tree));
      if (EditsFit(context, run, refused) == Step::Failed) {
        // Refused before the first write: nothing of it may block the next run.
        CloseListing(context, listing);
        static_cast<void>(context.host.Remove(listingPath));
        return Step::Failed;
      }
      if (fast)
        return Step::Done;
      context.progress.Begin(StepCount(run));
      changed = true;
      const Step performed = PerformOnListing(context, listing, run, broken);
      if (performed == Step::Failed && context.progress.Cancelled())
        static_cast<void>(context.host.Remove(listingPath));
      return performed;
    };
    if (RunOnStructure(context, inputKey, refused, broken, passes) == Step::Failed)
      return Step::Failed;
  }
  if (fast)
    return RunFastActions(context, FastOrder(run.actions, tree, context.state.partList.RowCount()),
                          SideBySideJobs(context.host), broken);
  if (!changed) {
    context.progress.Begin(StepCount(run));
    if (RunPart(context, run, false, broken) == Step::Failed)
      return Step::Failed;
  }
  return RunPart(context, run, true, broken);
}

}  // namespace velmora::operations
