#pragma once
// A user interface for tests: records every text shown (as UTF-8), answers questions and file
// dialogs from queues, and models the dialog's controls for the data exchange.

#include <deque>
#include <string>
#include <vector>

#include "operations/dialog_state.h"
#include "platform/ui.h"

namespace velmora::testing {

class ScriptedUi : public platform::Ui {
 public:
  explicit ScriptedUi(operations::DialogState* state = nullptr) : state_(state) {}
  void Attach(operations::DialogState* state) { state_ = state; }

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::string ChooseFile(const platform::FileDialogRequest& request) override;
  std::string ChooseFolder(const platform::FolderDialogRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  platform::ClipboardFailure CopyToClipboard(std::string_view text) override;
  bool ExchangeData(bool fromControls) override;
  void BeginProgress(int total) override;
  bool Progress(int step, std::string_view fileName) override;
  void EndProgress() override;
  void WhileWaiting() override { ++waits; }
  bool StopRequested() override { return stopRequested; }

  // What was shown, in order, as UTF-8.
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<platform::FileDialogRequest> fileRequests;  // as asked, cp932
  // Answers: Yes/No questions (empty: No) and file dialogs (cp932 Windows paths; empty: cancel).
  std::deque<bool> answers;
  std::deque<std::string> files;
  std::vector<platform::FolderDialogRequest> folderRequests;
  std::deque<std::string> folders;  // answers of the folder chooser, as files

  // The controls as the user left them; ExchangeData(true) copies them into the state.
  operations::Options controlOptions;
  operations::Operation controlOperation = operations::Operation::Inspect;
  bool exchangeFails = false;

  int waitCursorDepth = 0;  // nesting now
  int waitCursorShown = 0;  // how often it was begun

  platform::ClipboardFailure clipboardFailure = platform::ClipboardFailure::None;
  std::string clipboard;  // cp932, as handed over
  int clipboardCalls = 0;

  // The progress: each run's total, each point reached (step, file as UTF-8) and how often it
  // ended. cancelAtStep > 0 answers "stop" at the first point of that step.
  struct ProgressPoint {
    int step;
    std::string file;
    bool operator==(const ProgressPoint&) const = default;
  };
  std::vector<int> progressTotals;
  std::vector<ProgressPoint> progressPoints;
  int progressEnds = 0;
  bool progressShown = false;
  int cancelAtStep = 0;
  int messagesOverProgress = 0;  // messages shown while the progress window was up
  int waits = 0;
  bool stopRequested = false;  // what StopRequested answers

  // The last message, or "" when none was shown.
  std::string Last() const { return messages.empty() ? std::string() : messages.back(); }

 private:
  operations::DialogState* state_;
};

}  // namespace velmora::testing
