// The Qt window on the offscreen platform: its template, the list view, the start-up messages, the
// quit question, resizing, in-place editing, header sorting, Ctrl+C and the list menu with Ctrl+Z,
// what the window remembers, and the help page.

#include "app/qt/main_window.h"

#include <stdlib.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <span>

#include "app/qt/dialog_template.h"
#include "app/qt/file_dialog.h"
#include "app/qt/progress_window.h"
#include "app/qt/prompts.h"
#include "app/qt/translations.h"
#include "platform/host.h"
#include "platform/ufun_library.h"
#include "resources/messages/captions.h"
#include "resources/version.h"
#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::app::qt {
namespace {

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}
std::string Cp(const char* utf8) {
  return text::Cp932(utf8);
}

const char* const kEditToolMissing =
    "UG_EDIT_PART_NAMES が見つかりません。\n　UG_EDIT_PART_NAMES を指定して下さい。";
const char* const kPcToolMissing = "UGPC が見つかりません。\n　UGPC を指定して下さい。";

class ScriptedPrompts final : public Prompts {
 public:
  void Message(QWidget* parent, const QString& text) override {
    messages << text;
    cursorsOverBoxes << (QApplication::overrideCursor() != nullptr);
    parents << parent;
    progressOverBoxes << ProgressUp();
    if (modal) {
      // A real modal window takes the focus from the window, as a message box does; one held up
      // for a while also records a progress window that came up over it meanwhile.
      QDialog box(parent);
      QTimer::singleShot(holdMs, &box, [this, &box] {
        progressOverBoxes.last() = progressOverBoxes.last() || ProgressUp();
        box.accept();
      });
      box.exec();
    }
  }
  bool Question(QWidget*, const QString& text) override {
    questions << text;
    questionTimes << (clock.isValid() ? clock.elapsed() : -1);
    progressOverQuestions << ProgressUp();
    if (answers.empty()) {
      return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QString OpenFile(QWidget*, const FileDialogSpec& spec) override {
    specs.push_back(spec);
    if (files.empty()) {
      return {};
    }
    QString file = files.front();
    files.pop_front();
    return file;
  }

  QString ChooseFolder(QWidget*, const QString& title, const QString& folder) override {
    folderTitles << title;
    folderStarts << folder;
    if (folders.empty()) {
      return {};
    }
    QString chosen = folders.front();
    folders.pop_front();
    return chosen;
  }

  static bool ProgressUp() {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
      if (qobject_cast<const ProgressWindow*>(window) != nullptr && window->isVisible()) {
        return true;
      }
    }
    return false;
  }

  bool modal = false;
  QElapsedTimer clock;  // when started, each question's time is taken from it
  int holdMs = 0;
  QStringList messages;
  QList<bool> cursorsOverBoxes;
  QList<QWidget*> parents;
  QList<bool> progressOverBoxes;  // a progress window was visible as the box opened
  QStringList folderTitles;
  QStringList folderStarts;
  std::deque<QString> folders;
  QStringList questions;
  QList<qint64> questionTimes;
  QList<bool> progressOverQuestions;
  std::deque<bool> answers;
  std::deque<QString> files;
  QList<FileDialogSpec> specs;
};

// A window over a fresh drive D:, with its own UGII_ROOT_DIR holding both tools.
struct Harness {
  Harness() {
    drive.WriteFile("cad/ug_edit_part_names.exe", "");
    drive.WriteFile("cad/ugpc.exe", "");
  }

  void Start() {
    setenv("UGII_ROOT_DIR", "D:\\cad\\", 1);
    QVERIFY(window.Initialise());
    QCOMPARE(prompts.messages, QStringList());
  }
  void Show() {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
  }

  // Shows the window and lists a generated assembly in "gen" through the browse button, with the
  // stand-in tools chosen.
  void ListGenerated(std::string_view arguments) {
    const std::string top = drive.MakeAssembly("gen", arguments);
    operations::DialogState& state = window.Dialog().State();
    state.editToolPath = drive.EditTool();
    state.pcToolPath = drive.PcTool();
    prompts.files = {QString::fromStdString(*host.ToHostPath(top))};
    Show();
    QTest::mouseClick(window.Control(ControlId::BrowseInputPart), Qt::LeftButton);
  }
  void AddRow(const char* name, const char* folder = "D:\\work\\", const char* number = "") {
    partlist::PartList& list = window.Dialog().State().partList;
    partlist::PartRow row;
    row.partName = Cp(name);
    row.folderName = Cp(folder);
    row.before = "\x81\x9B";
    row.number = number;
    row.itemData = list.RowCount();
    list.InsertRow(list.RowCount(), std::move(row));
  }
  QTableView* List() { return window.findChild<QTableView*>(u"partList"_qs); }
  QString Cell(int row, int column) { return List()->model()->index(row, column).data().toString(); }
  QStringList Column(int column) {
    QStringList cells;
    for (int row = 0; row < List()->model()->rowCount(); ++row) {
      cells << Cell(row, column);
    }
    return cells;
  }

  // Declared in construction order: the host reads the drive mapping that TempDrive sets.
  velmora::testing::TempDrive drive;
  platform::RealHost host;
  platform::UfunLibrary cad;
  ScriptedPrompts prompts;
  MainWindow window{host, cad, prompts};
};

// Dialog units to pixels with base units 7 × 13, rounded.
QRect Pixels(int x, int y, int w, int h) {
  auto px = [](int v) { return static_cast<int>(std::lround(v * 7 / 4.0)); };
  auto py = [](int v) { return static_cast<int>(std::lround(v * 13 / 8.0)); };
  return QRect(px(x), py(y), px(w), py(h));
}

const char* TypeOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::PathField:
      return "QLabel";
    case ControlKind::Button:
    case ControlKind::DefaultButton:
      return "QPushButton";
    case ControlKind::Check:
      return "QCheckBox";
    case ControlKind::Group:
      return "QGroupBox";
    case ControlKind::Radio:
      return "QRadioButton";
    case ControlKind::List:
      return "QTableView";
  }
  return "";
}

const char* KeywordOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return "RTEXT";
    case ControlKind::PathField:
    case ControlKind::List:
      return "CONTROL";
    case ControlKind::Button:
      return "PUSHBUTTON";
    case ControlKind::DefaultButton:
      return "DEFPUSHBUTTON";
    case ControlKind::Check:
      return "AUTOCHECKBOX";
    case ControlKind::Group:
      return "GROUPBOX";
    case ControlKind::Radio:
      return "AUTORADIOBUTTON";
  }
  return "";
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A control statement of the Windows window's resource script, its id resolved.
struct ScriptControl {
  QString keyword;
  QString caption;
  int id = 0;
  QRect units;
};

struct ResourceScript {
  QSize size;
  QList<ScriptControl> controls;  // in the script's order, which is its tab order
};

