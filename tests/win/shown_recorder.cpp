// velmora as it ships, with what it shows written down for the window's smoke test
// (scripts/windows-smoke): hooks of the window's thread watch dialogs, message boxes, menus and
// the list as they appear, and append "kind<TAB>text" in UTF-8, each entry followed by a line
// holding only 0x1E (texts may span lines), to the file VELMORA_SHOWN_LOG names.
//   title, control "<id> <caption>"  the main window when it is shown
//   place "<id> <x> <y> <w> <h>"    and where each control is, in the template's dialog units
//   rows "<count>"                  after every row put into or taken out of the list
//   new name "<row> <name>"         a new part name set in the list
//   menu "<entry>"                  each entry of a popup menu as it opens
//   dialog "<caption>"              any other dialog shown: file and folder choosers, naming rules
//   progress "<n / N>"              the progress window shown, and each step it shows then
//   message, question               a message box's text, with OK or with Yes and No

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

#include "app/win/resource.h"
#include "app/win/start.h"
#include "text/codec.h"

namespace {

// The text of a message box's body: the platform's own id for it.
constexpr int kMessageBoxText = 0xFFFF;

class Recorder {
 public:
  explicit Recorder(const char* path) : log_(path, std::ios::app | std::ios::binary) {}

  void Record(std::string_view kind, std::string_view cp932) {
    log_ << kind << '\t' << velmora::text::ToDisplayUtf8(cp932) << "\n\x1e\n";
    log_.flush();
  }
  void OnMessage(const CWPRETSTRUCT& call);

 private:
  void OnShown(HWND window);
  void OnListChanged(HWND list, UINT message, LPARAM lParam);

  std::ofstream log_;
  std::set<HWND> shown_;
};

Recorder* recorder = nullptr;

std::string TextOf(HWND window) {
  char text[2048] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The control's rectangle in its dialog's units, as the template gives it: the dialog made each
// pixel value from one by rounding, so rounding back is exact while a unit is larger than a pixel.
std::string PlaceOf(HWND control) {
  const HWND dialog = GetParent(control);
  RECT unit{0, 0, 4, 8};
  MapDialogRect(dialog, &unit);
  RECT at{};
  GetWindowRect(control, &at);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
  const auto x = [&unit](LONG pixels) { return std::to_string(MulDiv(pixels, 4, std::max(unit.right, 1L))); };
  const auto y = [&unit](LONG pixels) {
    return std::to_string(MulDiv(pixels, 8, std::max(unit.bottom, 1L)));
  };
  return x(at.left) + " " + y(at.top) + " " + x(at.right - at.left) + " " + y(at.bottom - at.top);
}

bool IsDialog(HWND window) {
  char kind[16] = {};
  GetClassNameA(window, kind, sizeof kind);
  return std::string_view(kind) == "#32770" && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

void Recorder::OnMessage(const CWPRETSTRUCT& call) {
  switch (call.message) {
    case WM_SHOWWINDOW:
      if (call.wParam != FALSE && IsDialog(call.hwnd) && shown_.insert(call.hwnd).second)
        OnShown(call.hwnd);
      break;
    case WM_DESTROY:
      shown_.erase(call.hwnd);
      break;
    case WM_SETTEXT:
      if (GetDlgCtrlID(call.hwnd) == IDC_PROGRESS_STEP && shown_.contains(GetParent(call.hwnd)))
        Record("progress", reinterpret_cast<const char*>(call.lParam));
      break;
    case WM_INITMENUPOPUP: {
      const auto menu = reinterpret_cast<HMENU>(call.wParam);
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char entry[256] = {};
        if (GetMenuStringA(menu, static_cast<UINT>(i), entry, sizeof entry, MF_BYPOSITION) > 0)
          Record("menu", entry);
      }
      break;
    }
    case LVM_INSERTITEMA:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_SETITEMA:
      if (GetDlgCtrlID(call.hwnd) == IDC_PART_LIST)
        OnListChanged(call.hwnd, call.message, call.lParam);
      break;
    default:
      break;
  }
}

void Recorder::OnShown(HWND window) {
  if (GetDlgItem(window, IDC_PART_LIST) != nullptr) {
    Record("title", TextOf(window));
    EnumChildWindows(
        window,
        [](HWND control, LPARAM) -> BOOL {
          recorder->Record("control", std::to_string(GetDlgCtrlID(control)) + " " + TextOf(control));
          recorder->Record("place", std::to_string(GetDlgCtrlID(control)) + " " + PlaceOf(control));
          return TRUE;
        },
        0);
    Record("rows", "0");
  } else if (const HWND step = GetDlgItem(window, IDC_PROGRESS_STEP); step != nullptr) {
    Record("progress", TextOf(step));
  } else if (const HWND body = GetDlgItem(window, kMessageBoxText); body != nullptr) {
    Record(GetDlgItem(window, IDYES) != nullptr ? "question" : "message", TextOf(body));
  } else {
    Record("dialog", TextOf(window));
  }
}

void Recorder::OnListChanged(HWND list, UINT message, LPARAM lParam) {
  if (message != LVM_SETITEMA) {
    Record("rows", std::to_string(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
    return;
  }
  const auto& item = *reinterpret_cast<const LVITEMA*>(lParam);
  if (item.iSubItem == 0 && (item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr &&
      item.pszText != LPSTR_TEXTCALLBACKA)
    Record("new name", std::to_string(item.iItem) + " " + item.pszText);
}

LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && recorder != nullptr)
    recorder->OnMessage(*reinterpret_cast<const CWPRETSTRUCT*>(lParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const char* path = std::getenv("VELMORA_SHOWN_LOG");
  Recorder log(path != nullptr ? path : "shown.log");
  recorder = &log;
  const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, Watch, nullptr, GetCurrentThreadId());
  const int result = velmora::app::win::RunVelmora(instance);
  if (hook != nullptr)
    UnhookWindowsHookEx(hook);
  recorder = nullptr;
  return result;
}
