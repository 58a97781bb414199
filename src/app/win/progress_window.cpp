// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win/progress_window.h"

#include <algorithm>
#include <string>

#include "app/win/resource.h"
#include "resources/messages/captions.h"
#include "text/codec.h"

namespace velmora::app::win {
namespace {

constexpr int kPumpLimit = 256;

}  // namespace

ProgressWindow::ProgressWindow(HINSTANCE instance, HWND owner, int total)
    : owner_(owner), total_(std::max(total, 0)), started_(GetTickCount64()) {
  window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), owner_, DialogProc,
                               reinterpret_cast<LPARAM>(this));
  if (window_ != nullptr) {
    SetWindowTextA(window_, text::Cp932(msg::kWindowTitle).c_str());
    SetDlgItemTextA(window_, IDCANCEL, text::Cp932(msg::kButtonCancelRun).c_str());
    SendDlgItemMessageA(window_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, total_);
    SetStepText(0);
  }
  if (owner_ != nullptr)
    EnableWindow(owner_, FALSE);
}

ProgressWindow::~ProgressWindow() {
  // The owner first, so that the activation goes back to it and not to another program.
  if (owner_ != nullptr)
    EnableWindow(owner_, TRUE);
  if (window_ != nullptr)
    DestroyWindow(window_);
}

INT_PTR CALLBACK ProgressWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    return TRUE;
  }
  auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr)
    return FALSE;
  // 中止, Escape (both IDCANCEL) and the close box.
  if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
    self->RequestStop();
    return TRUE;
  }
  return FALSE;
}

bool ProgressWindow::Step(int step, std::string_view fileName) {
  // Stopped: the file named last is the last one worked on.
  if (stopRequested_ || window_ == nullptr)
    return stopRequested_;
  SetStepText(step);
  SetDlgItemTextA(window_, IDC_PROGRESS_FILE, std::string(fileName).c_str());
  // The bar counts the files done; the text names the one begun.
  SendDlgItemMessageA(window_, IDC_PROGRESS_BAR, PBM_SETPOS, std::clamp(step - 1, 0, total_), 0);
  return false;
}

void ProgressWindow::SetStepText(int step) {
  const std::string text =
      std::to_string(step) + text::Cp932(msg::kProgressStepSeparator) + std::to_string(total_);
  SetDlgItemTextA(window_, IDC_PROGRESS_STEP, text.c_str());
}

std::string ProgressWindow::StepText() const {
  char text[64] = {};
  GetDlgItemTextA(window_, IDC_PROGRESS_STEP, text, sizeof text);
  return text;
}

void ProgressWindow::RequestStop() {
  stopRequested_ = true;
  EnableWindow(GetDlgItem(window_, IDCANCEL), FALSE);
}

void ProgressWindow::Suspend() {
  if (suspended_)
    return;
  suspended_ = true;
  if (window_ != nullptr)
    ShowWindow(window_, SW_HIDE);
  if (owner_ != nullptr)
    EnableWindow(owner_, TRUE);
}

void ProgressWindow::Resume() {
  if (!suspended_)
    return;
  suspended_ = false;
  if (owner_ != nullptr)
    EnableWindow(owner_, FALSE);
  if (shown_ && window_ != nullptr)
    ShowWindow(window_, SW_SHOW);
}

void ProgressWindow::ShowWhenDue() {
  if (shown_ || suspended_ || window_ == nullptr || GetTickCount64() - started_ < kShowAfterMs)
    return;
  shown_ = true;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(GetDlgItem(window_, IDCANCEL));
}

bool ProgressWindow::ForThisWindow(const MSG& message) const {
  return message.hwnd == window_ || IsChild(window_, message.hwnd);
}

void ProgressWindow::Pump() {
  if (pumping_)
    return;
  pumping_ = true;
  ShowWhenDue();
  MSG message;
  // Bounded: a window that never validates itself must not keep the run from going on.
  for (int i = 0; i < kPumpLimit && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                       (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
    // Modal: input for any other window is dropped, as the platform's own modal loop does.
    if (input && !(shown_ && ForThisWindow(message)))
      continue;
    if (shown_ && IsDialogMessageA(window_, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  pumping_ = false;
}

void PumpPaintOnly() {
  MSG message;
  for (int i = 0;
       i < kPumpLimit && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE);
       ++i)
    DispatchMessageA(&message);
}

}  // namespace velmora::app::win