QString ReadSource(const char* path) {
  QFile file(QStringLiteral(VELMORA_SOURCE_DIR "/") + QString::fromLatin1(path));
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The fields of a statement, split at the commas outside quotes; a quoted caption loses its quotes.
QStringList Fields(const QString& statement) {
  QStringList fields{QString()};
  bool quoted = false;
  for (const QChar c : statement) {
    if (c == u'"') {
      quoted = !quoted;
    } else if (c == u',' && !quoted) {
      fields << QString();
    } else {
      fields.last() += c;
    }
  }
  for (QString& field : fields) {
    field = field.trimmed();
  }
  return fields;
}

ResourceScript ReadResourceScript() {
  std::map<QString, int> ids{{u"IDOK"_qs, 1}, {u"IDCANCEL"_qs, 2}};  // the platform's own
  const QRegularExpression define(uR"(^#define\s+(\w+)\s+\(?(-?\d+)\)?\s*$)"_qs);
  for (const QString& line : ReadSource("src/app/win/resource.h").split(u'\n')) {
    if (const QRegularExpressionMatch m = define.match(line); m.hasMatch()) {
      ids[m.captured(1)] = m.captured(2).toInt();
    }
  }
  ResourceScript script;
  const QString text = ReadSource("src/app/win/velmora.rc");
  const QRegularExpression dialog(uR"(IDD_MAIN_DIALOG\s+DIALOGEX\s+\d+,\s*\d+,\s*(\d+),\s*(\d+))"_qs);
  const QRegularExpressionMatch head = dialog.match(text);
  if (!head.hasMatch()) {
    return script;
  }
  script.size = QSize(head.captured(1).toInt(), head.captured(2).toInt());
  const QString beginLine = u"\nBEGIN\n"_qs;
  const qsizetype begin = text.indexOf(beginLine, head.capturedEnd()) + beginLine.size();
  const qsizetype end = text.indexOf(u"\nEND"_qs, begin);
  // A statement starts at the body's indent; deeper lines continue it.
  QStringList statements;
  const QRegularExpression start(uR"(^  [A-Z]+\s)"_qs);
  for (const QString& line : text.mid(begin, end - begin).split(u'\n')) {
    if (start.match(line).hasMatch() || statements.isEmpty()) {
      statements << line.trimmed();
    } else {
      statements.last() += u' ' + line.trimmed();
    }
  }
  for (const QString& statement : statements) {
    ScriptControl control;
    control.keyword = statement.section(u' ', 0, 0);
    const QStringList fields = Fields(statement.section(u' ', 1));
    // CONTROL names its window class and style before the place.
    const qsizetype place = control.keyword == u"CONTROL" ? 4 : 2;
    if (fields.size() < place + 4 || ids.count(fields[1]) == 0) {
      continue;
    }
    control.caption = fields[0];
    control.id = ids.at(fields[1]);
    control.units = QRect(fields[place].toInt(), fields[place + 1].toInt(), fields[place + 2].toInt(),
                          fields[place + 3].toInt());
    script.controls << control;
  }
  return script;
}

QString Caption(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    return button->text();
  }
  if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    return group->title();
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    return label->text();
  }
  return {};
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void everyControlOfTheTemplate();
  void templateControlsFitWithoutOverlapping();
  void templateIsTheWindowsResourceScripts();
  void theListIsSetUpAsAReport();
  void startUpMessages_data();
  void startUpMessages();
  void failedSessionEndsBeforeUse();
  void escapeAndCloseBoxAskBeforeQuitting();
  void enterPressesExecute();
  void listGrowsOnlyPastTheTemplateSize_data();
  void listGrowsOnlyPastTheTemplateSize();
  void typingANewName_data();
  void typingANewName();
  void givingUpAnEditKeepsTheNameAndTheWindow();
  void headerClicksSortNumbersBothWays();
  void ctrlCCopiesThePartNameOfOneRow_data();
  void ctrlCCopiesThePartNameOfOneRow();
  void exchangeAndSelectionFollowTheDialog();
  void newFolderGoesToTheSelectedRows();
  void fileDialogAnswersInWindowsForm();
  void messageBoxesAndFilters();
  void helpButtonOpensTheHelpPage();
  void toolkitTextsAreJapanese();
  void fileDialogsOpenWhereTheWorkIs();
  void focusGoesBackToTheRowAfterARefusedName();
  void noWaitCursorOverABox();
  void numberColumnsWidenToTheirWidestNumber();
  void namingRulesPreviewAndApply();
  void planGoesToCsvAndBack();
  void undoFromTheListMenuAndCtrlZ();
  void slowBulkRunShowsProgressAndStopsBetweenTwoFiles();
  void refusalOfASlowCheckOpensNoProgress();
  void failureDuringARunOpensItsBoxWithTheProgressHidden();
  void progressFallingDueUnderABoxWaitsForIt();
  void stopRequestedFromTheProgressWindow();
  void aHungToolIsEndedOnRequestAndTheRunUndone();
  void opensTallEnoughForTwelveRows();
  void placeSizeAndColumnWidthsAreRemembered();
  void columnsStartFromTheirContentsAndLongTextsKeepTheirEnd();
  void theNameEditorIsFramed();
  void fileDialogListsFoldersFirstAndChooses();
  void fastScheduleIsOffAtStartAndAFastChangeResolves();
};

void MainWindowTest::everyControlOfTheTemplate() {
  Harness h;
  h.Start();
  // The check boxes and the radio button on at a fresh start.
  const ControlId checkedAtStart[] = {ControlId::AllowReplaceAll, ControlId::CopyMissingFiles,
                                      ControlId::SwapInputAfterRun, ControlId::Inspect};
  QList<QWidget*> tabStops;
  for (const ControlSpec& spec : DialogTemplate()) {
    const char* type = TypeOf(spec.kind);
    QWidget* widget = h.window.findChild<QWidget*>(QString::fromLatin1(spec.name));
    QVERIFY2(widget != nullptr, spec.name);
    if (spec.id != ControlId::Static) {
      QCOMPARE(h.window.Control(spec.id), widget);
    }
    QCOMPARE(widget->property("controlId").toInt(), static_cast<int>(spec.id));
    QVERIFY2(widget->inherits(type), type);
    QCOMPARE(widget->geometry(), Pixels(spec.x, spec.y, spec.width, spec.height));
    const QString caption = Utf8(spec.caption);
    if (spec.kind != ControlKind::PathField) {
      QCOMPARE(Caption(widget), caption);
    }
    if (!caption.isEmpty()) {
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
      QCOMPARE(accessible->text(QAccessible::Name), QString(caption).remove(u'&'));
    }
    if (spec.kind == ControlKind::Check || spec.kind == ControlKind::Radio) {
      QCOMPARE(static_cast<QAbstractButton*>(widget)->isChecked(),
               std::ranges::find(checkedAtStart, spec.id) != std::end(checkedAtStart));
    }
    if (widget->focusPolicy() & Qt::TabFocus) {
      tabStops << widget;
    }
  }
  // The focus chain runs through the tab stops in the template's order.
  QCOMPARE(tabStops.size(), qsizetype(22));
  for (qsizetype i = 0; i + 1 < tabStops.size(); ++i) {
    QWidget* next = tabStops[i]->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus) || !tabStops.contains(next)) {
      next = next->nextInFocusChain();
    }
    QCOMPARE(next, tabStops[i + 1]);
  }

  // The template's width; taller, for the first rows of a list (opensTallEnoughForTwelveRows).
  QCOMPARE(h.window.width(), 984);
  QVERIFY(h.window.height() >= 301);
  QCOMPARE(h.List()->geometry().topLeft(), QPoint(9, 236));
  QCOMPARE(h.window.windowTitle(), U("velmora"));
  QVERIFY(!h.window.windowIcon().isNull());
  QVERIFY(static_cast<QPushButton*>(h.window.Control(ControlId::Execute))->isDefault());
  QCOMPARE(h.window.font().family(), U("ＭＳ 明朝"));
  QCOMPARE(h.window.font().pointSize(), 10);
  QVERIFY2(QFontInfo(h.window.font()).family().startsWith(u"IPA"),
           qPrintable(QFontInfo(h.window.font()).family()));
  auto* path = static_cast<QLabel*>(h.window.Control(ControlId::InputPartPath));
  QCOMPARE(path->frameShadow(), QFrame::Sunken);
  QVERIFY(path->alignment() & Qt::AlignRight);
  QCOMPARE(path->textFormat(), Qt::PlainText);
  QCOMPARE(QAccessible::queryAccessibleInterface(path)->text(QAccessible::Name), U("入力パート:"));
  QVERIFY(h.window.windowFlags() & Qt::WindowMinMaxButtonsHint);
}

void MainWindowTest::templateControlsFitWithoutOverlapping() {
  const std::span<const ControlSpec> controls = DialogTemplate();
  const QRect dialog(0, 0, kTemplateWidth, kTemplateHeight);
  std::set<int> ids;
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlSpec& a = controls[i];
    const QRect ra(a.x, a.y, a.width, a.height);
    QVERIFY2(dialog.contains(ra), a.name);
    QVERIFY2(a.id == ControlId::Static || ids.insert(static_cast<int>(a.id)).second, a.name);
    QVERIFY2(names.insert(a.name).second, a.name);
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const ControlSpec& b = controls[j];
      const QRect rb(b.x, b.y, b.width, b.height);
      // Only the group box holds other controls.
      const bool grouped = (a.kind == ControlKind::Group && ra.contains(rb)) ||
                           (b.kind == ControlKind::Group && rb.contains(ra));
      QVERIFY2(grouped || !ra.intersects(rb), qPrintable(QString::fromLatin1(a.name) + u' ' + b.name));
    }
  }
}

// Both windows show one dialog: every control of the template is in the Windows resource script
// under the same id, in the same order, with the same caption and place.
void MainWindowTest::templateIsTheWindowsResourceScripts() {
  const ResourceScript script = ReadResourceScript();
  QCOMPARE(script.size, QSize(kTemplateWidth, kTemplateHeight));
  qsizetype next = 0;
  for (const ControlSpec& spec : DialogTemplate()) {
    const QString caption = Utf8(spec.caption);
    const auto same = [&](const ScriptControl& control) {
      return control.id == static_cast<int>(spec.id) &&
             (spec.id != ControlId::Static || control.caption == caption);
    };
    const auto found = std::find_if(script.controls.begin() + next, script.controls.end(), same);
    QVERIFY2(found != script.controls.end(), spec.name);
    QCOMPARE(found->keyword, QString::fromLatin1(KeywordOf(spec.kind)));
    QCOMPARE(found->caption, caption);
    QCOMPARE(found->units, QRect(spec.x, spec.y, spec.width, spec.height));
    next = found - script.controls.begin() + 1;
  }
}

void MainWindowTest::theListIsSetUpAsAReport() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  QTableView* list = h.List();
  const char* const headers[] = {
      "変更後パート名", "パート名", "フォルダ名", "変更後フォルダ名", "編集", "前", "後", "重複", "親", "No"};
  const int widths[] = {145, 210, 210, 210, 40, 26, 26, 40, 26, 26};
  const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
  const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignVCenter;
  const Qt::Alignment alignments[] = {right,  right,  right,  right, centre,
                                      centre, centre, centre, right, right};
  QCOMPARE(list->model()->columnCount(), 10);
  for (int column = 0; column < 10; ++column) {
    QCOMPARE(list->model()->headerData(column, Qt::Horizontal).toString(), U(headers[column]));
    QCOMPARE(list->horizontalHeader()->sectionSize(column), widths[column]);
    const QModelIndex cell = list->model()->index(0, column);
    QCOMPARE(cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>(), alignments[column]);
    QCOMPARE(bool(cell.flags() & Qt::ItemIsEditable), column == 0);
  }
  QCOMPARE(h.Cell(0, 1), U("a.prt"));
  QCOMPARE(h.Cell(0, 5), U("○"));
  QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
  QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
  QCOMPARE(list->editTriggers(), QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  QVERIFY(list->horizontalHeader()->sectionsClickable());
  QVERIFY(!list->isSortingEnabled());
}

