#include "journal/journal_file.h"

#include <charconv>
#include <unordered_set>

#include "text/mbstring.h"

namespace velmora::journal {
namespace {

constexpr std::string_view kMagic = "velmora-journal\t2";

constexpr std::string_view KindName(WriteKind kind) {
  switch (kind) {
    case WriteKind::Created:
      return "created";
    case WriteKind::Overwritten:
      return "overwritten";
    case WriteKind::Rewritten:
      return "rewritten";
    case WriteKind::Resaved:
      return "resaved";
  }
  return "?";
}

std::optional<WriteKind> KindFrom(std::string_view name) {
  for (const WriteKind kind :
       {WriteKind::Created, WriteKind::Overwritten, WriteKind::Rewritten, WriteKind::Resaved}) {
    if (KindName(kind) == name)
      return kind;
  }
  return std::nullopt;
}

// Names typed into the list may hold any byte: tabs, line ends and "%" are written as %XX. No
// cp932 trail byte is below 0x40, so a byte here is always a whole character.
std::string Escape(std::string_view field) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(field.size());
  for (const char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '%') {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    unsigned value = 0;
    if (i + 2 >= field.size())
      return std::nullopt;
    const auto [end, error] = std::from_chars(field.data() + i + 1, field.data() + i + 3, value, 16);
    if (error != std::errc() || end != field.data() + i + 3)
      return std::nullopt;
    out += static_cast<char>(value);
    i += 2;
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(
        line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos)
      return fields;
    start = tab + 1;
  }
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::string Hex(std::uint64_t value) {
  char buffer[17];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
  return std::string(buffer, end);
}

std::string FingerprintFields(const Fingerprint& print) {
  if (!print.present)
    return "absent";
  return std::to_string(print.size) + "\t" + Hex(print.hash);
}

// "absent", or size and hash, from fields[at...]; the number of fields taken, 0 on an error.
std::size_t ParseFingerprint(const std::vector<std::string_view>& fields, std::size_t at,
                             Fingerprint& print) {
  if (at < fields.size() && fields[at] == "absent") {
    print = Fingerprint::Absent();
    return 1;
  }
  if (at + 1 >= fields.size())
    return 0;
  const auto size = ParseNumber<std::uint64_t>(fields[at]);
  const auto hash = ParseNumber<std::uint64_t>(fields[at + 1], 16);
  if (!size || !hash)
    return 0;
  print = Fingerprint{true, *size, *hash};
  return 2;
}

constexpr std::size_t kSumDigits = 8;

std::string Sum(std::string_view content) {
  std::uint32_t hash = 0x811c9dc5U;
  for (const char c : content) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x01000193U;
  }
  std::string digits = Hex(hash);
  digits.insert(0, kSumDigits - digits.size(), '0');
  return digits;
}

// A line with its checksum and end.
std::string Line(std::string_view content) {
  return std::string(content) + "\t" + Sum(content) + "\n";
}

// The content of a line whose checksum holds.
std::optional<std::string_view> Checked(std::string_view line) {
  if (line.size() < kSumDigits + 1 || line[line.size() - kSumDigits - 1] != '\t')
    return std::nullopt;
  const std::string_view content = line.substr(0, line.size() - kSumDigits - 1);
  if (Sum(content) != line.substr(line.size() - kSumDigits))
    return std::nullopt;
  return content;
}

// An optional fingerprint: "unknown" or a fingerprint. The number of fields taken, 0 on an error.
std::size_t ParseExpected(const std::vector<std::string_view>& fields, std::size_t at,
                          std::optional<Fingerprint>& print) {
  if (at < fields.size() && fields[at] == "unknown") {
    print.reset();
    return 1;
  }
  Fingerprint known;
  const std::size_t taken = ParseFingerprint(fields, at, known);
  if (taken != 0)
    print = known;
  return taken;
}

// What was there before: the fields from `at` to the end of the line.
bool ParseBefore(const std::vector<std::string_view>& fields, std::size_t at, Entry& entry) {
  const std::size_t left = fields.size() - at;
  if (fields[at] == "absent" && left == 1) {
    entry.before = Before::Absent;
    return true;
  }
  if (fields[at] == "again" && left == 1) {
    entry.before = Before::Again;
    return true;
  }
  if (fields[at] != "backup" || left != 5)
    return false;
  std::optional<std::string> backup = Unescape(fields[at + 1]);
  std::optional<std::string> diskName = Unescape(fields[at + 4]);
  if (!backup || backup->empty() || !diskName || diskName->empty() ||
      ParseFingerprint(fields, at + 2, entry.original) != 2)
    return false;
  entry.before = Before::Backup;
  entry.backupName = std::move(*backup);
  entry.diskName = std::move(*diskName);
  return true;
}

bool ParseResult(const std::vector<std::string_view>& fields, Record& record) {
  const auto index = fields.size() >= 3 ? ParseNumber<std::size_t>(fields[1]) : std::nullopt;
  Fingerprint print;
  if (!index || *index >= record.entries.size() || record.entries[*index].result ||
      ParseFingerprint(fields, 2, print) != fields.size() - 2)
    return false;
  record.entries[*index].result = print;
  return true;
}

// "write", its index, kind, path, what it is expected to leave, what was there before.
bool ParseEntry(const std::vector<std::string_view>& fields, Record& record,
                std::unordered_set<std::string>& touched) {
  if (fields.size() < 6 || ParseNumber<std::size_t>(fields[1]) != record.entries.size())
    return false;
  Entry entry;
  const std::optional<WriteKind> kind = KindFrom(fields[2]);
  std::optional<std::string> path = Unescape(fields[3]);
  if (!kind || !path || path->empty())
    return false;
  entry.kind = *kind;
  entry.path = std::move(*path);
  const std::size_t taken = ParseExpected(fields, 4, entry.expected);
  if (taken == 0 || 4 + taken >= fields.size() || !ParseBefore(fields, 4 + taken, entry))
    return false;
  // A later write to a file the journal never saw first cannot be undone from it; a first write
  // twice would hide what was there.
  const bool first = touched.insert(text::ToLower(entry.path)).second;
  if (first == (entry.before == Before::Again))
    return false;
  record.entries.push_back(std::move(entry));
  return true;
}

// One line of the plan; false when it does not parse.
bool ParsePlanLine(const std::vector<std::string_view>& fields, Record& record) {
  Plan& plan = record.plan;
  if (fields[0] == "input" && fields.size() == 2) {
    std::optional<std::string> input = Unescape(fields[1]);
    plan.inputPart = input.value_or(std::string());
    return input.has_value();
  }
  if (fields[0] == "operation" && fields.size() == 2) {
    const auto operation = ParseNumber<int>(fields[1]);
    plan.operation = operation.value_or(0);
    return operation.has_value();
  }
  if (fields[0] == "when" && fields.size() == 2) {
    const auto when = ParseNumber<long long>(fields[1]);
    plan.when = when.value_or(0);
    return when.has_value();
  }
  if (fields[0] == "row" && fields.size() == 3) {
    std::optional<std::string> oldPath = Unescape(fields[1]);
    std::optional<std::string> newPath = Unescape(fields[2]);
    if (!oldPath || !newPath)
      return false;
    plan.rows.emplace_back(std::move(*oldPath), std::move(*newPath));
    return true;
  }
  if (fields[0] == "planned" && fields.size() == 1) {
    record.planWhole = true;
    return true;
  }
  return false;
}

// One checked line after the first; false when it does not belong there.
bool ParseLine(std::string_view content, Record& record, std::unordered_set<std::string>& touched) {
  const std::vector<std::string_view> fields = Fields(content);
  if (record.ended)
    return false;
  if (!record.planWhole)
    return ParsePlanLine(fields, record);
  if (fields[0] == "end" && fields.size() == 1) {
    record.ended = true;
    return true;
  }
  if (fields[0] == "result")
    return ParseResult(fields, record);
  return fields[0] == "write" && ParseEntry(fields, record, touched);
}

}  // namespace

