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
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "app/list_layout.h"
#include "app/qt/dialog_template.h"
#include "app/qt/name_delegate.h"
#include "app/qt/naming_rules_dialog.h"
#include "app/qt/part_list_model.h"
#include "app/qt/progress_window.h"
#include "app/qt/prompts.h"
#include "resources/messages/captions.h"
#include "text/codec.h"

namespace velmora::app::qt {

namespace {

const QString kGeometryKey = u"window/geometry"_qs;
// One width per column; 0 for a column that takes its contents' width.
const QString kColumnWidthsKey = u"list/columnWidths"_qs;

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
  OpenTallEnough();
}

MainWindow::~MainWindow() {
  // The view and the model go before the list they read.
  delete list_;
  delete model_;
}

void MainWindow::BuildControls() {
  QWidget* previous = nullptr;
  for (const ControlSpec& spec : DialogTemplate()) {
    const QString caption = spec.caption.empty() ? QString() : Caption(spec.caption);
    QWidget* widget = CreateControl(spec, caption);
    widget->setObjectName(QString::fromLatin1(spec.name));
    widget->setProperty("controlId", static_cast<int>(spec.id));
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
  BindControls();
  BuildList();
  ConnectButtons();
}

QWidget* MainWindow::CreateControl(const ControlSpec& spec, const QString& caption) {
  switch (spec.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(caption, this);
      label->setTextFormat(::Qt::PlainText);
      label->setAlignment(::Qt::AlignRight | ::Qt::AlignTop);
      return label;
    }
    case ControlKind::PathField: {
      auto* field = new QLabel(this);
      // Read under the caption of the label before it.
      field->setAccessibleName(controls_.back()->accessibleName());
      field->setTextFormat(::Qt::PlainText);
      field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      field->setAlignment(::Qt::AlignRight | ::Qt::AlignVCenter);
      field->setTextInteractionFlags(::Qt::TextSelectableByMouse);
      return field;
    }
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
      auto* button = new QPushButton(caption, this);
      button->setDefault(spec.kind == ControlKind::DefaultButton);
      return button;
    }
    case ControlKind::Check:
      return new QCheckBox(caption, this);
    case ControlKind::Group:
      return new QGroupBox(caption, this);
    case ControlKind::Radio:
      return new QRadioButton(caption, this);
    case ControlKind::List:
      list_ = new QTableView(this);
      return list_;
  }
  return nullptr;
}

// The controls the handlers read and write, by what they hold.
void MainWindow::BindControls() {
  editToolField_ = static_cast<QLabel*>(Control(ControlId::EditToolPath));
  pcToolField_ = static_cast<QLabel*>(Control(ControlId::PcToolPath));
  inputPartField_ = static_cast<QLabel*>(Control(ControlId::InputPartPath));

  using operations::Options;
  optionBoxes_ = {{
      {&Options::swapInputAfterRun, static_cast<QCheckBox*>(Control(ControlId::SwapInputAfterRun))},
      {&Options::applyToSameFolders, static_cast<QCheckBox*>(Control(ControlId::ApplyToSameFolders))},
      {&Options::copyMissingFiles, static_cast<QCheckBox*>(Control(ControlId::CopyMissingFiles))},
      {&Options::inputPartOnly, static_cast<QCheckBox*>(Control(ControlId::InputPartOnly))},
      {&Options::overwriteAll, static_cast<QCheckBox*>(Control(ControlId::OverwriteAll))},
      {&Options::allowReplaceAll, static_cast<QCheckBox*>(Control(ControlId::AllowReplaceAll))},
      {&Options::fastSchedule, static_cast<QCheckBox*>(Control(ControlId::FastSchedule))},
  }};

  using operations::Operation;
  const std::pair<ControlId, Operation> radios[] = {
      {ControlId::Inspect, Operation::Inspect},
      {ControlId::Change, Operation::Change},
      {ControlId::LowerAllFolders, Operation::LowerAllFolders},
      {ControlId::LowerAllParts, Operation::LowerAllParts},
      {ControlId::UpperAllParts, Operation::UpperAllParts},
      {ControlId::RemoveAllFolders, Operation::RemoveAllFolders},
  };
  operationGroup_ = new QButtonGroup(this);
  for (const auto& [id, operation] : radios) {
    operationGroup_->addButton(static_cast<QRadioButton*>(Control(id)), static_cast<int>(operation));
  }
}

