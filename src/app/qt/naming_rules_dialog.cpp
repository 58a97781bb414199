#include "app/qt/naming_rules_dialog.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <utility>

#include "app/rename_preview.h"
#include "resources/messages/captions.h"
#include "text/codec.h"

namespace velmora::app::qt {

namespace {

QString Display(std::string_view cp932) {
  return QString::fromStdString(text::ToDisplayUtf8(cp932));
}
QString Caption(std::string_view utf8Literal) {
  return QString::fromUtf8(utf8Literal.data(), static_cast<qsizetype>(utf8Literal.size()));
}

bool ToCp932(const QLineEdit* field, std::string& out) {
  text::CodecResult converted = text::Utf8ToCp932(field->text().toStdString());
  out = std::move(converted.text);
  return converted.ok;
}

enum PreviewColumn { kFolder, kOld, kNew, kProblem, kPreviewColumns };

}  // namespace

// The plan's entries as rows; cells are made on demand, so a long selection costs only its plan.
class RenamePreviewModel final : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Show(const partlist::PartList* list, partlist::RenamePlan plan) {
    beginResetModel();
    list_ = list;
    plan_ = std::move(plan);
    endResetModel();
  }
  const partlist::RenamePlan& Plan() const { return plan_; }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(plan_.entries.size());
  }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kPreviewColumns; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
      return {};
    }
    const RenamePreviewRow row = PreviewRowOf(*list_, plan_.entries[static_cast<std::size_t>(index.row())]);
    switch (index.column()) {
      case kFolder:
        return Display(row.folder);
      case kOld:
        return Display(row.oldName);
      case kNew:
        return Display(row.newName);
      default:
        return Caption(row.problem);
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kPreviewColumns) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return Caption(msg::kRenamePreviewHeaders[static_cast<std::size_t>(section)]);
  }

 private:
  const partlist::PartList* list_ = nullptr;
  partlist::RenamePlan plan_;
};

NamingRulesDialog::NamingRulesDialog(const partlist::PartList& list, Apply apply, QWidget* parent)
    : QDialog(parent), list_(list), apply_(std::move(apply)) {
  setObjectName(u"namingRules"_qs);
  setWindowTitle(Caption(msg::kRenameTitle));

  auto field = [this](const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    connect(edit, &QLineEdit::textChanged, this, &NamingRulesDialog::Refresh);
    return edit;
  };
  auto number = [this](const char* name, int minimum, int value) {
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(minimum, 999999999);
    box->setValue(value);
    connect(box, &QSpinBox::valueChanged, this, &NamingRulesDialog::Refresh);
    return box;
  };
  pattern_ = field("pattern");
  pattern_->setPlaceholderText(u"A-###.prt"_qs);
  start_ = number("start", 0, 1);
  step_ = number("step", -999999, 1);
  find_ = field("find");
  replace_ = field("replace");
  matchCase_ = new QCheckBox(Caption(msg::kRenameMatchCase), this);
  matchCase_->setObjectName(u"matchCase"_qs);
  connect(matchCase_, &QCheckBox::toggled, this, &NamingRulesDialog::Refresh);
  prefix_ = field("prefix");
  suffix_ = field("suffix");
  caseChange_ = new QComboBox(this);
  caseChange_->setObjectName(u"caseChange"_qs);
  caseChange_->addItems(
      {Caption(msg::kRenameCaseKeep), Caption(msg::kRenameCaseUpper), Caption(msg::kRenameCaseLower)});
  connect(caseChange_, &QComboBox::currentIndexChanged, this, &NamingRulesDialog::Refresh);

  // A label made by addRow for a row of several fields has no buddy: its mnemonic would do nothing
  // and its "&" would show. Every label is made here with its field, which also names the field for
  // screen readers.
  const auto label = [this](std::string_view caption, QWidget* field) {
    auto* made = new QLabel(Caption(caption), this);
    made->setBuddy(field);
    field->setAccessibleName(made->text().remove(u'&'));
    return made;
  };
  auto* form = new QFormLayout;
  auto* counter = new QHBoxLayout;
  counter->addWidget(pattern_, 1);
  counter->addWidget(label(msg::kRenameStart, start_));
  counter->addWidget(start_);
  counter->addWidget(label(msg::kRenameStep, step_));
  counter->addWidget(step_);
  form->addRow(label(msg::kRenamePattern, pattern_), counter);
  auto* hint = new QLabel(Caption(msg::kRenamePatternHint), this);
  form->addRow(QString(), hint);
  auto* replacing = new QHBoxLayout;
  replacing->addWidget(find_, 1);
  replacing->addWidget(label(msg::kRenameReplace, replace_));
  replacing->addWidget(replace_, 1);
  replacing->addWidget(matchCase_);
  form->addRow(label(msg::kRenameFind, find_), replacing);
  auto* affixes = new QHBoxLayout;
  affixes->addWidget(prefix_, 1);
  affixes->addWidget(label(msg::kRenameSuffix, suffix_));
  affixes->addWidget(suffix_, 1);
  form->addRow(label(msg::kRenamePrefix, prefix_), affixes);
  form->addRow(label(msg::kRenameCase, caseChange_), caseChange_);

  model_ = new RenamePreviewModel(this);
  preview_ = new QTableView(this);
  preview_->setObjectName(u"preview"_qs);
  preview_->setModel(model_);
  preview_->setSelectionMode(QAbstractItemView::NoSelection);
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->setWordWrap(false);
  preview_->setShowGrid(false);
  preview_->verticalHeader()->hide();
  preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 4);
  preview_->horizontalHeader()->setStretchLastSection(true);
  const int widths[] = {210, 180, 180};
  for (int column = 0; column < 3; ++column) {
    preview_->horizontalHeader()->resizeSection(column, widths[column]);
  }
  auto* previewLabel = new QLabel(Caption(msg::kRenamePreview), this);
  previewLabel->setBuddy(preview_);
  preview_->setAccessibleName(Caption(msg::kRenamePreview).remove(u'&').remove(u':'));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &NamingRulesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &NamingRulesDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(previewLabel);
  layout->addWidget(preview_, 1);
  layout->addWidget(buttons);
  resize(780, 520);
  Refresh();
}

bool NamingRulesDialog::Rule(partlist::NamingRule& rule) const {
  bool ok = ToCp932(pattern_, rule.pattern);
  ok = ToCp932(find_, rule.find) && ok;
  ok = ToCp932(replace_, rule.replaceWith) && ok;
  ok = ToCp932(prefix_, rule.prefix) && ok;
  ok = ToCp932(suffix_, rule.suffix) && ok;
  rule.start = start_->value();
  rule.step = step_->value();
  rule.matchCase = matchCase_->isChecked();
  rule.caseChange = static_cast<partlist::CaseChange>(caseChange_->currentIndex());
  return ok;
}

void NamingRulesDialog::Refresh() {
  partlist::NamingRule rule;
  // Text cp932 cannot hold shows as such in the preview: the handler refuses it on OK.
  Rule(rule);
  model_->Show(&list_, partlist::PlanRenames(list_, rule));
}

void NamingRulesDialog::accept() {
  partlist::NamingRule rule;
  if (apply_(Rule(rule) ? &rule : nullptr)) {
    QDialog::accept();
  }
}

}  // namespace velmora::app::qt
