#pragma once
// What a Windows file name may hold. Only ASCII bytes are judged, so neither a cp932 trail byte nor
// a byte of a UTF-8 character is ever taken for a forbidden one.

#include <string_view>

namespace velmora::text {

// Control characters, DEL and " * < > ? | : \ (the separator).
[[nodiscard]] bool IsForbiddenInFileName(unsigned char c);

// The name after the last "\" (all of path without one), and the folder before it with its "\"
// (empty without one). A cp932 trail byte equal to "\" is no separator.
[[nodiscard]] std::string_view FileNameOf(std::string_view path);
[[nodiscard]] std::string_view FolderOf(std::string_view path);
// A folder without its final character (its "\"), stepping over whole characters.
[[nodiscard]] std::string_view WithoutLastCharacter(std::string_view folder);

// A device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9), with or without an extension, in any case.
[[nodiscard]] bool IsReservedFileName(std::string_view name);

}  // namespace velmora::text
