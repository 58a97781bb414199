#pragma once
// The check after a run that wrote files: every component of the resulting input part must be
// there, and must be the file the run meant it to be.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "operations/context.h"

namespace velmora::operations {

// Lists the part at resultInputPath with the edit tool and returns the paths of the listed files
// that are missing or not among `planned` (lower-cased paths). nullopt after its message when the
// listing could not be made or read; its work files are removed when it succeeds.
[[nodiscard]] std::optional<std::vector<std::string>> UnresolvedAfterRun(
    Context& context, std::string_view resultInputPath, const std::unordered_set<std::string>& planned,
    std::string_view messageTail);

// The same judged from a list just built from the result: its before column marks missing files.
std::vector<std::string> UnresolvedInList(const partlist::PartList& list,
                                          const std::unordered_set<std::string>& planned);

}  // namespace velmora::operations
