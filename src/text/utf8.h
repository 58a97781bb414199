#pragma once
// UTF-8 one character at a time, for host file names: decoding, encoding and the case folding under
// which Windows takes two names for the same file.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::text {

// The code point of the UTF-8 character at i and its length; length 0 for a malformed one.
[[nodiscard]] std::size_t DecodeUtf8(std::string_view utf8, std::size_t i, char32_t& value);
void AppendUtf8(std::string& out, char32_t c);

// The name case-folded, as UTF-8: simple folding for the letters cp932 can hold (ASCII, full-width
// Latin, Greek, Cyrillic, Roman numerals). A malformed byte is kept behind 0xFF, which UTF-8 never
// holds, so it never folds onto a real character.
[[nodiscard]] std::string FoldCaseUtf8(std::string_view utf8);

}  // namespace velmora::text