void MainWindowTest::startUpMessages_data() {
  QTest::addColumn<QString>("root");  // "-": unset
  QTest::addColumn<QStringList>("messages");
  QTest::addColumn<QString>("editTool");
  QTest::addColumn<QString>("pcTool");
  const QStringList both = {U(kEditToolMissing), U(kPcToolMissing)};
  QTest::newRow("unset") << "-" << both << ""
                         << "";
  QTest::newRow("no trailing separator") << "D:\\cad" << both << ""
                                         << "";
  QTest::newRow("found") << "D:\\cad\\" << QStringList() << "D:\\cad\\ug_edit_part_names.exe"
                         << "D:\\cad\\ugpc.exe";
}

void MainWindowTest::startUpMessages() {
  QFETCH(QString, root);
  QFETCH(QStringList, messages);
  Harness h;
  if (root == u"-") {
    unsetenv("UGII_ROOT_DIR");
  } else {
    setenv("UGII_ROOT_DIR", root.toUtf8().constData(), 1);
  }
  QVERIFY(h.window.Initialise());
  QCOMPARE(h.prompts.messages, messages);
  QFETCH(QString, editTool);
  QFETCH(QString, pcTool);
  QCOMPARE(static_cast<QLabel*>(h.window.Control(ControlId::EditToolPath))->text(), editTool);
  QCOMPARE(static_cast<QLabel*>(h.window.Control(ControlId::PcToolPath))->text(), pcTool);
  QCOMPARE(static_cast<QLabel*>(h.window.Control(ControlId::InputPartPath))->text(), QString());
}

void MainWindowTest::failedSessionEndsBeforeUse() {
  Harness h;
  setenv("VELMORA_UF_FAIL", "UF_initialize", 1);
  unsetenv("UGII_ROOT_DIR");
  const int result = h.window.Run();
  unsetenv("VELMORA_UF_FAIL");
  QCOMPARE(result, 3);
  QVERIFY(!h.window.isVisible());
  QCOMPARE(h.prompts.messages,
           QStringList({U("ユーザファンクションの初期化に失敗しました。\n　velmora を終了します。"),
                        U(kEditToolMissing), U(kPcToolMissing)}));
  QCOMPARE(h.prompts.questions, QStringList());
}

void MainWindowTest::escapeAndCloseBoxAskBeforeQuitting() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.AddRow("b.prt");
  h.Show();
  auto* overwrite = static_cast<QCheckBox*>(h.window.Control(ControlId::OverwriteAll));
  overwrite->setChecked(true);
  h.List()->selectRow(1);
  const QString quit = U("velmora を終了します。");

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QCOMPARE(h.prompts.questions, QStringList({quit}));
  h.List()->setFocus();
  QTest::keyClick(h.List(), Qt::Key_Escape);
  QCOMPARE(h.prompts.questions, QStringList({quit, quit}));
  h.window.close();
  QCOMPARE(h.prompts.questions, QStringList({quit, quit, quit}));
  QVERIFY(h.window.isVisible());
  QCOMPARE(h.Column(1), QStringList({U("a.prt"), U("b.prt")}));
  QVERIFY(overwrite->isChecked());
  QCOMPARE(h.window.Dialog().State().partList.FirstSelected(), 1);
  QCOMPARE(h.prompts.messages, QStringList());

  h.prompts.answers = {true};
  QTest::mouseClick(h.window.Control(ControlId::Quit), Qt::LeftButton);
  QCOMPARE(h.prompts.questions.size(), qsizetype(4));
  QVERIFY(!h.window.isVisible());
  QCOMPARE(h.window.result(), int(QDialog::Rejected));
  QCOMPARE(h.prompts.messages, QStringList());
}

void MainWindowTest::enterPressesExecute() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.Show();
  const QString refused = U("入力パート が選択されていません。\n　実行は使用出来ません。");
  h.List()->setFocus();
  QTest::keyClick(h.List(), Qt::Key_Return);
  QCOMPARE(h.prompts.messages, QStringList({refused}));
  h.window.Control(ControlId::SwapInputAfterRun)->setFocus();
  QTest::keyClick(h.window.Control(ControlId::SwapInputAfterRun), Qt::Key_Enter);
  QCOMPARE(h.prompts.messages, QStringList({refused, refused}));
  QVERIFY(h.window.isVisible());
}

void MainWindowTest::listGrowsOnlyPastTheTemplateSize_data() {
  QTest::addColumn<QSize>("client");
  QTest::addColumn<QRect>("list");
  QTest::newRow("template") << QSize(984, 301) << QRect(9, 236, 963, 57);
  QTest::newRow("smaller") << QSize(700, 200) << QRect(9, 236, 963, 57);
  QTest::newRow("wider only") << QSize(1200, 250) << QRect(9, 236, 1179, 57);
  QTest::newRow("larger") << QSize(1300, 600) << QRect(9, 236, 1279, 356);
}

void MainWindowTest::listGrowsOnlyPastTheTemplateSize() {
  QFETCH(QSize, client);
  QFETCH(QRect, list);
  Harness h;
  h.Start();
  h.Show();
  h.window.resize(client);
  QTRY_COMPARE(h.window.size(), client);
  QCOMPARE(h.List()->geometry(), list);
  QCOMPARE(h.window.Control(ControlId::Execute)->geometry(), Pixels(410, 65, 45, 15));
}

void MainWindowTest::typingANewName_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("kept");
  QTest::addColumn<QString>("message");
  QTest::newRow("accepted as typed") << U("ABC.PRT") << U("ABC.PRT") << QString();
  QTest::newRow("japanese") << U("表示.prt") << U("表示.prt") << QString();
  QTest::newRow("emptied") << QString() << QString() << QString();
  QTest::newRow("no extension") << U(".prt") << U("old.prt")
                                << U("拡張子を取得出来ませんでした。記入は適用しません。");
  QTest::newRow("wrong extension") << U("a.prt ") << U("old.prt")
                                   << U("拡張子が PRT では有りません。記入は適用しません。");
  QTest::newRow("separator") << U("sub\\a.prt") << U("old.prt")
                             << U(": か \\ が有ります。記入は適用しません。");
  QTest::newRow("not cp932") << U("Größe.prt") << U("old.prt")
                             << U("使用出来ない文字が有ります。記入は適用しません。");
}

void MainWindowTest::typingANewName() {
  QFETCH(QString, typed);
  QFETCH(QString, kept);
  QFETCH(QString, message);
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.AddRow("b.prt");
  h.window.Dialog().State().partList.SetText(1, partlist::kNewPartName, "old.prt");
  h.Show();
  QTableView* list = h.List();
  list->setFocus();
  list->setCurrentIndex(list->model()->index(1, 0));
  QTest::keyClick(list, Qt::Key_F2);
  QPointer<QLineEdit> editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr);
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_Delete);
  // QtTest types ASCII only; other text arrives as an input method would commit it.
  if (std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 0x80; })) {
    QTest::keyClicks(editor, typed);
  } else {
    editor->insert(typed);
  }
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_VERIFY(editor.isNull());  // the delegate commits from the event loop
  QCOMPARE(h.prompts.messages, message.isEmpty() ? QStringList() : QStringList({message}));
  QCOMPARE(h.Cell(1, 0), kept);
  QCOMPARE(text::ToDisplayUtf8(h.window.Dialog().State().partList.Text(1, 0)), kept.toStdString());
  QCOMPARE(h.Cell(0, 0), QString());
  QCOMPARE(h.prompts.questions, QStringList());
}

void MainWindowTest::givingUpAnEditKeepsTheNameAndTheWindow() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.window.Dialog().State().partList.SetText(0, partlist::kNewPartName, "old.prt");
  h.Show();
  QTableView* list = h.List();
  list->setFocus();
  // F2 edits the name even when another cell of the row is the current one.
  list->setCurrentIndex(list->model()->index(0, 3));
  QTest::keyClick(list, Qt::Key_F2);
  QPointer<QLineEdit> editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr);
  QTest::keyClicks(editor, u"x"_qs);
  // Escape ends the edit only: it must not reach the dialog as a request to quit.
  QTest::keyClick(editor, Qt::Key_Escape);
  QTRY_VERIFY(editor.isNull());
  QCOMPARE(h.Cell(0, 0), U("old.prt"));
  QCOMPARE(h.prompts.questions, QStringList());
  QCOMPARE(h.prompts.messages, QStringList());
  QVERIFY(h.window.isVisible());
}

void MainWindowTest::headerClicksSortNumbersBothWays() {
  Harness h;
  h.Start();
  h.AddRow("ten.prt", "D:\\work\\", "10");
  h.AddRow("one.prt", "D:\\work\\", "1");
  h.AddRow("two.prt", "D:\\work\\", "2");
  h.Show();
  h.List()->selectRow(2);  // two.prt
  QHeaderView* header = h.List()->horizontalHeader();
  const QPoint no(header->sectionViewportPosition(9) + header->sectionSize(9) / 2, header->height() / 2);
  QCOMPARE(header->model()->headerData(9, Qt::Horizontal).toString(), U("No"));

  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, no);
  QCOMPARE(h.Column(9), QStringList({"1", "2", "10"}));
  QCOMPARE(h.Column(1), QStringList({"one.prt", "two.prt", "ten.prt"}));
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, no);
  QCOMPARE(h.Column(9), QStringList({"10", "2", "1"}));
  // The selection stays with its row, in the view as in the list.
  QCOMPARE(h.window.Dialog().State().partList.FirstSelected(), 1);
  QCOMPARE(h.window.Dialog().State().partList.SelectedCount(), 1);
  QVERIFY(h.List()->selectionModel()->isRowSelected(1, {}));
  QVERIFY(!h.List()->selectionModel()->isRowSelected(2, {}));
}

