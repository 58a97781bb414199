#include "cad/tools/tool_io.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/posix_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#endif

namespace velmora::cad {

bool Injected(const char* variable, std::string_view option) {
  const char* value = std::getenv(variable);
  if (value == nullptr)
    return false;
  std::string_view list(value);
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    while (!item.empty() && item.front() == ' ')
      item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ')
      item.remove_suffix(1);
    if (item == option)
      return true;
    if (comma == std::string_view::npos)
      break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

int InjectedMilliseconds(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr)
    return 0;
  const std::string_view text(value);
  int milliseconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), milliseconds);
  if (error != std::errc() || end != text.data() + text.size() || milliseconds <= 0)
    return 0;
  return milliseconds;
}

void InjectedDelay() {
  if (const int milliseconds = InjectedMilliseconds("VELMORA_CAD_DELAY_MS"); milliseconds > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void InjectedHang(std::string_view option) {
  if (!Injected("VELMORA_CAD_HANG", option))
    return;
  for (;;)
    std::this_thread::sleep_for(std::chrono::seconds(1));
}

void InjectedCrash(std::string_view option) {
  if (!Injected("VELMORA_CAD_CRASH", option))
    return;
  std::fflush(nullptr);
#ifdef _WIN32
  // What an access violation leaves as the exit code, without the debugger it would start.
  TerminateProcess(GetCurrentProcess(), 0xC0000005);
#else
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  signal(SIGSEGV, SIG_DFL);
  raise(SIGSEGV);
#endif
}

bool WriteText(std::FILE* stream, std::string_view text) {
  std::string converted;
  converted.reserve(text.size() + text.size() / 16);
  for (const char ch : text) {
    if (ch == '\n')
      converted.push_back('\r');
    converted.push_back(ch);
  }
  platform::WriteBytesAsGiven(stream);
  const bool written = std::fwrite(converted.data(), 1, converted.size(), stream) == converted.size();
  return std::fflush(stream) == 0 && written;
}

int Fail(std::string_view tool, std::string_view message) {
  std::string line(tool);
  line.append(": ").append(message).push_back('\n');
  WriteText(stderr, line);
  return 1;
}

}  // namespace velmora::cad
