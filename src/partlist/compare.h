#pragma once

#include <string_view>

namespace velmora::partlist {

// The sort comparison of two cell texts: plain decimal numbers on both sides compare as numbers,
// anything else bytewise as unsigned bytes; reversed when ascending is 0 or below.
int ComparePartRows(std::string_view s1, std::string_view s2, int ascending);

}  // namespace velmora::partlist