void MainWindowTest::ctrlCCopiesThePartNameOfOneRow_data() {
  QTest::addColumn<QList<int>>("selected");
  QTest::addColumn<QString>("clipboard");
  QTest::addColumn<QStringList>("messages");
  QTest::newRow("none") << QList<int>() << U("untouched") << QStringList();
  QTest::newRow("one") << QList<int>({1}) << U("part001.prt") << QStringList();
  QTest::newRow("japanese") << QList<int>({2}) << U("表示部品.prt") << QStringList();
  QTest::newRow("two") << QList<int>({0, 2}) << U("untouched")
                       << QStringList({U("複数のリストが選択されています。\n　コピーしていません。")});
}

void MainWindowTest::ctrlCCopiesThePartNameOfOneRow() {
  QFETCH(QList<int>, selected);
  QFETCH(QString, clipboard);
  QFETCH(QStringList, messages);
  Harness h;
  h.Start();
  h.AddRow("top.prt");
  h.AddRow("part001.prt", "D:\\work\\sub\\");
  h.AddRow("表示部品.prt");
  h.Show();
  QApplication::clipboard()->setText(u"untouched"_qs);
  QTableView* list = h.List();
  list->setFocus();
  for (int row : selected) {
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  QCOMPARE(qsizetype(h.window.Dialog().State().partList.SelectedCount()), selected.size());

  // Elsewhere Ctrl+C is passed on: a check box ignores it.
  QWidget* check = h.window.Control(ControlId::ApplyToSameFolders);
  check->setFocus();
  QTest::keyClick(check, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->text(), U("untouched"));
  QCOMPARE(h.prompts.messages, QStringList());

  list->setFocus();
  QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(QApplication::clipboard()->text(), clipboard);
  QCOMPARE(h.prompts.messages, messages);
}

void MainWindowTest::exchangeAndSelectionFollowTheDialog() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.AddRow("b.prt");
  h.AddRow("c.prt");
  operations::DialogState& state = h.window.Dialog().State();

  static_cast<QAbstractButton*>(h.window.Control(ControlId::SwapInputAfterRun))->setChecked(false);
  static_cast<QAbstractButton*>(h.window.Control(ControlId::ApplyToSameFolders))->setChecked(true);
  static_cast<QAbstractButton*>(h.window.Control(ControlId::UpperAllParts))->setChecked(true);
  QVERIFY(h.window.ExchangeData(true));
  QCOMPARE(state.options.swapInputAfterRun, 0);
  QCOMPARE(state.options.applyToSameFolders, 1);
  QCOMPARE(state.options.copyMissingFiles, 1);
  QCOMPARE(state.operation, operations::Operation::UpperAllParts);
  QVERIFY(!static_cast<QAbstractButton*>(h.window.Control(ControlId::Inspect))->isChecked());

  state.options.overwriteAll = 1;
  state.operation = operations::Operation::Change;
  QVERIFY(h.window.ExchangeData(false));
  QVERIFY(static_cast<QAbstractButton*>(h.window.Control(ControlId::OverwriteAll))->isChecked());
  QVERIFY(static_cast<QAbstractButton*>(h.window.Control(ControlId::Change))->isChecked());
  QVERIFY(!static_cast<QAbstractButton*>(h.window.Control(ControlId::UpperAllParts))->isChecked());

  // A selection grown by the program shows in the view.
  state.partList.SetSelected(0, true);
  state.partList.SetSelected(2, true);
  const QItemSelectionModel* view = h.List()->selectionModel();
  QVERIFY(view->isRowSelected(0, {}) && !view->isRowSelected(1, {}) && view->isRowSelected(2, {}));

  h.window.BeginWaitCursor();
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  h.window.EndWaitCursor();
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void MainWindowTest::newFolderGoesToTheSelectedRows() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.AddRow("b.prt", "D:\\other\\");
  h.AddRow("c.prt");
  h.drive.WriteFile("work/a.prt", "");
  // An empty folder, as the chooser's own button makes it.
  std::filesystem::create_directories(h.drive.Host("new"));
  h.Show();
  QTest::mouseClick(h.window.Control(ControlId::ApplyToSameFolders),
                    Qt::LeftButton);  // 同名のフォルダ全てに適用
  h.List()->selectRow(0);
  h.prompts.folders = {QString::fromStdString(h.drive.Host("new"))};
  QTest::mouseClick(h.window.Control(ControlId::ChooseNewFolder), Qt::LeftButton);

  QCOMPARE(h.prompts.messages, QStringList());
  QVERIFY(h.prompts.specs.empty());
  QCOMPARE(h.prompts.folderTitles, QStringList({U("変更後フォルダ を選択")}));
  // It opens in the rows' folder.
  QCOMPARE(h.prompts.folderStarts, QStringList({QString::fromStdString(h.drive.Host("work") + "/")}));
  // The selection grown to every row of the same folder shows in the view.
  const QItemSelectionModel* view = h.List()->selectionModel();
  QVERIFY(view->isRowSelected(0, {}) && !view->isRowSelected(1, {}) && view->isRowSelected(2, {}));
  QCOMPARE(h.Column(3), QStringList({U("D:\\new\\"), QString(), U("D:\\new\\")}));
}

void MainWindowTest::fileDialogAnswersInWindowsForm() {
  Harness h;
  h.Start();
  h.drive.WriteFile("work/部品.prt", "");
  platform::FileDialogRequest request;
  request.defaultExtension = "prt";
  request.initialName = "*.prt";
  request.filter = Cp("PRTﾌｧｲﾙ(.prt)|*.prt|全てのﾌｧｲﾙ(*.*)|*.*||");
  request.title = Cp("入力パート を選択");
  h.prompts.files = {QString::fromStdString(h.drive.Host("work/部品.prt")), QString()};

  QCOMPARE(text::ToDisplayUtf8(h.window.ChooseFile(request)), std::string("D:\\work\\部品.prt"));
  QCOMPARE(h.window.ChooseFile(request), std::string());
  QCOMPARE(h.prompts.specs.size(), qsizetype(2));
  const FileDialogSpec& spec = h.prompts.specs.front();
  QCOMPARE(spec.title, U("入力パート を選択"));
  QCOMPARE(spec.nameFilters, QStringList({U("PRTﾌｧｲﾙ(.prt) (*.prt)"), U("全てのﾌｧｲﾙ(*.*) (*.*)")}));
  QCOMPARE(spec.initialName, U("*.prt"));
  QCOMPARE(spec.defaultSuffix, U("prt"));
  QVERIFY(spec.mustExist);
  QCOMPARE(h.prompts.messages, QStringList());

  // A host name that Windows cannot hold is refused with its reason, not mangled.
  h.prompts.files = {QString::fromStdString(h.drive.Host("work/what?.prt"))};
  QCOMPARE(h.window.ChooseFile(request), std::string());
  QCOMPARE(h.prompts.messages.size(), qsizetype(1));
  QVERIFY2(h.prompts.messages.front().startsWith(U("Windows のファイル名に使えない文字を含む名前です: ")),
           qPrintable(h.prompts.messages.front()));
  QVERIFY(h.prompts.messages.front().contains(u"what?.prt"));
}

void MainWindowTest::messageBoxesAndFilters() {
  QtPrompts prompts;
  QWidget parent;
  struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
  } seen;
  auto answer = [&seen](QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&seen, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->textFormat()};
      box->button(button)->click();
    });
  };
  answer(QMessageBox::Ok);
  prompts.Message(&parent, U("<b>a.prt</b>\n　x"));
  QCOMPARE(seen.title, U("velmora"));
  QCOMPARE(seen.text, U("<b>a.prt</b>\n　x"));
  QCOMPARE(seen.icon, QMessageBox::NoIcon);
  QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(seen.format, Qt::PlainText);

  // A long Japanese line is shown whole, not broken between two of its characters, where the
  // screen is wide enough for it; a line wider than the screen wraps inside it.
  const QString longLine =
      U("変更後の Stray.prt ファイルが既に有りますが， アーム_00005.Prt を参照していません。");
  const QRect screen = parent.screen()->availableGeometry();
  for (const QString& second : {U("　実行は使用出来ません。"), longLine.repeated(3)}) {
    int lines = 0;
    QRect place;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      const auto* label = box->findChild<QLabel*>(u"qt_msgbox_label"_qs);
      QVERIFY(label != nullptr);
      lines = label->heightForWidth(label->width()) / label->fontMetrics().lineSpacing();
      place = box->frameGeometry();
      box->button(QMessageBox::Ok)->click();
    });
    prompts.Message(&parent, longLine + u'\n' + second);
    QVERIFY2(screen.contains(place), qPrintable(QString::number(place.width())));
    if (second.size() < longLine.size()) {
      QCOMPARE(lines, 2);
    }
  }

  answer(QMessageBox::No);
  QVERIFY(!prompts.Question(&parent, U("velmora を終了します。")));
  QCOMPARE(seen.icon, QMessageBox::Question);
  QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
  answer(QMessageBox::Yes);
  QVERIFY(prompts.Question(&parent, U("velmora を終了します。")));

  QCOMPARE(QtNameFilters(U("EXEﾌｧｲﾙ(.exe)|*.exe|全てのﾌｧｲﾙ(*.*)|*.*||")),
           QStringList({U("EXEﾌｧｲﾙ(.exe) (*.exe)"), U("全てのﾌｧｲﾙ(*.*) (*.*)")}));
  QCOMPARE(QtNameFilters(U("Parts|*.prt;*.asm||ignored|*.x||")), QStringList({U("Parts (*.prt *.asm)")}));
  QCOMPARE(QtNameFilters(QString()), QStringList());
}

