#include "app/qt/file_dialog.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "resources/messages/captions.h"

namespace velmora::app::qt {

namespace {

// The program takes part paths without regard to letter case, as Windows does: a name typed in
// another case finds the file. The path itself when no file matches.
QString SameNameIgnoringCase(const QString& path) {
  const QFileInfo typed(path);
  const QDir folder = typed.dir();
  for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (name.compare(typed.fileName(), ::Qt::CaseInsensitive) == 0)
      return folder.filePath(name);
  }
  return path;
}

QString Caption(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

struct Entry {
  QString name;
  bool folder = false;
};

// The patterns of a filter in Qt's form, "desc (*.a *.b)"; "*.*" is every file, as on Windows.
std::vector<QRegularExpression> Patterns(const QString& filter) {
  std::vector<QRegularExpression> patterns;
  const qsizetype open = filter.lastIndexOf(u'(');
  const qsizetype close = filter.lastIndexOf(u')');
  const QString list = open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter;
  for (QString pattern : list.split(u' ', Qt::SkipEmptyParts)) {
    if (pattern == u"*.*")
      pattern = u"*"_qs;
    patterns.emplace_back(QRegularExpression::wildcardToRegularExpression(pattern),
                          QRegularExpression::CaseInsensitiveOption);
  }
  return patterns;
}

bool Matches(const std::vector<QRegularExpression>& patterns, const QString& name) {
  return patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [&](const QRegularExpression& p) {
           return p.match(name).hasMatch();
         });
}

// The folder's entries as the list shows them. Runs off the window's thread: touches no widget.
std::vector<Entry> ReadFolder(const QString& folder, bool foldersOnly,
                              const std::vector<QRegularExpression>& patterns,
                              const std::atomic<bool>& stop) {
  namespace fs = std::filesystem;
  std::vector<Entry> entries;
  std::error_code error;
  const fs::path path(folder.toStdString());
  for (fs::directory_iterator it(path, fs::directory_options::skip_permission_denied, error), end;
       !error && it != end && !stop; it.increment(error)) {
    std::error_code kindError;
    const bool isFolder = it->is_directory(kindError);
    QString name = QString::fromStdString(it->path().filename().string());
    if (name.startsWith(u'.') || (!isFolder && (foldersOnly || !Matches(patterns, name))))
      continue;
    entries.push_back({std::move(name), isFolder});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.folder != b.folder)
      return a.folder;
    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
  });
  return entries;
}

}  // namespace

class FolderModel final : public QAbstractListModel {
 public:
  explicit FolderModel(QObject* parent, QIcon folderIcon, QIcon fileIcon)
      : QAbstractListModel(parent), folderIcon_(std::move(folderIcon)), fileIcon_(std::move(fileIcon)) {}

  void Set(std::vector<Entry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
  }
  [[nodiscard]] const Entry& At(int row) const { return entries_.at(static_cast<std::size_t>(row)); }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount({}))
      return {};
    const Entry& entry = At(index.row());
    switch (role) {
      case Qt::DisplayRole:
      case Qt::AccessibleTextRole:
        return entry.name;
      case Qt::DecorationRole:
        return entry.folder ? folderIcon_ : fileIcon_;
      default:
        return {};
    }
  }

 private:
  std::vector<Entry> entries_;
  QIcon folderIcon_;
  QIcon fileIcon_;
};

FileDialog::FileDialog(QWidget* parent, const FileDialogSpec& spec)
    : QDialog(parent),
      save_(spec.save),
      folders_(spec.folders),
      mustExist_(spec.mustExist),
      defaultSuffix_(spec.defaultSuffix) {
  setObjectName(u"fileDialog"_qs);
  setWindowTitle(spec.title);
  Build(spec);
  // A name with a wildcard is a filter the dialog starts with, not a name.
  if (!spec.initialName.contains(u'*') && !spec.initialName.contains(u'?'))
    nameEdit_->setText(spec.initialName);
  Open(spec.folder.isEmpty() ? QDir::currentPath() : spec.folder);
  nameEdit_->setFocus();
  resize(640, 440);
}

FileDialog::~FileDialog() {
  StopReading();
}

