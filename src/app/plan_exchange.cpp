// The plan as a spreadsheet file: every row written out with the list's headers, and new names and
// folders read back into the rows they match.

#include <optional>
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

bool ReadAll(platform::TextStream& stream, std::string& bytes) {
  for (int c = stream.Getc(); c != platform::kEof; c = stream.Getc())
    bytes += static_cast<char>(c);
  return !stream.Error();
}

std::string MissingHeaders(const partlist::ColumnHeaders& headers, const std::vector<int>& columns) {
  std::string joined;
  for (const int column : columns) {
    if (!joined.empty())
      joined += text::Cp932(msg::kImportHeaderSeparator);
    joined += headers[static_cast<std::size_t>(column)];
  }
  return joined;
}

// The file read as binary, so that UTF-16 keeps its bytes; line ends are the CSV reader's matter.
std::optional<std::string> ReadCsvFile(operations::Context& context, const std::string& path) {
  std::string bytes;
  std::unique_ptr<platform::TextStream> stream = context.host.Open(path, platform::OpenMode::ReadBinary);
  if (!stream) {
    context.ui.ShowMessage(msg::kImportOpenFailed(path));
    return std::nullopt;
  }
  if (!ReadAll(*stream, bytes)) {
    context.ui.ShowMessage(msg::kImportReadFailed(path));
    return std::nullopt;
  }
  text::FileText decoded = text::FileTextToCp932(bytes);
  if (!decoded.ok) {
    context.ui.ShowMessage(msg::kImportNotCp932(path, text::FormatInt(decoded.badLine)));
    return std::nullopt;
  }
  return std::move(decoded.cp932);
}

}  // namespace

std::string MainDialog::PlanCsvText() const {
  std::string csv;
  for (const text::CsvRecord& record : partlist::PlanRecords(state_.partList, Headers())) {
    csv += text::FormatCsvRecord(record);
    csv += '\n';
  }
  return csv;
}

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
  stream->Puts(PlanCsvText());
  const bool written = !stream->Error();
  if (!stream->Close() || !written)
    ui.ShowMessage(msg::kExportWriteFailed(path));
}

bool MainDialog::ImportPlanCsv() {
  platform::Ui& ui = context_.ui;
  partlist::PartList& list = state_.partList;
  std::string folder = lastFolder_.empty() ? FolderOf(state_.inputPartPath) : lastFolder_;
  const std::string path = ChooseFile(ui, true, msg::kCsvExtension, {}, kFileMustExistHideReadOnly,
                                      msg::kCsvFilter(), msg::kImportCsvTitle(), folder);
  if (path.empty())
    return false;
  lastFolder_ = FolderOf(path);

  const std::optional<std::string> bytes = ReadCsvFile(context_, path);
  if (!bytes)
    return false;
  const partlist::ColumnHeaders headers = Headers();
  const partlist::PlanImport plan = partlist::ReadPlan(list, text::ParseCsv(*bytes), headers);
  if (!plan.headersFound) {
    ui.ShowMessage(msg::kImportNoHeaders(path, MissingHeaders(headers, plan.missingColumns)));
    return false;
  }
  const bool refused = plan.Refused();
  int changed = 0;
  if (!refused) {
    for (const partlist::PlanChange& change : plan.changes) {
      if (!change.changes)
        continue;
      list.SetText(change.row, partlist::kNewPartName, change.newPartName);
      list.SetText(change.row, partlist::kNewFolderName, change.newFolderName);
      ++changed;
    }
  }
  std::string message;
  if (!refused)
    message =
        msg::kImportCounts(text::FormatInt(static_cast<int>(plan.changes.size())), text::FormatInt(changed));
  if (!plan.issues.empty()) {
    std::vector<std::string> lines;
    lines.reserve(plan.issues.size());
    for (const partlist::ImportIssue& issue : plan.issues)
      lines.push_back(IssueLine(issue));
    message += (message.empty() ? "" : "\n") + msg::ImportIssues(lines, refused);
  }
  ui.ShowMessage(message);
  return !refused;
}

}  // namespace velmora::app
