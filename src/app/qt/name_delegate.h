#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace velmora::app::qt {

// The editor of the new-name column: framed, right-aligned like the column it edits, and tells
// when an edit is given up.
class NameDelegate final : public QStyledItemDelegate {
 public:
  // onCancel gets the row whose edit was given up.
  NameDelegate(std::function<void(int)> onCancel, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 private:
  std::function<void(int)> onCancel_;
};

}  // namespace velmora::app::qt
