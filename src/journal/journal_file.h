#pragma once
// The journal's file: text, one entry per line, fields separated by a tab, cp932 paths. Lines are
// only ever appended, each batch flushed to disk, so the one damage a crash can leave is a cut
// last line; reading stops at the first line that is cut or does not parse.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::journal {

enum class WriteKind { Created, Overwritten, Rewritten, Resaved };

// Size and checksum of a file's bytes, or that there was no file.
struct Fingerprint {
  bool present = false;
  std::uint64_t size = 0;
  std::uint64_t hash = 0;

  static Fingerprint Of(std::string_view bytes);
  static Fingerprint Absent() { return {}; }
  bool operator==(const Fingerprint&) const = default;
};

// What was at a path before its first write in the run.
enum class Before {
  Absent,  // nothing: undo removes the file
  Backup,  // a copy was kept beside the journal
  Again,   // written earlier in the same run: its first entry says what was there
};

struct Entry {
  WriteKind kind = WriteKind::Created;
  std::string path;
  Before before = Before::Absent;
  std::string backupName;             // Backup: the copy's name in the journal folder
  Fingerprint original;               // Backup: the copied bytes
  std::string diskName;               // Backup: the file name as the disk spelt it
  std::optional<Fingerprint> result;  // after the write; none when the run ended inside it
};

struct Plan {
  std::string inputPart;
  int operation = 0;
  std::vector<std::pair<std::string, std::string>> rows;  // old path, new path (may be empty)
};

struct Record {
  Plan plan;
  std::vector<Entry> entries;
  bool ended = false;
};

// The lines, each ending in "\n".
std::string PlanLines(const Plan& plan);
std::string EntryLine(const Entry& entry);
std::string ResultLine(std::size_t entryIndex, const Fingerprint& result);
std::string EndLine();

// nullopt when not even the plan could be read: the run wrote nothing.
std::optional<Record> ParseRecord(std::string_view text);

}  // namespace velmora::journal
