#pragma once
// A text-mode stream over bytes held in memory, as a file opened by the C runtime would be: CR LF
// reads as "\n", "\n" is written as CR LF, Tell and Seek use raw offsets. Needs no test framework,
// so the fuzz targets use it too.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_stream.h"

namespace velmora::testing {

class MemoryStream final : public platform::TextStream {
 public:
  // What misuse does: a read after closing, a write to a read stream, a seek to a place never told
  // or a second close. Report fails the call as a file would; Trap stops the program, for a fuzzer
  // that must notice a reader breaking the stream protocol.
  enum class Misuse { Report, Trap };

  // Reads a copy of the bytes (as on disk).
  explicit MemoryStream(std::string bytes, Misuse misuse = Misuse::Report);
  // Writes into target, which outlives the stream.
  explicit MemoryStream(std::string* target);

  int Getc() override;
  [[nodiscard]] bool Eof() const override { return eof_; }
  [[nodiscard]] bool Error() const override { return error_; }
  void Puts(std::string_view text) override;
  long long Tell() override;
  bool Seek(long long offset) override;
  void Rewind() override;
  bool Close() override;
  [[nodiscard]] bool IsOpen() const override { return open_; }

 private:
  // Reports a misuse (false) or traps.
  bool Misused();

  std::string bytes_;
  std::string* target_ = nullptr;
  Misuse misuse_ = Misuse::Report;
  std::size_t position_ = 0;
  bool open_ = true;
  bool eof_ = false;
  bool error_ = false;
};

}  // namespace velmora::testing
