#pragma once
// A C-runtime-like buffered stream opened in Windows text mode: "\n" is written as CR LF, CR LF is
// read as "\n", and Tell/Seek use raw file offsets so that a remembered position can be returned to.

#include <memory>
#include <string>
#include <string_view>

namespace velmora::platform {

inline constexpr int kEof = -1;

// ReadBinary reads every byte as it stands (a file in another encoding, where CR LF or Ctrl+Z
// may be part of a character). CreateText writes as WriteText, but only a file it makes: it fails
// when something is at the path, so that of two programs only one gets it.
enum class OpenMode { ReadText, WriteText, ReadBinary, CreateText };

class TextStream {
 public:
  virtual ~TextStream() = default;

  // Next byte (0..255), or kEof at end of file or on a read error (which sets Error()).
  virtual int Getc() = 0;
  // The end-of-file indicator: set by a read that found the end, cleared by Seek and Rewind.
  [[nodiscard]] virtual bool Eof() const = 0;
  // The error indicator: set by a failed read or write, cleared by Rewind.
  [[nodiscard]] virtual bool Error() const = 0;
  // Writes text, turning "\n" into CR LF. A failure sets the error indicator.
  virtual void Puts(std::string_view text) = 0;
  // Raw byte offset from the start of the file, -1 on failure.
  virtual long long Tell() = 0;
  // To a raw offset from the start. True on success.
  virtual bool Seek(long long offset) = 0;
  // To the start, clearing both indicators.
  virtual void Rewind() = 0;
  // Flushes and closes. True on success. Closing a closed stream does nothing and returns true.
  // The destructor closes a stream still open.
  virtual bool Close() = 0;
  [[nodiscard]] virtual bool IsOpen() const = 0;
};

// Opens a host file (UTF-8 path). nullptr when it cannot be opened. WriteText creates or truncates.
std::unique_ptr<TextStream> OpenHostTextStream(const std::string& hostPath, OpenMode mode);

}  // namespace velmora::platform
