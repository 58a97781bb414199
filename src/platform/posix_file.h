#pragma once
// RAII for host files below the Host seam: a descriptor closed on every path out, and the
// temporary file of an atomic write, removed unless it was renamed into place. With them, the few
// file calls the stand-in CAD system makes on host paths (UTF-8, "/" between components), one
// implementation per platform.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;

  [[nodiscard]] int Get() const { return fd_; }
  // Closes now and reports the result; the destructor then does nothing.
  bool Close();

 private:
  int fd_ = -1;
};

class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  [[nodiscard]] const std::string& Path() const { return path_; }
  // It has been renamed into place: nothing to remove.
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// Writes all bytes, going on after interrupted and short writes. False on an error.
bool WriteAll(int fd, std::string_view bytes);

// One read, repeated when a signal interrupted it: what read() returns otherwise.
[[nodiscard]] ssize_t ReadSome(int fd, char* buffer, std::size_t size);
// Appends everything up to the end of the file to out. sizeHint (the file's size, when known)
// lets the whole file arrive in one read. False on an error, with errno telling which.
[[nodiscard]] bool ReadToEnd(int fd, std::string& out, std::size_t sizeHint = 0);

enum class HostOpen { Read, CreateNew, Append };
// A descriptor (binary, not inherited), or -1 with errno set.
int OpenHostFile(const std::string& hostPath, HostOpen how);
// Creates a new empty file named from `pattern`, whose last six characters are "XXXXXX" and are
// replaced; -1 with errno set on failure.
int CreateTemporaryHostFile(std::string& pattern);
// Gives the file the permissions of the file at `model`, or the usual ones when there is none.
bool TakePermissions(int fd, const std::string& model);
// Puts `from` in the place of `to`, replacing a file there.
bool ReplaceHostFile(const std::string& from, const std::string& to);
bool RemoveHostFile(const std::string& hostPath);
bool HostFileExists(const std::string& hostPath);
// The two paths name one file (spelt differently, or linked).
bool SameHostFile(const std::string& a, const std::string& b);
// The current folder as a host path; empty when it cannot be told.
std::string CurrentHostFolder();
// Bytes written to the stream go out as they are (the C runtime of Windows would add a CR).
void WriteBytesAsGiven(std::FILE* stream);

}  // namespace velmora::platform