void MainWindow::ConnectButtons() {
  Connect(ControlId::BrowseEditTool, &MainDialog::BrowseEditTool);
  Connect(ControlId::BrowsePcTool, &MainDialog::BrowsePcTool);
  Connect(ControlId::BrowseInputPart, &MainDialog::BrowseInputPart);
  Connect(ControlId::ChooseNewFolder, &MainDialog::ChooseNewFolder);
  Connect(ControlId::ClearNewFolder, &MainDialog::ClearNewFolder);
  Connect(ControlId::Execute, &MainDialog::OnExecute);
  connect(static_cast<QPushButton*>(Control(ControlId::Quit)), &QPushButton::clicked, this,
          &MainWindow::reject);
  connect(static_cast<QPushButton*>(Control(ControlId::Help)), &QPushButton::clicked, this,
          &MainWindow::ShowHelp);
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
  // Folders differ at their end: a long one keeps its start and its end.
  list_->setTextElideMode(::Qt::ElideMiddle);
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
  connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int) {
    if (!fitting_)
      widthByHand_.at(static_cast<std::size_t>(column)) = true;
  });
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
      FitColumns();
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
  FitColumns();
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

void MainWindow::OpenTallEnough() {
  ListMetrics metrics;
  metrics.rowHeight = list_->verticalHeader()->defaultSectionSize();
  // A horizontal scroll bar takes a row's room when the columns are wider than the list.
  metrics.headerHeight =
      list_->horizontalHeader()->sizeHint().height() + list_->horizontalScrollBar()->sizeHint().height();
  metrics.frame = list_->frameWidth();
  int available = std::numeric_limits<int>::max();
  if (const QScreen* screen = this->screen()) {
    // The window system's title bar and frame are not known before the window is shown.
    const int decoration = style()->pixelMetric(QStyle::PM_TitleBarHeight) +
                           2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    available = screen->availableGeometry().height() - decoration;
  }
  resize(UnitsToPixelsX(kTemplateWidth), ClientHeightForRows(metrics, kInitialListRows, available));
}

void MainWindow::FitColumns() {
  const partlist::PartList& list = dialog_.State().partList;
  if (list.RowCount() == 0)
    return;
  QHeaderView* header = list_->horizontalHeader();
  // Room the style leaves around a cell's text.
  const int margin = 2 * (list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1) + 4;
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const auto index = static_cast<std::size_t>(column);
    if (column == partlist::kParent || column == partlist::kNumber) {
      // The digits of a font are all one width: the longest text is the widest.
      const std::string* longest = &list.Text(0, column);
      for (int row = 1; row < list.RowCount(); ++row) {
        if (list.Text(row, column).size() > longest->size())
          longest = &list.Text(row, column);
      }
      // Never narrowed again by shorter numbers.
      fitted_.at(index) = std::max({header->sectionSize(column), header->sectionSizeHint(column),
                                    list_->fontMetrics().horizontalAdvance(Display(*longest)) + margin});
    } else if (column <= partlist::kNewFolderName) {
      // The marks keep their narrow widths. Measured by the view: the rows in sight and a sample.
      const int contents = static_cast<const QAbstractItemView*>(list_)->sizeHintForColumn(column);
      fitted_.at(index) = std::max(header->sectionSizeHint(column), contents);
    }
  }
  SpreadColumns();
}

