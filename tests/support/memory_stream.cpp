#include "support/memory_stream.h"

#include <utility>

namespace velmora::testing {

MemoryStream::MemoryStream(std::string bytes, Misuse misuse) : bytes_(std::move(bytes)), misuse_(misuse) {}

MemoryStream::MemoryStream(std::string* target) : target_(target) {}

bool MemoryStream::Misused() {
  if (misuse_ == Misuse::Trap)
    __builtin_trap();
  return false;
}

int MemoryStream::Getc() {
  if (!open_ || target_ != nullptr) {
    static_cast<void>(Misused());
    error_ = true;
    return platform::kEof;
  }
  if (position_ + 1 < bytes_.size() && bytes_[position_] == '\r' && bytes_[position_ + 1] == '\n')
    ++position_;
  if (position_ >= bytes_.size()) {
    eof_ = true;
    return platform::kEof;
  }
  return static_cast<unsigned char>(bytes_[position_++]);
}

void MemoryStream::Puts(std::string_view text) {
  if (!open_ || target_ == nullptr) {
    static_cast<void>(Misused());
    error_ = true;
    return;
  }
  for (const char c : text) {
    if (c == '\n')
      *target_ += '\r';
    *target_ += c;
  }
}

long long MemoryStream::Tell() {
  if (!open_) {
    static_cast<void>(Misused());
    return -1;
  }
  return static_cast<long long>(target_ != nullptr ? target_->size() : position_);
}

bool MemoryStream::Seek(long long offset) {
  // Only positions a reader was told come back, so one past the bytes is a fault of the reader.
  if (!open_ || target_ != nullptr || offset < 0 || static_cast<std::size_t>(offset) > bytes_.size())
    return Misused();
  position_ = static_cast<std::size_t>(offset);
  eof_ = false;
  return true;
}

void MemoryStream::Rewind() {
  position_ = 0;
  eof_ = error_ = false;
}

bool MemoryStream::Close() {
  if (!open_) {
    // A closed stream closes again without complaint, as a file does; under a fuzzer the reader
    // that does so has lost track of it.
    if (misuse_ == Misuse::Trap)
      __builtin_trap();
    return true;
  }
  open_ = false;
  return true;
}

}  // namespace velmora::testing
