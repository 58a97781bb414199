#pragma once
// One row of the naming rules' preview, as every window shows it: the row's folder, its old and
// new name, and what is wrong with the new one.

#include <string>
#include <string_view>

#include "partlist/naming_rules.h"
#include "partlist/part_list.h"

namespace velmora::app {

struct RenamePreviewRow {
  std::string folder;        // cp932
  std::string oldName;       // cp932
  std::string newName;       // cp932
  std::string_view problem;  // UTF-8 caption; empty when the name can be applied
};

// The caption of a problem (UTF-8); empty for none.
[[nodiscard]] std::string_view RenameProblemCaption(partlist::RenameProblem problem);

[[nodiscard]] RenamePreviewRow PreviewRowOf(const partlist::PartList& list,
                                            const partlist::RenameEntry& entry);

}  // namespace velmora::app
