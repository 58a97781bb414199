// The host on Windows: the platform's own services on Windows paths in the ANSI code page (cp932),
// nothing mapped.

#include <windows.h>
// windows.h spells the call as a macro; the seam has a member of that name.
#undef CopyFile

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "text/mbstring.h"

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

  // Slices of the wait end the moment the process does, so the run takes no longer for them.
  void WaitCalling(const std::function<void()>& whileWaiting) override {
    if (process_ == nullptr)
      return;
    while (WaitForSingleObject(process_, kWaitingIntervalMs) == WAIT_TIMEOUT)
      whileWaiting();
  }

  bool Ended() override { return process_ == nullptr || WaitForSingleObject(process_, 0) != WAIT_TIMEOUT; }

  bool CloseHandle() override {
    const HANDLE process = process_;
    process_ = nullptr;
    return process != nullptr && ::CloseHandle(process) != 0;
  }

 private:
  HANDLE process_;
};

// The platform's identity of a file: its volume and index, the same for every spelling of it.
FileId IdOf(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return {};
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  ::CloseHandle(file);
  if (!known)
    return {};
  return FileId{info.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The last component of the path as the disk spells it; empty when nothing is there.
std::string DiskName(const std::string& path) {
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return {};
  FindClose(search);
  return found.cFileName;
}

std::string NameOf(const std::string& path) {
  const std::size_t separator = text::FindLast(path, '\\');
  return separator == text::npos ? path : path.substr(separator + 1);
}

// A handle that shares nothing but deletion: no other process can open the file (to read it or to
// hold it) until it is closed, which the system does when the process dies. Renaming and removing
// stay possible for the holder itself.
class WinHeldFile final : public HeldFile {
 public:
  explicit WinHeldFile(HANDLE file) : file_(file) {}
  ~WinHeldFile() override { ::CloseHandle(file_); }
  WinHeldFile(const WinHeldFile&) = delete;
  WinHeldFile& operator=(const WinHeldFile&) = delete;

  bool AppendDurably(std::string_view bytes) override {
    LARGE_INTEGER end{};
    DWORD written = 0;
    return SetFilePointerEx(file_, LARGE_INTEGER{}, &end, FILE_END) != 0 &&
           WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
           written == bytes.size() && FlushFileBuffers(file_) != 0;
  }

  std::optional<std::string> ReadAll() override {
    if (SetFilePointerEx(file_, LARGE_INTEGER{}, nullptr, FILE_BEGIN) == 0)
      return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
      DWORD got = 0;
      if (::ReadFile(file_, buffer, sizeof buffer, &got, nullptr) == 0)
        return std::nullopt;
      if (got == 0)
        return bytes;
      bytes.append(buffer, got);
    }
  }

 private:
  HANDLE file_;
};

std::unique_ptr<HeldFile> HoldFile(std::string_view path, DWORD disposition) {
  const HANDLE file = CreateFileA(std::string(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                  FILE_SHARE_DELETE, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return nullptr;
  return std::make_unique<WinHeldFile>(file);
}

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
  // The C runtime finds no folder spelt with its final separator (TEMP often is), but for a root.
  std::string file(path);
  if (file.size() > 3 && file.back() == '\\' && text::FindLast(file, '\\') == file.size() - 1)
    file.pop_back();
  struct _stat st;
  if (_stat(file.c_str(), &st) != 0)
    return std::nullopt;
  return FileStatus{static_cast<std::uint64_t>(st.st_size), (st.st_mode & _S_IFDIR) != 0, IdOf(file)};
}

bool RealHost::Remove(std::string_view path) {
  return remove(std::string(path).c_str()) == 0;
}

bool RealHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  return ::CopyFileA(std::string(source).c_str(), std::string(destination).c_str(),
                     failIfExists ? TRUE : FALSE) != 0;
}

// A case-only rename of one file is a rename in place on Windows; a name already spelt so is left.
bool RealHost::Rename(std::string_view source, std::string_view destination) {
  const std::string from(source);
  const std::string to(destination);
  if (DiskName(from) == NameOf(to) && IdOf(from) == IdOf(to) && !(IdOf(from) == FileId{}))
    return true;
  // Write-through: the new name is on disk when the call returns.
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
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
  // A batch file just written can be held for a moment by another process (a virus scanner), and
  // the start then fails with nothing run: it is tried again a few times before that counts.
  constexpr int kStartAttempts = 4;
  constexpr DWORD kStartPauseMs = 100;
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &started))
      break;
    if (attempt == kStartAttempts)
      return nullptr;
    Sleep(kStartPauseMs);
  }
  ::CloseHandle(started.hThread);
  return std::make_unique<WinProcess>(started.hProcess);
}

// The platform's own dialogs already give Windows paths.
WindowsPath RealHost::ToWindowsPath(std::string_view hostPath) {
  return WindowsPath{true, std::string(hostPath), {}};
}

std::optional<std::string> RealHost::ToHostPath(std::string_view windowsPath) {
  return std::string(windowsPath);
}

std::optional<FileContent> RealHost::ReadFile(std::string_view path) {
  const std::string file(path);
  FILE* in = fopen(file.c_str(), "rb");
  if (in == nullptr)
    return std::nullopt;
  FileContent content{std::string(), DiskName(file)};
  char buffer[64 * 1024];
  std::size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, in)) > 0)
    content.bytes.append(buffer, got);
  const bool failed = ferror(in) != 0;
  fclose(in);
  if (failed || content.diskName.empty())
    return std::nullopt;
  return content;
}

bool RealHost::AppendDurably(std::string_view path, std::string_view bytes) {
  const HANDLE file = CreateFileA(std::string(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
                  written == bytes.size() && FlushFileBuffers(file) != 0;
  return ::CloseHandle(file) != 0 && ok;
}

bool RealHost::CreateFolder(std::string_view path) {
  const std::string folder(path);
  if (CreateDirectoryA(folder.c_str(), nullptr) != 0)
    return true;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::vector<std::string>> RealHost::ListFolder(std::string_view path) {
  std::string pattern(path);
  // A trail byte may be the separator's byte ("表" is 95 5C): only a whole separator ends the folder.
  if (pattern.empty() || text::FindLast(pattern, '\\') != pattern.size() - 1)
    pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND
               ? std::optional<std::vector<std::string>>(std::vector<std::string>())
               : std::nullopt;
  std::vector<std::string> names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileA(search, &found) != 0);
  FindClose(search);
  return names;
}

std::unique_ptr<HeldFile> RealHost::CreateHeld(std::string_view path) {
  return HoldFile(path, CREATE_NEW);
}

std::unique_ptr<HeldFile> RealHost::HoldExisting(std::string_view path) {
  return HoldFile(path, OPEN_EXISTING);
}

// The file's buffers only: a folder's entries reach the disk with the file system's own log, and
// renames are written through.
bool RealHost::Flush(std::string_view path) {
  const HANDLE file = CreateFileA(std::string(path).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  const bool flushed = FlushFileBuffers(file) != 0;
  return ::CloseHandle(file) != 0 && flushed;
}

}  // namespace velmora::platform
