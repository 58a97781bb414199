// Reads and moves the running velmora's main window from outside, as the smoke test needs it (the
// shipped program writes nothing down): "rows" prints the list's row count, "page" the rows it has
// room for, "text ID" the text of a control (cp932), "checked ID" a check box's state (0 or 1),
// "rect" the window's left, top, width and height, "move X Y W H" puts it there. Exit code 1 while
// there is no such window.

// The common controls' header needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/win/resource.h"

namespace {

HWND FindMainWindow() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM result) -> BOOL {
        if (!IsWindowVisible(window) || GetDlgItem(window, IDC_PART_LIST) == nullptr)
          return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  const HWND window = FindMainWindow();
  if (window == nullptr || argc < 2)
    return 1;
  if (std::strcmp(argv[1], "rows") == 0) {
    // No pointer crosses the processes: the count comes back as the result.
    std::printf("%ld\n",
                static_cast<long>(SendDlgItemMessageA(window, IDC_PART_LIST, LVM_GETITEMCOUNT, 0, 0)));
    return 0;
  }
  if (std::strcmp(argv[1], "page") == 0) {
    std::printf("%ld\n",
                static_cast<long>(SendDlgItemMessageA(window, IDC_PART_LIST, LVM_GETCOUNTPERPAGE, 0, 0)));
    return 0;
  }
  if (std::strcmp(argv[1], "rect") == 0) {
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
  }
  if (std::strcmp(argv[1], "move") == 0 && argc == 6) {
    const auto at = [argv](int i) { return std::atoi(argv[i]); };
    return SetWindowPos(window, nullptr, at(2), at(3), at(4), at(5), SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
  }
  if (std::strcmp(argv[1], "checked") == 0 && argc == 3) {
    std::printf("%u\n", IsDlgButtonChecked(window, std::atoi(argv[2])));
    return 0;
  }
  if (std::strcmp(argv[1], "text") == 0 && argc == 3) {
    char text[1024] = {};
    GetDlgItemTextA(window, std::atoi(argv[2]), text, sizeof text);
    std::printf("%s\n", text);
    return 0;
  }
  return 1;
}
