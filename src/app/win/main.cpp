// velmora on Windows: one modal dialog.

#include <windows.h>

#include "app/win/start.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return velmora::app::win::RunVelmora(instance);
}
