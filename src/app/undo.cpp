// Undoing the newest run from its journal, then listing the input part as it was before that run.

#include "app/main_dialog.h"
#include "operations/list_building.h"
#include "resources/messages/journal.h"

namespace velmora::app {

void MainDialog::UndoLastRun() {
  platform::Ui& ui = context_.ui;
  const journal::UndoResult result = context_.journal.UndoLast();
  switch (result.status) {
    case journal::UndoStatus::NothingToUndo:
      ui.ShowMessage(msg::kUndoNothing());
      return;
    case journal::UndoStatus::FileChanged:
      ui.ShowMessage(msg::kUndoFileChanged(result.file));
      return;
    case journal::UndoStatus::Failed:
      ui.ShowMessage(msg::kUndoFileFailed(result.file));
      return;
    case journal::UndoStatus::Undone:
      break;
  }
  // The list is rebuilt even where a run had swapped the input part; one that cannot be built has
  // shown why and stays empty.
  state_.inputPartPath = result.inputPart;
  if (operations::BuildPartList(context_) == Step::Failed)
    state_.inputPartPath.clear();
  ui.ShowMessage(msg::kUndoDone());
}

}  // namespace velmora::app
