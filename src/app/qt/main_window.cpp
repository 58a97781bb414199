#include "app/qt/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "app/qt/naming_rules_dialog.h"
#include "app/qt/part_list_model.h"
#include "app/qt/progress_window.h"
#include "app/qt/prompts.h"
#include "resources/messages/captions.h"
#include "text/codec.h"

namespace velmora::app::qt {

namespace {

constexpr int kListId = 1004;
constexpr int kHelpId = 57670;
constexpr int kNoId = -1;

enum class Kind { Label, PathField, Button, DefaultButton, Check, Group, Radio, List };

// The dialog template in dialog units, in tab order.
struct ControlSpec {
  int id;
  Kind kind;
  std::string_view caption;
  int x, y, width, height;
  const char* name;
};

constexpr ControlSpec kTemplate[] = {
    {kNoId, Kind::Label, msg::kLabelEditTool, 5, 5, 80, 15, "editToolLabel"},
    {1005, Kind::PathField, {}, 90, 5, 415, 15, "editToolPath"},
    {1017, Kind::Button, msg::kButtonBrowseEditTool, 510, 5, 45, 15, "browseEditTool"},
    {kNoId, Kind::Label, msg::kLabelPcTool, 5, 25, 80, 15, "pcToolLabel"},
    {1009, Kind::PathField, {}, 90, 25, 415, 15, "pcToolPath"},
    {1006, Kind::Button, msg::kButtonBrowsePcTool, 510, 25, 45, 15, "browsePcTool"},
    {kNoId, Kind::Label, msg::kLabelInputPart, 5, 45, 80, 15, "inputPartLabel"},
    {1007, Kind::PathField, {}, 90, 45, 415, 15, "inputPartPath"},
    {1008, Kind::Button, msg::kButtonBrowseInputPart, 510, 45, 45, 15, "browseInputPart"},
    {1018, Kind::Check, msg::kCheckApplyToSameFolders, 5, 65, 120, 15, "applyToSameFolders"},
    {1022, Kind::Button, msg::kButtonChooseNewFolder, 130, 65, 95, 15, "chooseNewFolder"},
    {1024, Kind::Button, msg::kButtonClearNewFolder, 230, 65, 105, 15, "clearNewFolder"},
    {1021, Kind::Check, msg::kCheckInputPartOnly, 5, 85, 100, 15, "inputPartOnly"},
    {1023, Kind::Check, msg::kCheckOverwriteAll, 105, 85, 85, 15, "overwriteAll"},
    {1026, Kind::Check, msg::kCheckAllowReplaceAll, 190, 85, 100, 15, "allowReplaceAll"},
    {1020, Kind::Check, msg::kCheckCopyMissingFiles, 290, 85, 130, 15, "copyMissingFiles"},
    {1019, Kind::Check, msg::kCheckSwapInputAfterRun, 420, 85, 140, 15, "swapInputAfterRun"},
    {kNoId, Kind::Group, msg::kGroupOperation, 5, 105, 540, 30, "operationGroup"},
    {1016, Kind::Radio, msg::kRadioInspect, 10, 115, 45, 15, "inspect"},
    {1025, Kind::Radio, msg::kRadioChange, 55, 115, 45, 15, "change"},
    {1014, Kind::Radio, msg::kRadioLowerAllFolders, 100, 115, 115, 15, "lowerAllFolders"},
    {1012, Kind::Radio, msg::kRadioLowerAllParts, 215, 115, 105, 15, "lowerAllParts"},
    {1013, Kind::Radio, msg::kRadioUpperAllParts, 320, 115, 105, 15, "upperAllParts"},
    {1015, Kind::Radio, msg::kRadioRemoveAllFolders, 425, 115, 115, 15, "removeAllFolders"},
    {kListId, Kind::List, {}, 5, 145, 550, 35, "partList"},
    {1, Kind::DefaultButton, msg::kButtonExecute, 410, 65, 45, 15, "execute"},
    {2, Kind::Button, msg::kButtonQuit, 460, 65, 45, 15, "quit"},
    {kHelpId, Kind::Button, msg::kButtonHelp, 510, 65, 45, 15, "help"},
};

// Base units 7 × 13, rounded as the platform's MulDiv rounds.
int UnitsToPixelsX(int units) {
  return (units * 7 + 2) / 4;
}
int UnitsToPixelsY(int units) {
  return (units * 13 + 4) / 8;
}
constexpr int kTemplateWidth = 562;
constexpr int kTemplateHeight = 185;

QString Display(std::string_view cp932) {
  return QString::fromStdString(text::ToDisplayUtf8(cp932));
}
QString Caption(std::string_view utf8Literal) {
  return Display(text::Cp932(utf8Literal));
}
QString WithoutMnemonic(QString caption) {
  return caption.remove(u'&');
}

void InstallFontSubstitution() {
  const QString family = Caption(msg::kDialogFont);
  if (!QFont::substitutes(family).contains(u"IPAMincho")) {
    QFont::insertSubstitutions(family, {u"IPAMincho"_qs, u"IPA明朝"_qs});
  }
}

// Right-aligned like the column it edits, and tells when an edit is given up.
class NameDelegate final : public QStyledItemDelegate {
 public:
  NameDelegate(std::function<void(int)> onCancel, QObject* parent)
      : QStyledItemDelegate(parent), onCancel_(std::move(onCancel)) {
    connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor, EndEditHint hint) {
      if (hint == RevertModelCache && editor != nullptr) {
        onCancel_(editor->property("editRow").toInt());
      }
    });
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setAlignment(PartListModel::ColumnAlignment(index.column()));
    }
    if (editor != nullptr) {
      editor->setProperty("editRow", index.row());
    }
    return editor;
  }

 private:
  std::function<void(int)> onCancel_;
};

