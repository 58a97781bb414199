#include "operations/bulk.h"

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

}  // namespace velmora::operations
