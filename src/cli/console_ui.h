#pragma once
// The dialog's user interface on a console: every message on standard error in the terminal's
// encoding, no dialog but the answers given on the command line, the run's progress on a terminal
// (or a line a file with --verbose), and a question only where a terminal can answer it.

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "operations/dialog_state.h"
#include "platform/ui.h"

namespace velmora::cli {

// Standard output and error in UTF-8 under a UTF-8 locale, cp932 otherwise.
class Console {
 public:
  Console();
  [[nodiscard]] bool Utf8() const { return utf8_; }
  // cp932 text on a stream, in the console's encoding.
  void Write(std::FILE* stream, std::string_view cp932) const;
  // Text as the command line gave it, unchanged.
  static void WriteGiven(std::FILE* stream, std::string_view given);
  // Text as the command line gave it (the console's encoding) in cp932; nullopt when it has
  // characters cp932 lacks.
  [[nodiscard]] std::optional<std::string> ToCp932(std::string_view given) const;
  // The same text in UTF-8, as host paths are spelt.
  [[nodiscard]] std::string ToUtf8(std::string_view given) const;
  [[nodiscard]] static bool IsTerminal(std::FILE* stream);

 private:
  bool utf8_ = true;
};

struct ConsoleSettings {
  bool yes = false;      // undo's question answered Yes
  bool verbose = false;  // a line for each file when standard error is no terminal
};

class ConsoleUi final : public platform::Ui {
 public:
  ConsoleUi(const Console& console, ConsoleSettings settings);
  void Attach(operations::DialogState& state) { state_ = &state; }

  // What the controls hold, taken by the dialog's exchange.
  operations::Options options;
  operations::Operation operation = operations::Operation::Inspect;
  // The answers of the file dialogs, cp932 Windows paths, in the order they are asked.
  std::deque<std::string> files;

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::string ChooseFile(const platform::FileDialogRequest& request) override;
  std::string ChooseFolder(const platform::FolderDialogRequest& request) override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  platform::ClipboardFailure CopyToClipboard(std::string_view text) override;
  bool ExchangeData(bool fromControls) override;
  void BeginProgress(int total) override;
  bool Progress(int step, std::string_view fileName) override;
  void EndProgress() override;

 private:
  void ClearProgressLine();

  const Console* console_;
  ConsoleSettings settings_;
  operations::DialogState* state_ = nullptr;
  bool terminal_;
  int total_ = 0;
  bool lineShown_ = false;
};

}  // namespace velmora::cli
