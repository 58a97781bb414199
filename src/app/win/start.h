#pragma once
// velmora on Windows from its start to its end: the CAD library, then the main window.

#include <windows.h>

namespace velmora::app::win {

// The process's exit code.
int RunVelmora(HINSTANCE instance);

}  // namespace velmora::app::win
