#include "partlist/plan_csv.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "text/mbstring.h"

namespace velmora::partlist {
namespace {

std::optional<std::size_t> ColumnOf(const text::CsvRecord& header, const std::string& name) {
  const auto found = std::find(header.begin(), header.end(), name);
  if (found == header.end())
    return std::nullopt;
  return static_cast<std::size_t>(found - header.begin());
}

const std::string& Field(const text::CsvRecord& record, std::size_t column) {
  static const std::string kEmpty;
  return column < record.size() ? record[column] : kEmpty;
}

bool Blank(const text::CsvRecord& record) {
  return std::all_of(record.begin(), record.end(), [](const std::string& field) { return field.empty(); });
}

// A folder as a spreadsheet may leave it: the final separator may have been dropped.
std::string WithSeparator(std::string folder) {
  const std::size_t last = text::FindLast(folder, '\\');
  if (!folder.empty() && (last == text::npos || last + 1 != folder.size()))
    folder += '\\';
  return folder;
}

// What the folder chooser can give: a drive's folder (D:\...) or a network one (\\server\...).
bool IsAbsoluteFolder(std::string_view folder) {
  const auto letter = static_cast<unsigned char>(folder[0]);
  if (folder.size() >= 3 && ((letter | 0x20) >= 'a' && (letter | 0x20) <= 'z') && folder[1] == ':' &&
      folder[2] == '\\')
    return text::FindFirst(folder, ':', 2) == text::npos;
  if (folder.starts_with("\\\\")) {
    const std::size_t server = text::FindFirst(folder, '\\', 2);
    return server != text::npos && server > 2 && text::FindFirst(folder, ':') == text::npos;
  }
  return false;
}

// A spreadsheet writes an untouched cell empty: it keeps the row's value; one blank clears it.
std::string CellValue(const std::string& cell, const std::string& current) {
  if (cell.empty())
    return current;
  if (cell == kClearingCell)
    return {};
  return cell;
}

}  // namespace

std::vector<text::CsvRecord> PlanRecords(const PartList& list, const ColumnHeaders& headers) {
  std::vector<text::CsvRecord> records;
  records.reserve(static_cast<std::size_t>(list.RowCount()) + 1);
  records.emplace_back(headers.begin(), headers.end());
  for (int row = 0; row < list.RowCount(); ++row) {
    text::CsvRecord record;
    record.reserve(kColumnCount);
    for (int column = 0; column < kColumnCount; ++column)
      record.push_back(list.Text(row, column));
    records.push_back(std::move(record));
  }
  return records;
}

bool PlanImport::Refused() const {
  return std::any_of(issues.begin(), issues.end(),
                     [](const ImportIssue& issue) { return issue.fault != ImportFault::NotInList; });
}

namespace {

// Where the four columns of a plan stand in its records.
struct PlanColumns {
  std::size_t name;
  std::size_t folder;
  std::size_t newName;
  std::size_t newFolder;
};

// One record of the plan: a change, or the issue that keeps it out. A row is matched once.
void ReadRecord(const PartList& list, const text::CsvRecord& record, int number, const PlanColumns& columns,
                std::vector<char>& matched, PlanImport& result) {
  ImportIssue issue;
  issue.record = number;
  issue.path = WithSeparator(Field(record, columns.folder)) + Field(record, columns.name);
  const int row = list.FindRow(kFolderName, issue.path);
  if (row < 0 || matched[static_cast<std::size_t>(row)] != 0) {
    issue.fault = row < 0 ? ImportFault::NotInList : ImportFault::SameRowTwice;
    result.issues.push_back(std::move(issue));
    return;
  }
  matched[static_cast<std::size_t>(row)] = 1;

  PlanChange change;
  change.row = row;
  change.newPartName = CellValue(Field(record, columns.newName), list.Text(row, kNewPartName));
  change.newFolderName =
      WithSeparator(CellValue(Field(record, columns.newFolder), list.Text(row, kNewFolderName)));
  change.changes = change.newPartName != list.Text(row, kNewPartName) ||
                   change.newFolderName != list.Text(row, kNewFolderName);
  const NameVerdict verdict = ValidateNewPartName(std::string_view(change.newPartName));
  if (verdict != NameVerdict::Accept) {
    issue.fault = ImportFault::BadName;
    issue.value = change.newPartName;
    issue.verdict = verdict;
    result.issues.push_back(std::move(issue));
    return;
  }
  if (!change.newFolderName.empty() && !IsAbsoluteFolder(change.newFolderName)) {
    issue.fault = ImportFault::BadFolder;
    issue.value = Field(record, columns.newFolder);  // as the cell gives it
    result.issues.push_back(std::move(issue));
    return;
  }
  result.changes.push_back(std::move(change));
}

}  // namespace

PlanImport ReadPlan(const PartList& list, const std::vector<text::CsvRecord>& records,
                    const ColumnHeaders& headers) {
  PlanImport result;
  if (records.empty())
    return result;
  const auto name = ColumnOf(records.front(), headers[kPartName]);
  const auto folder = ColumnOf(records.front(), headers[kFolderName]);
  const auto newName = ColumnOf(records.front(), headers[kNewPartName]);
  const auto newFolder = ColumnOf(records.front(), headers[kNewFolderName]);
  const std::pair<int, bool> found[] = {
      {kPartName, name.has_value()},
      {kFolderName, folder.has_value()},
      {kNewPartName, newName.has_value()},
      {kNewFolderName, newFolder.has_value()},
  };
  for (const auto& [column, present] : found) {
    if (!present)
      result.missingColumns.push_back(column);
  }
  if (!result.missingColumns.empty())
    return result;
  result.headersFound = true;

  const PlanColumns columns{*name, *folder, *newName, *newFolder};
  std::vector<char> matched(static_cast<std::size_t>(list.RowCount()), 0);
  for (std::size_t index = 1; index < records.size(); ++index) {
    if (!Blank(records[index]))
      ReadRecord(list, records[index], static_cast<int>(index) + 1, columns, matched, result);
  }
  return result;
}

}  // namespace velmora::partlist