void MainWindowTest::helpButtonOpensTheHelpPage() {
  Harness h;
  h.Start();
  h.Show();
  QTest::mouseClick(h.window.Control(ControlId::Help), Qt::LeftButton);
  auto* help = h.window.findChild<QDialog*>(u"help"_qs);
  QVERIFY(help != nullptr);
  QVERIFY(help->isVisible());
  const QString page = help->findChild<QTextBrowser*>(u"helpText"_qs)->toPlainText();
  // Every caption the window, its list and its dialogs show is explained there, and the page
  // carries the version.
  QVERIFY(page.contains(u"velmora 版 "_qs + Utf8(msg::kVersion)));

  QStringList captions;
  for (const ControlSpec& spec : DialogTemplate()) {
    captions << Utf8(spec.caption);
  }
  for (const QAction* action : h.window.ListMenu()->actions()) {
    captions << action->text();
  }
  for (const std::string_view header : msg::kColumnHeaders) {
    captions << Utf8(header);
  }
  // The captions of the naming rules and the progress window with their buttons, as the header
  // names them: a caption added there needs its place in the help too.
  const QRegularExpression named(
      uR"re(inline constexpr std::string_view (k(?:Label|Button|Check|Group|Radio|Menu|Rename)\w*) = "([^"]*)";)re"_qs);
  for (const QRegularExpressionMatch& m : named.globalMatch(ReadSource("resources/messages/captions.h"))) {
    if (!m.captured(1).endsWith(u"Hint")) {
      captions << m.captured(2);
    }
  }
  QVERIFY(captions.size() > 50);
  QStringList missing;
  for (QString caption : captions) {
    caption.remove(u'&');
    if (!caption.isEmpty() && !page.contains(caption)) {
      missing << caption;
    }
  }
  QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u" | ")));
}

void MainWindowTest::toolkitTextsAreJapanese() {
  QVERIFY(InstallToolkitTranslations(*QCoreApplication::instance()));
  QMessageBox box(QMessageBox::Question, U("velmora"), U("velmora を終了します。"),
                  QMessageBox::Yes | QMessageBox::No);
  QCOMPARE(box.button(QMessageBox::Yes)->text(), U("はい(&Y)"));
  QCOMPARE(box.button(QMessageBox::No)->text(), U("いいえ(&N)"));
  QFileDialog dialog(nullptr, U("入力パート を選択"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QCOMPARE(dialog.labelText(QFileDialog::LookIn), U("アドレス:"));
  QCOMPARE(dialog.labelText(QFileDialog::Reject), U("キャンセル"));
  QCOMPARE(dialog.labelText(QFileDialog::Accept), U("開く(&O)"));
}

void MainWindowTest::fileDialogsOpenWhereTheWorkIs() {
  Harness h;
  h.Start();
  h.drive.WriteFile("work/sub/top.prt", "");
  const QString work = QString::fromStdString(h.drive.Host("work/sub") + "/");
  const QString cad = QString::fromStdString(h.drive.Host("cad") + "/");
  // First time: nothing known, the working directory; a wrong file, then cancel.
  h.prompts.files = {QString::fromStdString(h.drive.Host("work/sub/top.prt")) + u".bak"_qs};
  h.drive.WriteFile("work/sub/top.prt.bak", "");
  QTest::mouseClick(h.window.Control(ControlId::BrowseInputPart), Qt::LeftButton);
  // Cancelled: the input part is gone, the folder used last is kept.
  QTest::mouseClick(h.window.Control(ControlId::BrowseInputPart), Qt::LeftButton);
  QTest::mouseClick(h.window.Control(ControlId::BrowsePcTool), Qt::LeftButton);
  QCOMPARE(h.prompts.specs.size(), qsizetype(4));
  QCOMPARE(h.prompts.specs[0].folder, QString());
  QCOMPARE(h.prompts.specs[1].folder, work);
  QCOMPARE(h.prompts.specs[2].folder, work);
  QCOMPARE(h.prompts.specs[3].folder, cad);  // the tool found at start
  QVERIFY(!h.prompts.specs[0].save);
}

void MainWindowTest::focusGoesBackToTheRowAfterARefusedName() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.AddRow("b.prt");
  h.AddRow("c.prt");
  h.Show();
  h.prompts.modal = true;
  QTableView* list = h.List();
  list->setFocus();
  list->setCurrentIndex(list->model()->index(1, 0));
  QTest::keyClick(list, Qt::Key_F2);
  QPointer<QLineEdit> editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr);
  QTest::keyClicks(editor, u"x.txt"_qs);
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_VERIFY(editor.isNull());
  QCOMPARE(h.prompts.messages, QStringList({U("拡張子が PRT では有りません。記入は適用しません。")}));
  QTRY_COMPARE(h.window.focusWidget(), static_cast<QWidget*>(list));
  QCOMPARE(list->currentIndex().row(), 1);
  // F2 edits again, on the same row, once the window is active again.
  h.window.activateWindow();
  QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
  QTest::keyClick(list, Qt::Key_F2);
  editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr);
  QTest::keyClicks(editor, u"x.prt"_qs);
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_COMPARE(h.Cell(1, 0), U("x.prt"));
}

void MainWindowTest::noWaitCursorOverABox() {
  Harness h;
  h.Start();
  h.window.BeginWaitCursor();
  h.window.ShowMessage(Cp("実行が正常に終了しました。"));
  QCOMPARE(h.prompts.cursorsOverBoxes, QList<bool>({false}));
  QVERIFY(QApplication::overrideCursor() != nullptr);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  h.window.EndWaitCursor();
  QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void MainWindowTest::numberColumnsWidenToTheirWidestNumber() {
  Harness h;
  h.Start();
  for (int i = 0; i < 3; ++i) {
    h.AddRow("a.prt", "D:\\work\\", i == 1 ? "1234" : "7");
  }
  h.window.Dialog().State().partList.SetText(2, partlist::kParent, "1000");
  h.Show();
  QHeaderView* header = h.List()->horizontalHeader();
  header->resizeSection(partlist::kNewPartName, 60);  // the user's own width stays
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  const int needed = h.List()->fontMetrics().horizontalAdvance(u"1234"_qs);
  QVERIFY2(header->sectionSize(partlist::kNumber) > needed,
           qPrintable(QString::number(header->sectionSize(9))));
  QVERIFY(header->sectionSize(partlist::kParent) > needed);
  QCOMPARE(header->sectionSize(partlist::kNewPartName), 60);
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    QCOMPARE(header->sectionResizeMode(column), QHeaderView::Interactive);
  }
  // Never narrowed again by shorter numbers.
  const int wide = header->sectionSize(partlist::kNumber);
  h.window.Dialog().State().partList.SetText(1, partlist::kNumber, "2");
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  QCOMPARE(header->sectionSize(partlist::kNumber), wide);
}

void MainWindowTest::namingRulesPreviewAndApply() {
  Harness h;
  h.Start();
  h.AddRow("表.prt");
  h.AddRow("ソ能.prt");
  h.AddRow("keep.prt");
  h.Show();
  QMenu* menu = h.window.ListMenu();
  QVERIFY(menu != nullptr);
  QStringList captions;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) {
      captions << action->text();
    }
  }
  QCOMPARE(captions,
           QStringList({U("直前の実行を元に戻す(&U)"), U("名前の一括変更(&R)..."),
                        U("一覧をCSVに書き出す(&X)..."), U("CSVから変更後の名前を読み込む(&I)...")}));
  QCOMPARE(h.List()->contextMenuPolicy(), Qt::CustomContextMenu);
  auto* rename = menu->findChild<QAction*>(u"renameSelected"_qs);

  // Nothing selected: refused before the dialog opens.
  rename->trigger();
  QCOMPARE(h.prompts.messages,
           QStringList({U("リストが選択されていません。\n　名前の一括変更 は使用出来ません。")}));

  h.List()->selectionModel()->select(
      QItemSelection(h.List()->model()->index(0, 0), h.List()->model()->index(1, 9)),
      QItemSelectionModel::Select);
  QStringList previews;
  bool stayedOpen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->windowTitle(), U("名前の一括変更"));
    // Every caption with a mnemonic leads to its field; without one its "&" would show.
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
      if (label->text().contains(u'&')) {
        QVERIFY2(label->buddy() != nullptr, qPrintable(label->text()));
      }
    }
    auto* preview = dialog->findChild<QTableView*>(u"preview"_qs);
    auto cell = [preview](int row, int column) {
      return preview->model()->index(row, column).data().toString();
    };
    dialog->findChild<QLineEdit*>(u"pattern"_qs)->setText(u"A-#.prt"_qs);
    dialog->findChild<QSpinBox*>(u"start"_qs)->setValue(9);
    previews << cell(0, 2) << cell(1, 2) << cell(1, 3);
    // A refused rule leaves the dialog open for correction.
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    buttons->button(QDialogButtonBox::Ok)->click();
    stayedOpen = dialog->isVisible();
    dialog->findChild<QSpinBox*>(u"start"_qs)->setValue(1);
    dialog->findChild<QLineEdit*>(u"prefix"_qs)->setText(U("新"));
    previews << cell(0, 1) << cell(0, 2) << cell(1, 2);
    buttons->button(QDialogButtonBox::Ok)->click();
  });
  rename->trigger();
  QCOMPARE(previews, QStringList({U("A-9.prt"), U("A-10.prt"), U("連番が桁数に収まりません"), U("表.prt"),
                                  U("新A-1.prt"), U("新A-2.prt")}));
  QVERIFY(stayedOpen);
  QCOMPARE(h.prompts.messages.size(), qsizetype(2));
  QCOMPARE(h.prompts.messages[1],
           U("D:\\work\\ソ能.prt の連番が # の桁数に収まりません。\n　名前の一括変更 は適用しません。"));
  QCOMPARE(h.Column(0), QStringList({U("新A-1.prt"), U("新A-2.prt"), QString()}));
}

