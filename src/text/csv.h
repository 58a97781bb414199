#pragma once
// Comma-separated values as spreadsheets write and read them. The bytes that matter (comma,
// quote, CR, LF) are all below 0x40, so no cp932 trail byte is ever taken for one of them.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::text {

using CsvRecord = std::vector<std::string>;

// One record without its line end: fields joined by commas, a field quoted (its quotes doubled)
// when it holds a comma, a quote, a line break or leading or trailing blanks.
[[nodiscard]] std::string FormatCsvRecord(const CsvRecord& fields);

// The records of a text. Records end at CR LF, LF or CR outside quotes; inside quotes every byte is
// kept and "" is one quote. An empty last line is no record.
[[nodiscard]] std::vector<CsvRecord> ParseCsv(std::string_view text);

}  // namespace velmora::text
