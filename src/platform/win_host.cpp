// The host on Windows: the platform's own services on Windows paths in the ANSI code page (cp932),
// nothing mapped.

#include <windows.h>
// windows.h spells the call as a macro; the seam has a member of that name.
#undef CopyFile

#include <errno.h>
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

// The command interpreter and everything it starts run in a job of their own: ending the job ends
// them all, and its messages tell of every process started in it, whose end code is kept to tell a
// crash. A job that cannot be had (an older system inside another job) leaves the interpreter alone.
class WinProcess final : public Process {
 public:
  WinProcess(HANDLE process, HANDLE job, HANDLE port) : process_(process), job_(job), port_(port) {}
  ~WinProcess() override {
    for (const HANDLE started : started_)
      ::CloseHandle(started);
    if (process_ != nullptr)
      ::CloseHandle(process_);
    if (job_ != nullptr)
      ::CloseHandle(job_);
    if (port_ != nullptr)
      ::CloseHandle(port_);
  }
  WinProcess(const WinProcess&) = delete;
  WinProcess& operator=(const WinProcess&) = delete;

  void Wait() override {
    WaitCalling([] {});
  }

  // The job's messages are waited on first, so that a tool is held the moment it starts: a short
  // one would otherwise be gone, and its end code with it, before the slice ends. Short waits on
  // them keep the end of the run from waiting for a slice where no message tells of it.
  void WaitCalling(const std::function<void()>& whileWaiting) override {
    if (process_ == nullptr)
      return;
    constexpr DWORD kMessageWaitMs = 10;
    constexpr int kMessageWaitsPerSlice = kWaitingIntervalMs / kMessageWaitMs;
    for (int waits = 1;; ++waits) {
      if (port_ != nullptr)
        TakeMessages(kMessageWaitMs);
      const DWORD waited = WaitForSingleObject(process_, port_ != nullptr ? 0 : kWaitingIntervalMs);
      if (waited != WAIT_TIMEOUT)
        break;
      if (port_ == nullptr || waits % kMessageWaitsPerSlice == 0)
        whileWaiting();
    }
    if (port_ != nullptr)
      TakeMessages(0);
    ended_ = true;
  }

  bool Terminate() override {
    constexpr UINT kEnded = 1;
    if (job_ != nullptr)
      return TerminateJobObject(job_, kEnded) != 0;
    return process_ != nullptr && TerminateProcess(process_, kEnded) != 0;
  }

  ProcessEnd End() const override {
    if (!ended_)
      return {};
    for (const HANDLE started : started_) {
      DWORD code = 0;
      if (GetExitCodeProcess(started, &code) != 0 && code >= kFirstExceptionCode)
        return ProcessEnd{Crash::Exception, code};
    }
    return {};
  }

  bool Ended() override { return process_ == nullptr || WaitForSingleObject(process_, 0) != WAIT_TIMEOUT; }

  bool CloseHandle() override {
    const HANDLE process = process_;
    process_ = nullptr;
    return process != nullptr && ::CloseHandle(process) != 0;
  }

 private:
  static constexpr DWORD kFirstExceptionCode = 0xC0000000;

  // Holds every process the job reports as started, the interpreter included.
  void TakeMessages(DWORD timeoutMs) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED detail = nullptr;
    while (GetQueuedCompletionStatus(port_, &message, &key, &detail, timeoutMs) != 0) {
      timeoutMs = 0;
      if (message != JOB_OBJECT_MSG_NEW_PROCESS)
        continue;
      const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
      if (const HANDLE started = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id))
        started_.push_back(started);
    }
  }

  HANDLE process_;
  HANDLE job_;
  HANDLE port_;
  std::vector<HANDLE> started_;
  bool ended_ = false;
};

// A job whose processes end when it is closed, with its messages on a port of its own; false (and
// nothing held) when the system gives none.
bool MakeJob(HANDLE& job, HANDLE& port) {
  job = CreateJobObjectA(nullptr, nullptr);
  port = job != nullptr ? CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1) : nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{job, port};
  if (port != nullptr &&
      SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) != 0 &&
      SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &association,
                              sizeof association) != 0)
    return true;
  if (port != nullptr)
    ::CloseHandle(port);
  if (job != nullptr)
    ::CloseHandle(job);
  job = port = nullptr;
  return false;
}

// The command interpreter named by ComSpec, else the system's own.
std::string CommandInterpreter() {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("ComSpec", path, sizeof path);
  if (length > 0 && length < sizeof path)
    return std::string(path, length);
  const UINT folder = GetSystemDirectoryA(path, sizeof path);
  if (folder == 0 || folder >= sizeof path)
    return "cmd.exe";
  return std::string(path, folder) + "\\cmd.exe";
}

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

// The system's error first; the C runtime's own for a stream call that set only that.
FileError RealHost::LastError() {
  switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::DiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FileError::AccessDenied;
    default:
      break;
  }
  if (errno == ENOSPC)
    return FileError::DiskFull;
  return errno == EACCES ? FileError::AccessDenied : FileError::Unknown;
}

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
  SetLastError(0);
  errno = 0;
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
  SetLastError(0);
  errno = 0;
  return OpenHostTextStream(std::string(path), mode);
}

// The batch file's path reaches the interpreter through a variable, expanded once and inside
// quotes: no character of a part, folder or TEMP name is ever read as a command, and a "%" in one
// is not expanded. "/s" takes the outer quotes away and leaves the inner ones around the path.
constexpr const char* kBatchVariable = "VELMORA_BATCH_FILE";

std::unique_ptr<Process> RealHost::StartBatch(std::string_view commandLine) {
  std::string batch(commandLine);
  if (batch.size() >= 2 && batch.front() == '"' && batch.back() == '"')
    batch = batch.substr(1, batch.size() - 2);
  if (SetEnvironmentVariableA(kBatchVariable, batch.c_str()) == 0)
    return nullptr;
  const std::string interpreter = CommandInterpreter();
  std::string line = "\"" + interpreter + "\" /d /v:off /s /c \"\"%" + kBatchVariable + "%\"\"";
  HANDLE job = nullptr;
  HANDLE port = nullptr;
  const bool inJob = MakeJob(job, port);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // A batch file just written can be held for a moment by another process (a virus scanner), and
  // the start then fails with nothing run: it is tried again a few times before that counts.
  constexpr int kStartAttempts = 4;
  constexpr DWORD kStartPauseMs = 100;
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessA(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE,
                       CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &started))
      break;
    if (attempt == kStartAttempts) {
      if (inJob) {
        ::CloseHandle(port);
        ::CloseHandle(job);
      }
      return nullptr;
    }
    Sleep(kStartPauseMs);
  }
  // Inside another job that allows none of its own, the interpreter runs without one.
  if (inJob && AssignProcessToJobObject(job, started.hProcess) == 0) {
    ::CloseHandle(port);
    ::CloseHandle(job);
    job = port = nullptr;
  }
  ResumeThread(started.hThread);
  ::CloseHandle(started.hThread);
  return std::make_unique<WinProcess>(started.hProcess, job, port);
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
