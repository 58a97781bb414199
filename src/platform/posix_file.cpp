#include "platform/posix_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace velmora::platform {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0)
    ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  std::swap(fd_, other.fd_);
  return *this;
}

bool FileDescriptor::Close() {
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}

TemporaryFile::~TemporaryFile() {
  if (!path_.empty())
    ::unlink(path_.c_str());
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

int OpenHostFile(const std::string& hostPath, HostOpen how) {
  switch (how) {
    case HostOpen::Read:
      return ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    case HostOpen::CreateNew:
      return ::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    case HostOpen::Append:
      return ::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  return -1;
}

int CreateTemporaryHostFile(std::string& pattern) {
  return ::mkostemp(pattern.data(), O_CLOEXEC);
}

bool TakePermissions(int fd, const std::string& model) {
  struct stat old {};
  const mode_t mode = ::stat(model.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  return ::fchmod(fd, mode) == 0;
}

bool ReplaceHostFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveHostFile(const std::string& hostPath) {
  return ::unlink(hostPath.c_str()) == 0;
}

bool HostFileExists(const std::string& hostPath) {
  return ::access(hostPath.c_str(), F_OK) == 0;
}

bool SameHostFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

void WriteBytesAsGiven(std::FILE*) {}

std::string CurrentHostFolder() {
  std::string cwd(4096, '\0');
  if (::getcwd(cwd.data(), cwd.size()) == nullptr)
    return {};
  cwd.resize(cwd.find('\0'));
  return cwd;
}

}  // namespace velmora::platform
