// The plan as a spreadsheet file: every row written out with the list's headers, and new names and
// folders read back into the rows they match.

#include <string>

#include "app/choose_file.h"
#include "app/main_dialog.h"
#include "app/message_fill.h"
#include "partlist/plan_csv.h"
#include "resources/messages/captions.h"
#include "text/codec.h"
#include "text/csv.h"
#include "text/mbstring.h"

namespace velmora::app {
namespace {

// A message lists this many refused records at most; the rest are counted.
constexpr std::size_t kListedIssues = 20;

partlist::ColumnHeaders Headers() {
  partlist::ColumnHeaders headers;
  for (int column = 0; column < partlist::kColumnCount; ++column)
    headers[static_cast<std::size_t>(column)] =
        text::Cp932(msg::kColumnHeaders[static_cast<std::size_t>(column)]);
  return headers;
}

std::string IssueLine(const partlist::ImportIssue& issue) {
  const std::string record = text::FormatInt(issue.record);
  switch (issue.fault) {
    case partlist::ImportFault::NotInList:
      return Fill(msg::kImportNotInList, {record, issue.path});
    case partlist::ImportFault::SameRowTwice:
      return Fill(msg::kImportSameRowTwice, {record, issue.path});
    case partlist::ImportFault::BadName:
      return Fill(msg::kImportBadName, {record, issue.path, issue.value}) +
             text::Cp932(NameRefusalReason(issue.verdict));
    case partlist::ImportFault::BadFolder:
      return Fill(msg::kImportBadFolder, {record, issue.path, issue.value});
  }
  return {};
}

// The file's bytes as cp932: a spreadsheet that saved UTF-8 marks it, and it is converted.
bool ReadAll(platform::TextStream& stream, std::string& bytes) {
  for (int c = stream.Getc(); c != platform::kEof; c = stream.Getc())
    bytes += static_cast<char>(c);
  if (stream.Error())
    return false;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    text::CodecResult converted = text::Utf8ToCp932(std::string_view(bytes).substr(3));
    if (!converted.ok)
      return false;
    bytes = std::move(converted.text);
  }
  return true;
}

}  // namespace

std::string Fill(std::string_view utf8Literal, std::initializer_list<std::string_view> pieces) {
  const std::string text = text::Cp932(utf8Literal);
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const std::size_t index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < pieces.size())
        result += *(pieces.begin() + index);
      ++i;
      continue;
    }
    result += text[i];
  }
  return result;
}

void MainDialog::ExportPlanCsv() {
  platform::Ui& ui = context_.ui;
  const partlist::PartList& list = state_.partList;
  if (list.RowCount() == 0) {
    ui.ShowMessage(text::Cp932(msg::kExportEmptyList));
    return;
  }
  // Named after the input part, beside it: where the plan for it is looked for.
  std::string initialName;
  const std::string& input = state_.inputPartPath;
  if (!input.empty()) {
    initialName = input.substr(FolderOf(input).size());
    const std::size_t dot = text::FindLast(initialName, '.');
    initialName = initialName.substr(0, dot) + "." + std::string(msg::kCsvExtension);
  }
  std::string folder = FolderOf(input);
  if (folder.empty())
    folder = lastFolder_;
  const std::string path =
      ChooseFile(ui, false, msg::kCsvExtension, initialName, kOverwritePromptHideReadOnly,
                 text::Cp932(msg::kCsvFilter), text::Cp932(msg::kExportCsvTitle), folder);
  if (path.empty())
    return;
  lastFolder_ = FolderOf(path);

  std::unique_ptr<platform::TextStream> stream = context_.host.Open(path, platform::OpenMode::WriteText);
  if (!stream) {
    ui.ShowMessage(Fill(msg::kExportOpenFailed, {path}));
    return;
  }
  // Text mode writes each line end as CR LF, as spreadsheets expect.
  for (const text::CsvRecord& record : partlist::PlanRecords(list, Headers())) {
    stream->Puts(text::FormatCsvRecord(record));
    stream->Puts("\n");
  }
  const bool written = !stream->Error();
  if (!stream->Close() || !written)
    ui.ShowMessage(Fill(msg::kExportWriteFailed, {path}));
}

void MainDialog::ImportPlanCsv() {
  platform::Ui& ui = context_.ui;
  partlist::PartList& list = state_.partList;
  std::string folder = lastFolder_.empty() ? FolderOf(state_.inputPartPath) : lastFolder_;
  const std::string path =
      ChooseFile(ui, true, msg::kCsvExtension, {}, kFileMustExistHideReadOnly, text::Cp932(msg::kCsvFilter),
                 text::Cp932(msg::kImportCsvTitle), folder);
  if (path.empty())
    return;
  lastFolder_ = FolderOf(path);

  std::string bytes;
  {
    std::unique_ptr<platform::TextStream> stream = context_.host.Open(path, platform::OpenMode::ReadText);
    if (!stream) {
      ui.ShowMessage(Fill(msg::kImportOpenFailed, {path}));
      return;
    }
    if (!ReadAll(*stream, bytes)) {
      ui.ShowMessage(Fill(msg::kImportReadFailed, {path}));
      return;
    }
  }
  const partlist::PlanImport plan = partlist::ReadPlan(list, text::ParseCsv(bytes), Headers());
  if (!plan.headersFound) {
    ui.ShowMessage(Fill(msg::kImportNoHeaders, {path}));
    return;
  }
  const bool refused = plan.Refused();
  if (!refused) {
    for (const partlist::PlanChange& change : plan.changes) {
      list.SetText(change.row, partlist::kNewPartName, change.newPartName);
      list.SetText(change.row, partlist::kNewFolderName, change.newFolderName);
    }
  }
  if (plan.issues.empty())
    return;
  std::string message = text::Cp932(msg::kImportIssuesHead);
  for (std::size_t i = 0; i < plan.issues.size() && i < kListedIssues; ++i)
    message += "\n" + IssueLine(plan.issues[i]);
  if (plan.issues.size() > kListedIssues)
    message += "\n" + Fill(msg::kImportMoreIssues,
                           {text::FormatInt(static_cast<int>(plan.issues.size() - kListedIssues))});
  message += text::Cp932(refused ? msg::kImportRefusedTail : msg::kImportPartlyTail);
  ui.ShowMessage(message);
}

}  // namespace velmora::app
