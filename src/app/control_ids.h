#pragma once
// The ids of the main dialog's controls, one table for both windows: the Qt window builds its
// template from them and the Windows resource script's ids are checked against them.

namespace velmora::app {

enum class ControlId : int {
  // Labels and the group box: no handler ever asks for them.
  Static = -1,
  // The dialog's own ids for its default and cancel buttons.
  Execute = 1,
  Quit = 2,
  PartList = 1004,
  EditToolPath = 1005,
  BrowsePcTool = 1006,
  InputPartPath = 1007,
  BrowseInputPart = 1008,
  PcToolPath = 1009,
  LowerAllParts = 1012,
  UpperAllParts = 1013,
  LowerAllFolders = 1014,
  RemoveAllFolders = 1015,
  Inspect = 1016,
  BrowseEditTool = 1017,
  ApplyToSameFolders = 1018,
  SwapInputAfterRun = 1019,
  CopyMissingFiles = 1020,
  InputPartOnly = 1021,
  ChooseNewFolder = 1022,
  OverwriteAll = 1023,
  ClearNewFolder = 1024,
  Change = 1025,
  AllowReplaceAll = 1026,
  FastSchedule = 1027,
  Help = 57670,
};

}  // namespace velmora::app
