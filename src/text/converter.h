#pragma once
// The platform's conversion between cp932 and UTF-8, below the codec's own rules.

#include <string_view>

#include "text/codec.h"

namespace velmora::text::detail {

enum class Direction { ToUtf8, ToCp932 };

// Converts all of input; on failure, badOffset is the offset of the first byte not taken.
CodecResult Convert(Direction direction, std::string_view input);

}  // namespace velmora::text::detail
