// The resource script can only read its ids as macros: each one must stay the value both windows
// know the control by.
#include <windows.h>

#include "app/control_ids.h"
#include "app/win/resource.h"

namespace velmora::app::win {
namespace {

constexpr bool Same(int macro, ControlId id) {
  return macro == static_cast<int>(id);
}

static_assert(Same(IDC_STATIC, ControlId::Static));
static_assert(Same(IDOK, ControlId::Execute));
static_assert(Same(IDCANCEL, ControlId::Quit));
static_assert(Same(IDC_PART_LIST, ControlId::PartList));
static_assert(Same(IDC_EDIT_TOOL_PATH, ControlId::EditToolPath));
static_assert(Same(IDC_BROWSE_PC_TOOL, ControlId::BrowsePcTool));
static_assert(Same(IDC_INPUT_PART_PATH, ControlId::InputPartPath));
static_assert(Same(IDC_BROWSE_INPUT_PART, ControlId::BrowseInputPart));
static_assert(Same(IDC_PC_TOOL_PATH, ControlId::PcToolPath));
static_assert(Same(IDC_LOWER_ALL_PARTS, ControlId::LowerAllParts));
static_assert(Same(IDC_UPPER_ALL_PARTS, ControlId::UpperAllParts));
static_assert(Same(IDC_LOWER_ALL_FOLDERS, ControlId::LowerAllFolders));
static_assert(Same(IDC_REMOVE_ALL_FOLDERS, ControlId::RemoveAllFolders));
static_assert(Same(IDC_INSPECT, ControlId::Inspect));
static_assert(Same(IDC_BROWSE_EDIT_TOOL, ControlId::BrowseEditTool));
static_assert(Same(IDC_APPLY_TO_SAME_FOLDERS, ControlId::ApplyToSameFolders));
static_assert(Same(IDC_SWAP_INPUT_AFTER_RUN, ControlId::SwapInputAfterRun));
static_assert(Same(IDC_COPY_MISSING_FILES, ControlId::CopyMissingFiles));
static_assert(Same(IDC_INPUT_PART_ONLY, ControlId::InputPartOnly));
static_assert(Same(IDC_NEW_FOLDER, ControlId::ChooseNewFolder));
static_assert(Same(IDC_OVERWRITE_ALL, ControlId::OverwriteAll));
static_assert(Same(IDC_CLEAR_NEW_FOLDER, ControlId::ClearNewFolder));
static_assert(Same(IDC_CHANGE, ControlId::Change));
static_assert(Same(IDC_ALLOW_REPLACE_ALL, ControlId::AllowReplaceAll));
static_assert(Same(IDC_FAST_SCHEDULE, ControlId::FastSchedule));
static_assert(Same(IDC_HELP_COMMAND, ControlId::Help));

}  // namespace
}  // namespace velmora::app::win
