#include "journal/journal_file.h"

#include <charconv>
#include <unordered_set>

#include "text/mbstring.h"

namespace velmora::journal {
namespace {

constexpr std::string_view kMagic = "velmora-journal\t1";

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

// One line of the write part; false when it does not parse.
bool ParseWriteLine(const std::vector<std::string_view>& fields, Record& record,
                    std::unordered_set<std::string>& touched) {
  if (fields[0] == "end" && fields.size() == 1) {
    record.ended = true;
    return true;
  }
  if (fields[0] == "result" && fields.size() >= 3) {
    const auto index = ParseNumber<std::size_t>(fields[1]);
    Fingerprint print;
    if (!index || *index >= record.entries.size() || ParseFingerprint(fields, 2, print) != fields.size() - 2)
      return false;
    record.entries[*index].result = print;
    return true;
  }
  if (fields[0] != "write" || fields.size() < 4)
    return false;
  Entry entry;
  const std::optional<WriteKind> kind = KindFrom(fields[1]);
  std::optional<std::string> path = Unescape(fields[2]);
  if (!kind || !path || path->empty())
    return false;
  entry.kind = *kind;
  entry.path = std::move(*path);
  const std::string key = text::ToLower(entry.path);
  if (fields[3] == "absent" && fields.size() == 4) {
    entry.before = Before::Absent;
  } else if (fields[3] == "again" && fields.size() == 4) {
    // A later write to a file the journal never saw first cannot be undone from it.
    if (!touched.contains(key))
      return false;
    entry.before = Before::Again;
  } else if (fields[3] == "backup" && fields.size() == 8) {
    std::optional<std::string> backup = Unescape(fields[4]);
    std::optional<std::string> diskName = Unescape(fields[7]);
    if (!backup || backup->empty() || !diskName || diskName->empty() ||
        ParseFingerprint(fields, 5, entry.original) != 2)
      return false;
    entry.before = Before::Backup;
    entry.backupName = std::move(*backup);
    entry.diskName = std::move(*diskName);
  } else {
    return false;
  }
  if (entry.before != Before::Again && !touched.insert(key).second)
    return false;
  record.entries.push_back(std::move(entry));
  return true;
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
  std::string lines = std::string(kMagic) + "\n";
  lines += "input\t" + Escape(plan.inputPart) + "\n";
  lines += "operation\t" + std::to_string(plan.operation) + "\n";
  for (const auto& [oldPath, newPath] : plan.rows)
    lines += "row\t" + Escape(oldPath) + "\t" + Escape(newPath) + "\n";
  return lines;
}

std::string EntryLine(const Entry& entry) {
  std::string line = "write\t" + std::string(KindName(entry.kind)) + "\t" + Escape(entry.path) + "\t";
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
  return line + "\n";
}

std::string ResultLine(std::size_t entryIndex, const Fingerprint& result) {
  return "result\t" + std::to_string(entryIndex) + "\t" + FingerprintFields(result) + "\n";
}

std::string EndLine() {
  return "end\n";
}

std::optional<Record> ParseRecord(std::string_view text) {
  Record record;
  std::unordered_set<std::string> touched;
  bool planDone = false;
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    // A line without its end was cut while being appended.
    if (newline == std::string_view::npos)
      break;
    const std::string_view line = text.substr(start, newline - start);
    start = newline + 1;
    const std::vector<std::string_view> fields = Fields(line);
    ++lineNumber;
    if (lineNumber == 1) {
      if (line != kMagic)
        return std::nullopt;
      continue;
    }
    if (lineNumber == 2) {
      std::optional<std::string> input =
          fields.size() == 2 && fields[0] == "input" ? Unescape(fields[1]) : std::nullopt;
      if (!input)
        return std::nullopt;
      record.plan.inputPart = std::move(*input);
      continue;
    }
    if (lineNumber == 3) {
      const auto operation =
          fields.size() == 2 && fields[0] == "operation" ? ParseNumber<int>(fields[1]) : std::nullopt;
      if (!operation)
        return std::nullopt;
      record.plan.operation = *operation;
      continue;
    }
    if (!planDone && fields[0] == "row" && fields.size() == 3) {
      std::optional<std::string> oldPath = Unescape(fields[1]);
      std::optional<std::string> newPath = Unescape(fields[2]);
      if (!oldPath || !newPath)
        return std::nullopt;
      record.plan.rows.emplace_back(std::move(*oldPath), std::move(*newPath));
      continue;
    }
    planDone = true;
    if (record.ended || !ParseWriteLine(fields, record, touched))
      break;
  }
  if (lineNumber < 3)
    return std::nullopt;
  return record;
}

}  // namespace velmora::journal