void FileDialog::Build(const FileDialogSpec& spec) {
  auto* layout = new QGridLayout(this);
  auto* folderLabel = new QLabel(Caption(msg::kFileDialogFolder), this);
  folderEdit_ = new QLineEdit(this);
  folderEdit_->setObjectName(u"folder"_qs);
  folderLabel->setBuddy(folderEdit_);
  auto* up = new QToolButton(this);
  up->setObjectName(u"up"_qs);
  up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  up->setToolTip(Caption(msg::kFileDialogUp));
  up->setAccessibleName(Caption(msg::kFileDialogUp));
  connect(up, &QToolButton::clicked, this, [this] { Open(QFileInfo(folder_).path()); });

  BuildView();

  auto* nameLabel = new QLabel(Caption(folders_ ? msg::kFileDialogFolderName : msg::kFileDialogName), this);
  nameEdit_ = new QLineEdit(this);
  nameEdit_->setObjectName(u"fileName"_qs);
  nameLabel->setBuddy(nameEdit_);
  auto* typeLabel = new QLabel(Caption(msg::kFileDialogType), this);
  types_ = new QComboBox(this);
  types_->setObjectName(u"fileType"_qs);
  types_->addItems(spec.nameFilters);
  typeLabel->setBuddy(types_);
  connect(types_, &QComboBox::currentIndexChanged, this, [this] { Open(folder_); });
  typeLabel->setVisible(!folders_);
  types_->setVisible(!folders_);
  status_ = new QLabel(this);
  status_->setObjectName(u"status"_qs);
  status_->setTextFormat(Qt::PlainText);

  auto* buttons = new QDialogButtonBox(this);
  const std::string_view acceptCaption = folders_ ? msg::kFileDialogChoose
                                         : save_  ? msg::kFileDialogSave
                                                  : msg::kFileDialogOpen;
  acceptButton_ = buttons->addButton(Caption(acceptCaption), QDialogButtonBox::AcceptRole);
  if (folders_) {
    QPushButton* make = buttons->addButton(Caption(msg::kFileDialogMakeFolder), QDialogButtonBox::ActionRole);
    make->setObjectName(u"makeFolder"_qs);
    make->setAutoDefault(false);
    connect(make, &QPushButton::clicked, this, &FileDialog::MakeFolder);
  }
  acceptButton_->setDefault(true);
  buttons->addButton(Caption(msg::kButtonCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &FileDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &FileDialog::reject);

  layout->addWidget(folderLabel, 0, 0);
  layout->addWidget(folderEdit_, 0, 1);
  layout->addWidget(up, 0, 2);
  layout->addWidget(view_, 1, 0, 1, 3);
  layout->addWidget(nameLabel, 2, 0);
  layout->addWidget(nameEdit_, 2, 1, 1, 2);
  layout->addWidget(typeLabel, 3, 0);
  layout->addWidget(types_, 3, 1, 1, 2);
  layout->addWidget(status_, 4, 0, 1, 3);
  layout->addWidget(buttons, 5, 0, 1, 3);
}

void FileDialog::BuildView() {
  model_ = new FolderModel(this, style()->standardIcon(QStyle::SP_DirIcon),
                           style()->standardIcon(QStyle::SP_FileIcon));
  view_ = new QListView(this);
  view_->setObjectName(u"files"_qs);
  view_->setModel(model_);
  // Every row the same height: the view lays out tens of thousands of rows without measuring them.
  view_->setUniformItemSizes(true);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(view_, &QListView::activated, this, &FileDialog::Activate);
  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& index) {
            if (index.isValid() && !model_->At(index.row()).folder)
              nameEdit_->setText(model_->At(index.row()).name);
          });
}

void FileDialog::StopReading() {
  if (stop_)
    *stop_ = true;
  if (reader_.joinable())
    reader_.join();
}

void FileDialog::Open(const QString& folder) {
  StopReading();
  folder_ = QDir::cleanPath(QDir(folder).absolutePath());
  folderEdit_->setText(QDir::toNativeSeparators(folder_));
  listed_ = false;
  model_->Set({});
  Tell(Caption(msg::kFileDialogReading));
  stop_ = std::make_shared<std::atomic<bool>>(false);
  reader_ = std::thread([this, stop = stop_, folder = folder_, foldersOnly = folders_,
                         patterns = Patterns(types_->currentText())] {
    std::vector<Entry> entries = ReadFolder(folder, foldersOnly, patterns, *stop);
    QMetaObject::invokeMethod(
        this,
        [this, stop, entries = std::move(entries)]() mutable {
          if (*stop)
            return;  // another folder was opened meanwhile
          model_->Set(std::move(entries));
          listed_ = true;
          Tell({});
          emit folderListed();
        },
        Qt::QueuedConnection);
  });
}

