#pragma once
// Byte strings in cp932, the program's own text. Every search steps over whole characters, so the
// second byte of a double-byte character (0x5C in "表", 0x41 in "ア") is never taken for ASCII.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::text {

inline constexpr std::size_t npos = std::string_view::npos;

// True for a byte that starts a two-byte cp932 character (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte(unsigned char byte);

// Position of the first/last whole character equal to ch, or npos. `from` is a byte position;
// a match must start at or after it and on a character boundary.
std::size_t FindFirst(std::string_view text, char ch, std::size_t from = 0);
std::size_t FindLast(std::string_view text, char ch);
// Position of the first occurrence of needle that starts on a character boundary at or after from.
std::size_t FindFirst(std::string_view text, std::string_view needle, std::size_t from = 0);
bool Contains(std::string_view text, char ch);

// ASCII letters only; trail bytes and everything else stay as they are.
std::string ToLower(std::string_view text);
std::string ToUpper(std::string_view text);

// The C runtime's atoi: leading white space, an optional sign, digits; 0 when there are none.
int Atoi(std::string_view text);
// printf's "%d".
std::string FormatInt(int value);

}  // namespace velmora::text
