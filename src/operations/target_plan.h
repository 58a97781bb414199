#pragma once
// Where every row's file is meant to end up after a run, worked out before anything is written,
// so that a run whose rows would meet at one file is refused whole and its result can be checked.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "operations/dialog_state.h"

namespace velmora::operations {

// Per row, in list order, spelt as the row gives it: the new path, else the old path; without
// folder information, the input part's folder + the new part name (else the part name).
std::vector<std::string> FinalPaths(const DialogState& state, std::string_view inputFolder);

// The first row, in list order, that ends at the same file as another row, or whose final path
// is another row's old path (its copy would replace a file the run still reads). Paths compare
// as Windows compares them, ignoring letter case. -1 when there is none.
[[nodiscard]] int FirstClashingRow(const partlist::PartList& list,
                                   const std::vector<std::string>& finalPaths);

// The edit tool finds a parent's reference by its file name alone. A row whose references are
// rewritten must therefore be the only one the name can mean: no other row may have that name
// before or after the run, or the rewrite would take the other row's reference along. Returns that
// name as the row spells it, empty when every rewritten name is unique. `everyRowRewritten` when
// the run rewrites the references to every row (removing the folder information).
[[nodiscard]] std::string SharedReferenceName(const partlist::PartList& list,
                                              const std::vector<std::string>& finalPaths,
                                              bool everyRowRewritten);

// One file whose name is to change in letter case only (top.prt to TOP.PRT): a rename of it, not
// a copy.
[[nodiscard]] bool IsCaseOnlyRename(std::string_view source, std::string_view target);

// The final paths lower-cased: what a component of the result may resolve to.
std::unordered_set<std::string> PlannedFiles(const std::vector<std::string>& finalPaths);

}  // namespace velmora::operations