void MainWindowTest::planGoesToCsvAndBack() {
  Harness h;
  h.Start();
  h.AddRow("表.prt");
  h.AddRow("b.prt", "D:\\work\\sub\\");
  h.window.Dialog().State().partList.SetText(0, partlist::kNewPartName, Cp("新,表.prt"));
  h.Show();
  const QString csv = QString::fromStdString(h.drive.Host("plan.csv"));
  h.prompts.files = {csv};
  h.window.ListMenu()->findChild<QAction*>(u"exportCsv"_qs)->trigger();
  QCOMPARE(h.prompts.messages, QStringList());
  QVERIFY(h.prompts.specs.back().save);
  QCOMPARE(h.prompts.specs.back().title, U("一覧をCSVに書き出す"));
  QCOMPARE(h.drive.ReadFile("plan.csv"),
           Cp("変更後パート名,パート名,フォルダ名,変更後フォルダ名,編集,前,後,重複,親,No\r\n"
              "\"新,表.prt\",表.prt,D:\\work\\,,,○,,,,\r\n"
              ",b.prt,D:\\work\\sub\\,,,○,,,,\r\n"));

  h.drive.WriteFile("plan.csv", Cp("パート名,フォルダ名,変更後パート名,変更後フォルダ名\r\n"
                                   "B.PRT,d:\\WORK\\SUB\\,c.prt,D:\\new\r\n"));
  h.prompts.files = {csv};
  h.window.ListMenu()->findChild<QAction*>(u"importCsv"_qs)->trigger();
  QCOMPARE(h.prompts.messages,
           QStringList{U("CSVを読み込みました。 1 行がリストと一致し，1 行を変更しました。")});
  QCOMPARE(h.prompts.specs.back().title, U("CSVから変更後の名前を読み込む"));
  QCOMPARE(h.Column(0), QStringList({U("新,表.prt"), U("c.prt")}));
  QCOMPARE(h.Column(3), QStringList({QString(), U("D:\\new\\")}));
}

void MainWindowTest::undoFromTheListMenuAndCtrlZ() {
  Harness h;
  h.Start();
  h.AddRow("top.prt");
  h.Show();
  QTableView* list = h.List();
  QMenu* menu = h.window.ListMenu();
  QVERIFY(menu != nullptr);
  auto* undo = menu->findChild<QAction*>(u"undoLastRun"_qs);
  QVERIFY(undo != nullptr);
  QCOMPARE(undo->text(), U("直前の実行を元に戻す(&U)"));
  undo->trigger();
  QCOMPARE(h.prompts.messages, QStringList{U("元に戻せる実行が有りません。")});

  list->setFocus();
  QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(h.prompts.messages.size(), 2);
  QCOMPARE(h.prompts.messages.last(), U("元に戻せる実行が有りません。"));
}

// Every file below a host folder, relative path to bytes.
std::map<std::string, std::string> FilesBelow(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[std::filesystem::relative(entry.path(), folder).string()] =
          std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return files;
}

// A window over a generated assembly listed through the browse button.
void LoadGenerated(Harness& h) {
  h.Start();
  h.ListGenerated("--parts 12 --seed 4");
  QCOMPARE(h.prompts.messages, QStringList());
}

void MainWindowTest::slowBulkRunShowsProgressAndStopsBetweenTwoFiles() {
  Harness h;
  LoadGenerated(h);
  operations::DialogState& state = h.window.Dialog().State();
  const int rows = state.partList.RowCount();
  QVERIFY(rows >= 12);
  const auto before = FilesBelow(h.drive.Host("gen"));
  static_cast<QCheckBox*>(h.window.Control(ControlId::OverwriteAll))->setChecked(true);  // overwrite all
  static_cast<QCheckBox*>(h.window.Control(ControlId::SwapInputAfterRun))->setChecked(false);  // no swap
  static_cast<QRadioButton*>(h.window.Control(ControlId::LowerAllParts))->setChecked(true);

  setenv("VELMORA_CAD_DELAY_MS", "150", 1);
  QStringList labels;
  bool modal = false;
  QElapsedTimer clock;
  qint64 shownAfter = -1;
  QTimer watch;
  watch.setInterval(20);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    ProgressWindow* progress = h.window.RunProgress();
    if (progress == nullptr || !progress->isVisible()) {
      return;
    }
    if (shownAfter < 0) {
      shownAfter = clock.elapsed();
      modal = QApplication::activeModalWidget() == progress;
    }
    if (labels.isEmpty() || labels.last() != progress->labelText()) {
      labels << progress->labelText();
    }
    if (labels.size() == 3) {
      auto* stop = progress->findChild<QPushButton*>();
      QCOMPARE(stop->text(), U("中止"));
      QTest::mouseClick(stop, Qt::LeftButton);
      QVERIFY(!stop->isEnabled());
    }
  });
  watch.start();
  clock.start();
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  watch.stop();
  unsetenv("VELMORA_CAD_DELAY_MS");

  QVERIFY(shownAfter >= 0);
  // The toolkit's clock starts as the run begins; a tool's wait slice and a loaded machine add a
  // little.
  QVERIFY2(shownAfter < ProgressWindow::kShowAfterMs + 250, qPrintable(QString::number(shownAfter)));
  QVERIFY(modal);
  QVERIFY(h.window.RunProgress() == nullptr);
  QCOMPARE(labels.size(), qsizetype(3));
  const QString total = u" / "_qs + QString::number(rows);
  for (const QString& label : labels) {
    QVERIFY2(label.section(u'\n', 0, 0).endsWith(total), qPrintable(label));
  }
  QCOMPARE(h.prompts.messages, QStringList{U("中止しました。\n　実行は中断しました。")});
  const auto stopped = FilesBelow(h.drive.Host("gen"));
  QVERIFY(stopped != before);

  QAction* undo = h.window.ListMenu()->findChild<QAction*>(u"undoLastRun"_qs);
  h.prompts.answers = {true};
  undo->trigger();
  QVERIFY2(h.prompts.questions.last().startsWith(U("次の実行を元に戻しますか？")),
           qPrintable(h.prompts.questions.last()));
  h.prompts.questions.clear();
  QCOMPARE(h.prompts.messages.last(), U("直前の実行を元に戻しました。"));
  QVERIFY(FilesBelow(h.drive.Host("gen")) == before);

  // Closing the main window during a run stops the run as 中止 does; no quit question comes up.
  setenv("VELMORA_CAD_DELAY_MS", "150", 1);
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (h.window.RunProgress() != nullptr && h.window.RunProgress()->isVisible()) {
      closer.stop();
      h.window.close();
    }
  });
  static_cast<QCheckBox*>(h.window.Control(ControlId::OverwriteAll))->setChecked(true);
  static_cast<QCheckBox*>(h.window.Control(ControlId::SwapInputAfterRun))->setChecked(false);
  static_cast<QRadioButton*>(h.window.Control(ControlId::LowerAllParts))->setChecked(true);
  closer.start();
  h.prompts.messages.clear();
  h.prompts.questions.clear();  // the undo's question above
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  unsetenv("VELMORA_CAD_DELAY_MS");
  QCOMPARE(h.prompts.messages, QStringList{U("中止しました。\n　実行は中断しました。")});
  QCOMPARE(h.prompts.questions, QStringList());
  QVERIFY(h.window.isVisible());
  h.prompts.answers = {true};
  undo->trigger();
  QVERIFY(FilesBelow(h.drive.Host("gen")) == before);
}

