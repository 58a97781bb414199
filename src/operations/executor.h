#pragma once
// A planned run carried out: each action with its journal entry before it writes, in the plan's
// order with the progress points between the actions (the specified schedule), or on the fast
// schedule.

#include <string_view>
#include <vector>

#include "operations/action_plan.h"
#include "operations/context.h"
#include "platform/text_stream.h"

namespace velmora::operations {

// The plan's input for the list as it stands, the files looked up on the host.
PlanInput PlanInputOnDisk(Context& context, std::string_view inputFolder, const StructureTree& tree);

// The tool call an edit action makes.
[[nodiscard]] toolrunner::ToolCall ToolCallOf(const Action& action);

// One action. Failed after its message.
Step RunAction(Context& context, const Action& action, std::string_view messageTail);
// Actions one after another, with no progress point. Failed after its message.
Step RunActions(Context& context, const std::vector<Action>& actions, std::string_view messageTail);

// The change's part of a plan made from an open structure listing, carried out in order; a failure
// (a stop too) closes the listing, as a failed pass does.
Step PerformOnListing(Context& context, platform::TextStream& listing, const PlannedRun& run,
                      std::string_view messageTail);

// The change and bulk runs on the schedule the options choose: the check pass, the listing read
// once, the plan made and carried out. Failed after its message.
Step RunChange(Context& context, std::string_view inputKey, std::string_view inputFolder);

}  // namespace velmora::operations
