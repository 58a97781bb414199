#include "partlist/part_row.h"

#include <exception>

namespace velmora::partlist {

std::string& PartRow::Cell(int column) {
  switch (column) {
    case kNewPartName:
      return newPartName;
    case kPartName:
      return partName;
    case kFolderName:
      return folderName;
    case kNewFolderName:
      return newFolderName;
    case kEdited:
      return edited;
    case kBefore:
      return before;
    case kAfter:
      return after;
    case kDuplicate:
      return duplicate;
    case kParent:
      return parent;
    case kNumber:
      return number;
    default:
      // A column outside 0..9 is a programming error; writing into some other cell would hide it.
      std::terminate();
  }
}

const std::string& PartRow::Cell(int column) const {
  static const std::string kNone;
  if (column < 0 || column >= kColumnCount)
    return kNone;
  return const_cast<PartRow*>(this)->Cell(column);
}

}  // namespace velmora::partlist
