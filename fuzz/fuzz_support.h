#pragma once
// What the reader fuzzers share: the input bytes as a text-mode stream that traps on misuse, and a
// user interface that shows nothing.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_stream.h"
#include "platform/ui.h"

namespace velmora::fuzzing {

class BytesStream final : public platform::TextStream {
 public:
  explicit BytesStream(std::string_view bytes) : bytes_(bytes) {}

  int Getc() override {
    if (!open_)
      __builtin_trap();  // read after close
    if (position_ >= bytes_.size()) {
      eof_ = true;
      return platform::kEof;
    }
    const auto c = static_cast<unsigned char>(bytes_[position_++]);
    if (c == '\r' && position_ < bytes_.size() && bytes_[position_] == '\n') {
      ++position_;
      return '\n';
    }
    return c;
  }
  bool Eof() const override { return eof_; }
  bool Error() const override { return false; }
  void Puts(std::string_view) override {}
  long long Tell() override { return static_cast<long long>(position_); }
  bool Seek(long long offset) override {
    if (offset < 0 || static_cast<std::size_t>(offset) > bytes_.size())
      __builtin_trap();  // only positions a reader remembered come back
    position_ = static_cast<std::size_t>(offset);
    eof_ = false;
    return true;
  }
  void Rewind() override { Seek(0); }
  bool Close() override {
    if (!open_)
      __builtin_trap();  // a caller closed what a failing reader had closed already
    open_ = false;
    return true;
  }
  bool IsOpen() const override { return open_; }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
  bool eof_ = false;
  bool open_ = true;
};

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
