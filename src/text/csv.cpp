#include "text/csv.h"

namespace velmora::text {
namespace {

bool NeedsQuotes(std::string_view field) {
  if (field.empty())
    return false;
  if (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' || field.back() == '\t')
    return true;
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

std::string FormatCsvRecord(const CsvRecord& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0)
      line += ',';
    const std::string& field = fields[i];
    if (!NeedsQuotes(field)) {
      line += field;
      continue;
    }
    line += '"';
    for (const char c : field) {
      if (c == '"')
        line += '"';
      line += c;
    }
    line += '"';
  }
  return line;
}

std::vector<CsvRecord> ParseCsv(std::string_view text) {
  std::vector<CsvRecord> records;
  CsvRecord record;
  std::string field;
  bool quoted = false;
  bool any = false;  // the record has begun
  auto endField = [&] {
    record.push_back(std::move(field));
    field.clear();
  };
  auto endRecord = [&] {
    endField();
    records.push_back(std::move(record));
    record.clear();
    any = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    switch (c) {
      case '"':
        quoted = true;
        any = true;
        break;
      case ',':
        endField();
        any = true;
        break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n')
          ++i;
        endRecord();
        break;
      case '\n':
        endRecord();
        break;
      default:
        field += c;
        any = true;
        break;
    }
  }
  if (any)
    endRecord();
  return records;
}

}  // namespace velmora::text
