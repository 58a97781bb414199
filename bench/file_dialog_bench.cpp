// Opens the program's file dialog, as the input-part button does, in a folder of many part files
// and times what the user meets: the dialog up, every file listed, the longest the event loop was
// held (a key pressed then waits that long), and a key typed into the name field at once.
//
// file_dialog_bench [FILES] [FOLDER] [qt]: 35,000 files by default, made in a temporary folder
// unless FOLDER holds them already; "qt" times the toolkit's own dialog instead, for comparison.
// Run on a display or with QT_QPA_PLATFORM=offscreen.

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

#include "app/qt/file_dialog.h"
#include "app/qt/prompts.h"

namespace {

using velmora::app::qt::FileDialogSpec;

void MakeFiles(const QString& folder, int count) {
  const char* const stems[] = {"Bracket", "SHAFT", "housing", "表示板", "ソケット"};
  for (int i = 0; i < count; ++i) {
    const QString name =
        QString::fromUtf8(stems[i % 5]) + QStringLiteral("-%1.prt").arg(i, 5, 10, QChar(u'0'));
    std::ofstream(QDir(folder).filePath(name).toStdString()) << "part\n";
  }
}

// The toolkit's dialog as the program had it.
std::unique_ptr<QDialog> ToolkitDialog(const FileDialogSpec& spec) {
  auto dialog = std::make_unique<QFileDialog>(nullptr, spec.title, spec.folder);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setNameFilters(spec.nameFilters);
  return dialog;
}

QAbstractItemView* FileView(QDialog& dialog) {
  for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
    if (view->isVisible() && view->objectName() != QStringLiteral("sidebar"))
      return view;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 35000;
  QTemporaryDir temporary;
  const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
  const bool toolkit = argc > 3 && QString::fromLatin1(argv[3]) == QStringLiteral("qt");
  if (QDir(folder).entryList({QStringLiteral("*.prt")}, QDir::Files).size() < count)
    MakeFiles(folder, count);

  FileDialogSpec spec;
  spec.title = QStringLiteral("bench");
  spec.nameFilters =
      velmora::app::qt::QtNameFilters(QString::fromUtf8("PRTﾌｧｲﾙ(.prt)|*.prt|全てのﾌｧｲﾙ(*.*)|*.*||"));
  spec.folder = folder;
  spec.mustExist = true;

  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QDialog> dialog;
  if (toolkit)
    dialog = ToolkitDialog(spec);
  else
    dialog = std::make_unique<velmora::app::qt::FileDialog>(nullptr, spec);
  dialog->show();
  application.processEvents();
  const qint64 shown = clock.elapsed();
  auto* name =
      dialog->findChild<QLineEdit*>(toolkit ? QStringLiteral("fileNameEdit") : QStringLiteral("fileName"));
  name->setFocus();
  QApplication::postEvent(name,
                          new QKeyEvent(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("B")));

  qint64 allRows = -1, typed = -1, longestStall = 0;
  while (clock.elapsed() < 60000) {
    const qint64 before = clock.elapsed();
    application.processEvents(QEventLoop::AllEvents, 5);
    longestStall = std::max(longestStall, clock.elapsed() - before);
    QAbstractItemView* view = FileView(*dialog);
    const int rows = view != nullptr ? view->model()->rowCount(view->rootIndex()) : 0;
    if (typed < 0 && name->text().startsWith(u'B'))
      typed = clock.elapsed();
    if (rows >= count && allRows < 0)
      allRows = clock.elapsed();
    if (allRows >= 0 && typed >= 0 && clock.elapsed() > allRows + 500)
      break;
  }
  std::printf(
      "%s dialog, %d files\n  shown after %lld ms\n  every file listed after %lld ms\n"
      "  a key typed at once shown after %lld ms\n  longest the event loop was held %lld ms\n",
      toolkit ? "toolkit" : "velmora", count, static_cast<long long>(shown), static_cast<long long>(allRows),
      static_cast<long long>(typed), static_cast<long long>(longestStall));
  return allRows >= 0 ? 0 : 1;
}
