// The three browse buttons: the two tools and the input part, each checked by its file name or
// extension before it reaches its field.

#include <string>

#include "app/choose_file.h"
#include "app/main_dialog.h"
#include "operations/list_building.h"
#include "resources/messages/session.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::app {
namespace {

struct ToolChoice {
  msg::Text title;
  std::string_view fileName;  // lower case, as compared
  msg::Text noSeparatorMessage;
  msg::Text wrongFileMessage;
};

// Re-opens the dialog after a wrong file until the user picks the tool or gives up; a cancel clears
// the field, so a tool chosen before is dropped.
void BrowseTool(platform::Ui& ui, std::string& field, const ToolChoice& choice) {
  const std::string filter = msg::kExeFilter();
  const std::string title = choice.title();
  // The tool chosen before is the likeliest place of its replacement; after a wrong file, where it was.
  std::string folder = FolderOf(field);
  for (;;) {
    std::string path = ChooseFile(ui, true, msg::kExeExtension, choice.fileName, kFileMustExistHideReadOnly,
                                  filter, title, folder);
    if (path.empty()) {
      field.clear();
      return;
    }
    const std::size_t separator = text::FindLast(path, '\\');
    if (separator == text::npos || separator == 0) {
      ui.ShowMessage(choice.noSeparatorMessage());
      field.clear();
      return;
    }
    if (text::ToLower(std::string_view(path).substr(separator + 1)) != choice.fileName) {
      ui.ShowMessage(choice.wrongFileMessage());
      folder = FolderOf(path);
      continue;
    }
    field = std::move(path);
    return;
  }
}

}  // namespace

std::string ChooseFile(platform::Ui& ui, bool open, std::string_view defaultExtension,
                       std::string_view initialName, unsigned flags, std::string_view filter,
                       std::string_view title, std::string_view initialFolder) {
  platform::FileDialogRequest request;
  request.open = open;
  request.defaultExtension = std::string(defaultExtension);
  request.initialName = std::string(initialName);
  request.flags = flags;
  request.filter = std::string(filter);
  request.title = std::string(title);
  request.initialFolder = std::string(initialFolder);
  return ui.ChooseFile(request);
}

std::string FolderOf(std::string_view path) {
  return std::string(text::FolderOf(path));
}

void MainDialog::BrowseEditTool() {
  BrowseTool(context_.ui, state_.editToolPath,
             {msg::kEditToolDialogTitle, msg::kEditToolFileName, msg::kEditToolNoSeparator,
              msg::kEditToolWrongFile});
}

void MainDialog::BrowsePcTool() {
  BrowseTool(context_.ui, state_.pcToolPath,
             {msg::kPcToolDialogTitle, msg::kPcToolFileName, msg::kPcToolNoSeparator, msg::kPcToolWrongFile});
}

void MainDialog::BrowseInputPart() {
  platform::Ui& ui = context_.ui;
  const std::string filter = msg::kPrtFilter();
  const std::string title = msg::kInputPartDialogTitle();
  std::string folder = FolderOf(state_.inputPartPath);
  if (folder.empty())
    folder = lastFolder_;
  for (;;) {
    std::string path = ChooseFile(ui, true, msg::kPrtExtension, msg::kPrtInitialName,
                                  kFileMustExistHideReadOnly, filter, title, folder);
    if (!path.empty())
      lastFolder_ = folder = FolderOf(path);
    if (path.empty()) {
      // The rows of the previous list stay; only the choice is gone.
      state_.inputPartPath.clear();
      return;
    }
    const std::size_t dot = text::FindLast(path, '.');
    if (dot == text::npos || dot == 0) {
      ui.ShowMessage(msg::kInputPartNoExtension());
      state_.inputPartPath.clear();
      return;
    }
    if (text::ToLower(std::string_view(path).substr(dot + 1)) != msg::kPrtExtension) {
      ui.ShowMessage(msg::kInputPartNotPrt());
      continue;
    }
    state_.inputPartPath = std::move(path);
    if (operations::BuildPartList(context_) == Step::Failed)
      state_.inputPartPath.clear();
    return;
  }
}

}  // namespace velmora::app
