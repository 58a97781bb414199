#include "platform/host.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

// The interpreter leads a process group of its own, so that ending the group ends the tool too.
class SpawnedProcess final : public Process {
 public:
  explicit SpawnedProcess(pid_t pid) : pid_(pid) {}
  ~SpawnedProcess() override { Wait(); }  // never leave a zombie behind
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  void Wait() override {
    if (waited_)
      return;
    while (waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
    }
    waited_ = true;
  }

  // A descriptor for the process becomes readable the moment it ends, so the slices cost the tool
  // run no time. A kernel without one gets the plain wait.
  void WaitCalling(const std::function<void()>& whileWaiting) override {
    if (waited_)
      return;
    const int descriptor = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (descriptor < 0) {
      Wait();
      return;
    }
    const FileDescriptor guard(descriptor);
    for (;;) {
      pollfd entry{descriptor, POLLIN, 0};
      const int ready = poll(&entry, 1, kWaitingIntervalMs);
      if (ready < 0 && errno == EINTR)
        continue;
      if (ready != 0)
        break;
      whileWaiting();
    }
    Wait();
  }

  // Not yet reaped, the leader's id still names its group.
  bool Terminate() override { return !waited_ && kill(-pid_, SIGKILL) == 0; }

  // The interpreter dies of the signal that killed the tool it ran.
  [[nodiscard]] ProcessEnd End() const override {
    if (!waited_ || !WIFSIGNALED(status_))
      return {};
    return ProcessEnd{Crash::Signal, static_cast<std::uint32_t>(WTERMSIG(status_))};
  }

  bool Ended() override {
    if (waited_)
      return true;
    pid_t ended = 0;
    while ((ended = waitpid(pid_, &status_, WNOHANG)) < 0 && errno == EINTR) {
    }
    // Anything but "still running" leaves nothing more to wait for.
    waited_ = ended != 0;
    return waited_;
  }

  bool CloseHandle() override {
    if (closed_)
      return false;
    closed_ = true;
    return true;
  }

 private:
  pid_t pid_;
  int status_ = 0;
  bool waited_ = false;
  bool closed_ = false;
};

// Makes a new directory entry survive a crash along with the data it names.
void SyncFolderOf(const std::string& hostPath) {
  FileDescriptor folder(open(FolderOf(hostPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0)
    fsync(folder.Get());
}

// A lock on the open file, which the kernel drops with the last descriptor, so also when the
// process dies. Descriptors are not inherited: a tool still running cannot keep it.
class PosixHeldFile final : public HeldFile {
 public:
  explicit PosixHeldFile(FileDescriptor fd) : fd_(std::move(fd)) {}

  bool AppendDurably(std::string_view bytes) override {
    return WriteAll(fd_.Get(), bytes) && fdatasync(fd_.Get()) == 0;
  }

  std::optional<std::string> ReadAll() override {
    std::string bytes;
    char buffer[64 * 1024];
    for (off_t at = 0;;) {
      const ssize_t got = pread(fd_.Get(), buffer, sizeof buffer, at);
      if (got < 0 && errno == EINTR)
        continue;
      if (got < 0)
        return std::nullopt;
      if (got == 0)
        return bytes;
      bytes.append(buffer, static_cast<std::size_t>(got));
      at += got;
    }
  }

 private:
  FileDescriptor fd_;
};

bool LockNow(int fd) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR)
      return false;
  }
  return true;
}

}  // namespace

RealHost::RealHost() : map_(PathMap::FromEnvironment()) {}

FileError RealHost::LastError() {
  switch (errno) {
    case ENOSPC:
    case EDQUOT:
      return FileError::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileError::AccessDenied;
    default:
      return FileError::Unknown;
  }
}

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
    return FileStatus{known->size, known->directory, FileId{known->device, known->inode}};
  struct stat st;
  if (!host || stat(host->c_str(), &st) != 0)
    return std::nullopt;
  return FileStatus{static_cast<std::uint64_t>(st.st_size), S_ISDIR(st.st_mode),
                    FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}};
}

bool RealHost::Remove(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  return host && unlink(host->c_str()) == 0;
}

bool RealHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  errno = 0;  // a refusal of our own leaves no reason of the platform's
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

