#pragma once

#include <string_view>

#include "operations/action_plan.h"
#include "operations/context.h"
#include "operations/modes.h"
#include "platform/text_stream.h"

namespace velmora::operations {

// One pass that writes nothing (inspect, check) over the ugpc structure listing. Failed: the
// message has been shown and the stream closed. On success the stream stays open, and the tree of
// the lines read is given when asked.
Step StructurePass(Context& context, platform::TextStream& stream, PassMode passMode,
                   std::string_view messageTail, std::string_view inputFolder, StructureTree* tree = nullptr);

// The same for a pass that writes nothing (inspect, check). Its failure deletes the listing at
// listingPath after closing it: the run stopped on its own checks, and a listing left in TEMP would
// refuse every later run of the same top part.
Step CheckingStructurePass(Context& context, platform::TextStream& stream, std::string_view listingPath,
                           PassMode passMode, std::string_view messageTail, std::string_view inputFolder,
                           StructureTree* tree = nullptr);

}  // namespace velmora::operations
