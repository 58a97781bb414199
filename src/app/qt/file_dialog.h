#pragma once
// The file dialog of the browse buttons and the CSV entries, and the folder chooser of the new
// folder button (which can make a folder too). It comes up at once whatever the folder holds: the folder is
// read off the window's thread, and the list is filled in one step when the reading is done, already filtered
// and sorted (folders first, then by name, ignoring case). Keys typed meanwhile go to the name field as
// usual.

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "app/qt/prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace velmora::app::qt {

class FolderModel;

class FileDialog final : public QDialog {
  Q_OBJECT

 public:
  FileDialog(QWidget* parent, const FileDialogSpec& spec);
  ~FileDialog() override;

  // The file or folder chosen (a host path), once the dialog was accepted.
  [[nodiscard]] QString SelectedFile() const { return selected_; }
  // The folder shown, and whether its entries are listed yet.
  [[nodiscard]] QString Folder() const { return folder_; }
  [[nodiscard]] bool Listed() const { return listed_; }
  QListView* View() const { return view_; }

  void accept() override;

 signals:
  void folderListed();

 private:
  void Build(const FileDialogSpec& spec);
  void BuildView();
  void Open(const QString& folder);
  void StopReading();
  void Activate(const QModelIndex& index);
  void Tell(const QString& text);
  // What the name field, the list or the folder field give, as the accept button takes it.
  void TakeChoice();
  void ChooseFolder();
  void MakeFolder();

  bool save_ = false;
  bool folders_ = false;
  bool mustExist_ = true;
  QString defaultSuffix_;
  QString folder_;
  QString selected_;
  QString overwriteAsked_;  // the file whose replacing the user was asked about
  bool listed_ = false;
  QLineEdit* folderEdit_ = nullptr;
  QListView* view_ = nullptr;
  FolderModel* model_ = nullptr;
  QLineEdit* nameEdit_ = nullptr;
  QComboBox* types_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* acceptButton_ = nullptr;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::thread reader_;
};

}  // namespace velmora::app::qt
