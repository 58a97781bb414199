#pragma once
// "名前の一括変更": the rule's fields and, beside every selected row's name, the name the rule
// makes and what is wrong with it, redone on every change. OK hands the rule to the dialog's
// handler; the window stays open when the handler refuses it.

#include <QDialog>
#include <functional>

#include "partlist/naming_rules.h"
#include "partlist/part_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableView;

namespace velmora::app::qt {

class RenamePreviewModel;

class NamingRulesDialog final : public QDialog {
 public:
  // True when the rule was applied; nullptr when a field holds text cp932 cannot hold.
  using Apply = std::function<bool(const partlist::NamingRule* rule)>;

  NamingRulesDialog(const partlist::PartList& list, Apply apply, QWidget* parent = nullptr);

  // The rule as the fields give it; false when a field holds text cp932 cannot hold.
  bool Rule(partlist::NamingRule& rule) const;

  void accept() override;

 private:
  void Refresh();

  const partlist::PartList& list_;
  Apply apply_;
  QLineEdit* pattern_ = nullptr;
  QSpinBox* start_ = nullptr;
  QSpinBox* step_ = nullptr;
  QLineEdit* find_ = nullptr;
  QLineEdit* replace_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QLineEdit* prefix_ = nullptr;
  QLineEdit* suffix_ = nullptr;
  QComboBox* caseChange_ = nullptr;
  QTableView* preview_ = nullptr;
  RenamePreviewModel* model_ = nullptr;
};

}  // namespace velmora::app::qt