// Around a box or dialog that waits for the user: the wait cursor is put away while it is up, and
// when the focus was in the list (an edit that gave a message, say) it goes back there, on the
// same row, once the box has gone and any editor with it.
class ModalScope {
 public:
  explicit ModalScope(QTableView* list) : list_(list) {
    while (QApplication::overrideCursor() != nullptr) {
      QApplication::restoreOverrideCursor();
      ++cursors_;
    }
    const QWidget* focus = QApplication::focusWidget();
    inList_ = list_ != nullptr && focus != nullptr && (focus == list_ || list_->isAncestorOf(focus));
    row_ = inList_ ? list_->currentIndex().row() : -1;
  }
  ~ModalScope() {
    for (int i = 0; i < cursors_; ++i) {
      QApplication::setOverrideCursor(QCursor(::Qt::WaitCursor));
    }
    if (!inList_) {
      return;
    }
    QTimer::singleShot(0, list_, [list = list_, row = row_] {
      list->setFocus(::Qt::OtherFocusReason);
      if (row >= 0 && row < list->model()->rowCount()) {
        list->selectionModel()->setCurrentIndex(list->model()->index(row, partlist::kNewPartName),
                                                QItemSelectionModel::NoUpdate);
      }
    });
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  QPointer<QTableView> list_;
  int cursors_ = 0;
  bool inList_ = false;
  int row_ = -1;
};

}  // namespace

MainWindow::MainWindow(platform::Host& host, platform::CadLibrary& cad, Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), host_(host), dialog_(*this, host, cad) {
  setObjectName(u"mainDialog"_qs);
  setWindowFlags(::Qt::Window | ::Qt::WindowTitleHint | ::Qt::WindowSystemMenuHint |
                 ::Qt::WindowMinMaxButtonsHint | ::Qt::WindowCloseButtonHint);
  setWindowTitle(Caption(msg::kWindowTitle));
  setWindowIcon(QIcon(u":/icon/velmora.png"_qs));
  InstallFontSubstitution();
  setFont(QFont(Caption(msg::kDialogFont), 10));
  BuildControls();
  resize(UnitsToPixelsX(kTemplateWidth), UnitsToPixelsY(kTemplateHeight));
}

MainWindow::~MainWindow() {
  // The view and the model go before the list they read.
  delete list_;
  delete model_;
}

