#include "support/scripted_ui.h"

#include "text/codec.h"

namespace velmora::testing {

void ScriptedUi::ShowMessage(std::string_view text) {
  messagesOverProgress += progressShown ? 1 : 0;
  messages.push_back(text::ToDisplayUtf8(text));
}

bool ScriptedUi::AskYesNo(std::string_view text) {
  questions.push_back(text::ToDisplayUtf8(text));
  if (answers.empty())
    return false;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string ScriptedUi::ChooseFile(const platform::FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (files.empty())
    return {};
  std::string path = files.front();
  files.pop_front();
  return path;
}

std::string ScriptedUi::ChooseFolder(const platform::FolderDialogRequest& request) {
  folderRequests.push_back(request);
  if (folders.empty())
    return {};
  std::string path = folders.front();
  folders.pop_front();
  return path;
}

void ScriptedUi::BeginWaitCursor() {
  ++waitCursorDepth;
  ++waitCursorShown;
}

void ScriptedUi::EndWaitCursor() {
  if (waitCursorDepth > 0)
    --waitCursorDepth;
}

platform::ClipboardFailure ScriptedUi::CopyToClipboard(std::string_view text) {
  ++clipboardCalls;
  if (clipboardFailure == platform::ClipboardFailure::None)
    clipboard = std::string(text);
  return clipboardFailure;
}

bool ScriptedUi::ExchangeData(bool fromControls) {
  if (exchangeFails)
    return false;
  if (state_ == nullptr)
    return true;
  if (fromControls) {
    state_->options = controlOptions;
    state_->operation = controlOperation;
  } else {
    controlOptions = state_->options;
    controlOperation = state_->operation;
  }
  return true;
}

void ScriptedUi::BeginProgress(int total) {
  progressTotals.push_back(total);
  progressShown = true;
}

bool ScriptedUi::Progress(int step, std::string_view fileName) {
  progressPoints.push_back({step, text::ToDisplayUtf8(fileName)});
  return cancelAtStep > 0 && step == cancelAtStep;
}

void ScriptedUi::EndProgress() {
  ++progressEnds;
  progressShown = false;
}

}  // namespace velmora::testing
