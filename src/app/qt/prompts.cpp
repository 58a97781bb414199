#include "app/qt/prompts.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

#include "app/qt/file_dialog.h"
#include "resources/messages/captions.h"

namespace velmora::app::qt {

namespace {

QString Title() {
  return QString::fromUtf8(msg::kWindowTitle.data(), msg::kWindowTitle.size());
}

// The toolkit wraps a box's text past half the screen and never makes a box wider than 1000
// pixels, and Japanese breaks between any two characters: a message's lines came apart in a box
// far narrower than the screen. The text's column is kept as wide as its longest line instead, as
// far as the screen allows; only a line longer than that wraps.
class LineKeepingBox final : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    ReserveLineWidth();
    QMessageBox::showEvent(event);
    Widen();
  }
  bool event(QEvent* event) override {
    const bool handled = QMessageBox::event(event);
    // The toolkit fits the box again on every layout request.
    if (event->type() == QEvent::LayoutRequest && reserved_)
      Widen();
    return handled;
  }

 private:
  // Room left on the screen beside the box's frame.
  static constexpr int kScreenMargin = 32;

  void ReserveLineWidth() {
    auto* grid = qobject_cast<QGridLayout*>(layout());
    auto* label = findChild<QLabel*>(u"qt_msgbox_label"_qs);
    const int index = grid != nullptr && label != nullptr ? grid->indexOf(label) : -1;
    if (reserved_ || index < 0 || screen() == nullptr)
      return;
    reserved_ = true;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    // Unwrapped, the label asks for its longest line; the toolkit sets the wrap again itself.
    const bool wrapped = label->wordWrap();
    label->setWordWrap(false);
    grid->activate();
    const int whole = label->sizeHint().width();
    const int beside = std::max(0, grid->totalMinimumSize().width() - whole);
    label->setWordWrap(wrapped);
    const int room = screen()->availableGeometry().width() - kScreenMargin - beside;
    const int width = std::max(0, std::min(whole, room));
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(),
                  column);
  }

  void Widen() {
    QLayout* grid = layout();
    if (grid == nullptr || !isVisible())
      return;
    const int wanted = grid->totalMinimumSize().width();
    if (width() < wanted)
      setFixedSize(wanted, grid->totalHeightForWidth(wanted));
  }

  bool reserved_ = false;
};

// Part and folder names end up in these texts: never let them be taken for markup.
int RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
           QMessageBox::StandardButtons buttons) {
  LineKeepingBox box(icon, Title(), text, buttons, parent);
  box.setTextFormat(Qt::PlainText);
  return box.exec();
}

}  // namespace

void QtPrompts::Message(QWidget* parent, const QString& text) {
  RunBox(parent, QMessageBox::NoIcon, text, QMessageBox::Ok);
}

bool QtPrompts::Question(QWidget* parent, const QString& text) {
  return RunBox(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString QtPrompts::OpenFile(QWidget* parent, const FileDialogSpec& spec) {
  FileDialog dialog(parent, spec);
  return dialog.exec() == QDialog::Accepted ? dialog.SelectedFile() : QString();
}

QString QtPrompts::ChooseFolder(QWidget* parent, const QString& title, const QString& folder) {
  FileDialogSpec spec;
  spec.title = title;
  spec.folder = folder;
  spec.folders = true;
  return OpenFile(parent, spec);
}

QStringList QtNameFilters(const QString& windowsFilter) {
  QStringList filters;
  const QStringList parts = windowsFilter.split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) {
      break;  // the "||" that ends the list
    }
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
    }
    filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return filters;
}

}  // namespace velmora::app::qt
