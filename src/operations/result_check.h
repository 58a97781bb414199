#pragma once
// The check after a run that wrote files: every component of the resulting input part must be
// there, must be the file the run meant it to be, and after a bulk run must be referred to as the
// operation spells it.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "operations/context.h"

namespace velmora::operations {

// How a bulk run leaves every reference of the result, besides where it leads.
enum class IntendedSpelling { Any, LowerNames, UpperNames, LowerFolders, NoFolders };

// Any when the run left some parts' references alone (inputPartOnly) or had no bulk pass.
[[nodiscard]] IntendedSpelling SpellingOf(Operation operation, bool inputPartOnly);

// What a listing of the result judged wrong (paths as listed, cp932).
struct ResultFaults {
  std::vector<std::string> unresolved;  // missing or not among the files the run meant
  std::vector<std::string> misspelt;    // resolved, but referred to otherwise than the run meant
};

// Lists the part at resultInputPath with the edit tool and judges every listed file but the part
// itself against `planned` (lower-cased paths) and `spelling`. nullopt after its message when the
// listing could not be made or read; its work files are removed when it succeeds.
[[nodiscard]] std::optional<ResultFaults> CheckResultAfterRun(Context& context,
                                                              std::string_view resultInputPath,
                                                              const std::unordered_set<std::string>& planned,
                                                              IntendedSpelling spelling,
                                                              std::string_view messageTail);

// The same judged from a list just built from the result: its before column marks missing files.
ResultFaults CheckResultInList(const partlist::PartList& list, std::string_view resultInputPath,
                               const std::unordered_set<std::string>& planned, IntendedSpelling spelling);

}  // namespace velmora::operations