// The structure tool alone takes longer than the progress window waits; the check then refuses.
void MainWindowTest::refusalOfASlowCheckOpensNoProgress() {
  Harness h;
  LoadGenerated(h);
  setenv("VELMORA_CAD_DELAY_MS", "800", 1);
  partlist::PartList& list = h.window.Dialog().State().partList;
  list.SetText(1, partlist::kNewPartName, Cp("renamed.prt"));
  static_cast<QCheckBox*>(h.window.Control(ControlId::SwapInputAfterRun))->setChecked(false);
  static_cast<QRadioButton*>(h.window.Control(ControlId::Change))->setChecked(true);
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  unsetenv("VELMORA_CAD_DELAY_MS");
  QCOMPARE(h.prompts.messages, QStringList{U("全て上書き保存 がチェックされていません。\n入力パート "
                                             "が既に有ります。\n　実行は使用出来ません。")});
  QCOMPARE(h.prompts.progressOverBoxes, QList<bool>{false});
  QCOMPARE(h.prompts.parents, QList<QWidget*>{&h.window});
  QVERIFY(h.window.RunProgress() == nullptr);
}

// A tool that fails once the progress window is up: its box opens with that window hidden.
void MainWindowTest::failureDuringARunOpensItsBoxWithTheProgressHidden() {
  Harness h;
  LoadGenerated(h);
  setenv("VELMORA_CAD_DELAY_MS", "700", 1);
  setenv("VELMORA_CAD_FAIL", "-lower_name", 1);
  static_cast<QCheckBox*>(h.window.Control(ControlId::OverwriteAll))->setChecked(true);
  static_cast<QCheckBox*>(h.window.Control(ControlId::SwapInputAfterRun))->setChecked(false);
  static_cast<QRadioButton*>(h.window.Control(ControlId::LowerAllParts))->setChecked(true);
  bool shown = false;
  QTimer watch;
  watch.setInterval(20);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    shown = shown || (h.window.RunProgress() != nullptr && h.window.RunProgress()->isVisible());
  });
  watch.start();
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  watch.stop();
  unsetenv("VELMORA_CAD_DELAY_MS");
  unsetenv("VELMORA_CAD_FAIL");
  QVERIFY(shown);
  QCOMPARE(h.prompts.messages.size(), qsizetype(1));
  QVERIFY2(h.prompts.messages[0].endsWith(U("実行は中断しました。")), qPrintable(h.prompts.messages[0]));
  QCOMPARE(h.prompts.progressOverBoxes, QList<bool>{false});
  QCOMPARE(h.prompts.parents, QList<QWidget*>{&h.window});
}

// A run that fails on its second file within the half second: the window falls due while the
// box is up, and comes only once the box is answered.
void MainWindowTest::progressFallingDueUnderABoxWaitsForIt() {
  Harness h;
  h.Start();
  h.Show();
  h.window.BeginProgress(40);
  QVERIFY(!h.window.Progress(1, "a.prt"));
  QVERIFY(!h.window.Progress(2, "b.prt"));
  h.prompts.modal = true;
  h.prompts.holdMs = ProgressWindow::kShowAfterMs + 400;
  h.window.ShowMessage("failed");
  QCOMPARE(h.prompts.progressOverBoxes, QList<bool>{false});
  QVERIFY(h.window.RunProgress()->isVisible());
  h.window.EndProgress();
}

void MainWindowTest::stopRequestedFromTheProgressWindow() {
  Harness h;
  h.Start();
  h.Show();
  QVERIFY(!h.window.StopRequested());
  h.window.BeginProgress(5);
  QVERIFY(!h.window.StopRequested());
  ProgressWindow* progress = h.window.RunProgress();
  progress->show();
  QVERIFY(QTest::qWaitForWindowExposed(progress));
  QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
  QVERIFY(h.window.StopRequested());
  // It stays up, and keeps the main window from taking input, until the run has stopped.
  QVERIFY(progress->isVisible());
  h.window.EndProgress();
  QVERIFY(!h.window.StopRequested());
  // The close box asks the same.
  h.window.BeginProgress(5);
  QVERIFY(!h.window.StopRequested());
  h.window.RunProgress()->close();
  QVERIFY(h.window.StopRequested());
  h.window.EndProgress();
}

// 中止, then the close box, while the edit tool hangs: after three seconds of the tool the user is
// asked whether to end it, on either schedule; Yes ends it and the run stops and is undone.
void MainWindowTest::aHungToolIsEndedOnRequestAndTheRunUndone() {
  Harness h;
  LoadGenerated(h);
  operations::DialogState& state = h.window.Dialog().State();
  const auto before = FilesBelow(h.drive.Host("gen"));
  const QString asked = QString::fromStdString(text::ToDisplayUtf8(state.editToolPath)) +
                        U(" が終了していません。\n　ツールを終了させて実行を中止しますか？");
  QAction* undo = h.window.ListMenu()->findChild<QAction*>(u"undoLastRun"_qs);
  // Left set by a failed check, the hang would stop every later test.
  struct Hang {
    Hang() {
      setenv("VELMORA_CAD_HANG", "-change_name", 1);
      setenv("VELMORA_JOBS", "2", 1);
    }
    ~Hang() {
      unsetenv("VELMORA_CAD_HANG");
      unsetenv("VELMORA_JOBS");
    }
  } const hang;
  for (const bool fast : {false, true}) {
    state.partList.SetText(2, partlist::kNewPartName, "hung-2.prt");
    state.partList.SetText(5, partlist::kNewPartName, "hung-5.prt");
    static_cast<QCheckBox*>(h.window.Control(ControlId::OverwriteAll))->setChecked(true);
    static_cast<QCheckBox*>(h.window.Control(ControlId::SwapInputAfterRun))->setChecked(false);
    static_cast<QCheckBox*>(h.window.Control(ControlId::FastSchedule))->setChecked(fast);
    static_cast<QRadioButton*>(h.window.Control(ControlId::Change))->setChecked(true);
    QTimer stopper;
    stopper.setInterval(20);
    QObject::connect(&stopper, &QTimer::timeout, [&] {
      ProgressWindow* progress = h.window.RunProgress();
      if (progress != nullptr && progress->isVisible()) {
        stopper.stop();
        if (fast) {
          progress->close();
        } else {
          QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        }
      }
    });
    stopper.start();
    h.prompts.messages.clear();
    h.prompts.questions.clear();
    h.prompts.questionTimes.clear();
    h.prompts.progressOverQuestions.clear();
    h.prompts.answers = {true};
    h.prompts.clock.start();
    QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
    QCOMPARE(h.prompts.questions, QStringList{asked});
    QCOMPARE(h.prompts.progressOverQuestions, QList<bool>{false});
    // Never before a tool has had its few seconds; that the run ended at all is the rest.
    const qint64 askedAt = h.prompts.questionTimes.front();
    QVERIFY2(askedAt >= 3000, qPrintable(QString::number(askedAt)));
    QCOMPARE(h.prompts.messages, QStringList{U("中止しました。\n　実行は中断しました。")});
    QVERIFY(h.window.RunProgress() == nullptr);
    QCOMPARE(h.drive.TempFiles(), std::vector<std::string>());

    h.prompts.clock.invalidate();
    h.prompts.answers = {true};
    undo->trigger();
    QCOMPARE(h.prompts.messages.last(), U("直前の実行を元に戻しました。"));
    QVERIFY(FilesBelow(h.drive.Host("gen")) == before);
  }
}

void MainWindowTest::opensTallEnoughForTwelveRows() {
  Harness h;
  h.Start();
  for (int i = 0; i < 20; ++i) {
    h.AddRow("a.prt");
  }
  h.Show();
  QTableView* list = h.List();
  const int rowsShown = (list->viewport()->height() + 1) / list->verticalHeader()->defaultSectionSize();
  const int available = h.window.screen()->availableGeometry().height();
  // The offscreen screen has room for them; a smaller one gets what it has.
  if (available >= 600) {
    QVERIFY2(rowsShown >= 12, qPrintable(QString::number(rowsShown)));
  }
  QVERIFY(h.window.height() <= std::max(301, available));
  QCOMPARE(h.window.width(), 984);
  // The template's layout and its resize rule are as they were.
  QCOMPARE(list->geometry(), QRect(9, 236, 963, h.window.height() - 244));
}

void MainWindowTest::placeSizeAndColumnWidthsAreRemembered() {
  QTemporaryDir folder;
  QSettings settings(folder.filePath(u"velmora.conf"_qs), QSettings::IniFormat);
  {
    Harness h;
    h.window.RestoreSettings(settings);
    h.Start();
    h.Show();
    h.window.resize(1100, 520);
    QTRY_COMPARE(h.window.size(), QSize(1100, 520));
    h.List()->horizontalHeader()->resizeSection(partlist::kFolderName, 333);
    h.prompts.answers = {true};
    h.window.reject();
    QVERIFY(!h.window.isVisible());
  }
  // Nothing about the run: the place and size, and the one width set by hand.
  QCOMPARE(settings.allKeys(), QStringList({u"list/columnWidths"_qs, u"window/geometry"_qs}));
  const QVariantList widths = settings.value(u"list/columnWidths"_qs).toList();
  QCOMPARE(widths.size(), partlist::kColumnCount);
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    QCOMPARE(widths[column].toInt(), column == partlist::kFolderName ? 333 : 0);
  }

  Harness again;
  again.window.RestoreSettings(settings);
  again.Start();
  again.Show();
  QCOMPARE(again.window.size(), QSize(1100, 520));
  QCOMPARE(again.List()->horizontalHeader()->sectionSize(partlist::kFolderName), 333);
  // A width set by hand is kept when a list is built.
  again.AddRow("a.prt", "D:\\a\\very\\long\\folder\\that\\would\\widen\\the\\column\\");
  QTest::mouseClick(again.window.Control(ControlId::Execute), Qt::LeftButton);
  QCOMPARE(again.List()->horizontalHeader()->sectionSize(partlist::kFolderName), 333);
}

