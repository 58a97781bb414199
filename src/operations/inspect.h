#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "operations/context.h"
#include "operations/modes.h"
#include "platform/text_stream.h"

namespace velmora::operations {

// Refreshes the existence and duplicate columns and clears the structure columns; the inspect pass
// is the whole inspection, with its ugpc run and closing message. Failed when the inspection could
// not be completed (after its message); the check before a run always completes.
Step RunInspect(Context& context, PassMode passMode, std::string_view inputFolder);

// What runs on the ugpc listing of a part: its passes, each of which closes the listing when it
// fails.
using StructurePasses = std::function<Step(platform::TextStream& listing, const std::string& listingPath)>;

// Runs ugpc on the part, opens its listing, runs the passes on it and closes and deletes it
// (messages then end in closeTail).
[[nodiscard]] Step RunOnStructure(Context& context, std::string_view partPath, std::string_view messageTail,
                                  std::string_view closeTail, const StructurePasses& passes);

// Closes the ugpc output and deletes it. True when that failed (after its message).
Step ClosePcOutput(Context& context, platform::TextStream& file, std::string_view path,
                   std::string_view messageTail);

}  // namespace velmora::operations
