#pragma once
// The full-width marks of the state columns, in cp932.

#include <string_view>

namespace velmora::partlist {

inline constexpr std::string_view kMarkCircle = "\x81\x9B";  // "○": present, unique
inline constexpr std::string_view kMarkX = "\x82\x77";       // "Ｘ": missing, clashing, not referred to
inline constexpr std::string_view kMarkV = "\x82\x75";       // "Ｖ": will be rewritten

}  // namespace velmora::partlist
