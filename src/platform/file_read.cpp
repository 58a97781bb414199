// The read loops, the same on both platforms: the C runtime of Windows has read() too.

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/posix_file.h"

namespace velmora::platform {

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
