#pragma once

#include <string_view>

#include "operations/context.h"
#include "operations/modes.h"
#include "platform/text_stream.h"

namespace velmora::operations {

// Refreshes the existence and duplicate columns and clears the structure columns; the inspect pass
// is the whole inspection, with its ugpc run and closing message.
void RunInspect(Context& context, PassMode passMode, std::string_view inputFolder);

// Closes the ugpc output and deletes it. True when that failed (after its message).
Step ClosePcOutput(Context& context, platform::TextStream& file, std::string_view path,
                   std::string_view messageTail);

}  // namespace velmora::operations
