#pragma once
// Copying a part file to its new place and re-saving it through the CAD library. Each returns true
// when it failed, after its message.

#include <string_view>

#include "operations/context.h"
#include "operations/modes.h"

namespace velmora::operations {

Step RunSinglePartPass(Context& context, PassMode mode, std::string_view messageTail);
Step ReplacePartFile(Context& context, std::string_view source, std::string_view destination,
                     std::string_view messageTail, CopyMode copyMode, bool closeAll, std::string_view folder,
                     int row);
Step ResavePart(Context& context, std::string_view path, std::string_view messageTail);

}  // namespace velmora::operations
