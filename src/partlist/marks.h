#pragma once
// The full-width marks of the state columns, in cp932.

#include <string_view>

namespace velmora::partlist {

inline constexpr std::string_view kMarkCircle = "\x81\x9B";  // "○": present, unique
inline constexpr std::string_view kMarkX = "\x82\x77";       // "Ｘ": missing, clashing, not referred to
inline constexpr std::string_view kMarkV = "\x82\x75";       // "Ｖ": will be rewritten

// A state cell as the passes read and write it; any other text in a cell is no mark.
enum class Mark { None, Circle, X, V };

[[nodiscard]] constexpr std::string_view MarkText(Mark mark) {
  switch (mark) {
    case Mark::Circle:
      return kMarkCircle;
    case Mark::X:
      return kMarkX;
    case Mark::V:
      return kMarkV;
    case Mark::None:
      break;
  }
  return {};
}

[[nodiscard]] constexpr Mark MarkOf(std::string_view text) {
  for (const Mark mark : {Mark::Circle, Mark::X, Mark::V}) {
    if (text == MarkText(mark))
      return mark;
  }
  return Mark::None;
}

}  // namespace velmora::partlist
