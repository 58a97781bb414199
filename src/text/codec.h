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

// A text file as a spreadsheet may have saved it, in cp932. The encoding is decided by content: a
// byte-order mark (UTF-8, or UTF-16 in either byte order), else UTF-8 when the bytes are valid
// UTF-8 and not all ASCII, else cp932 as they stand. Line ends are left as they are.
enum class FileEncoding { Cp932, Utf8, Utf16 };
struct FileText {
  FileEncoding encoding = FileEncoding::Cp932;
  bool ok = false;
  std::string cp932;  // when ok
  int badLine = 0;    // otherwise the 1-based line of the first character cp932 cannot hold
};
[[nodiscard]] FileText FileTextToCp932(std::string_view bytes);

// For showing text only: unconvertible bytes are shown as \xNN, never dropped.
std::string ToDisplayUtf8(std::string_view cp932);

}  // namespace velmora::text
