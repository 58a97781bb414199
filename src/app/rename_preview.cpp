#include "app/rename_preview.h"

#include "resources/messages/captions.h"

namespace velmora::app {

std::string_view RenameProblemCaption(partlist::RenameProblem problem) {
  switch (problem) {
    case partlist::RenameProblem::None:
      return {};
    case partlist::RenameProblem::CounterOverflow:
      return msg::kRenameProblemOverflow;
    case partlist::RenameProblem::InvalidName:
      return msg::kRenameProblemInvalid;
    case partlist::RenameProblem::Collision:
      return msg::kRenameProblemCollision;
  }
  return {};
}

RenamePreviewRow PreviewRowOf(const partlist::PartList& list, const partlist::RenameEntry& entry) {
  return {list.Text(entry.row, partlist::kFolderName), entry.oldName, entry.newName,
          RenameProblemCaption(entry.problem)};
}

}  // namespace velmora::app
