#pragma once

#include <string_view>

#include "operations/context.h"
#include "platform/text_stream.h"

namespace velmora::operations {

// One pass over the ugpc structure listing: 0 inspect, 1 check, 2 perform. True when it failed: the
// message has been shown and the stream closed. On success the stream stays open.
bool StructurePass(Context& context, platform::TextStream& stream, int passMode, std::string_view messageTail,
                   std::string_view inputFolder);

}  // namespace velmora::operations
