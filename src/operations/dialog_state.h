#pragma once
// What the main dialog holds for longer than one handler: the three path fields, the options, the
// operation choice and the part list. Every operation reads and writes these.

#include <string>

#include "partlist/part_list.h"

namespace velmora::operations {

enum class Operation : int {
  Inspect = 0,
  Change = 1,
  LowerAllFolders = 2,
  LowerAllParts = 3,
  UpperAllParts = 4,
  RemoveAllFolders = 5,
};

// Each option is a plain flag, 0 off and 1 on, with the defaults of a fresh start.
struct Options {
  int swapInputAfterRun = 1;
  int applyToSameFolders = 0;
  int copyMissingFiles = 1;
  int inputPartOnly = 0;
  int overwriteAll = 0;
  int allowReplaceAll = 1;
  // The same plan carried out with each file done once and tools side by side.
  int fastSchedule = 0;
};

struct DialogState {
  std::string inputPartPath;  // cp932; empty when nothing is chosen
  std::string pcToolPath;
  std::string editToolPath;
  partlist::PartList partList;
  Options options;
  Operation operation = Operation::Inspect;
};

}  // namespace velmora::operations
