// The plan as a spreadsheet file: every row written out with the list's headers, and new names and
// folders read back into the rows they match.

#include <string>
#include <vector>

#include "app/choose_file.h"
#include "app/main_dialog.h"
#include "partlist/plan_csv.h"
#include "resources/messages/captions.h"
#include "text/codec.h"
#include "text/csv.h"
#include "text/mbstring.h"

namespace velmora::app {
namespace {

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
      return msg::kImportNotInList(record, issue.path);
    case partlist::ImportFault::SameRowTwice:
      return msg::kImportSameRowTwice(record, issue.path);
    case partlist::ImportFault::BadName:
      return msg::ImportBadName(record, issue.path, issue.value, NameRefusalReason(issue.verdict));
    case partlist::ImportFault::BadFolder:
      return msg::kImportBadFolder(record, issue.path, issue.value);
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

void MainDialog::ExportPlanCsv() {
  platform::Ui& ui = context_.ui;
  const partlist::PartList& list = state_.partList;
  if (list.RowCount() == 0) {
    ui.ShowMessage(msg::kExportEmptyList());
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
      ChooseFile(ui, false, msg::kCsvExtension, initialName, kOverwritePromptHideReadOnly, msg::kCsvFilter(),
                 msg::kExportCsvTitle(), folder);
  if (path.empty())
    return;
  lastFolder_ = FolderOf(path);

  std::unique_ptr<platform::TextStream> stream = context_.host.Open(path, platform::OpenMode::WriteText);
  if (!stream) {
    ui.ShowMessage(msg::kExportOpenFailed(path));
    return;
  }
  // Text mode writes each line end as CR LF, as spreadsheets expect.
  for (const text::CsvRecord& record : partlist::PlanRecords(list, Headers())) {
    stream->Puts(text::FormatCsvRecord(record));
    stream->Puts("\n");
  }
  const bool written = !stream->Error();
  if (!stream->Close() || !written)
    ui.ShowMessage(msg::kExportWriteFailed(path));
}

void MainDialog::ImportPlanCsv() {
  platform::Ui& ui = context_.ui;
  partlist::PartList& list = state_.partList;
  std::string folder = lastFolder_.empty() ? FolderOf(state_.inputPartPath) : lastFolder_;
  const std::string path = ChooseFile(ui, true, msg::kCsvExtension, {}, kFileMustExistHideReadOnly,
                                      msg::kCsvFilter(), msg::kImportCsvTitle(), folder);
  if (path.empty())
    return;
  lastFolder_ = FolderOf(path);

  std::string bytes;
  {
    std::unique_ptr<platform::TextStream> stream = context_.host.Open(path, platform::OpenMode::ReadText);
    if (!stream) {
      ui.ShowMessage(msg::kImportOpenFailed(path));
      return;
    }
    if (!ReadAll(*stream, bytes)) {
      ui.ShowMessage(msg::kImportReadFailed(path));
      return;
    }
  }
  const partlist::PlanImport plan = partlist::ReadPlan(list, text::ParseCsv(bytes), Headers());
  if (!plan.headersFound) {
    ui.ShowMessage(msg::kImportNoHeaders(path));
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
  std::vector<std::string> lines;
  lines.reserve(plan.issues.size());
  for (const partlist::ImportIssue& issue : plan.issues)
    lines.push_back(IssueLine(issue));
  ui.ShowMessage(msg::ImportIssues(lines, refused));
}

}  // namespace velmora::app
