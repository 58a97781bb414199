#include "operations/bulk.h"

#include <optional>
#include <string>

#include "partlist/part_row.h"
#include "resources/messages/tails.h"
#include "text/mbstring.h"

namespace velmora::operations {
namespace {

enum class NameCase { Keep, Lower, Upper };

struct BulkKind {
  toolrunner::ToolMode mode;
  NameCase nameCase;
};

// Nothing for Inspect and Change: they have no bulk pass.
std::optional<BulkKind> KindOf(Operation operation) {
  switch (operation) {
    case Operation::LowerAllFolders:
      return BulkKind{toolrunner::ToolMode::LowerFolders, NameCase::Keep};
    case Operation::LowerAllParts:
      return BulkKind{toolrunner::ToolMode::LowerNames, NameCase::Lower};
    case Operation::UpperAllParts:
      return BulkKind{toolrunner::ToolMode::UpperNames, NameCase::Upper};
    case Operation::RemoveAllFolders:
      return BulkKind{toolrunner::ToolMode::RemoveFolders, NameCase::Keep};
    case Operation::Inspect:
    case Operation::Change:
      break;
  }
  return std::nullopt;
}

const std::string& OrFallback(const std::string& preferred, const std::string& fallback) {
  return preferred.empty() ? fallback : preferred;
}

}  // namespace

Step RunBulkOnRow(Context& context, int row, std::string_view inputFolder) {
  const std::optional<BulkKind> kind = KindOf(context.state.operation);
  if (!kind)
    return Step::Done;

  const partlist::PartList& list = context.state.partList;
  const std::string& newName = list.Text(row, partlist::kNewPartName);
  const std::string& oldName = list.Text(row, partlist::kPartName);
  std::string name;
  std::string folder;
  if (context.state.operation == Operation::RemoveAllFolders) {
    // The change passes have gathered every part file in the input part's folder.
    name = OrFallback(newName, oldName);
    folder = std::string(inputFolder);
  } else if (const std::string newPath = list.RowPath(row, true); newPath.empty()) {
    name = oldName;
    folder = list.Text(row, partlist::kFolderName);
  } else if (context.host.Stat(newPath)) {
    // The file the change passes wrote.
    name = OrFallback(newName, oldName);
    folder = OrFallback(list.Text(row, partlist::kNewFolderName), list.Text(row, partlist::kFolderName));
  }
  // A new name or folder that produced no file leaves nothing to work on.
  if (name.empty() || folder.empty())
    return Step::Done;

  std::string writtenName = name;
  if (kind->nameCase == NameCase::Lower)
    writtenName = text::ToLower(name);
  else if (kind->nameCase == NameCase::Upper)
    writtenName = text::ToUpper(name);

  if (context.journal.BeforeWrite(folder + writtenName, journal::WriteKind::Rewritten) == Step::Failed)
    return Step::Failed;
  const std::string inFile = folder + name;
  const std::string outFile = folder + writtenName;
  if (context.runner.RunTool({.mode = kind->mode, .inFile = inFile, .outFile = outFile},
                             msg::kTailRunBroken()) == Step::Failed)
    return Step::Failed;
  return context.journal.AfterWrite(outFile);
}

}  // namespace velmora::operations
