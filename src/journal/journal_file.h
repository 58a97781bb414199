#pragma once
// The journal's file: text, one entry per line, fields separated by a tab, cp932 paths, each line
// closed by a checksum of its own. Lines are only ever appended, each batch flushed to disk, so the
// one damage a crash can leave is a cut last line; anything else that does not check is damage.

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
  std::string backupName;               // Backup: the copy's name in the journal folder
  Fingerprint original;                 // Backup: the copied bytes
  std::string diskName;                 // Backup: the file name as the disk spelt it
  std::optional<Fingerprint> expected;  // what the write leaves, where known before it
  std::optional<Fingerprint> result;    // after the write; none when the run ended inside it
};

struct Plan {
  std::string inputPart;
  int operation = 0;
  std::vector<std::pair<std::string, std::string>> rows;  // old path, new path (may be empty)
  long long when = 0;                                     // seconds since 1970 (UTC) the run began
};

struct Record {
  Plan plan;
  bool planWhole = false;  // the plan was read to its last row
  std::vector<Entry> entries;
  bool ended = false;
  bool cut = false;  // the last line was cut while being appended
};

// The lines, each ending in "\n".
std::string PlanLines(const Plan& plan);
std::string EntryLine(std::size_t entryIndex, const Entry& entry);
std::string ResultLine(std::size_t entryIndex, const Fingerprint& result);
std::string EndLine();
// The end mark kept beside an ended journal: the size and checksum of its bytes.
std::string EndMark(std::string_view journal);
[[nodiscard]] bool MatchesEndMark(std::string_view mark, std::string_view journal);

// nullopt when the text is damaged: a line that does not check or parse, a cut line anywhere but
// at the end of a run that did not end, or anything after the end.
std::optional<Record> ParseRecord(std::string_view text);

}  // namespace velmora::journal