void MainWindow::BuildControls() {
  QWidget* previous = nullptr;
  for (const ControlSpec& spec : kTemplate) {
    const QString caption = spec.caption.empty() ? QString() : Caption(spec.caption);
    QWidget* widget = nullptr;
    switch (spec.kind) {
      case Kind::Label: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(::Qt::PlainText);
        label->setAlignment(::Qt::AlignRight | ::Qt::AlignTop);
        widget = label;
        break;
      }
      case Kind::PathField: {
        auto* field = new QLabel(this);
        // Read under the caption of the label before it.
        field->setAccessibleName(controls_.back()->accessibleName());
        field->setTextFormat(::Qt::PlainText);
        field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        field->setAlignment(::Qt::AlignRight | ::Qt::AlignVCenter);
        field->setTextInteractionFlags(::Qt::TextSelectableByMouse);
        widget = field;
        break;
      }
      case Kind::Button:
      case Kind::DefaultButton: {
        auto* button = new QPushButton(caption, this);
        button->setDefault(spec.kind == Kind::DefaultButton);
        widget = button;
        break;
      }
      case Kind::Check:
        widget = new QCheckBox(caption, this);
        break;
      case Kind::Group:
        widget = new QGroupBox(caption, this);
        break;
      case Kind::Radio:
        widget = new QRadioButton(caption, this);
        break;
      case Kind::List:
        list_ = new QTableView(this);
        widget = list_;
        break;
    }
    widget->setObjectName(QString::fromLatin1(spec.name));
    widget->setProperty("controlId", spec.id);
    widget->setGeometry(UnitsToPixelsX(spec.x), UnitsToPixelsY(spec.y), UnitsToPixelsX(spec.width),
                        UnitsToPixelsY(spec.height));
    if (!caption.isEmpty()) {
      widget->setAccessibleName(WithoutMnemonic(caption));
    }
    if (widget->focusPolicy() & ::Qt::TabFocus) {
      if (previous != nullptr) {
        setTabOrder(previous, widget);
      }
      previous = widget;
    }
    controls_.push_back(widget);
  }

  editToolField_ = static_cast<QLabel*>(Control(1005));
  pcToolField_ = static_cast<QLabel*>(Control(1009));
  inputPartField_ = static_cast<QLabel*>(Control(1007));

  using operations::Options;
  optionBoxes_ = {{
      {&Options::swapInputAfterRun, static_cast<QCheckBox*>(Control(1019))},
      {&Options::applyToSameFolders, static_cast<QCheckBox*>(Control(1018))},
      {&Options::copyMissingFiles, static_cast<QCheckBox*>(Control(1020))},
      {&Options::inputPartOnly, static_cast<QCheckBox*>(Control(1021))},
      {&Options::overwriteAll, static_cast<QCheckBox*>(Control(1023))},
      {&Options::allowReplaceAll, static_cast<QCheckBox*>(Control(1026))},
  }};
  operationGroup_ = new QButtonGroup(this);
  const int radios[] = {1016, 1025, 1014, 1012, 1013, 1015};
  for (int operation = 0; operation < 6; ++operation) {
    operationGroup_->addButton(static_cast<QRadioButton*>(Control(radios[operation])), operation);
  }

  BuildList();

  Connect(1017, &MainDialog::BrowseEditTool);
  Connect(1006, &MainDialog::BrowsePcTool);
  Connect(1008, &MainDialog::BrowseInputPart);
  Connect(1022, &MainDialog::ChooseNewFolder);
  Connect(1024, &MainDialog::ClearNewFolder);
  Connect(1, &MainDialog::OnExecute);
  connect(static_cast<QPushButton*>(Control(2)), &QPushButton::clicked, this, &MainWindow::reject);
  connect(static_cast<QPushButton*>(Control(kHelpId)), &QPushButton::clicked, this, &MainWindow::ShowHelp);
}

void MainWindow::BuildList() {
  model_ = new PartListModel(
      dialog_.State().partList, [this](int row, const QString& text) { return OnEdit(row, text); }, this);
  list_->setModel(model_);
  list_->setItemDelegateForColumn(partlist::kNewPartName,
                                  new NameDelegate([this](int row) { OnEditCancelled(row); }, list_));
  list_->setAccessibleName(Caption(msg::kListAccessibleName));
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  list_->setWordWrap(false);
  list_->setShowGrid(false);
  list_->setSortingEnabled(false);
  list_->setTabKeyNavigation(false);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
  QHeaderView* header = list_->horizontalHeader();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(false);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    header->resizeSection(column, PartListModel::ColumnWidth(column));
  }
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
    dialog_.SortByColumn(column);
    ShowPathFields();
  });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MainWindow::SelectionFromView);
  connect(model_, &PartListModel::listSelectionChanged, this, &MainWindow::SelectionFromList);
  connect(model_, &PartListModel::listReset, this, &MainWindow::SelectionFromList);
  list_->installEventFilter(this);
  BuildListMenu();
}

