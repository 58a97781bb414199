#include "app/qt/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/qt/file_dialog.h"
#include "resources/messages/captions.h"

namespace velmora::app::qt {

namespace {

QString Title() {
  return QString::fromUtf8(msg::kWindowTitle.data(), msg::kWindowTitle.size());
}

// Part and folder names end up in these texts: never let them be taken for markup.
int RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
           QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, Title(), text, buttons, parent);
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
  QFileDialog dialog(parent, title, folder);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Its "new folder" button makes the folder a plan needs before any file is in it.
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  const QStringList folders = dialog.selectedFiles();
  return folders.isEmpty() ? QString() : folders.front();
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
