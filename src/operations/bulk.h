#pragma once

#include <optional>
#include <string_view>

#include "operations/context.h"

namespace velmora::operations {

// Runs the edit tool's bulk option of the current operation on one row's file. True when the run
// failed (after the runner's message); false when it ran or the row was skipped.
Step RunBulkOnRow(Context& context, int row, std::string_view inputFolder);

// The edit tool's mode of a bulk operation; nothing for the others.
std::optional<toolrunner::ToolMode> BulkMode(Operation operation);

}  // namespace velmora::operations