void MainWindow::SpreadColumns() {
  QHeaderView* header = list_->horizontalHeader();
  std::array<ColumnFit, partlist::kColumnCount> columns{};
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const auto index = static_cast<std::size_t>(column);
    const int current = header->sectionSize(column);
    // Until a list was fitted, and for the marks, a column keeps its width.
    const int fitted = fitted_.at(index);
    const bool names = column <= partlist::kNewFolderName && fitted > 0;
    columns.at(index) = {fitted > 0 ? fitted : current, current, names && widthByHand_.at(index), names};
  }
  // Room for a vertical scroll bar is kept whether it shows yet or not: rows arrive after the fit.
  const int room = list_->width() - 2 * list_->frameWidth() - list_->verticalScrollBar()->sizeHint().width();
  const std::vector<int> widths = FitColumnWidths(columns, room);
  fitting_ = true;
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const int width = widths.at(static_cast<std::size_t>(column));
    if (width != header->sectionSize(column))
      header->resizeSection(column, width);
  }
  fitting_ = false;
}

void MainWindow::RestoreSettings(QSettings& settings) {
  settings_ = &settings;
  restoreGeometry(settings.value(kGeometryKey).toByteArray());
  const QVariantList widths = settings.value(kColumnWidthsKey).toList();
  QHeaderView* header = list_->horizontalHeader();
  fitting_ = true;
  for (int column = 0; column < partlist::kColumnCount && column < widths.size(); ++column) {
    const int width = widths.at(column).toInt();
    if (width > 0) {
      header->resizeSection(column, width);
      widthByHand_.at(static_cast<std::size_t>(column)) = true;
    }
  }
  fitting_ = false;
}

void MainWindow::SaveSettings() {
  settings_->setValue(kGeometryKey, saveGeometry());
  QVariantList widths;
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const bool byHand = widthByHand_.at(static_cast<std::size_t>(column));
    widths.push_back(byHand ? list_->horizontalHeader()->sectionSize(column) : 0);
  }
  settings_->setValue(kColumnWidthsKey, widths);
  settings_->sync();
}

void MainWindow::Connect(ControlId id, void (MainDialog::*handler)()) {
  connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this, [this, handler] {
    (dialog_.*handler)();
    ShowPathFields();
    FitColumns();
  });
}

QWidget* MainWindow::Control(ControlId id) const {
  for (QWidget* widget : controls_) {
    if (widget->property("controlId").toInt() == static_cast<int>(id)) {
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

void MainWindow::done(int result) {
  if (settings_ != nullptr)
    SaveSettings();
  QDialog::done(result);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (list_ != nullptr) {
    const ListGeometry geometry = ListGeometryForClient(width(), height());
    list_->setGeometry(geometry.x, geometry.y, geometry.width, geometry.height);
    SpreadColumns();
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
    ShowMessage(msg::kNameNotCp932());
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

// The progress window of a run is out of the way while one of its boxes is up.
class MainWindow::BoxScope {
 public:
  explicit BoxScope(ProgressWindow* progress) : progress_(progress) {
    if (progress_ != nullptr) {
      progress_->Suspend();
    }
  }
  ~BoxScope() {
    if (progress_ != nullptr) {
      progress_->Resume();
    }
  }
  BoxScope(const BoxScope&) = delete;
  BoxScope& operator=(const BoxScope&) = delete;

 private:
  ProgressWindow* progress_;
};

QWidget* MainWindow::BoxParent() {
  // The topmost of ours: a modal window open over this one (the naming rules) or this one.
  QWidget* modal = QApplication::activeModalWidget();
  for (QWidget* owner = modal; owner != nullptr; owner = owner->parentWidget()) {
    if (owner == this) {
      return modal;
    }
  }
  return this;
}

void MainWindow::ShowMessage(std::string_view text) {
  ShowPathFields();
  const ModalScope scope(list_);
  const BoxScope box(progress_.get());
  prompts_.Message(BoxParent(), Display(text));
}

bool MainWindow::AskYesNo(std::string_view text) {
  ShowPathFields();
  const ModalScope scope(list_);
  const BoxScope box(progress_.get());
  return prompts_.Question(BoxParent(), Display(text));
}

bool MainWindow::StopRequested() {
  return progress_ != nullptr && progress_->StopRequested();
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
