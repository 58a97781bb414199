#pragma once
// The main dialog as a Qt window: the controls of the dialog template, the part list view, and the
// user-interface services the handlers use. Every event goes to MainDialog.

#include <QDialog>
#include <array>

#include "app/main_dialog.h"
#include "platform/ui.h"
#include "platform/win_path.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QMenu;
class QTableView;

namespace velmora::app::qt {

class PartListModel;
class Prompts;

class MainWindow final : public QDialog, public platform::Ui {
  Q_OBJECT

 public:
  // Paths from the file dialog are turned into their Windows form through `paths`.
  MainWindow(platform::Host& host, const platform::PathMap& paths, Prompts& prompts,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Dialog initialisation; false when the dialog must end without being used.
  bool Initialise();
  // Initialise, then run modally; the dialog's result.
  int Run();

  MainDialog& Dialog() { return dialog_; }
  // The widget of a control of the template by its id (1 and 2 included), or nullptr.
  QWidget* Control(int id) const;

  void reject() override;

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::string ChooseFile(const platform::FileDialogRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  platform::ClipboardFailure CopyToClipboard(std::string_view text) override;
  bool ExchangeData(bool fromControls) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct OptionBox {
    int operations::Options::*field;
    QCheckBox* box;
  };

  void BuildControls();
  void BuildList();
  void Connect(int id, void (MainDialog::*handler)());
  void ShowPathFields();
  bool OnEdit(int row, const QString& text);
  void OnEditCancelled(int row);
  void SelectionFromView();
  void SelectionFromList();
  void ShowHelp();
  // The list's context menu, built in one place for every entry it has.
  QMenu* BuildListMenu();
  void UndoLastRun();

  Prompts& prompts_;
  const platform::PathMap& paths_;
  MainDialog dialog_;
  QList<QWidget*> controls_;
  QLabel* editToolField_ = nullptr;
  QLabel* pcToolField_ = nullptr;
  QLabel* inputPartField_ = nullptr;
  std::array<OptionBox, 6> optionBoxes_{};
  QButtonGroup* operationGroup_ = nullptr;
  QTableView* list_ = nullptr;
  PartListModel* model_ = nullptr;
  QDialog* help_ = nullptr;
  bool syncingSelection_ = false;
};

}  // namespace velmora::app::qt
