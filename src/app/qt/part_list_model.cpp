#include "app/qt/part_list_model.h"

#include <array>
#include <utility>

#include "resources/messages/captions.h"
#include "text/codec.h"

namespace velmora::app::qt {

namespace {

constexpr std::array<int, partlist::kColumnCount> kWidths = {145, 210, 210, 210, 40, 26, 26, 40, 26, 26};

QString FromCp932(const std::string& cp932) {
  return QString::fromStdString(text::ToDisplayUtf8(cp932));
}

}  // namespace

PartListModel::PartListModel(partlist::PartList& list, EditHandler onEdit, QObject* parent)
    : QAbstractTableModel(parent), list_(list), onEdit_(std::move(onEdit)), shownRows_(list.RowCount()) {
  list_.SetObserver(this);
}

PartListModel::~PartListModel() {
  list_.SetObserver(nullptr);
}

int PartListModel::ColumnWidth(int column) {
  return kWidths.at(static_cast<std::size_t>(column));
}

Qt::Alignment PartListModel::ColumnAlignment(int column) {
  const bool marks = column >= partlist::kEdited && column <= partlist::kDuplicate;
  return (marks ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter;
}

int PartListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int PartListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : partlist::kColumnCount;
}

QVariant PartListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.RowCount()) {
    return {};
  }
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
      return FromCp932(list_.Text(index.row(), index.column()));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(ColumnAlignment(index.column()));
    case Qt::ToolTipRole:
      // Names and folders are shortened in the middle when their column is narrow: the whole text.
      if (index.column() <= partlist::kNewFolderName && !list_.Text(index.row(), index.column()).empty())
        return FromCp932(list_.Text(index.row(), index.column()));
      return {};
    default:
      return {};
  }
}

QVariant PartListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= partlist::kColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
      const std::string_view header = msg::kColumnHeaders[static_cast<std::size_t>(section)];
      return QString::fromStdString(text::ToDisplayUtf8(text::Cp932(header)));
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(ColumnAlignment(section));
    default:
      return {};
  }
}

Qt::ItemFlags PartListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == partlist::kNewPartName) {
    flags |= Qt::ItemIsEditable;
  }
  return flags;
}

bool PartListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  // The handler may show a message box; the editor losing the focus to it would commit once more.
  if (committing_ || role != Qt::EditRole || !index.isValid() || index.column() != partlist::kNewPartName) {
    return false;
  }
  committing_ = true;
  const bool accepted = onEdit_(index.row(), value.toString());
  committing_ = false;
  return accepted;
}

void PartListModel::OnReset() {
  beginResetModel();
  shownRows_ = list_.RowCount();
  endResetModel();
  emit listReset();
}

void PartListModel::OnRowInserted(int row) {
  beginInsertRows(QModelIndex(), row, row);
  ++shownRows_;
  endInsertRows();
}

void PartListModel::OnCellChanged(int row, int column) {
  const QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell);
}

void PartListModel::OnSelectionChanged() {
  emit listSelectionChanged();
}

}  // namespace velmora::app::qt
