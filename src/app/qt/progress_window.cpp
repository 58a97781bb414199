#include "app/qt/progress_window.h"

#include <QCloseEvent>
#include <QPushButton>
#include <algorithm>

#include "resources/messages/captions.h"

namespace velmora::app::qt {
namespace {

QString Caption(std::string_view utf8Literal) {
  return QString::fromUtf8(utf8Literal.data(), static_cast<qsizetype>(utf8Literal.size()));
}

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent, int total)
    : QProgressDialog(parent), cancel_(new QPushButton(Caption(msg::kButtonCancelRun))), total_(total) {
  setObjectName(QStringLiteral("runProgress"));
  setWindowTitle(Caption(msg::kWindowTitle));
  setWindowModality(::Qt::ApplicationModal);
  setAutoClose(false);
  setAutoReset(false);
  setMinimumWidth(420);
  setCancelButton(cancel_);
  // The toolkit's own answer to 中止 would close the window while a tool still runs, and with it
  // the modality that keeps the main window from taking input.
  // The toolkit makes that connection by name, which only a disconnection by name undoes.
  disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
  connect(this, &QProgressDialog::canceled, this, &ProgressWindow::RequestStop);
  setRange(0, total);
  setMinimumDuration(kShowAfterMs);
  setLabelText(QStringLiteral("0") + Caption(msg::kProgressStepSeparator) + QString::number(total));
  setValue(0);
}

bool ProgressWindow::Step(int step, const QString& fileName) {
  // Stopped: the file named last is the last one worked on.
  if (stopRequested_) {
    return true;
  }
  setLabelText(QString::number(step) + Caption(msg::kProgressStepSeparator) + QString::number(total_) +
               QStringLiteral("\n") + fileName);
  // The bar counts the files done; the label names the one begun.
  setValue(std::max(0, std::min(step - 1, total_)));
  return stopRequested_;
}

void ProgressWindow::RequestStop() {
  stopRequested_ = true;
  cancel_->setEnabled(false);
}

void ProgressWindow::Suspend() {
  if (suspended_) {
    return;
  }
  wasVisible_ = isVisible();
  hide();
  suspended_ = true;
}

void ProgressWindow::Resume() {
  if (!suspended_) {
    return;
  }
  suspended_ = false;
  if (wasVisible_) {
    show();
  }
}

void ProgressWindow::setVisible(bool visible) {
  // The toolkit's timer shows the window once it is due, box or not; it waits for the box instead.
  if (visible && suspended_) {
    wasVisible_ = true;
    return;
  }
  QProgressDialog::setVisible(visible);
}

void ProgressWindow::reject() {
  RequestStop();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  RequestStop();
}

}  // namespace velmora::app::qt