bool RealHost::Rename(std::string_view source, std::string_view destination) {
  // The map finds names ignoring case, so the destination would come back as the source's own
  // spelling: map its folder and keep the new spelling of the name.
  const std::size_t separator = text::FindLast(destination, '\\');
  if (separator == text::npos)
    return false;
  const std::optional<std::string> from = map_.ToHost(source);
  const std::optional<std::string> folder = map_.ToHost(destination.substr(0, separator + 1));
  const text::CodecResult name = text::Cp932ToUtf8(destination.substr(separator + 1));
  if (!from || !folder || !name.ok || name.text.empty() || name.text.find('/') != std::string::npos)
    return false;
  std::string to = *folder;
  if (to.empty() || to.back() != '/')
    to += '/';
  to += name.text;
  // Already spelt so (renamed earlier in the same run): nothing to do.
  if (*from == to)
    return true;
  if (renameat2(AT_FDCWD, from->c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS)
    return false;
  // A file system without the flag: a hard link refuses an existing name just as well.
  if (link(from->c_str(), to.c_str()) != 0)
    return false;
  return unlink(from->c_str()) == 0;
}

std::unique_ptr<TextStream> RealHost::Open(std::string_view path, OpenMode mode) {
  errno = 0;
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
  // The interpreter echoes the commands of an "@echo on" file, as it should; the tools' own output
  // goes to the files the batch names, so nothing of it belongs on the program's streams.
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0)
    return nullptr;
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return nullptr;
  }
  const bool prepared =
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
      posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP) == 0 &&
      posix_spawnattr_setpgroup(&attributes, 0) == 0;
  pid_t pid = 0;
  const bool started = prepared && posix_spawn(&pid, interpreter.c_str(), &actions, &attributes, argv,
                                               environment.data()) == 0;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (!started)
    return nullptr;
  return std::make_unique<SpawnedProcess>(pid);
}

WindowsPath RealHost::ToWindowsPath(std::string_view hostPath) {
  PathMap::Reverse reverse = map_.ToWindows(hostPath);
  return WindowsPath{reverse.ok, std::move(reverse.windowsPath), std::move(reverse.reason)};
}

std::optional<std::string> RealHost::ToHostPath(std::string_view windowsPath) {
  return map_.ToHost(windowsPath);
}

std::optional<FileContent> RealHost::ReadFile(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return std::nullopt;
  FileDescriptor in(open(host->c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (in.Get() < 0 || fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  text::CodecResult name = text::Utf8ToCp932(NameOf(*host));
  if (!name.ok)
    return std::nullopt;
  FileContent content{std::string(), std::move(name.text)};
  content.bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = read(in.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      return content;
    content.bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

bool RealHost::AppendDurably(std::string_view path, std::string_view bytes) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return false;
  struct stat st;
  const bool created = stat(host->c_str(), &st) != 0;
  FileDescriptor out(open(host->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (out.Get() < 0 || !WriteAll(out.Get(), bytes) || fdatasync(out.Get()) != 0 || !out.Close())
    return false;
  if (created)
    SyncFolderOf(*host);
  return true;
}

bool RealHost::CreateFolder(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return false;
  if (mkdir(host->c_str(), 0777) == 0) {
    SyncFolderOf(*host);
    return true;
  }
  struct stat st;
  return errno == EEXIST && stat(host->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::vector<std::string>> RealHost::ListFolder(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return std::nullopt;
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(host->c_str()), closedir);
  if (!folder)
    return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(folder.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..")
      continue;
    // A name cp932 cannot hold is none the program could have written.
    if (text::CodecResult converted = text::Utf8ToCp932(name); converted.ok)
      names.push_back(std::move(converted.text));
  }
  return names;
}

// The file is made and locked under a temporary name, then linked to its own: the name appears
// already held, and a link refuses an existing name.
std::unique_ptr<HeldFile> RealHost::CreateHeld(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return nullptr;
  std::string pattern = FolderOf(*host) + "/.held-XXXXXX";
  FileDescriptor fd(mkostemp(pattern.data(), O_CLOEXEC));
  if (fd.Get() < 0)
    return nullptr;
  const TemporaryFile temp(pattern);
  if (!LockNow(fd.Get()) || link(pattern.c_str(), host->c_str()) != 0)
    return nullptr;
  unlink(pattern.c_str());
  SyncFolderOf(*host);
  return std::make_unique<PosixHeldFile>(std::move(fd));
}

std::unique_ptr<HeldFile> RealHost::HoldExisting(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return nullptr;
  FileDescriptor fd(open(host->c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
  if (fd.Get() < 0 || !LockNow(fd.Get()))
    return nullptr;
  // Removed by its last holder between the open and the lock: nothing to hold.
  struct stat held;
  struct stat named;
  if (fstat(fd.Get(), &held) != 0 || stat(host->c_str(), &named) != 0 || held.st_ino != named.st_ino ||
      held.st_dev != named.st_dev)
    return nullptr;
  return std::make_unique<PosixHeldFile>(std::move(fd));
}

bool RealHost::Flush(std::string_view path) {
  const std::optional<std::string> host = map_.ToHost(path);
  if (!host)
    return false;
  FileDescriptor file(open(host->c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() >= 0 && fsync(file.Get()) != 0)
    return false;
  if (file.Get() < 0 && errno != ENOENT)
    return false;
  FileDescriptor folder(open(FolderOf(*host).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return folder.Get() >= 0 && fsync(folder.Get()) == 0;
}

}  // namespace velmora::platform
