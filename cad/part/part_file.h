#pragma once
// The part-file format of the stand-in CAD system: cp932 text, one record per line, fields separated
// by a tab (a byte that is never the second byte of a double-byte character).
//
//   VELMORA-PART 1
//   saved-as<TAB>top.prt
//   saves<TAB>3
//   component<TAB>D:\work\sub<TAB>child.prt      (zero or more, in order)
//   end
//
// Lines end in LF (a CR before it is accepted). Anything else is a malformed file.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::cad {

// A component reference. An empty folder means the folder of the part that refers to it; a folder
// never ends in "\" (a drive root is "C:").
struct Reference {
  std::string folder;
  std::string name;
  bool operator==(const Reference&) const = default;
};

struct Part {
  std::string savedAs;  // the file name the part was last saved under
  int saves = 0;
  std::vector<Reference> components;
  bool operator==(const Part&) const = default;
};

struct ParseResult {
  bool ok = false;
  Part part;
  std::string error;  // ASCII, with the line number, when not ok
};

ParseResult ParsePart(std::string_view bytes);
// The file's bytes. A part that passes CheckPart reads back equal.
std::string FormatPart(const Part& part);
// Empty when the part can be written and read back, else the reason.
std::string CheckPart(const Part& part);

enum class ReadStatus { Ok, Missing, Unreadable, Malformed };

struct ReadResult {
  ReadStatus status = ReadStatus::Missing;
  Part part;
  std::string error;  // ASCII reason when not Ok
};

// Reads a host file (UTF-8 path).
ReadResult ReadPartFile(const std::string& hostPath);

// Writes a host file atomically: a temporary file in the same folder, renamed into place, so a
// reader sees the old part or the new one, never half of one. Empty on success, else the reason.
std::string WritePartFile(const std::string& hostPath, const Part& part);

// Creates a part file that does not exist yet in one step (no temporary file, no rename): for
// filling a fresh folder that nothing reads yet, where it halves the cost of each file. Fails,
// touching nothing, when something is already at the path.
std::string CreatePartFile(const std::string& hostPath, const Part& part);

}  // namespace velmora::cad
