#pragma once

#include <optional>
#include <string_view>

#include "operations/context.h"

namespace velmora::operations {

// The edit tool's mode of a bulk operation; nothing for the others.
std::optional<toolrunner::ToolMode> BulkMode(Operation operation);

}  // namespace velmora::operations
