#pragma once
// The core PartList as a Qt table model. The list stays the only store: the model reads its cells
// on demand and follows it through the observer calls. Only column 0 can be edited.

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <optional>

#include "partlist/part_list.h"

namespace velmora::app::qt {

class PartListModel final : public QAbstractTableModel, public partlist::PartListObserver {
  Q_OBJECT

 public:
  // An in-place edit of column 0 ended; true when the list took the text.
  using EditHandler = std::function<bool(int row, const QString& text)>;

  PartListModel(partlist::PartList& list, EditHandler onEdit, QObject* parent = nullptr);
  ~PartListModel() override;

  static int ColumnWidth(int column);
  static Qt::Alignment ColumnAlignment(int column);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  void OnReset() override;
  void OnRowInserted(int row) override;
  void OnCellChanged(int row, int column) override;
  void OnSelectionChanged() override;

 signals:
  // The list's own selection changed (not through the view).
  void listSelectionChanged();
  // Rows were reordered or replaced: the view's selection must be laid anew.
  void listReset();

 private:
  partlist::PartList& list_;
  EditHandler onEdit_;
  int shownRows_ = 0;
  bool committing_ = false;
};

}  // namespace velmora::app::qt