void MainWindowTest::columnsStartFromTheirContentsAndLongTextsKeepTheirEnd() {
  Harness h;
  h.Start();
  const char* const longFolder =
      "D:\\projects\\customer-with-a-long-name\\s2000\\assemblies\\gearbox\\housing\\部品\\";
  h.AddRow("a.prt", "D:\\w\\");
  h.AddRow("b.prt", longFolder);
  h.Show();
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  QTableView* list = h.List();
  QHeaderView* header = list->horizontalHeader();
  // Never below the header or the name; the long folder wider than the others.
  QVERIFY(header->sectionSize(partlist::kPartName) >= header->sectionSizeHint(partlist::kPartName));
  QVERIFY(header->sectionSize(partlist::kPartName) > list->fontMetrics().horizontalAdvance(u"a.prt"_qs));
  const int folderWidth = header->sectionSize(partlist::kFolderName);
  QVERIFY2(folderWidth > header->sectionSize(partlist::kPartName) + 100,
           qPrintable(QString::number(folderWidth)));
  // The columns fill the list, at any width, and no list is left half blank.
  auto total = [header] {
    int sum = 0;
    for (int column = 0; column < partlist::kColumnCount; ++column) {
      sum += header->sectionSize(column);
    }
    return sum;
  };
  // A vertical scroll bar's room is kept, shown or not.
  const int bar = list->verticalScrollBar()->sizeHint().width();
  QCOMPARE(total(), list->width() - 2 * list->frameWidth() - bar);
  h.window.resize(1400, 500);
  QTRY_COMPARE(total(), list->width() - 2 * list->frameWidth() - bar);
  QVERIFY(total() <= list->viewport()->width());
  QVERIFY(header->sectionSize(partlist::kFolderName) > folderWidth);
  // Shortened in the middle, the whole text as its tooltip.
  QCOMPARE(list->textElideMode(), Qt::ElideMiddle);
  QCOMPARE(list->model()->index(1, partlist::kFolderName).data(Qt::ToolTipRole).toString(), U(longFolder));
  QVERIFY(!list->model()->index(0, partlist::kNewFolderName).data(Qt::ToolTipRole).isValid());
}

void MainWindowTest::theNameEditorIsFramed() {
  Harness h;
  h.Start();
  h.AddRow("a.prt");
  h.AddRow("b.prt");
  h.Show();
  QTableView* list = h.List();
  list->setFocus();
  list->setCurrentIndex(list->model()->index(1, partlist::kPartName));
  QTest::keyClick(list, Qt::Key_F2);
  QLineEdit* editor = nullptr;
  QTRY_VERIFY((editor = list->findChild<QLineEdit*>()) != nullptr && editor->isVisible());
  QVERIFY(editor->hasFrame());
  QVERIFY(editor->height() >= editor->sizeHint().height());
  // Over its own row.
  QVERIFY(editor->geometry().contains(list->visualRect(list->model()->index(1, 0)).center()));
  QTest::keyClick(editor, Qt::Key_Escape);
}

void MainWindowTest::fileDialogListsFoldersFirstAndChooses() {
  QTemporaryDir folder;
  const QDir dir(folder.path());
  dir.mkdir(u"sub"_qs);
  for (const QString& name : {u"b.prt"_qs, u"A.PRT"_qs, u"c.txt"_qs, u".hidden.prt"_qs}) {
    std::ofstream(dir.filePath(name).toStdString()) << "x";
  }
  FileDialogSpec spec;
  spec.nameFilters = QtNameFilters(U("PRTﾌｧｲﾙ(.prt)|*.prt|全てのﾌｧｲﾙ(*.*)|*.*||"));
  spec.folder = folder.path();
  FileDialog dialog(nullptr, spec);
  QTRY_VERIFY(dialog.Listed());
  auto namesIn = [](const FileDialog& shown) {
    QStringList rows;
    for (int row = 0; row < shown.View()->model()->rowCount(); ++row) {
      rows << shown.View()->model()->index(row, 0).data().toString();
    }
    return rows;
  };
  auto names = [&] { return namesIn(dialog); };
  // Folders first, then by name ignoring case; the filter as on Windows ("*.*" is every file).
  QCOMPARE(names(), QStringList({u"sub"_qs, u"A.PRT"_qs, u"b.prt"_qs}));
  dialog.findChild<QComboBox*>(u"fileType"_qs)->setCurrentIndex(1);
  QTRY_VERIFY(dialog.Listed());
  QCOMPARE(names(), QStringList({u"sub"_qs, u"A.PRT"_qs, u"b.prt"_qs, u"c.txt"_qs}));

  auto* name = dialog.findChild<QLineEdit*>(u"fileName"_qs);
  auto* status = dialog.findChild<QLabel*>(u"status"_qs);
  name->setText(u"gone.prt"_qs);
  dialog.accept();
  QCOMPARE(dialog.result(), int(QDialog::Rejected));
  QCOMPARE(status->text(), U("gone.prt が見つかりません。"));
  // A folder typed goes there; a file chosen ends the dialog with its host path.
  name->setText(u"sub"_qs);
  dialog.accept();
  QTRY_VERIFY(dialog.Listed());
  QCOMPARE(dialog.Folder(), dir.filePath(u"sub"_qs));
  QCOMPARE(names(), QStringList());
  name->setText(u"../B.prt"_qs);  // letter case does not matter, as everywhere in the program
  dialog.accept();
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QCOMPARE(dialog.SelectedFile(), dir.filePath(u"b.prt"_qs));

  // Saving: the default suffix is added, and replacing a file takes a second press.
  spec.save = true;
  spec.mustExist = false;
  spec.defaultSuffix = u"prt"_qs;
  FileDialog save(nullptr, spec);
  auto* saveName = save.findChild<QLineEdit*>(u"fileName"_qs);
  saveName->setText(u"b"_qs);
  save.accept();
  QCOMPARE(save.result(), int(QDialog::Rejected));
  QCOMPARE(save.findChild<QLabel*>(u"status"_qs)->text(),
           U("b.prt は既に有ります。もう一度 保存 を押すと置き換えます。"));
  save.accept();
  QCOMPARE(save.result(), int(QDialog::Accepted));
  QCOMPARE(save.SelectedFile(), dir.filePath(u"b.prt"_qs));

  // Choosing a folder: folders only; Enter in the list opens one, a folder made is opened.
  FileDialogSpec folders;
  folders.folders = true;
  folders.folder = folder.path();
  FileDialog chooser(nullptr, folders);
  chooser.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chooser));
  QTRY_VERIFY(chooser.Listed());
  QCOMPARE(namesIn(chooser), QStringList{u"sub"_qs});
  chooser.View()->setFocus();
  chooser.View()->setCurrentIndex(chooser.View()->model()->index(0, 0));
  QTest::keyClick(chooser.View(), Qt::Key_Return);
  QTRY_COMPARE(chooser.Folder(), dir.filePath(u"sub"_qs));
  QVERIFY(chooser.isVisible());
  chooser.findChild<QLineEdit*>(u"fileName"_qs)->setText(u"made"_qs);
  chooser.findChild<QPushButton*>(u"makeFolder"_qs)->click();
  QTRY_VERIFY(chooser.Listed());
  QCOMPARE(chooser.Folder(), dir.filePath(u"sub/made"_qs));
  chooser.findChild<QPushButton*>(u"makeFolder"_qs)->setFocus();
  chooser.accept();
  QCOMPARE(chooser.SelectedFile(), dir.filePath(u"sub/made"_qs));
}

void MainWindowTest::fastScheduleIsOffAtStartAndAFastChangeResolves() {
  Harness h;
  h.Start();
  auto* fast = static_cast<QCheckBox*>(h.window.Control(ControlId::FastSchedule));
  QVERIFY(fast != nullptr);
  QCOMPARE(fast->text(), U("高速実行(&T)"));
  QVERIFY(!fast->isChecked());
  h.ListGenerated("--parts 15 --seed 7");
  operations::DialogState& state = h.window.Dialog().State();
  QCOMPARE(h.prompts.messages, QStringList());
  QVERIFY(state.partList.RowCount() >= 15);
  // Two components renamed, the top part rewritten in place.
  state.partList.SetText(1, partlist::kNewPartName, "fast-1.prt");
  state.partList.SetText(4, partlist::kNewPartName, "fast-4.prt");
  const std::string renamed = state.partList.RowPath(4, true);
  static_cast<QCheckBox*>(h.window.Control(ControlId::OverwriteAll))->setChecked(true);
  static_cast<QRadioButton*>(h.window.Control(ControlId::Change))->setChecked(true);
  fast->setChecked(true);
  QTest::mouseClick(h.window.Control(ControlId::Execute), Qt::LeftButton);
  QCOMPARE(h.prompts.messages, QStringList{U("実行が正常に終了しました。")});
  QCOMPARE(state.options.fastSchedule, 1);
  QVERIFY(h.host.Stat(renamed).has_value());
  // The swapped-in list names the new files.
  QVERIFY(state.partList.FindRow(partlist::kPartName, "fast-4.prt") >= 0);
}

}  // namespace velmora::app::qt

QTEST_MAIN(velmora::app::qt::MainWindowTest)
#include "main_window_test.moc"
