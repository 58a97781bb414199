// The progress window of a run: the main window takes no input for as long as it lasts, the
// window itself only once it is due, and every way of asking to stop is heard.

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win/progress_window.h"

#include <gtest/gtest.h>

namespace velmora::app::win {
namespace {

// A top-level window standing in for the main window; it counts the keys that reach it. Left
// hidden, as is every window here that need not be shown: without a window manager, Wine takes
// two seconds to take a shown window away.
class Owner {
 public:
  Owner() {
    WNDCLASSA kind{};
    kind.lpfnWndProc = Proc;
    kind.hInstance = GetModuleHandleA(nullptr);
    kind.lpszClassName = "velmora-test-owner";
    RegisterClassA(&kind);
    window_ = CreateWindowExA(0, kind.lpszClassName, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              nullptr, kind.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&keys_));
  }
  ~Owner() { DestroyWindow(window_); }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;

  [[nodiscard]] HWND Window() const { return window_; }
  [[nodiscard]] int Keys() const { return keys_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN)
      ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  int keys_ = 0;
};

class ProgressWindowTest : public ::testing::Test {
 protected:
  // As the program does first: the bar's window class.
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
};

std::string StepAfter(ProgressWindow& progress, int step) {
  static_cast<void>(progress.Step(step, "D:\\gen\\part.prt"));
  return progress.StepText();
}

TEST_F(ProgressWindowTest, OwnerTakesNoInputForTheRunAndIsEnabledAfterIt) {
  Owner owner;
  ASSERT_NE(owner.Window(), nullptr) << GetLastError();
  {
    ProgressWindow progress(GetModuleHandleA(nullptr), owner.Window(), 12);
    EXPECT_FALSE(IsWindowEnabled(owner.Window()));
    PostMessageA(owner.Window(), WM_KEYDOWN, VK_RETURN, 0);
    progress.Pump();
    EXPECT_EQ(owner.Keys(), 0);
    EXPECT_NE(progress.Owner(), owner.Window()) << "the progress window is a window of its own";
  }
  EXPECT_TRUE(IsWindowEnabled(owner.Window()));
  PostMessageA(owner.Window(), WM_KEYDOWN, VK_RETURN, 0);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&message);
  EXPECT_EQ(owner.Keys(), 1);
}

// Escape reaches it only once it is shown; the window then keeps the step it stopped at.
TEST_F(ProgressWindowTest, AppearsOnlyAfterHalfASecondAndEscapeThereAsksToStop) {
  Owner owner;
  ProgressWindow progress(GetModuleHandleA(nullptr), owner.Window(), 12);
  EXPECT_EQ(progress.StepText(), "0 / 12");
  EXPECT_EQ(StepAfter(progress, 3), "3 / 12");
  progress.Pump();
  EXPECT_FALSE(progress.Shown());
  Sleep(static_cast<DWORD>(ProgressWindow::kShowAfterMs) + 50);
  progress.Pump();
  ASSERT_TRUE(progress.Shown());
  EXPECT_TRUE(IsWindowVisible(progress.Owner()));
  EXPECT_FALSE(progress.StopRequested());

  PostMessageA(GetDlgItem(progress.Owner(), IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
  progress.Pump();
  EXPECT_TRUE(progress.Step(4, "D:\\gen\\b.prt"));
  EXPECT_EQ(progress.StepText(), "3 / 12");
}

// 中止 and the close box ask to stop too, the window shown or not yet.
TEST_F(ProgressWindowTest, ButtonAndCloseBoxAskToStop) {
  Owner owner;
  for (const UINT message : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_CLOSE)}) {
    ProgressWindow progress(GetModuleHandleA(nullptr), owner.Window(), 5);
    EXPECT_FALSE(progress.Step(2, "D:\\gen\\a.prt"));
    PostMessageA(progress.Owner(), message, message == WM_COMMAND ? IDCANCEL : 0, 0);
    progress.Pump();
    EXPECT_TRUE(progress.Step(3, "D:\\gen\\b.prt")) << message;
    EXPECT_TRUE(progress.StopRequested());
    EXPECT_EQ(progress.StepText(), "2 / 5");
  }
  EXPECT_TRUE(IsWindowEnabled(owner.Window()));
}

// While a box of the run is up the window is out of the way, the owner (the box's) takes input,
// and the window does not come up by itself; afterwards both are as they were.
TEST_F(ProgressWindowTest, SuspendedForABoxItIsHiddenAndTheOwnerEnabled) {
  Owner owner;
  ProgressWindow progress(GetModuleHandleA(nullptr), owner.Window(), 5);
  Sleep(static_cast<DWORD>(ProgressWindow::kShowAfterMs) + 50);
  progress.Pump();
  ASSERT_TRUE(progress.Shown());
  progress.Suspend();
  EXPECT_FALSE(IsWindowVisible(progress.Owner()));
  EXPECT_TRUE(IsWindowEnabled(owner.Window()));
  progress.Pump();
  EXPECT_FALSE(IsWindowVisible(progress.Owner()));
  progress.Resume();
  EXPECT_TRUE(IsWindowVisible(progress.Owner()));
  EXPECT_FALSE(IsWindowEnabled(owner.Window()));
}

TEST_F(ProgressWindowTest, NotYetDueWhenSuspendedItWaitsForTheBox) {
  Owner owner;
  ProgressWindow progress(GetModuleHandleA(nullptr), owner.Window(), 5);
  progress.Suspend();
  Sleep(static_cast<DWORD>(ProgressWindow::kShowAfterMs) + 50);
  progress.Pump();
  EXPECT_FALSE(progress.Shown());
  EXPECT_FALSE(IsWindowVisible(progress.Owner()));
  progress.Resume();
  EXPECT_FALSE(IsWindowEnabled(owner.Window()));
  progress.Pump();
  EXPECT_TRUE(progress.Shown());
}

}  // namespace
}  // namespace velmora::app::win
