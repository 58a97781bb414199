#pragma once
// The plan (the whole list) as spreadsheet records, and such records read back into the new names
// and new folders of the rows they match. Texts are cp932.

#include <array>
#include <string>
#include <vector>

#include "partlist/name_rules.h"
#include "partlist/part_list.h"
#include "text/csv.h"

namespace velmora::partlist {

using ColumnHeaders = std::array<std::string, kColumnCount>;

// A header record, then one record of the ten cells per row, in the list's order.
[[nodiscard]] std::vector<text::CsvRecord> PlanRecords(const PartList& list, const ColumnHeaders& headers);

enum class ImportFault {
  NotInList,     // no row has this folder and part name
  SameRowTwice,  // an earlier record already matched the row
  BadName,       // the new part name is refused as a typed one would be; see `verdict`
  BadFolder,     // the new folder is neither a drive's folder nor a network one
};

struct ImportIssue {
  int record = 0;  // 1-based, the header being 1: the spreadsheet's row number
  ImportFault fault = ImportFault::NotInList;
  std::string path;   // folder + part name as the record gives them
  std::string value;  // the refused value
  NameVerdict verdict = NameVerdict::Accept;
};

// The cell that leaves a new name or folder empty: one blank. An empty cell keeps what the row has.
inline constexpr std::string_view kClearingCell = " ";

struct PlanChange {
  int row = -1;
  std::string newPartName;
  std::string newFolderName;  // ends with "\" unless empty
  bool changes = false;       // either differs from what the row has
};

struct PlanImport {
  bool headersFound = false;        // the first record names the four columns read
  std::vector<int> missingColumns;  // otherwise those it lacks: the keys, then the values
  std::vector<PlanChange> changes;  // one per record matched to a row
  std::vector<ImportIssue> issues;  // in record order
  // True when some value is refused: then nothing is to be applied.
  [[nodiscard]] bool Refused() const;
};

// Matches each record to the first row of the same folder and part name (ignoring case), by the
// columns the header names, wherever they stand. Empty records are skipped. An empty new name or
// folder cell keeps the row's own; a cell of one blank clears it.
[[nodiscard]] PlanImport ReadPlan(const PartList& list, const std::vector<text::CsvRecord>& records,
                                  const ColumnHeaders& headers);

}  // namespace velmora::partlist
