// Text streams on Windows: the C runtime's own text mode does the CR LF translation.

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

#include "platform/text_stream.h"

namespace velmora::platform {
namespace {

class CrtTextStream final : public TextStream {
 public:
  CrtTextStream(FILE* file, OpenMode mode) : file_(file), mode_(mode) {}
  ~CrtTextStream() override { Close(); }
  CrtTextStream(const CrtTextStream&) = delete;
  CrtTextStream& operator=(const CrtTextStream&) = delete;

  int Getc() override {
    if (file_ == nullptr || mode_ == OpenMode::WriteText) {
      error_ = true;
      return kEof;
    }
    const int c = fgetc(file_);
    return c == EOF ? kEof : c;
  }
  bool Eof() const override { return file_ != nullptr && feof(file_) != 0; }
  bool Error() const override { return error_ || (file_ != nullptr && ferror(file_) != 0); }

  void Puts(std::string_view text) override {
    if (file_ == nullptr || mode_ != OpenMode::WriteText) {
      error_ = true;
      return;
    }
    if (!text.empty() && fwrite(text.data(), 1, text.size(), file_) != text.size())
      error_ = true;
  }

  long long Tell() override { return file_ == nullptr ? -1 : _ftelli64(file_); }
  bool Seek(long long offset) override {
    if (file_ == nullptr || _fseeki64(file_, offset, SEEK_SET) != 0)
      return false;
    // Some runtimes leave the end-of-file indicator set after a seek; a scan that read to the end
    // and came back would otherwise end the listing there.
    if (ferror(file_) == 0)
      clearerr(file_);
    return true;
  }
  void Rewind() override {
    error_ = false;
    if (file_ != nullptr)
      rewind(file_);
  }
  bool Close() override {
    if (file_ == nullptr)
      return true;
    FILE* const file = file_;
    file_ = nullptr;
    return fclose(file) == 0;
  }
  bool IsOpen() const override { return file_ != nullptr; }

 private:
  FILE* file_;
  OpenMode mode_;
  bool error_ = false;
};

}  // namespace

std::unique_ptr<TextStream> OpenHostTextStream(const std::string& hostPath, OpenMode mode) {
  if (mode == OpenMode::CreateText) {
    const int fd = _open(hostPath.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
    if (fd < 0)
      return nullptr;
    FILE* file = _fdopen(fd, "wt");
    if (file == nullptr) {
      _close(fd);
      return nullptr;
    }
    return std::make_unique<CrtTextStream>(file, OpenMode::WriteText);
  }
  const char* fopenMode = mode == OpenMode::WriteText ? "wt" : mode == OpenMode::ReadBinary ? "rb" : "rt";
  FILE* file = fopen(hostPath.c_str(), fopenMode);
  if (file == nullptr)
    return nullptr;
  return std::make_unique<CrtTextStream>(file, mode);
}

}  // namespace velmora::platform
