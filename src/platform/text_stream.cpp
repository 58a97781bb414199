#include "platform/text_stream.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/posix_file.h"

namespace velmora::platform {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

class FileTextStream final : public TextStream {
 public:
  FileTextStream(int fd, OpenMode mode) : fd_(fd), mode_(mode) { buffer_.reserve(kBufferSize); }
  ~FileTextStream() override { Close(); }
  FileTextStream(const FileTextStream&) = delete;
  FileTextStream& operator=(const FileTextStream&) = delete;

  int Getc() override {
    if (fd_ < 0 || mode_ == OpenMode::WriteText) {
      error_ = true;
      return kEof;
    }
    const int c = NextRaw(true);
    if (c != '\r' || mode_ == OpenMode::ReadBinary)
      return c;
    // CR LF is one "\n"; a CR on its own stays.
    if (PeekRaw() == '\n') {
      ++pos_;
      return '\n';
    }
    return c;
  }

  [[nodiscard]] bool Eof() const override { return eof_; }
  [[nodiscard]] bool Error() const override { return error_; }

  void Puts(std::string_view text) override {
    if (fd_ < 0 || mode_ != OpenMode::WriteText) {
      error_ = true;
      return;
    }
    for (const char c : text) {
      if (c == '\n')
        buffer_.push_back('\r');
      buffer_.push_back(c);
      if (buffer_.size() >= kBufferSize && !Flush())
        return;
    }
  }

  long long Tell() override {
    if (fd_ < 0)
      return -1;
    if (mode_ == OpenMode::WriteText)
      return start_ + static_cast<long long>(buffer_.size());
    return start_ + static_cast<long long>(pos_);
  }

  bool Seek(long long offset) override {
    if (fd_ < 0 || offset < 0)
      return false;
    if (mode_ == OpenMode::WriteText && !Flush())
      return false;
    if (lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
      return false;
    start_ = offset;
    buffer_.clear();
    pos_ = 0;
    eof_ = false;
    return true;
  }

  void Rewind() override {
    Seek(0);
    eof_ = false;
    error_ = false;
  }

  bool Close() override {
    if (fd_ < 0)
      return true;
    bool ok = mode_ != OpenMode::WriteText || Flush();
    if (close(fd_) != 0)
      ok = false;
    fd_ = -1;
    return ok;
  }

  [[nodiscard]] bool IsOpen() const override { return fd_ >= 0; }

 private:
  // The next raw byte; a read that finds the end sets the end-of-file indicator when asked to.
  int NextRaw(bool markEnd) {
    if (pos_ == buffer_.size() && !Fill(markEnd))
      return kEof;
    return static_cast<unsigned char>(buffer_[pos_++]);
  }

  int PeekRaw() {
    if (pos_ == buffer_.size() && !Fill(false))
      return kEof;
    return static_cast<unsigned char>(buffer_[pos_]);
  }

  bool Fill(bool markEnd) {
    start_ += static_cast<long long>(buffer_.size());
    buffer_.resize(kBufferSize);
    pos_ = 0;
    const ssize_t got = ReadSome(fd_, buffer_.data(), buffer_.size());
    if (got < 0) {
      buffer_.clear();
      error_ = true;
      return false;
    }
    buffer_.resize(static_cast<std::size_t>(got));
    if (got == 0 && markEnd)
      eof_ = true;
    return got > 0;
  }

  bool Flush() {
    const char* data = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
      const ssize_t written = write(fd_, data, left);
      if (written < 0 && errno == EINTR)
        continue;
      if (written <= 0) {
        // As the C runtime does, what could not be written is dropped.
        start_ += static_cast<long long>(data - buffer_.data());
        buffer_.clear();
        error_ = true;
        return false;
      }
      data += written;
      left -= static_cast<std::size_t>(written);
    }
    start_ += static_cast<long long>(buffer_.size());
    buffer_.clear();
    return true;
  }

  int fd_;
  OpenMode mode_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;  // next byte to read in buffer_
  long long start_ = 0;  // file offset of buffer_[0] (reading) or of the first unwritten byte
  bool eof_ = false;
  bool error_ = false;
};

}  // namespace

std::unique_ptr<TextStream> OpenHostTextStream(const std::string& hostPath, OpenMode mode) {
  const int flags = mode == OpenMode::WriteText    ? O_WRONLY | O_CREAT | O_TRUNC
                    : mode == OpenMode::CreateText ? O_WRONLY | O_CREAT | O_EXCL
                                                   : O_RDONLY;
  const int fd = open(hostPath.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0)
    return nullptr;
  struct stat st;
  // Windows cannot open a folder as a stream.
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<FileTextStream>(fd, mode == OpenMode::CreateText ? OpenMode::WriteText : mode);
}

}  // namespace velmora::platform
