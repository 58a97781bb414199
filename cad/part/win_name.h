#pragma once
// Pieces of Windows paths (cp932). Every search steps over whole characters, so the second byte of
// a double-byte character ("表" is 0x95 0x5C) is never taken for a separator.

#include <string>
#include <string_view>

namespace velmora::cad {

struct PathPieces {
  std::string folder;  // without its final "\"; empty when the path has no "\"
  std::string name;
};

PathPieces SplitPath(std::string_view path);
// folder + "\" + name.
std::string JoinPath(std::string_view folder, std::string_view name);
// The folder without one final "\" (a drive root "C:\" becomes "C:").
std::string WithoutFinalSeparator(std::string_view folder);
// Absolute: a drive ("C:...") or a network path ("\\...").
bool IsAbsolute(std::string_view path);

// Every byte sequence is a cp932 character and none is a control character.
bool PlainCp932(std::string_view text);
// A file name Windows can hold: not empty, none of \ / : * ? " < > |.
bool ValidFileName(std::string_view name);
// A folder as a reference holds it: may be empty, none of * ? " < > |, no final "\".
bool ValidFolder(std::string_view folder);

// The key under which two spellings of one file are the same file (ASCII letters folded).
std::string FileKey(std::string_view path);

}  // namespace velmora::cad
