#pragma once
// Everything an operation reaches: the dialog's state, the user interface, the host, the CAD library,
// the runner, the journal that each write of a run goes through first, and the run's progress.

#include "journal/journal.h"
#include "operations/dialog_state.h"
#include "operations/progress.h"
#include "platform/cad_library.h"
#include "platform/host.h"
#include "platform/ui.h"
#include "toolrunner/batch_runner.h"

namespace velmora::operations {

struct Context {
  Context(DialogState& state, platform::Ui& ui, platform::Host& host, platform::CadLibrary& cad)
      : state(state),
        ui(ui),
        host(host),
        cad(cad),
        runner(host, ui, state.editToolPath, state.pcToolPath),
        journal(host, ui),
        progress(ui) {}

  DialogState& state;
  platform::Ui& ui;
  platform::Host& host;
  platform::CadLibrary& cad;
  toolrunner::BatchRunner runner;
  journal::Journal journal;
  RunProgress progress;
};

}  // namespace velmora::operations
