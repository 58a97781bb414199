#include "operations/path_budget.h"

#include <optional>

#include "partlist/name_rules.h"
#include "resources/messages/structure.h"
#include "text/file_name.h"

namespace velmora::operations {
namespace {

// The work files' extensions (".bat", ".txt", ".log") are all this long.
constexpr std::size_t kExtensionBytes = 4;

}  // namespace

PathBudget::PathBudget(Context& context, std::string_view messageTail)
    : context_(&context), tail_(messageTail) {
  const std::optional<std::string> temp = context.host.GetEnv("TEMP");
  tempBytes_ = temp ? temp->size() : 0;
}

Step PathBudget::WorkFilesFit(std::string_view partPath, toolrunner::ToolMode mode,
                              std::string_view partName) const {
  // The base is TEMP, a separator and at most the file name, then the mode: a name that surely
  // fits needs no work of the runner's.
  const std::size_t bound = tempBytes_ + 1 + text::FileNameOf(partPath).size() + 1 +
                            toolrunner::Spelling(mode).size() + kExtensionBytes;
  if (bound <= partlist::kMaxPathBytes)
    return Step::Done;
  const std::string base = context_->runner.WorkFileBase(partPath, mode, tail_);
  if (base.empty())
    return Step::Failed;
  const std::string batch = base + ".bat";
  if (batch.size() <= partlist::kMaxPathBytes)
    return Step::Done;
  context_->ui.ShowMessage(msg::kWorkFilePathTooLong(partName, batch, tail_));
  return Step::Failed;
}

Step PathBudget::TargetFits(std::string_view path, std::string_view partName) const {
  if (path.size() <= partlist::kMaxPathBytes)
    return Step::Done;
  context_->ui.ShowMessage(msg::kTargetPathTooLong(partName, path, tail_));
  return Step::Failed;
}

}  // namespace velmora::operations