// Every entry of the list's context menu is made here.
void MainWindow::BuildListMenu() {
  listMenu_ = new QMenu(list_);
  listMenu_->setObjectName(u"listMenu"_qs);
  auto add = [this](std::string_view caption, const char* name, std::function<void()> run) {
    QAction* action = listMenu_->addAction(Caption(caption));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
      run();
      ShowPathFields();
    });
  };
  add(msg::kMenuUndoLastRun, "undoLastRun", [this] { UndoLastRun(); });
  listMenu_->addSeparator();
  add(msg::kMenuRenameSelected, "renameSelected", [this] { RenameSelected(); });
  listMenu_->addSeparator();
  add(msg::kMenuExportCsv, "exportCsv", [this] { dialog_.ExportPlanCsv(); });
  add(msg::kMenuImportCsv, "importCsv", [this] { dialog_.ImportPlanCsv(); });
  list_->setContextMenuPolicy(::Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { listMenu_->popup(list_->viewport()->mapToGlobal(at)); });
}

void MainWindow::UndoLastRun() {
  dialog_.UndoLastRun();
  ShowPathFields();
}

void MainWindow::RenameSelected() {
  if (!dialog_.CanRenameSelected()) {
    return;
  }
  NamingRulesDialog rules(
      dialog_.State().partList,
      [this](const partlist::NamingRule* rule) { return dialog_.ApplyNamingRule(rule); }, this);
  const ModalScope scope(list_);
  rules.exec();
}

void MainWindow::FitNumberColumns() {
  const partlist::PartList& list = dialog_.State().partList;
  QHeaderView* header = list_->horizontalHeader();
  // Room the style leaves around a cell's text.
  const int margin = 2 * (list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1) + 4;
  for (const int column : {partlist::kParent, partlist::kNumber}) {
    // The digits of a font are all one width: the longest text is the widest.
    const std::string* widest = nullptr;
    for (int row = 0; row < list.RowCount(); ++row) {
      const std::string& cell = list.Text(row, column);
      if (widest == nullptr || cell.size() > widest->size()) {
        widest = &cell;
      }
    }
    if (widest == nullptr || widest->empty()) {
      continue;
    }
    const int wanted = list_->fontMetrics().horizontalAdvance(Display(*widest)) + margin;
    if (wanted > header->sectionSize(column)) {
      header->resizeSection(column, wanted);
    }
  }
}

void MainWindow::Connect(int id, void (MainDialog::*handler)()) {
  connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this, [this, handler] {
    (dialog_.*handler)();
    ShowPathFields();
    FitNumberColumns();
  });
}

QWidget* MainWindow::Control(int id) const {
  for (QWidget* widget : controls_) {
    if (widget->property("controlId").toInt() == id) {
      return widget;
    }
  }
  return nullptr;
}

bool MainWindow::Initialise() {
  const bool keep = dialog_.OnInitDialog();
  ShowPathFields();
  if (!keep) {
    setResult(3);
  }
  return keep;
}

int MainWindow::Run() {
  if (!Initialise()) {
    return result();
  }
  return exec();
}

