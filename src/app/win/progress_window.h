#pragma once
// The modal window of a long run: "n / N", the file being worked on, a bar and 中止. The main
// window takes no input from the run's start; this window appears once the run has taken half a
// second. 中止, Escape and closing it only ask the run to stop: it stops at its next point between
// two files, and the window goes with the run.

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::app::win {

class ProgressWindow {
 public:
  static constexpr ULONGLONG kShowAfterMs = 500;

  // Disables the owner until destruction.
  ProgressWindow(HINSTANCE instance, HWND owner, int total);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Before the work on the step's file; true once the user has asked to stop.
  [[nodiscard]] bool Step(int step, std::string_view fileName);
  [[nodiscard]] bool StopRequested() const { return stopRequested_; }
  // Shows the window when it is due and runs the queued messages: the owner repaints, and input
  // reaches this window only.
  void Pump();
  [[nodiscard]] bool Shown() const { return shown_; }
  // "n / N" as shown (cp932).
  [[nodiscard]] std::string StepText() const;
  // The progress window itself (the owner when it could not be made).
  [[nodiscard]] HWND Owner() const { return window_ != nullptr ? window_ : owner_; }
  // While a message box of the run is up: the window is hidden and the owner, which the box then
  // belongs to, takes input again, so that the box is never under another window of ours. Resume
  // brings both back as they were.
  void Suspend();
  void Resume();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RequestStop();
  void ShowWhenDue();
  void SetStepText(int step);
  [[nodiscard]] bool ForThisWindow(const MSG& message) const;

  HWND owner_;
  HWND window_ = nullptr;
  int total_;
  ULONGLONG started_;
  bool stopRequested_ = false;
  bool shown_ = false;
  bool pumping_ = false;
  bool suspended_ = false;
};

// Runs the queued paint and sent messages only: the window repaints while a tool runs and no click
// starts another handler in the middle of one.
void PumpPaintOnly();

}  // namespace velmora::app::win
