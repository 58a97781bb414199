#pragma once

#include <string>

namespace velmora::partlist {

// The ten columns of the list, left to right.
enum Column : int {
  kNewPartName = 0,
  kPartName = 1,
  kFolderName = 2,
  kNewFolderName = 3,
  kEdited = 4,
  kBefore = 5,
  kAfter = 6,
  kDuplicate = 7,
  kParent = 8,
  kNumber = 9,
};
inline constexpr int kColumnCount = 10;

// One part file of the assembly. All texts are cp932.
struct PartRow {
  std::string newPartName;
  std::string partName;
  std::string folderName;  // ends with "\"
  std::string newFolderName;
  std::string edited;
  std::string before;
  std::string after;
  std::string duplicate;
  std::string parent;
  std::string number;
  int itemData = 0;

  [[nodiscard]] const std::string& Cell(int column) const;
  std::string& Cell(int column);
};

}  // namespace velmora::partlist
