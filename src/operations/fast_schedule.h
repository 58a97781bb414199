#pragma once
// The fast schedule: the plan of a run carried out with each file done once and the edit tool run
// on several files side by side, for the same resulting assembly.

#include <string_view>
#include <vector>

#include "operations/action_plan.h"
#include "operations/context.h"

namespace velmora::operations {

// The plan's actions in the fast order: every copy once, before any edit; each distinct reference
// edit once, a file's edits in their planned order; each re-saved file once, after all edits and
// after the files it refers to (children first); one close of all parts; then the bulk edits, each
// file once. rowCount is the list's.
std::vector<Action> FastOrder(const std::vector<Action>& plan, const StructureTree& tree, int rowCount);

// How many tool runs may go side by side: VELMORA_JOBS, else the processor cores, at most 8.
[[nodiscard]] int SideBySideJobs(platform::Host& host);

// Carries the actions out in their order, up to `jobs` tool runs at a time, looked after from this
// thread alone (as is every call into the library). Two runs never write one file, nor share their
// work files' names in TEMP. Each action is one progress step; after 中止 no action starts, those
// running finish. Failed after its message.
Step RunFastActions(Context& context, const std::vector<Action>& actions, int jobs,
                    std::string_view messageTail);

}  // namespace velmora::operations
