#pragma once
// The file dialog shared by the browse buttons and the new-folder button.

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace velmora::app {

inline constexpr unsigned kFileMustExistHideReadOnly = 0x1004;
inline constexpr unsigned kOverwritePromptHideReadOnly = 0x0006;

// Runs a modal file dialog; the chosen file's full path, or empty when the user did not confirm.
// Every text is cp932. The dialog opens in initialFolder, or the working directory when empty.
std::string ChooseFile(platform::Ui& ui, bool open, std::string_view defaultExtension,
                       std::string_view initialName, unsigned flags, std::string_view filter,
                       std::string_view title, std::string_view initialFolder = {});

// The folder part of a Windows path, its final "\" included; empty when it has none.
std::string FolderOf(std::string_view path);

}  // namespace velmora::app
