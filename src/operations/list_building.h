#pragma once
// The input check and the list built from the edit tool's "-list" run. Both return true when they
// failed, after their message.

#include <string_view>

#include "operations/context.h"

namespace velmora::operations {

Step CheckInputs(Context& context, std::string_view messageTail);
Step BuildPartList(Context& context);

}  // namespace velmora::operations
