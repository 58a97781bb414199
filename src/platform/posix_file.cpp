#include "platform/posix_file.h"

#include <errno.h>
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

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
  ssize_t got = 0;
  do {
    got = ::read(fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

bool ReadToEnd(int fd, std::string& out, std::size_t sizeHint) {
  std::size_t got = out.size();
  // One byte more than expected, so that the end shows without growing the buffer.
  out.resize(got + std::max<std::size_t>(sizeHint + 1, 4096));
  for (;;) {
    if (got == out.size())
      out.resize(out.size() * 2);
    const ssize_t n = ReadSome(fd, out.data() + got, out.size() - got);
    if (n <= 0) {
      const int error = errno;
      out.resize(got);
      errno = error;
      return n == 0;
    }
    got += static_cast<std::size_t>(n);
  }
}

}  // namespace velmora::platform
