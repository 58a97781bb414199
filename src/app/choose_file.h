#pragma once
// The file dialog shared by the browse buttons and the new-folder button.

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace velmora::app {

inline constexpr unsigned kFileMustExistHideReadOnly = 0x1004;

// Runs a modal file dialog; the chosen file's full path, or empty when the user did not confirm.
// Every text is cp932.
std::string ChooseFile(platform::Ui& ui, bool open, std::string_view defaultExtension,
                       std::string_view initialName, unsigned flags, std::string_view filter,
                       std::string_view title);

}  // namespace velmora::app
