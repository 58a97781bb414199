#include "app/qt/name_delegate.h"

#include <QLineEdit>
#include <utility>

#include "app/qt/part_list_model.h"

namespace velmora::app::qt {

NameDelegate::NameDelegate(std::function<void(int)> onCancel, QObject* parent)
    : QStyledItemDelegate(parent), onCancel_(std::move(onCancel)) {
  connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor, EndEditHint hint) {
    if (hint == RevertModelCache && editor != nullptr) {
      onCancel_(editor->property("editRow").toInt());
    }
  });
}

QWidget* NameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setAlignment(PartListModel::ColumnAlignment(index.column()));
  }
  if (editor != nullptr) {
    editor->setProperty("editRow", index.row());
  }
  return editor;
}

}  // namespace velmora::app::qt
