#include "cli/console_ui.h"

#include <clocale>
#include <cstring>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <langinfo.h>
#include <unistd.h>
#endif

#include "resources/messages/cli.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::cli {

Console::Console() {
#ifdef _WIN32
  utf8_ = GetConsoleOutputCP() == CP_UTF8;
#else
  std::setlocale(LC_ALL, "");
  const char* codeset = nl_langinfo(CODESET);
  utf8_ = codeset != nullptr && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
  // Only the encoding is wanted from the locale: numbers and the rest stay as the program writes them.
  std::setlocale(LC_ALL, "C");
#endif
}

void Console::Write(std::FILE* stream, std::string_view cp932) const {
  const std::string shown = utf8_ ? text::ToDisplayUtf8(cp932) : std::string(cp932);
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fflush(stream);
}

void Console::WriteGiven(std::FILE* stream, std::string_view given) {
  std::fwrite(given.data(), 1, given.size(), stream);
  std::fflush(stream);
}

std::optional<std::string> Console::ToCp932(std::string_view given) const {
  if (!utf8_)
    return std::string(given);
  text::CodecResult converted = text::Utf8ToCp932(given);
  if (!converted.ok)
    return std::nullopt;
  return std::move(converted.text);
}

std::string Console::ToUtf8(std::string_view given) const {
  return utf8_ ? std::string(given) : text::ToDisplayUtf8(given);
}

bool Console::IsTerminal(std::FILE* stream) {
#ifdef _WIN32
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

ConsoleUi::ConsoleUi(const Console& console, ConsoleSettings settings)
    : console_(&console), settings_(settings), terminal_(Console::IsTerminal(stderr)) {}

void ConsoleUi::ClearProgressLine() {
  if (lineShown_)
    console_->Write(stderr, "\r\x1b[K");
  lineShown_ = false;
}

void ConsoleUi::ShowMessage(std::string_view text) {
  ClearProgressLine();
  console_->Write(stderr, std::string(text) + "\n");
}

// Only undo asks here: a terminal answers it, --yes says Yes beforehand, anything else is No.
bool ConsoleUi::AskYesNo(std::string_view text) {
  ClearProgressLine();
  console_->Write(stderr, std::string(text) + "\n");
  if (settings_.yes)
    return true;
  if (!Console::IsTerminal(stdin) || !Console::IsTerminal(stderr)) {
    console_->Write(stderr, msg::kCliNoTerminalToAsk() + "\n");
    return false;
  }
  console_->Write(stderr, msg::kCliAnswerPrompt());
  std::string answer;
  if (!std::getline(std::cin, answer))
    return false;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

std::string ConsoleUi::ChooseFile(const platform::FileDialogRequest& request) {
  static_cast<void>(request);
  if (files.empty())
    return {};
  std::string path = std::move(files.front());
  files.pop_front();
  return path;
}

std::string ConsoleUi::ChooseFolder(const platform::FolderDialogRequest& request) {
  static_cast<void>(request);
  return {};
}

platform::ClipboardFailure ConsoleUi::CopyToClipboard(std::string_view text) {
  static_cast<void>(text);
  return platform::ClipboardFailure::Open;
}

bool ConsoleUi::ExchangeData(bool fromControls) {
  if (fromControls && state_ != nullptr) {
    state_->options = options;
    state_->operation = operation;
  }
  return true;
}

void ConsoleUi::BeginProgress(int total) {
  total_ = total;
}

bool ConsoleUi::Progress(int step, std::string_view fileName) {
  const std::string line =
      text::FormatInt(step) + " / " + text::FormatInt(total_) + " " + std::string(fileName);
  if (terminal_) {
    ClearProgressLine();
    console_->Write(stderr, line);
    lineShown_ = true;
  } else if (settings_.verbose) {
    console_->Write(stderr, line + "\n");
  }
  return false;
}

void ConsoleUi::EndProgress() {
  ClearProgressLine();
  total_ = 0;
}

}  // namespace velmora::cli
