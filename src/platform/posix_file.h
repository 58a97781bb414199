#pragma once
// RAII for host files below the Host seam: a descriptor closed on every path out, and the
// temporary file of an atomic write, removed unless it was renamed into place.

#include <string>
#include <string_view>

namespace velmora::platform {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return fd_; }
  // Closes now and reports the result; the destructor then does nothing.
  bool Close();

 private:
  int fd_;
};

class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& Path() const { return path_; }
  // It has been renamed into place: nothing to remove.
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// Writes all bytes, going on after interrupted and short writes. False on an error.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace velmora::platform
