#pragma once
// Messages that name a path or a value: the text's "%1" … "%9" take the given cp932 pieces.

#include <initializer_list>
#include <string>
#include <string_view>

namespace velmora::app {

// The UTF-8 literal in cp932 with its placeholders filled. "%" and the digits are ASCII and never
// a trail byte, so the search needs no care for double-byte characters.
std::string Fill(std::string_view utf8Literal, std::initializer_list<std::string_view> pieces);

}  // namespace velmora::app
