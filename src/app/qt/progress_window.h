#pragma once
// The modal window of a long run: "n / N", the file being worked on, a bar and 中止. It appears
// only once the run has taken half a second, and 中止 (or Escape, or closing it) only asks the run
// to stop; the run stops at its next point between two files and then closes the window.

#include <QProgressDialog>

class QPushButton;

namespace velmora::app::qt {

class ProgressWindow final : public QProgressDialog {
  Q_OBJECT

 public:
  static constexpr int kShowAfterMs = 500;

  ProgressWindow(QWidget* parent, int total);

  // Before the work on the step's file; true once the user has asked to stop.
  bool Step(int step, const QString& fileName);
  bool StopRequested() const { return stopRequested_; }
  void RequestStop();
  // While a message box of the run is up the window is hidden and cannot come up by itself, so
  // that the box is never under it; Resume brings it back as it was, or as it became due meanwhile.
  void Suspend();
  void Resume();
  void setVisible(bool visible) override;

 protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QPushButton* cancel_;
  int total_;
  bool stopRequested_ = false;
  bool suspended_ = false;
  bool wasVisible_ = false;
};

}  // namespace velmora::app::qt