void MainWindow::reject() {
  // A close request that arrives while a run waits for a tool stops the run, as 中止 does; the
  // quit question must not come up in the middle of it.
  if (pumping_ || progress_ != nullptr) {
    if (progress_ != nullptr) {
      progress_->RequestStop();
    }
    return;
  }
  if (dialog_.OnCancel()) {
    QDialog::reject();
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (list_ != nullptr) {
    const ListGeometry geometry = ListGeometryForClient(width(), height());
    list_->setGeometry(geometry.x, geometry.y, geometry.width, geometry.height);
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Only Ctrl is looked at, as the platform's key state test did; Shift and Alt may be held too.
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == ::Qt::Key_C && (key->modifiers() & ::Qt::ControlModifier)) {
      dialog_.CopyPartName();
      return true;
    }
    if (key->key() == ::Qt::Key_Z && (key->modifiers() & ::Qt::ControlModifier)) {
      UndoLastRun();
      return true;
    }
    // F2 edits the row's name whichever of its cells has the focus.
    const QModelIndex current = list_->currentIndex();
    if (key->key() == ::Qt::Key_F2 && current.isValid() && current.column() != partlist::kNewPartName) {
      list_->edit(current.siblingAtColumn(partlist::kNewPartName));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void MainWindow::ShowPathFields() {
  const operations::DialogState& state = dialog_.State();
  const std::pair<QLabel*, const std::string*> fields[] = {
      {editToolField_, &state.editToolPath},
      {pcToolField_, &state.pcToolPath},
      {inputPartField_, &state.inputPartPath},
  };
  for (const auto& [field, path] : fields) {
    const QString shown = Display(*path);
    if (field->text() != shown) {
      field->setText(shown);
      field->setToolTip(shown);
      field->setAccessibleDescription(shown);
    }
  }
}

bool MainWindow::OnEdit(int row, const QString& typed) {
  const text::CodecResult name = text::Utf8ToCp932(typed.toStdString());
  if (!name.ok) {
    ShowMessage(text::Cp932(msg::kNameNotCp932));
    return false;
  }
  const bool accepted = dialog_.OnEndLabelEdit(row, name.text);
  ShowPathFields();
  return accepted;
}

void MainWindow::OnEditCancelled(int row) {
  dialog_.OnEndLabelEdit(row, std::nullopt);
}

void MainWindow::SelectionFromView() {
  if (syncingSelection_) {
    return;
  }
  syncingSelection_ = true;
  partlist::PartList& list = dialog_.State().partList;
  const int rows = std::min(list.RowCount(), model_->rowCount());
  // One pass over the ranges and one over the rows, however scattered the selection is.
  std::vector<char> selected(static_cast<std::size_t>(rows), 0);
  for (const QItemSelectionRange& range : list_->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom() && row < rows; ++row) {
      selected[static_cast<std::size_t>(row)] = 1;
    }
  }
  for (int row = 0; row < rows; ++row) {
    const bool wanted = selected[static_cast<std::size_t>(row)] != 0;
    if (list.IsSelected(row) != wanted) {
      list.SetSelected(row, wanted);
    }
  }
  syncingSelection_ = false;
}

void MainWindow::SelectionFromList() {
  if (syncingSelection_) {
    return;
  }
  syncingSelection_ = true;
  const partlist::PartList& list = dialog_.State().partList;
  QItemSelection selection;
  const int lastColumn = partlist::kColumnCount - 1;
  const int rows = model_->rowCount();
  for (int first = list.FirstSelected(); first >= 0 && first < rows;) {
    int last = first;
    int next = list.NextSelected(last);
    while (next == last + 1 && next < rows) {
      last = next;
      next = list.NextSelected(last);
    }
    selection.select(model_->index(first, 0), model_->index(last, lastColumn));
    first = next;
  }
  list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  syncingSelection_ = false;
}

void MainWindow::ShowHelp() {
  if (help_ == nullptr) {
    help_ = new QDialog(this);
    help_->setObjectName(u"help"_qs);
    help_->setWindowTitle(Caption(msg::kHelpTitle));
    auto* layout = new QVBoxLayout(help_);
    auto* browser = new QTextBrowser(help_);
    browser->setObjectName(u"helpText"_qs);
    browser->setOpenExternalLinks(false);
    browser->setSource(QUrl(u"qrc:/help/help.html"_qs));
    layout->addWidget(browser);
    help_->resize(640, 520);
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void MainWindow::ShowMessage(std::string_view text) {
  ShowPathFields();
  const ModalScope scope(list_);
  prompts_.Message(this, Display(text));
}

bool MainWindow::AskYesNo(std::string_view text) {
  ShowPathFields();
  const ModalScope scope(list_);
  return prompts_.Question(this, Display(text));
}

QString MainWindow::HostFolder(const std::string& windowsFolder) const {
  if (windowsFolder.empty()) {
    return {};
  }
  const std::optional<std::string> host = host_.ToHostPath(windowsFolder);
  if (!host) {
    return {};
  }
  const QString folder = QString::fromStdString(*host);
  return QFileInfo(folder).isDir() ? folder : QString();
}

// The chosen host path as the program speaks it; a path with no Windows form is refused with its
// reason, as if nothing had been chosen.
std::string MainWindow::WindowsForm(const QString& chosen) {
  if (chosen.isEmpty()) {
    return {};
  }
  const platform::WindowsPath path = host_.ToWindowsPath(chosen.toStdString());
  if (!path.ok) {
    ShowMessage(path.reason);
    return {};
  }
  return path.path;
}

std::string MainWindow::ChooseFolder(const platform::FolderDialogRequest& request) {
  ShowPathFields();
  QString chosen;
  {
    const ModalScope scope(list_);
    chosen = prompts_.ChooseFolder(this, Display(request.title), HostFolder(request.initialFolder));
  }
  return WindowsForm(chosen);
}

std::string MainWindow::ChooseFile(const platform::FileDialogRequest& request) {
  ShowPathFields();
  FileDialogSpec spec;
  spec.title = Display(request.title);
  spec.nameFilters = QtNameFilters(Display(request.filter));
  spec.initialName = Display(request.initialName);
  spec.defaultSuffix = Display(request.defaultExtension);
  spec.mustExist = (request.flags & 0x1000u) != 0;  // OFN_FILEMUSTEXIST
  spec.save = !request.open;
  spec.folder = HostFolder(request.initialFolder);
  QString chosen;
  {
    const ModalScope scope(list_);
    chosen = prompts_.OpenFile(this, spec);
  }
  return WindowsForm(chosen);
}

void MainWindow::BeginWaitCursor() {
  QApplication::setOverrideCursor(QCursor(::Qt::WaitCursor));
}

void MainWindow::EndWaitCursor() {
  QApplication::restoreOverrideCursor();
}

platform::ClipboardFailure MainWindow::CopyToClipboard(std::string_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    return platform::ClipboardFailure::Open;
  }
  const text::CodecResult utf8 = text::Cp932ToUtf8(text);
  if (!utf8.ok) {
    return platform::ClipboardFailure::SetData;
  }
  const QString value = QString::fromStdString(utf8.text);
  clipboard->setText(value);
  // A clipboard that did not take the text must not be reported as a copy.
  return clipboard->text() == value ? platform::ClipboardFailure::None : platform::ClipboardFailure::SetData;
}

bool MainWindow::ExchangeData(bool fromControls) {
  operations::DialogState& state = dialog_.State();
  if (fromControls) {
    for (const OptionBox& option : optionBoxes_) {
      state.options.*option.field = option.box->isChecked() ? 1 : 0;
    }
    const int chosen = operationGroup_->checkedId();
    if (chosen >= 0) {
      state.operation = static_cast<operations::Operation>(chosen);
    }
  } else {
    for (const OptionBox& option : optionBoxes_) {
      option.box->setChecked(state.options.*option.field != 0);
    }
    if (QAbstractButton* button = operationGroup_->button(static_cast<int>(state.operation))) {
      button->setChecked(true);
    }
    ShowPathFields();
  }
  return true;
}

void MainWindow::BeginProgress(int total) {
  progress_ = std::make_unique<ProgressWindow>(this, total);
}

bool MainWindow::Progress(int step, std::string_view fileName) {
  if (progress_ == nullptr) {
    return false;
  }
  const bool stop = progress_->Step(step, Display(fileName));
  PumpEvents();
  return stop || progress_->StopRequested();
}

void MainWindow::EndProgress() {
  progress_.reset();
}

void MainWindow::WhileWaiting() {
  PumpEvents();
}

void MainWindow::PumpEvents() {
  if (pumping_) {
    return;
  }
  pumping_ = true;
  // Until the modal progress window is up, input waits: a click must not start another handler in
  // the middle of this one. Once it is up, it takes the input and the main window gets none.
  const bool modalUp = progress_ != nullptr && progress_->isVisible();
  QCoreApplication::processEvents(modalUp ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
  pumping_ = false;
}

}  // namespace velmora::app::qt
