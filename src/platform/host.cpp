#include "platform/host.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "platform/batch_interpreter.h"
#include "platform/posix_file.h"
#include "text/codec.h"
#include "text/mbstring.h"

extern char** environ;

namespace velmora::platform {
namespace {

bool CopyData(int from, int to) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ReadSome(from, buffer, sizeof buffer);
    if (got < 0)
      return false;
    if (got == 0)
      return true;
    if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(got))))
      return false;
  }
}

// Puts the finished copy in place; without replacing, atomically refuses an existing file.
bool PutInPlace(const std::string& temp, const std::string& destination, bool failIfExists) {
  if (!failIfExists)
    return rename(temp.c_str(), destination.c_str()) == 0;
  if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS)
    return false;
  // A file system without the flag: a hard link refuses an existing name just as well.
  if (link(temp.c_str(), destination.c_str()) != 0)
    return false;
  unlink(temp.c_str());
  return true;
}

std::string FolderOf(const std::string& hostPath) {
  const std::size_t slash = hostPath.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : hostPath.substr(0, slash);
}

std::string NameOf(const std::string& hostPath) {
  const std::size_t slash = hostPath.rfind('/');
  return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// The batch file of a command line: its first word, quoted or not.
std::string_view FirstWord(std::string_view commandLine) {
  std::size_t start = 0;
  while (start < commandLine.size() && (commandLine[start] == ' ' || commandLine[start] == '\t'))
    ++start;
  if (start < commandLine.size() && commandLine[start] == '"') {
    const std::size_t end = commandLine.find('"', start + 1);
    if (end == std::string_view::npos)
      return commandLine.substr(start + 1);
    return commandLine.substr(start + 1, end - start - 1);
  }
  std::size_t end = start;
  while (end < commandLine.size() && commandLine[end] != ' ' && commandLine[end] != '\t')
    ++end;
  return commandLine.substr(start, end - start);
}

class SpawnedProcess final : public Process {
 public:
  explicit SpawnedProcess(pid_t pid) : pid_(pid) {}
  ~SpawnedProcess() override { Wait(); }  // never leave a zombie behind
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  void Wait() override {
    if (waited_)
      return;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    waited_ = true;
  }

  bool CloseHandle() override {
    if (closed_)
      return false;
    closed_ = true;
    return true;
  }

 private:
  pid_t pid_;
  bool waited_ = false;
  bool closed_ = false;
};

}  // namespace

RealHost::RealHost() : map_(PathMap::FromEnvironment()) {}

RealHost::RealHost(PathMap map) : map_(std::move(map)) {}

std::optional<std::string> RealHost::GetEnv(std::string_view name) {
  const char* value = getenv(std::string(name).c_str());
  if (value == nullptr)
    return std::nullopt;
  const std::string_view raw = value;
  if ((name == "TEMP" || name == "UGII_ROOT_DIR") && raw.starts_with('/')) {
    // A host folder is no use to a program that speaks Windows paths: give its Windows form, or
    // nothing when it has none.
    PathMap::Reverse windows = map_.ToWindows(raw);
    if (!windows.ok)
      return std::nullopt;
    return std::move(windows.windowsPath);
  }
  text::CodecResult converted = text::Utf8ToCp932(raw);
  if (!converted.ok)
    return std::nullopt;
  return std::move(converted.text);
}

std::optional<FileStatus> RealHost::Stat(std::string_view path) {
  std::optional<PathMap::Status> known;
  const std::optional<std::string> host = map_.ToHost(path, known);
  if (host && known)
    return FileStatus{known->size, known->directory};
  struct stat st;
  if (!host || stat(host->c_str(), &st) != 0)
    return std::nullopt;
  return FileStatus{static_cast<std::uint64_t>(st.st_size), S_ISDIR(st.st_mode)};
}

bool RealHost::Remove(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  return host && unlink(host->c_str()) == 0;
}

bool RealHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  const std::optional<std::string> from = map_.ToHost(source);
  const std::optional<std::string> to = map_.ToHost(destination);
  if (!from || !to)
    return false;
  FileDescriptor in(open(from->c_str(), O_RDONLY | O_CLOEXEC));
  struct stat sourceStatus;
  if (in.Get() < 0 || fstat(in.Get(), &sourceStatus) != 0 || !S_ISREG(sourceStatus.st_mode))
    return false;
  struct stat destinationStatus;
  if (stat(to->c_str(), &destinationStatus) == 0) {
    if (failIfExists || S_ISDIR(destinationStatus.st_mode))
      return false;
    // Onto itself: Windows refuses, and writing would only risk the one copy there is.
    if (destinationStatus.st_dev == sourceStatus.st_dev && destinationStatus.st_ino == sourceStatus.st_ino)
      return false;
  }

  std::string pattern = FolderOf(*to) + "/." + NameOf(*to) + ".copy-XXXXXX";
  const int tempFd = mkostemp(pattern.data(), O_CLOEXEC);
  if (tempFd < 0)
    return false;
  FileDescriptor out(tempFd);
  TemporaryFile temp(pattern);
  const struct timespec times[2] = {sourceStatus.st_atim, sourceStatus.st_mtim};
  if (!CopyData(in.Get(), out.Get()) || fchmod(out.Get(), sourceStatus.st_mode & 07777) != 0 ||
      futimens(out.Get(), times) != 0 || !out.Close())
    return false;
  if (!PutInPlace(temp.Path(), *to, failIfExists))
    return false;
  temp.Keep();
  return true;
}

std::unique_ptr<TextStream> RealHost::Open(std::string_view path, OpenMode mode) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return nullptr;
  return OpenHostTextStream(*host, mode);
}

std::unique_ptr<Process> RealHost::StartBatch(std::string_view commandLine) {
  const std::optional<std::string> batch = map_.ToHost(FirstWord(commandLine));
  struct stat st;
  if (!batch || stat(batch->c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return nullptr;
  const std::string interpreter = FindBatchInterpreter();

  // The program's own environment, with the drives this host maps, so that the interpreter and
  // the tools find the same files.
  const std::string drives = "VELMORA_DRIVES=" + map_.DrivesVariable();
  const std::string unc = map_.UncRoot() ? "VELMORA_UNC_ROOT=" + *map_.UncRoot() : std::string();
  std::vector<char*> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text = *entry;
    if (!text.starts_with("VELMORA_DRIVES=") && !text.starts_with("VELMORA_UNC_ROOT="))
      environment.push_back(*entry);
  }
  environment.push_back(const_cast<char*>(drives.c_str()));
  if (!unc.empty())
    environment.push_back(const_cast<char*>(unc.c_str()));
  environment.push_back(nullptr);

  std::string batchArgument = *batch;
  char* const argv[] = {const_cast<char*>(interpreter.c_str()), batchArgument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, interpreter.c_str(), nullptr, nullptr, argv, environment.data()) != 0)
    return nullptr;
  return std::make_unique<SpawnedProcess>(pid);
}

}  // namespace velmora::platform