void FileDialog::Activate(const QModelIndex& index) {
  if (!index.isValid())
    return;
  const Entry& entry = model_->At(index.row());
  if (entry.folder) {
    Open(QDir(folder_).filePath(entry.name));
    return;
  }
  nameEdit_->setText(entry.name);
  TakeChoice();
}

void FileDialog::Tell(const QString& text) {
  status_->setText(text);
}

// The folder typed, else the one selected in the list, else the one shown.
void FileDialog::ChooseFolder() {
  QString chosen = folder_;
  const QString typed = nameEdit_->text().trimmed();
  const QModelIndex current = view_->currentIndex();
  if (!typed.isEmpty()) {
    chosen = QDir(folder_).absoluteFilePath(QDir::fromNativeSeparators(typed));
    if (!QFileInfo(chosen).isDir()) {
      Tell(Caption(msg::kFileDialogNotFound).arg(typed));
      return;
    }
  } else if (current.isValid() && view_->selectionModel()->isSelected(current)) {
    chosen = QDir(folder_).filePath(model_->At(current.row()).name);
  }
  selected_ = QDir::cleanPath(chosen);
  QDialog::accept();
}

// A folder of the name typed (or a name of its own) in the folder shown, which then opens.
void FileDialog::MakeFolder() {
  QString name = nameEdit_->text().trimmed();
  if (name.isEmpty()) {
    name = Caption(msg::kFileDialogNewFolderName);
    for (int n = 2; QFileInfo::exists(QDir(folder_).filePath(name)); ++n)
      name = Caption(msg::kFileDialogNewFolderName) + QStringLiteral(" (%1)").arg(n);
  }
  const QString path = QDir(folder_).absoluteFilePath(QDir::fromNativeSeparators(name));
  if (!QFileInfo(path).isDir() && !QDir().mkpath(path)) {
    Tell(Caption(msg::kFileDialogMakeFailed).arg(name));
    return;
  }
  nameEdit_->clear();
  Open(path);
}

void FileDialog::accept() {
  // Enter in the list has opened the folder or taken the file already (its activation).
  if (view_->hasFocus())
    return;
  TakeChoice();
}

void FileDialog::TakeChoice() {
  // Enter in the folder field goes to that folder.
  if (folderEdit_->hasFocus()) {
    const QString typed = QDir::fromNativeSeparators(folderEdit_->text().trimmed());
    if (QFileInfo(typed).isDir())
      Open(typed);
    else
      Tell(Caption(msg::kFileDialogNotFound).arg(folderEdit_->text()));
    return;
  }
  if (folders_) {
    ChooseFolder();
    return;
  }
  const QString typed = nameEdit_->text().trimmed();
  if (typed.isEmpty()) {
    Activate(view_->currentIndex());
    return;
  }
  QString path = QDir(folder_).absoluteFilePath(QDir::fromNativeSeparators(typed));
  if (QFileInfo(path).isDir()) {
    nameEdit_->clear();
    Open(path);
    return;
  }
  if (save_ && !defaultSuffix_.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += u'.' + defaultSuffix_;
  if (mustExist_ && !QFileInfo(path).isFile())
    path = SameNameIgnoringCase(path);
  const QFileInfo chosen(path);
  if (mustExist_ && !chosen.isFile()) {
    Tell(Caption(msg::kFileDialogNotFound).arg(typed));
    return;
  }
  // Replacing a file takes a second press, after the question has been read.
  if (save_ && chosen.exists() && overwriteAsked_ != path) {
    overwriteAsked_ = path;
    Tell(Caption(msg::kFileDialogReplace).arg(chosen.fileName()));
    return;
  }
  selected_ = QDir::cleanPath(path);
  QDialog::accept();
}

}  // namespace velmora::app::qt
