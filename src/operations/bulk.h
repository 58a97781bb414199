#pragma once

#include <string_view>

#include "operations/context.h"

namespace velmora::operations {

// Runs the edit tool's bulk option of the current operation on one row's file. True when the run
// failed (after the runner's message); false when it ran or the row was skipped.
Step RunBulkOnRow(Context& context, int row, std::string_view inputFolder);

}  // namespace velmora::operations
