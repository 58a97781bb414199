#pragma once
// The modal boxes and the file dialog that the window shows, behind one seam: the program uses Qt's
// own, the GUI tests answer them from a script.

#include <QString>
#include <QStringList>

class QWidget;

namespace velmora::app::qt {

struct FileDialogSpec {
  QString title;
  QStringList nameFilters;  // Qt's form: "desc (*.a *.b)"
  QString initialName;
  QString defaultSuffix;
  QString folder;  // host folder to open in; empty: the working directory
  bool mustExist = true;
  bool save = false;
  bool folders = false;  // a folder is chosen, and can be made, instead of a file
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // Title "velmora", OK only, no icon.
  virtual void Message(QWidget* parent, const QString& text) = 0;
  // Yes/No with the question icon; true for Yes.
  virtual bool Question(QWidget* parent, const QString& text) = 0;
  // The host path of the file chosen, or empty when the user did not confirm.
  virtual QString OpenFile(QWidget* parent, const FileDialogSpec& spec) = 0;
  // The host path of the folder chosen (or made in the dialog), or empty when the user did not confirm.
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
};

class QtPrompts final : public Prompts {
 public:
  void Message(QWidget* parent, const QString& text) override;
  bool Question(QWidget* parent, const QString& text) override;
  QString OpenFile(QWidget* parent, const FileDialogSpec& spec) override;
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& folder) override;
};

// "desc|pattern;pattern|desc|pattern||" (the Windows file dialog's filter) in Qt's form.
QStringList QtNameFilters(const QString& windowsFilter);

}  // namespace velmora::app::qt
