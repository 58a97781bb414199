#pragma once
// Two writing passes of the old shape, a bulk row and a change over an open listing, as a few lines
// over the planner and the executor: the tests that pin each one's calls drive them so.

#include <optional>
#include <string_view>

#include "operations/action_plan.h"
#include "operations/context.h"
#include "operations/executor.h"
#include "platform/text_stream.h"
#include "resources/messages/tails.h"

namespace velmora::operations::test {

inline Step RunBulkOnRow(Context& context, int row, std::string_view inputFolder) {
  const StructureTree none;
  return RunActions(context, PlanBulkRow(PlanInputOnDisk(context, inputFolder, none), row),
                    msg::kTailRunBroken());
}

// The change's part of a run over a listing the check pass has numbered.
inline Step PerformPass(Context& context, platform::TextStream& listing, std::string_view messageTail,
                        std::string_view inputFolder) {
  const std::optional<StructureTree> tree = ReadStructureTree(context, listing, messageTail);
  if (!tree)
    return Step::Failed;
  return PerformOnListing(context, listing, PlanRun(PlanInputOnDisk(context, inputFolder, *tree)),
                          messageTail);
}

}  // namespace velmora::operations::test
