// Editing the wanted result in the list: a new part name typed in place, a new folder set or
// cleared for the selected rows.

#include <algorithm>
#include <string>

#include "app/main_dialog.h"
#include "partlist/name_rules.h"
#include "partlist/naming_rules.h"
#include "resources/messages/captions.h"
#include "resources/messages/session.h"
#include "text/mbstring.h"

namespace velmora::app {

namespace {

// What the user is told about a refused name: typed in place, or as the reason in a longer message.
struct RefusalTexts {
  partlist::NameVerdict verdict;
  msg::Text typed;
  msg::Text reason;
};

constexpr RefusalTexts kRefusals[] = {
    {partlist::NameVerdict::NoExtension, msg::kNewNameNoExtension, msg::kReasonNoExtension},
    {partlist::NameVerdict::NotPrt, msg::kNewNameNotPrt, msg::kReasonNotPrt},
    {partlist::NameVerdict::HasSeparator, msg::kNewNameHasSeparator, msg::kReasonHasSeparator},
    {partlist::NameVerdict::ForbiddenCharacter, msg::kNewNameForbiddenCharacter,
     msg::kReasonForbiddenCharacter},
    {partlist::NameVerdict::ReservedName, msg::kNewNameReserved, msg::kReasonReserved},
    {partlist::NameVerdict::Blank, msg::kNewNameBlank, msg::kReasonBlank},
    {partlist::NameVerdict::TooLong, msg::kNewNameTooLong, msg::kReasonTooLong},
};

const RefusalTexts* RefusalOf(partlist::NameVerdict verdict) {
  for (const RefusalTexts& texts : kRefusals) {
    if (texts.verdict == verdict)
      return &texts;
  }
  return nullptr;
}

// The selected rows' longest resulting name, which a new folder must still hold.
std::size_t LongestSelectedName(const partlist::PartList& list) {
  std::size_t longest = 0;
  for (int row = list.FirstSelected(); row >= 0; row = list.NextSelected(row)) {
    const std::string& newName = list.Text(row, partlist::kNewPartName);
    longest = std::max(longest, (newName.empty() ? list.Text(row, partlist::kPartName) : newName).size());
  }
  return longest;
}

}  // namespace

bool MainDialog::OnEndLabelEdit(int row, std::optional<std::string> text) {
  partlist::PartList& list = state_.partList;
  // The window may report an edit of a row that a rebuilt list no longer has.
  if (row < 0 || row >= list.RowCount() || !text)
    return false;
  const std::string& newFolder = list.Text(row, partlist::kNewFolderName);
  const std::string& folder = newFolder.empty() ? list.Text(row, partlist::kFolderName) : newFolder;
  const partlist::NameVerdict verdict = partlist::ValidateNewPartName(std::string_view(*text), folder);
  if (verdict == partlist::NameVerdict::Accept) {
    list.SetText(row, partlist::kNewPartName, std::move(*text));
    return true;
  }
  if (const RefusalTexts* refusal = RefusalOf(verdict))
    context_.ui.ShowMessage(refusal->typed());
  return false;
}

namespace {

// Refused when the selected rows lie in different folders; else every row in their folder is
// selected too, so the user sees where the folder will go before choosing it.
Step SelectSameFolder(platform::Ui& ui, partlist::PartList& list, int first, const std::string& reference) {
  for (int row = list.NextSelected(first); row >= 0; row = list.NextSelected(row)) {
    if (list.Text(row, partlist::kFolderName) != reference)
      return ShowFailure(ui, msg::kNewFolderMixedFolders());
  }
  for (int row = 0; row < list.RowCount(); ++row) {
    if (!list.IsSelected(row) && list.Text(row, partlist::kFolderName) == reference)
      list.SetSelected(row, true);
  }
  return Step::Done;
}

}  // namespace

void MainDialog::ChooseNewFolder() {
  platform::Ui& ui = context_.ui;
  partlist::PartList& list = state_.partList;
  if (!ui.ExchangeData(true))
    return;
  const int first = list.FirstSelected();
  if (first < 0) {
    ui.ShowMessage(msg::kNewFolderNoSelection());
    return;
  }
  const bool sameFolders = state_.options.applyToSameFolders != 0;
  const std::string reference = list.Text(first, partlist::kFolderName);
  if (sameFolders && SelectSameFolder(ui, list, first, reference) == Step::Failed)
    return;

  // A folder is chosen (or made) directly; it opens where the rows are to go, else where they are.
  platform::FolderDialogRequest request;
  request.title = msg::kNewFolderDialogTitle();
  request.initialFolder = list.Text(first, partlist::kNewFolderName);
  if (request.initialFolder.empty())
    request.initialFolder = reference;
  const std::string path = ui.ChooseFolder(request);
  if (path.empty())
    return;
  const std::size_t separator = text::FindLast(path, '\\');
  if (separator == text::npos || separator == 0) {
    ui.ShowMessage(msg::kNewFolderNoSeparator());
    return;
  }
  // A drive's root comes back with its separator (D:\ as typed), any other folder without it.
  const std::string folder = separator + 1 == path.size() ? path : path + '\\';
  // Refused here rather than at the run, which would stop after the first files were written.
  switch (partlist::ValidateNewFolder(folder, LongestSelectedName(list))) {
    case partlist::FolderVerdict::Accept:
      break;
    case partlist::FolderVerdict::ForbiddenName:
      ui.ShowMessage(msg::kNewFolderForbiddenName());
      return;
    case partlist::FolderVerdict::TooLong:
      ui.ShowMessage(msg::kNewFolderTooLong());
      return;
  }
  for (int row = list.FirstSelected(); row >= 0; row = list.NextSelected(row))
    list.SetText(row, partlist::kNewFolderName, folder);
}

void MainDialog::ClearNewFolder() {
  platform::Ui& ui = context_.ui;
  partlist::PartList& list = state_.partList;
  if (!ui.ExchangeData(true))
    return;
  if (list.FirstSelected() < 0) {
    ui.ShowMessage(msg::kClearFolderNoSelection());
    return;
  }
  for (int row = list.FirstSelected(); row >= 0; row = list.NextSelected(row))
    list.SetText(row, partlist::kNewFolderName, std::string());
}

msg::Text NameRefusalReason(partlist::NameVerdict verdict) {
  const RefusalTexts* refusal = RefusalOf(verdict);
  return refusal == nullptr ? msg::Text(std::string_view()) : refusal->reason;
}

bool MainDialog::CanRenameSelected() {
  if (state_.partList.FirstSelected() >= 0)
    return true;
  context_.ui.ShowMessage(msg::kRenameNoSelection());
  return false;
}

bool MainDialog::RenameSelected(const partlist::NamingRule& rule) {
  partlist::PartList& list = state_.partList;
  if (!CanRenameSelected())
    return false;
  const partlist::RenamePlan plan = partlist::PlanRenames(list, rule);
  if (plan.firstProblem >= 0) {
    const partlist::RenameEntry& entry = plan.entries[static_cast<std::size_t>(plan.firstProblem)];
    const std::string path = list.RowPath(entry.row, false);
    switch (entry.problem) {
      case partlist::RenameProblem::CounterOverflow:
        context_.ui.ShowMessage(msg::kRenameOverflow(path));
        break;
      case partlist::RenameProblem::InvalidName:
        context_.ui.ShowMessage(msg::kRenameInvalid(path, entry.newName, NameRefusalReason(entry.verdict)()));
        break;
      case partlist::RenameProblem::Collision:
      case partlist::RenameProblem::None:
        context_.ui.ShowMessage(msg::kRenameCollision(path, list.RowPath(entry.otherRow, false)));
        break;
    }
    return false;
  }
  for (const partlist::RenameEntry& entry : plan.entries)
    list.SetText(entry.row, partlist::kNewPartName, entry.newName);
  return true;
}

bool MainDialog::ApplyNamingRule(const partlist::NamingRule* rule) {
  if (rule != nullptr)
    return RenameSelected(*rule);
  context_.ui.ShowMessage(msg::kNameNotCp932());
  return false;
}

}  // namespace velmora::app
