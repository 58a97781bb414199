#pragma once
// What the reader fuzzers share: the input bytes as a text-mode stream that traps on misuse, and a
// user interface that shows nothing.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ui.h"
#include "support/memory_stream.h"

namespace velmora::fuzzing {

// The input bytes as a text-mode stream that traps on misuse.
inline testing::MemoryStream BytesStream(std::string_view bytes) {
  return testing::MemoryStream(std::string(bytes), testing::MemoryStream::Misuse::Trap);
}

class SilentUi final : public platform::Ui {
 public:
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  std::string ChooseFile(const platform::FileDialogRequest&) override { return {}; }
  std::string ChooseFolder(const platform::FolderDialogRequest&) override { return {}; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  platform::ClipboardFailure CopyToClipboard(std::string_view) override {
    return platform::ClipboardFailure::None;
  }
  bool ExchangeData(bool) override { return true; }
};

}  // namespace velmora::fuzzing
