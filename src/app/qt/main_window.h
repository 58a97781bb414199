#pragma once
// The main dialog as a Qt window: the controls of the dialog template, the part list view, and the
// user-interface services the handlers use. Every event goes to MainDialog.

#include <QDialog>
#include <array>
#include <memory>

#include "app/control_ids.h"
#include "app/main_dialog.h"
#include "platform/ui.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QMenu;
class QSettings;
class QTableView;

namespace velmora::app::qt {

struct ControlSpec;
class PartListModel;
class ProgressWindow;
class Prompts;

class MainWindow final : public QDialog, public platform::Ui {
  Q_OBJECT

 public:
  // Paths from the file dialog are turned into their Windows form through the host.
  MainWindow(platform::Host& host, platform::CadLibrary& cad, Prompts& prompts, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Dialog initialisation; false when the dialog must end without being used.
  bool Initialise();
  // Initialise, then run modally; the dialog's result.
  int Run();
  // The window's place and size and the column widths the user set, as the window was last left;
  // they go back into these settings when it closes. The only thing velmora keeps between starts.
  void RestoreSettings(QSettings& settings);

  MainDialog& Dialog() { return dialog_; }
  // The list's context menu, built once.
  QMenu* ListMenu() const { return listMenu_; }
  // The widget of a control of the template by its id, or nullptr.
  QWidget* Control(ControlId id) const;

  void reject() override;
  void done(int result) override;

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::string ChooseFile(const platform::FileDialogRequest& request) override;
  std::string ChooseFolder(const platform::FolderDialogRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  platform::ClipboardFailure CopyToClipboard(std::string_view text) override;
  bool ExchangeData(bool fromControls) override;
  void BeginProgress(int total) override;
  bool Progress(int step, std::string_view fileName) override;
  void EndProgress() override;
  void WhileWaiting() override;
  [[nodiscard]] bool StopRequested() override;
  // The window of the run in progress, or nullptr.
  ProgressWindow* RunProgress() const { return progress_.get(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct OptionBox {
    int operations::Options::*field;
    QCheckBox* box;
  };

  void BuildControls();
  QWidget* CreateControl(const ControlSpec& spec, const QString& caption);
  void BindControls();
  void ConnectButtons();
  void BuildList();
  void BuildListMenu();
  void RenameSelected();
  // Tall enough for the first rows of a list, where the screen has room.
  void OpenTallEnough();
  // Columns the user has not sized take their contents' width; No and 親 only grow, to their
  // widest number, whoever sized them.
  void FitColumns();
  // Names and folders share the list's room beyond the columns' contents.
  void SpreadColumns();
  void SaveSettings();
  // A host folder for a dialog to open in, or empty when the Windows one is not there.
  QString HostFolder(const std::string& windowsFolder) const;
  std::string WindowsForm(const QString& chosen);
  void Connect(ControlId id, void (MainDialog::*handler)());
  void ShowPathFields();
  bool OnEdit(int row, const QString& text);
  void OnEditCancelled(int row);
  void SelectionFromView();
  void SelectionFromList();
  void ShowHelp();
  void UndoLastRun();
  // Lets the window repaint in the middle of a run.
  void PumpEvents();
  class BoxScope;
  // Where a message box goes: over the topmost window of ours.
  QWidget* BoxParent();

  Prompts& prompts_;
  platform::Host& host_;
  MainDialog dialog_;
  QList<QWidget*> controls_;
  QLabel* editToolField_ = nullptr;
  QLabel* pcToolField_ = nullptr;
  QLabel* inputPartField_ = nullptr;
  std::array<OptionBox, 7> optionBoxes_{};
  QButtonGroup* operationGroup_ = nullptr;
  QTableView* list_ = nullptr;
  PartListModel* model_ = nullptr;
  QDialog* help_ = nullptr;
  QMenu* listMenu_ = nullptr;
  bool syncingSelection_ = false;
  std::array<bool, partlist::kColumnCount> widthByHand_{};
  // The width each name, folder or number column's contents want; 0 until a list was fitted.
  std::array<int, partlist::kColumnCount> fitted_{};
  bool fitting_ = false;
  QSettings* settings_ = nullptr;
  std::unique_ptr<ProgressWindow> progress_;
  bool pumping_ = false;
};

}  // namespace velmora::app::qt
