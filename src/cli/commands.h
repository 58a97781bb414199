#pragma once
// Each command as the window's user would carry it out: the path fields filled through the file
// dialogs' answers, the options and the operation through the controls, then the handlers.

#include "cli/arguments.h"
#include "cli/console_ui.h"
#include "platform/cad_library.h"
#include "platform/host.h"

namespace velmora::cli {

// The exit status.
enum class Exit : int {
  Done = 0,        // finished as intended
  Refused = 1,     // refused before the first write: the disk is as it was
  Broken = 2,      // stopped or failed after writing: journaled, undoable
  Unresolved = 3,  // finished, with components that do not resolve as meant
  BadArguments = 64,
};

[[nodiscard]] Exit Execute(const Arguments& arguments, const Console& console, platform::Host& host,
                           platform::CadLibrary& cad);

}  // namespace velmora::cli
