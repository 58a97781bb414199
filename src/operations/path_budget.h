#pragma once
// The longest path a file may have, held against every path a run is going to make before it makes
// the first: a path over it fails half-way through a run, after other files have been written.

#include <cstddef>
#include <string>
#include <string_view>

#include "operations/context.h"
#include "toolrunner/batch_runner.h"

namespace velmora::operations {

class PathBudget {
 public:
  PathBudget(Context& context, std::string_view messageTail);

  // The batch, output and error files of a run in `mode` on partPath fit. Failed after its message,
  // which names the part (partName, cp932).
  [[nodiscard]] Step WorkFilesFit(std::string_view partPath, toolrunner::ToolMode mode,
                                  std::string_view partName) const;
  // A file the run writes at path fits. Failed after its message.
  [[nodiscard]] Step TargetFits(std::string_view path, std::string_view partName) const;

 private:
  Context* context_;
  std::string tail_;
  std::size_t tempBytes_ = 0;
};

}  // namespace velmora::operations
