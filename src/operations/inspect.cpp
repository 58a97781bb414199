#include "operations/inspect.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "operations/replacement.h"
#include "operations/structure_pass.h"
#include "partlist/marks.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "text/mbstring.h"

namespace velmora::operations {

namespace {

// Marks every row whose old or new path (lower-cased) is also the old or new path of another row.
// One hash over all paths instead of comparing every pair of rows.
std::vector<bool> FindCollisions(const std::vector<std::string>& oldKeys,
                                 const std::vector<std::string>& newKeys) {
  struct Owner {
    int row;
    bool shared;
  };
  const std::size_t n = oldKeys.size();
  std::unordered_map<std::string_view, Owner> owners;
  owners.reserve(2 * n);
  const auto add = [&owners](std::string_view key, int row) {
    const auto [it, inserted] = owners.try_emplace(key, Owner{row, false});
    if (!inserted && it->second.row != row)
      it->second.shared = true;
  };
  for (std::size_t i = 0; i < n; ++i) {
    add(oldKeys[i], static_cast<int>(i));
    if (!newKeys[i].empty())
      add(newKeys[i], static_cast<int>(i));
  }
  std::vector<bool> colliding(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    colliding[i] = owners.find(oldKeys[i])->second.shared ||
                   (!newKeys[i].empty() && owners.find(newKeys[i])->second.shared);
  }
  return colliding;
}

}  // namespace

Step RunInspect(Context& context, PassMode passMode, std::string_view inputFolder) {
  partlist::PartList& list = context.state.partList;
  const int n = list.RowCount();
  std::vector<std::string> oldKeys;
  std::vector<std::string> newKeys;
  oldKeys.reserve(static_cast<std::size_t>(n));
  newKeys.reserve(static_cast<std::size_t>(n));
  for (int row = 0; row < n; ++row) {
    oldKeys.push_back(text::ToLower(list.RowPath(row, false)));
    newKeys.push_back(text::ToLower(list.RowPath(row, true)));
  }
  const std::vector<bool> colliding = FindCollisions(oldKeys, newKeys);
  // File names ignore case, so the status query gets the paths as spelt: the host then finds a
  // file by its exact name without searching the folder.
  const auto mark = [&context](const std::string& path) {
    return context.host.Stat(path) ? partlist::Mark::Circle : partlist::Mark::X;
  };
  for (int row = 0; row < n; ++row) {
    const auto i = static_cast<std::size_t>(row);
    list.SetMark(row, partlist::kBefore, mark(list.RowPath(row, false)));
    list.SetMark(row, partlist::kAfter,
                 newKeys[i].empty() ? partlist::Mark::None : mark(list.RowPath(row, true)));
    list.SetMark(row, partlist::kDuplicate, colliding[i] ? partlist::Mark::X : partlist::Mark::Circle);
  }
  for (int row = 0; row < n; ++row) {
    list.SetText(row, partlist::kEdited, {});
    list.SetText(row, partlist::kParent, {});
    list.SetText(row, partlist::kNumber, {});
  }
  if (passMode != PassMode::Inspect)
    return Step::Done;

  const std::string tail = msg::kTailInspectNotDone();
  if (n < 2) {
    // An empty list has no row for the single-row pass to fill. Only its message may close.
    if (n == 1 && RunSinglePartPass(context, PassMode::Inspect, msg::kInspectCompleted()) == Step::Failed)
      return Step::Failed;
    context.ui.ShowMessage(msg::kInspectCompleted());
    return Step::Done;
  }
  const std::string inputPath = context.state.inputPartPath;
  const auto inspect = [&](platform::TextStream& listing, const std::string& listingPath) {
    return CheckingStructurePass(context, listing, listingPath, PassMode::Inspect, tail, inputFolder);
  };
  if (RunOnStructure(context, inputPath, tail, msg::kTailInspectDone(), inspect) == Step::Failed)
    return Step::Failed;
  // A change would refuse these rows; the closing message must not read as all clear.
  int marked = 0;
  for (int row = 0; row < n; ++row)
    marked += list.MarkAt(row, partlist::kEdited) == partlist::Mark::X ? 1 : 0;
  context.ui.ShowMessage(marked == 0 ? msg::kInspectCompleted()
                                     : msg::kInspectCompletedWithMarks(text::FormatInt(marked)));
  return Step::Done;
}

Step RunOnStructure(Context& context, std::string_view partPath, std::string_view messageTail,
                    std::string_view closeTail, const StructurePasses& passes) {
  const std::string base =
      context.runner.WorkFileBase(partPath, toolrunner::ToolMode::Structure, messageTail);
  if (base.empty())
    return Step::Failed;
  if (context.runner.RunTool({.mode = toolrunner::ToolMode::Structure, .inFile = partPath}, messageTail) ==
      Step::Failed)
    return Step::Failed;
  const std::string outputPath = base + ".txt";
  const std::unique_ptr<platform::TextStream> output =
      context.host.Open(outputPath, platform::OpenMode::ReadText);
  if (!output)
    return ShowFailure(context.ui, msg::kPcOpenFailed(messageTail));
  if (passes(*output, outputPath) == Step::Failed)
    return Step::Failed;
  return ClosePcOutput(context, *output, outputPath, closeTail);
}

Step ClosePcOutput(Context& context, platform::TextStream& file, std::string_view path,
                   std::string_view messageTail) {
  if (!file.Close()) {
    context.ui.ShowMessage(msg::kPcCloseFailed(messageTail));
    return Step::Failed;
  }
  if (!context.host.Remove(path)) {
    context.ui.ShowMessage(msg::kPcRemoveFailed(messageTail));
    return Step::Failed;
  }
  return Step::Done;
}

}  // namespace velmora::operations
