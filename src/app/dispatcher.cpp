// "実行": the checks of the list and the options, then the passes of the chosen operation, the
// bulk runs, the swap of the input part and the closing message.

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/main_dialog.h"
#include "operations/bulk.h"
#include "operations/executor.h"
#include "operations/inspect.h"
#include "operations/list_building.h"
#include "operations/path_budget.h"
#include "operations/result_check.h"
#include "operations/target_plan.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::app {
namespace {

using operations::Operation;
using operations::PassMode;

// What one press works out from the list before any pass runs.
struct RunPlan {
  std::string inputKey;  // the input-part field, lower-cased
  int inputRowCount = 0;
  int changeScope = 0;  // 0 no new path, 1 only on the input part's row, 2 on another row too
  bool otherNewFolder = false;
  std::string resultInputPath;
  std::string inputFolder;
};

// Shown from the moment the list has been checked; every return ends it.
class WaitCursor {
 public:
  explicit WaitCursor(platform::Ui& ui) : ui_(&ui) { ui.BeginWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { End(); }

  void End() {
    if (ui_ != nullptr)
      ui_->EndWaitCursor();
    ui_ = nullptr;
  }

 private:
  platform::Ui* ui_;
};

// nullopt after its message when a listed file is gone: nothing may run on a list that no longer
// matches the disk.
std::optional<RunPlan> PlanRun(operations::Context& context) {
  const partlist::PartList& list = context.state.partList;
  RunPlan plan;
  plan.inputKey = text::ToLower(context.state.inputPartPath);
  for (int row = 0; row < list.RowCount(); ++row) {
    const std::string oldPath = text::ToLower(list.RowPath(row, false));
    std::string newPath = list.RowPath(row, true);
    if (!context.host.Stat(oldPath)) {
      context.ui.ShowMessage(
          msg::OldFileMissing(list.Text(row, partlist::kPartName), msg::kTailRunRefused()));
      return std::nullopt;
    }
    if (oldPath == plan.inputKey) {
      ++plan.inputRowCount;
      if (!newPath.empty()) {
        plan.resultInputPath = std::move(newPath);
        if (plan.changeScope == 0)
          plan.changeScope = 1;
      } else {
        plan.resultInputPath = oldPath;
      }
      plan.inputFolder = text::FolderOf(plan.resultInputPath);
    } else {
      if (!newPath.empty())
        plan.changeScope = 2;
      if (!list.Text(row, partlist::kNewFolderName).empty())
        plan.otherNewFolder = true;
    }
  }
  return plan;
}

// The message (cp932) of the first rule the combination breaks; empty when it may run.
std::string BrokenRule(const operations::DialogState& state, const RunPlan& plan) {
  const operations::Options& options = state.options;
  const bool removeFolders = state.operation == Operation::RemoveAllFolders;
  const std::string refused = msg::kTailRunRefused();
  if (plan.inputRowCount != 1)
    return msg::kRuleInputRowCount(refused);
  if (state.operation == Operation::Change && plan.changeScope == 0)
    return msg::kRuleNothingToChange();
  if (options.inputPartOnly != 0 && plan.changeScope == 2)
    return msg::kRuleInputPartOnly(refused);
  if (removeFolders && options.swapInputAfterRun != 0)
    return msg::kRuleRemoveFoldersWithSwap();
  if (removeFolders && options.copyMissingFiles == 0)
    return msg::kRuleRemoveFoldersWithoutCopy();
  if (removeFolders && options.allowReplaceAll == 0)
    return msg::kRuleRemoveFoldersWithoutResave();
  if (removeFolders && plan.otherNewFolder)
    return msg::kRuleRemoveFoldersWithNewFolder();
  return {};
}

// The message (cp932) refusing a run in which two rows would end at one file, or a row's copy
// would land on a file another row still has to be read from, or a rewritten reference's name
// would mean two rows; empty when the plan is sound.
// Checked whole before the first write, so that such a run never stops half-way.
std::string TargetClash(const operations::DialogState& state, const std::vector<std::string>& finalPaths) {
  const int row = operations::FirstClashingRow(state.partList, finalPaths);
  const std::string name =
      row >= 0 ? std::string(text::FileNameOf(finalPaths[static_cast<std::size_t>(row)]))
               : operations::SharedReferenceName(state.partList, finalPaths,
                                                 state.operation == Operation::RemoveAllFolders);
  if (name.empty())
    return {};
  return msg::TargetClash(name, msg::kTailRunRefused());
}

// Every path the list tells the run will make fits: each target, the work files of the structure
// listing and the result's listing of the input part, of each existing target's listing and of
// each bulk run. The pass checks those of the reference edits, which need the structure. Failed
// after its message, at the first row in list order.
Step PathsFit(operations::Context& context, const RunPlan& plan, const std::vector<std::string>& finalPaths) {
  using toolrunner::ToolMode;
  const operations::PathBudget budget(context, msg::kTailRunRefused());
  const partlist::PartList& list = context.state.partList;
  const std::optional<ToolMode> bulk = operations::BulkMode(context.state.operation);
  for (int row = 0; row < list.RowCount(); ++row) {
    const std::string& name = list.Text(row, partlist::kPartName);
    const std::string& finalPath = finalPaths[static_cast<std::size_t>(row)];
    const std::string newPath = list.RowPath(row, true);
    const bool isInputPart = text::ToLower(list.RowPath(row, false)) == plan.inputKey;
    const bool fits =
        budget.TargetFits(finalPath, name) == Step::Done &&
        (!isInputPart || (budget.WorkFilesFit(plan.inputKey, ToolMode::Structure, name) == Step::Done &&
                          budget.WorkFilesFit(plan.resultInputPath, ToolMode::List, name) == Step::Done)) &&
        (newPath.empty() || budget.WorkFilesFit(newPath, ToolMode::List, name) == Step::Done) &&
        (!bulk || budget.WorkFilesFit(finalPath, *bulk, name) == Step::Done);
    if (!fits)
      return Step::Failed;
  }
  return Step::Done;
}

// The closing message of a run that wrote files: every component of the resulting input part must
// resolve, each to a file the run meant, and after a bulk run be referred to as it spells them. The
// rebuilt list serves when the input part was swapped; otherwise the result is listed. nullopt when
// that listing failed (after its message). The operation is the run's: rebuilding the list chooses
// inspection again.
std::optional<std::string> ClosingMessage(operations::Context& context, const RunPlan& plan,
                                          Operation operation, const std::vector<std::string>& finalPaths,
                                          bool swapped, RunOutcome& outcome) {
  const std::unordered_set<std::string> planned = operations::PlannedFiles(finalPaths);
  const operations::IntendedSpelling spelling =
      operations::SpellingOf(operation, context.state.options.inputPartOnly != 0);
  std::optional<operations::ResultFaults> faults;
  if (swapped) {
    faults = operations::CheckResultInList(context.state.partList, plan.resultInputPath, planned, spelling);
  } else {
    faults = operations::CheckResultAfterRun(context, plan.resultInputPath, planned, spelling,
                                             msg::kTailRunBroken());
    if (!faults)
      return std::nullopt;
  }
  outcome = RunOutcome::FinishedWithFaults;
  if (!faults->unresolved.empty())
    return msg::RunFinishedWithMissing(faults->unresolved);
  if (!faults->misspelt.empty())
    return msg::RunFinishedMisspelt(faults->misspelt);
  outcome = RunOutcome::Finished;
  return msg::kRunFinished();
}

// What the journal keeps of the run: the input part and the rows as they were before it.
journal::Plan JournalPlan(const operations::DialogState& state) {
  journal::Plan plan;
  plan.inputPart = state.inputPartPath;
  plan.operation = static_cast<int>(state.operation);
  const partlist::PartList& list = state.partList;
  plan.rows.reserve(static_cast<std::size_t>(list.RowCount()));
  for (int row = 0; row < list.RowCount(); ++row)
    plan.rows.emplace_back(list.RowPath(row, false), list.RowPath(row, true));
  return plan;
}

// The option rules, the clashes and the path lengths, all before the first write. Failed after
// its message.
Step CheckWholePlan(operations::Context& context, const RunPlan& plan,
                    const std::vector<std::string>& finalPaths) {
  if (const std::string rule = BrokenRule(context.state, plan); !rule.empty())
    return ShowFailure(context.ui, rule);
  if (const std::string clash = TargetClash(context.state, finalPaths); !clash.empty())
    return ShowFailure(context.ui, clash);
  return PathsFit(context, plan, finalPaths);
}

struct Writes {
  bool failed = false;
  bool wrote = false;  // the journal recorded a write
};

// The passes that write, journaled, on the schedule the user chose.
Writes RunWrites(operations::Context& context, const RunPlan& plan) {
  const operations::ProgressScope progress(context.progress);
  const journal::RunScope journaled(context.journal, JournalPlan(context.state));
  const bool failed = operations::RunChange(context, plan.inputKey, plan.inputFolder) == Step::Failed;
  return Writes{failed, context.journal.Wrote()};
}

}  // namespace

void MainDialog::OnExecute() {
  platform::Ui& ui = context_.ui;
  outcome_ = RunOutcome::Refused;
  if (!ui.ExchangeData(true))
    return;
  if (operations::CheckInputs(context_, msg::kTailRunRefused()) == Step::Failed)
    return;
  const std::optional<RunPlan> plan = PlanRun(context_);
  if (!plan)
    return;

  const Operation operation = state_.operation;
  WaitCursor waitCursor(ui);
  const toolrunner::WorkFileScope workFiles(context_.runner);
  const Step inspected = operations::RunInspect(
      context_, operation == Operation::Inspect ? PassMode::Inspect : PassMode::Check, plan->inputFolder);
  if (operation == Operation::Inspect) {
    outcome_ = inspected == Step::Done ? RunOutcome::Finished : RunOutcome::Refused;
    return;
  }

  const std::vector<std::string> finalPaths = operations::FinalPaths(state_, plan->inputFolder);
  if (CheckWholePlan(context_, *plan, finalPaths) == Step::Failed)
    return;
  const Writes writes = RunWrites(context_, *plan);
  // A run that ends before its closing message has broken off once it wrote, else refused.
  outcome_ = writes.wrote ? RunOutcome::Broken : RunOutcome::Refused;
  if (writes.failed)
    return;

  if (state_.options.swapInputAfterRun != 0) {
    if (!context_.host.Stat(plan->resultInputPath)) {
      ui.ShowMessage(msg::kSwapTargetMissing());
      waitCursor.End();
      state_.inputPartPath.clear();
      return;
    }
    state_.inputPartPath = plan->resultInputPath;
    if (operations::BuildPartList(context_) == Step::Failed) {
      waitCursor.End();
      state_.inputPartPath.clear();
      return;
    }
  }
  const std::optional<std::string> closing =
      ClosingMessage(context_, *plan, operation, finalPaths, state_.options.swapInputAfterRun != 0, outcome_);
  waitCursor.End();
  if (closing)
    ui.ShowMessage(*closing);
}

}  // namespace velmora::app
