// The host on Windows: the platform's own services on Windows paths in the ANSI code page (cp932),
// nothing mapped.

#include <windows.h>
// windows.h spells the call as a macro; the seam has a member of that name.
#undef CopyFile

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "platform/host.h"

namespace velmora::platform {
namespace {

class WinProcess final : public Process {
 public:
  explicit WinProcess(HANDLE process) : process_(process) {}
  ~WinProcess() override {
    if (process_ != nullptr)
      ::CloseHandle(process_);
  }
  WinProcess(const WinProcess&) = delete;
  WinProcess& operator=(const WinProcess&) = delete;

  void Wait() override {
    if (process_ != nullptr)
      WaitForSingleObject(process_, INFINITE);
  }

  bool CloseHandle() override {
    const HANDLE process = process_;
    process_ = nullptr;
    return process != nullptr && ::CloseHandle(process) != 0;
  }

 private:
  HANDLE process_;
};

}  // namespace

RealHost::RealHost() : map_(PathMap::FromEnvironment()) {}

RealHost::RealHost(PathMap map) : map_(std::move(map)) {}

std::optional<std::string> RealHost::GetEnv(std::string_view name) {
  const char* value = getenv(std::string(name).c_str());
  if (value == nullptr)
    return std::nullopt;
  return std::string(value);
}

std::optional<FileStatus> RealHost::Stat(std::string_view path) {
  struct _stat st;
  if (_stat(std::string(path).c_str(), &st) != 0)
    return std::nullopt;
  return FileStatus{static_cast<std::uint64_t>(st.st_size), (st.st_mode & _S_IFDIR) != 0};
}

bool RealHost::Remove(std::string_view path) {
  return remove(std::string(path).c_str()) == 0;
}

bool RealHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  return ::CopyFileA(std::string(source).c_str(), std::string(destination).c_str(),
                     failIfExists ? TRUE : FALSE) != 0;
}

std::unique_ptr<TextStream> RealHost::Open(std::string_view path, OpenMode mode) {
  return OpenHostTextStream(std::string(path), mode);
}

// The command line as given: the interpreter is found from the batch file's type, and its window
// stays hidden.
std::unique_ptr<Process> RealHost::StartBatch(std::string_view commandLine) {
  std::string line(commandLine);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &started))
    return nullptr;
  ::CloseHandle(started.hThread);
  return std::make_unique<WinProcess>(started.hProcess);
}

// The platform's own dialogs already give Windows paths.
WindowsPath RealHost::ToWindowsPath(std::string_view hostPath) {
  return WindowsPath{true, std::string(hostPath), {}};
}

}  // namespace velmora::platform
