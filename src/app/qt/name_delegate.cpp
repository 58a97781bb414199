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
    // Framed, so that the field being typed into stands out from the row around it.
    line->setFrame(true);
  }
  if (editor != nullptr) {
    editor->setProperty("editRow", index.row());
  }
  return editor;
}

void NameDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  QStyledItemDelegate::updateEditorGeometry(editor, option, index);
  // A frame needs more height than a row has: the editor grows over the rows around it.
  const int wanted = editor->sizeHint().height();
  QRect rect = editor->geometry();
  if (rect.height() < wanted) {
    rect.adjust(0, -(wanted - rect.height()) / 2, 0, 0);
    rect.setHeight(wanted);
    editor->setGeometry(rect);
  }
}

}  // namespace velmora::app::qt
