// The CAD library is loaded first, so that a missing one is reported before anything else.

// The common controls' header needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win/start.h"

#include <clocale>

#include "app/win/main_window.h"
#include "platform/host.h"
#include "platform/ufun_library.h"
#include "resources/messages/captions.h"
#include "resources/messages/session.h"
#include "text/codec.h"

namespace velmora::app::win {

int RunVelmora(HINSTANCE instance) {
  std::setlocale(LC_ALL, "");
  INITCOMMONCONTROLSEX controls{
      sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);

  platform::UfunLibrary cad;
  if (!cad.Loaded()) {
    MessageBoxA(nullptr, msg::kUfLibraryMissing().c_str(), text::Cp932(msg::kWindowTitle).c_str(), MB_OK);
    return 0;
  }
  platform::RealHost host;
  MainWindow window(instance, host, cad);
  window.Run();
  return 0;
}

}  // namespace velmora::app::win
