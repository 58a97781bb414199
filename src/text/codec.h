#pragma once
// Conversion between cp932 (inside the program) and UTF-8 (Qt, host file names, the clipboard).

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::text {

struct CodecResult {
  bool ok = false;
  std::string text;           // the converted text when ok
  std::size_t badOffset = 0;  // byte offset in the input of the first character that cannot be converted
};

CodecResult Cp932ToUtf8(std::string_view cp932);
CodecResult Utf8ToCp932(std::string_view utf8);

// The program's own literal texts (UTF-8 in the source) in cp932. They are always convertible.
std::string Cp932(std::string_view utf8Literal);

// For showing text only: unconvertible bytes are shown as \xNN, never dropped.
std::string ToDisplayUtf8(std::string_view cp932);

}  // namespace velmora::text
