// Undoing the newest run from its journal once the user has said yes to it by name, then listing
// the input part as it was before that run; and, at start, the notice of a run that did not end.

#include <ctime>

#include "app/main_dialog.h"
#include "operations/list_building.h"
#include "resources/messages/captions.h"
#include "resources/messages/journal.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::app {
namespace {

// The operation's caption without its mnemonic (cp932).
std::string OperationName(int operation) {
  using operations::Operation;
  std::string_view caption;
  switch (static_cast<Operation>(operation)) {
    case Operation::Inspect:
      caption = msg::kRadioInspect;
      break;
    case Operation::Change:
      caption = msg::kRadioChange;
      break;
    case Operation::LowerAllFolders:
      caption = msg::kRadioLowerAllFolders;
      break;
    case Operation::LowerAllParts:
      caption = msg::kRadioLowerAllParts;
      break;
    case Operation::UpperAllParts:
      caption = msg::kRadioUpperAllParts;
      break;
    case Operation::RemoveAllFolders:
      caption = msg::kRadioRemoveAllFolders;
      break;
  }
  return text::Cp932(caption.substr(0, caption.find("(&")));
}

// Local time, as "2026/12/09 14:05".
std::string When(long long seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  char buffer[32];
  const std::size_t size = std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M", &local);
  return std::string(buffer, size);
}

// The run is about the part listed now when that is its input part, before or after the run.
bool AboutPart(const journal::Plan& plan, std::string_view currentInput) {
  const std::string current = text::ToLower(currentInput);
  if (current.empty() || text::ToLower(plan.inputPart) == current)
    return true;
  for (const auto& [oldPath, newPath] : plan.rows) {
    if (text::ToLower(oldPath) == text::ToLower(plan.inputPart) && text::ToLower(newPath) == current)
      return true;
  }
  return false;
}

std::string Question(const journal::RunSummary& run, std::string_view currentInput) {
  const msg::Filled<4>& question =
      AboutPart(run.plan, currentInput) ? msg::kUndoQuestion : msg::kUndoQuestionOtherPart;
  return question(OperationName(run.plan.operation), run.plan.inputPart, When(run.plan.when),
                  std::to_string(run.files));
}

// The message of an undo that did not happen; empty when there is none to show.
std::string Refusal(const journal::UndoResult& result) {
  switch (result.status) {
    case journal::UndoStatus::Ready:
    case journal::UndoStatus::Undone:
      return {};
    case journal::UndoStatus::NothingToUndo:
      return msg::kUndoNothing();
    case journal::UndoStatus::RunInProgress:
      return msg::kUndoRunInProgress();
    case journal::UndoStatus::Damaged:
      return msg::kUndoJournalDamaged(result.folder);
    case journal::UndoStatus::FileChanged:
      return result.backup.empty() ? msg::kUndoFileChanged(result.file)
                                   : msg::kUndoFileChangedKept(result.file, result.backup);
    case journal::UndoStatus::BackupMissing:
      return msg::kUndoBackupMissing(result.file, result.backup);
    case journal::UndoStatus::BackupDamaged:
      return msg::kUndoBackupDamaged(result.file, result.backup);
    case journal::UndoStatus::Failed:
      return msg::kUndoFileFailed(result.file);
  }
  return {};
}

}  // namespace

bool MainDialog::UndoLastRun() {
  platform::Ui& ui = context_.ui;
  journal::PreparedUndo prepared = context_.journal.PrepareUndo();
  if (const std::string refusal = Refusal(prepared.result); !refusal.empty()) {
    ui.ShowMessage(refusal);
    return false;
  }
  if (!ui.AskYesNo(Question(prepared.run, state_.inputPartPath)))
    return false;
  const journal::UndoResult result = context_.journal.Carry(prepared);
  if (const std::string refusal = Refusal(result); !refusal.empty()) {
    ui.ShowMessage(refusal);
    return false;
  }
  // The list is rebuilt even where a run had swapped the input part; one that cannot be built has
  // shown why and stays empty.
  state_.inputPartPath = result.inputPart;
  if (operations::BuildPartList(context_) == Step::Failed)
    state_.inputPartPath.clear();
  for (const auto& [file, kept] : result.kept)
    ui.ShowMessage(msg::kUndoKeptAside(file, kept));
  ui.ShowMessage(msg::kUndoDone());
  return true;
}

void MainDialog::NoticeInterruptedRuns() {
  const std::vector<journal::RunSummary> runs = context_.journal.InterruptedRuns();
  if (runs.empty())
    return;
  // The work files a run killed inside a tool left would refuse the next run of that part.
  for (const journal::RunSummary& run : runs) {
    for (const auto& [oldPath, newPath] : run.plan.rows) {
      for (const std::string* path : {&oldPath, &newPath}) {
        for (const toolrunner::ToolModeSpelling& mode : toolrunner::kToolModes) {
          if (path->empty())
            continue;
          const std::string base = context_.runner.WorkFileBase(*path, mode.mode, {});
          for (const char* extension : {".bat", ".txt", ".log"}) {
            if (!base.empty() && context_.host.Stat(base + extension))
              context_.host.Remove(base + extension);
          }
        }
      }
    }
  }
  context_.ui.ShowMessage(msg::kInterruptedRunFound());
}

}  // namespace velmora::app