Fingerprint Fingerprint::Of(std::string_view bytes) {
  // FNV-1a: enough to tell a file changed since the run from the one the run left.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return Fingerprint{true, bytes.size(), hash};
}

std::string PlanLines(const Plan& plan) {
  std::string lines = Line(kMagic);
  lines += Line("input\t" + Escape(plan.inputPart));
  lines += Line("operation\t" + std::to_string(plan.operation));
  lines += Line("when\t" + std::to_string(plan.when));
  for (const auto& [oldPath, newPath] : plan.rows)
    lines += Line("row\t" + Escape(oldPath) + "\t" + Escape(newPath));
  return lines + Line("planned");
}

std::string EntryLine(std::size_t entryIndex, const Entry& entry) {
  std::string line = "write\t" + std::to_string(entryIndex) + "\t" + std::string(KindName(entry.kind)) +
                     "\t" + Escape(entry.path) + "\t" +
                     (entry.expected ? FingerprintFields(*entry.expected) : "unknown") + "\t";
  switch (entry.before) {
    case Before::Absent:
      line += "absent";
      break;
    case Before::Again:
      line += "again";
      break;
    case Before::Backup:
      line += "backup\t" + Escape(entry.backupName) + "\t" + FingerprintFields(entry.original) + "\t" +
              Escape(entry.diskName);
      break;
  }
  return Line(line);
}

std::string ResultLine(std::size_t entryIndex, const Fingerprint& result) {
  return Line("result\t" + std::to_string(entryIndex) + "\t" + FingerprintFields(result));
}

std::string EndLine() {
  return Line("end");
}

std::string EndMark(std::string_view journal) {
  return Line("ended\t" + FingerprintFields(Fingerprint::Of(journal)));
}

bool MatchesEndMark(std::string_view mark, std::string_view journal) {
  return mark == EndMark(journal);
}

std::optional<Record> ParseRecord(std::string_view text) {
  Record record;
  std::unordered_set<std::string> touched;
  bool first = true;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) {
      // Cut while being appended: only the last append of a run that did not end can be.
      if (record.ended)
        return std::nullopt;
      record.cut = true;
      break;
    }
    const std::optional<std::string_view> content = Checked(text.substr(start, newline - start));
    start = newline + 1;
    if (!content)
      return std::nullopt;
    if (first) {
      if (*content != kMagic)
        return std::nullopt;
      first = false;
      continue;
    }
    if (!ParseLine(*content, record, touched))
      return std::nullopt;
  }
  if (first && !record.cut && !text.empty())
    return std::nullopt;
  return record;
}

}  // namespace velmora::journal
