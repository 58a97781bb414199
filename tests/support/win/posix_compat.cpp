#include "posix_compat.h"

#include <direct.h>
#include <errno.h>
#include <string.h>

#include <random>

extern "C" {

int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name) != nullptr)
    return 0;
  // An empty value would remove the variable.
  return _putenv_s(name, value[0] == '\0' ? " " : value) == 0 ? 0 : -1;
}

int unsetenv(const char* name) {
  return _putenv_s(name, "") == 0 ? 0 : -1;
}

char* mkdtemp(char* pattern) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  const std::size_t length = strlen(pattern);
  if (length < 6)
    return nullptr;
  std::random_device seed;
  std::minstd_rand random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = length - 6; i < length; ++i)
      pattern[i] = kLetters[random() % (sizeof kLetters - 1)];
    if (_mkdir(pattern) == 0)
      return pattern;
    if (errno != EEXIST)
      return nullptr;
  }
  return nullptr;
}

}  // extern "C"
