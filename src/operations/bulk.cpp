#include "operations/bulk.h"

#include "operations/executor.h"
#include "resources/messages/tails.h"

namespace velmora::operations {

std::optional<toolrunner::ToolMode> BulkMode(Operation operation) {
  switch (operation) {
    case Operation::LowerAllFolders:
      return toolrunner::ToolMode::LowerFolders;
    case Operation::LowerAllParts:
      return toolrunner::ToolMode::LowerNames;
    case Operation::UpperAllParts:
      return toolrunner::ToolMode::UpperNames;
    case Operation::RemoveAllFolders:
      return toolrunner::ToolMode::RemoveFolders;
    case Operation::Inspect:
    case Operation::Change:
      break;
  }
  return std::nullopt;
}

Step RunBulkOnRow(Context& context, int row, std::string_view inputFolder) {
  const StructureTree none;
  return RunActions(context, PlanBulkRow(PlanInputOnDisk(context, inputFolder, none), row),
                    msg::kTailRunBroken());
}

}  // namespace velmora::operations
