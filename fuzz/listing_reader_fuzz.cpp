// Feeds arbitrary bytes to the listing reader, line after line, as a "-list" output file would.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text_stream.h"
#include "platform/ui.h"
#include "toolrunner/listing_reader.h"

namespace {

using namespace velmora;

class BytesStream final : public platform::TextStream {
 public:
  BytesStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  int Getc() override {
    if (!open_)
      return platform::kEof;
    if (position_ >= size_) {
      eof_ = true;
      return platform::kEof;
    }
    return data_[position_++];
  }
  bool Eof() const override { return eof_; }
  bool Error() const override { return false; }
  void Puts(std::string_view) override {}
  long long Tell() override { return static_cast<long long>(position_); }
  bool Seek(long long) override { return false; }
  void Rewind() override { position_ = 0; }
  bool Close() override {
    // A second close would be the reader's fault: the caller must not close again after a failure.
    if (!open_)
      __builtin_trap();
    open_ = false;
    return true;
  }
  bool IsOpen() const override { return open_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool open_ = true;
  bool eof_ = false;
};

class SilentUi final : public platform::Ui {
 public:
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  std::string ChooseFile(const platform::FileDialogRequest&) override { return {}; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  platform::ClipboardFailure CopyToClipboard(std::string_view) override {
    return platform::ClipboardFailure::None;
  }
  bool ExchangeData(bool) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilentUi ui;
  toolrunner::ListingReader reader(ui);
  BytesStream stream(data, size);
  while (!stream.Eof()) {
    if (reader.ReadListingLine(stream, "tail"))
      break;
    if (reader.Name().empty() || reader.Folder().empty())
      break;
    // A split line always ends its folder with the separator and keeps the name before " (".
    const std::string& folder = reader.Folder();
    if (folder.back() != '\\' || reader.Name().size() + folder.size() + 2 > size)
      __builtin_trap();
  }
  return 0;
}
