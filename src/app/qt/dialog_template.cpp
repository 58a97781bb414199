#include "app/qt/dialog_template.h"

#include "resources/messages/captions.h"

namespace velmora::app::qt {

namespace {

using enum ControlKind;

constexpr ControlSpec kTemplate[] = {
    {ControlId::Static, Label, msg::kLabelEditTool, 5, 5, 80, 15, "editToolLabel"},
    {ControlId::EditToolPath, PathField, {}, 90, 5, 415, 15, "editToolPath"},
    {ControlId::BrowseEditTool, Button, msg::kButtonBrowseEditTool, 510, 5, 45, 15, "browseEditTool"},
    {ControlId::Static, Label, msg::kLabelPcTool, 5, 25, 80, 15, "pcToolLabel"},
    {ControlId::PcToolPath, PathField, {}, 90, 25, 415, 15, "pcToolPath"},
    {ControlId::BrowsePcTool, Button, msg::kButtonBrowsePcTool, 510, 25, 45, 15, "browsePcTool"},
    {ControlId::Static, Label, msg::kLabelInputPart, 5, 45, 80, 15, "inputPartLabel"},
    {ControlId::InputPartPath, PathField, {}, 90, 45, 415, 15, "inputPartPath"},
    {ControlId::BrowseInputPart, Button, msg::kButtonBrowseInputPart, 510, 45, 45, 15, "browseInputPart"},
    {ControlId::ApplyToSameFolders, Check, msg::kCheckApplyToSameFolders, 5, 65, 120, 15,
     "applyToSameFolders"},
    {ControlId::ChooseNewFolder, Button, msg::kButtonChooseNewFolder, 130, 65, 95, 15, "chooseNewFolder"},
    {ControlId::ClearNewFolder, Button, msg::kButtonClearNewFolder, 230, 65, 105, 15, "clearNewFolder"},
    {ControlId::FastSchedule, Check, msg::kCheckFastSchedule, 340, 65, 65, 15, "fastSchedule"},
    {ControlId::InputPartOnly, Check, msg::kCheckInputPartOnly, 5, 85, 100, 15, "inputPartOnly"},
    {ControlId::OverwriteAll, Check, msg::kCheckOverwriteAll, 105, 85, 85, 15, "overwriteAll"},
    {ControlId::AllowReplaceAll, Check, msg::kCheckAllowReplaceAll, 190, 85, 100, 15, "allowReplaceAll"},
    {ControlId::CopyMissingFiles, Check, msg::kCheckCopyMissingFiles, 290, 85, 130, 15, "copyMissingFiles"},
    {ControlId::SwapInputAfterRun, Check, msg::kCheckSwapInputAfterRun, 420, 85, 140, 15,
     "swapInputAfterRun"},
    {ControlId::Static, Group, msg::kGroupOperation, 5, 105, 540, 30, "operationGroup"},
    {ControlId::Inspect, Radio, msg::kRadioInspect, 10, 115, 45, 15, "inspect"},
    {ControlId::Change, Radio, msg::kRadioChange, 55, 115, 45, 15, "change"},
    {ControlId::LowerAllFolders, Radio, msg::kRadioLowerAllFolders, 100, 115, 115, 15, "lowerAllFolders"},
    {ControlId::LowerAllParts, Radio, msg::kRadioLowerAllParts, 215, 115, 105, 15, "lowerAllParts"},
    {ControlId::UpperAllParts, Radio, msg::kRadioUpperAllParts, 320, 115, 105, 15, "upperAllParts"},
    {ControlId::RemoveAllFolders, Radio, msg::kRadioRemoveAllFolders, 425, 115, 115, 15, "removeAllFolders"},
    {ControlId::PartList, List, {}, 5, 145, 550, 35, "partList"},
    {ControlId::Execute, DefaultButton, msg::kButtonExecute, 410, 65, 45, 15, "execute"},
    {ControlId::Quit, Button, msg::kButtonQuit, 460, 65, 45, 15, "quit"},
    {ControlId::Help, Button, msg::kButtonHelp, 510, 65, 45, 15, "help"},
};

}  // namespace

std::span<const ControlSpec> DialogTemplate() {
  return kTemplate;
}

// Base units 7 × 13, rounded as the platform's MulDiv rounds.
int UnitsToPixelsX(int units) {
  return (units * 7 + 2) / 4;
}
int UnitsToPixelsY(int units) {
  return (units * 13 + 4) / 8;
}

}  // namespace velmora::app::qt
