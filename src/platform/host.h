#pragma once
// The one seam through which the program reaches the host: environment, file status, remove, copy,
// text streams and process start, all on Windows paths (cp932). Tests put a decorator in its place
// to make a chosen call fail.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_stream.h"
#include "platform/win_path.h"

namespace velmora::platform {

// Which file a name leads to, so that two names of one file can be told from two files.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileId&) const = default;
};

struct FileStatus {
  std::uint64_t size = 0;
  bool directory = false;
  FileId id;
};

// The Windows form of a host path, or a message for the user (cp932) saying why it has none.
struct WindowsPath {
  bool ok = false;
  std::string path;
  std::string reason;
};

// A whole file as read, with its name as the disk spells it (a lookup may ignore case).
struct FileContent {
  std::string bytes;
  std::string diskName;  // cp932, the last component only
};

// How often a process waited for through WaitCalling hands control back.
inline constexpr int kWaitingIntervalMs = 50;

// How a process and the processes it started ended, once waited for. A crash is a death by a
// signal (Linux) or an exit code of 0xC0000000 and above, an exception's code (Windows).
enum class Crash { None, Signal, Exception };
struct ProcessEnd {
  Crash crash = Crash::None;
  std::uint32_t code = 0;  // the signal or the exception code
};

// A started process: Wait blocks until it has ended; CloseHandle releases it (false on failure).
class Process {
 public:
  virtual ~Process() = default;
  virtual void Wait() = 0;
  // Ends the process and everything it started (its process group, its job); true once they
  // have been told to end. A process that cannot be ended so says false.
  virtual bool Terminate() { return false; }
  // After the wait: whether it, or a process it started, crashed.
  [[nodiscard]] virtual ProcessEnd End() const { return {}; }
  // Wait that calls whileWaiting every kWaitingIntervalMs or so until the process has ended, so that
  // a window can repaint while a tool runs. Without a way to wait in slices it just waits.
  virtual void WaitCalling(const std::function<void()>& whileWaiting) {
    static_cast<void>(whileWaiting);
    Wait();
  }
  virtual bool CloseHandle() = 0;
  // Whether the process has ended, without waiting for it, so that one thread can look after
  // several. A process that cannot tell waits for its end.
  virtual bool Ended() {
    Wait();
    return true;
  }
};

// A file this process holds: no other process can hold it until it is released (destroyed) or the
// process dies, when the platform releases it. The run journal's guard against two runs sharing it.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
  // Appends bytes; true only once they are on disk.
  virtual bool AppendDurably(std::string_view bytes) = 0;
  // The whole file; nullopt when it cannot be read.
  virtual std::optional<std::string> ReadAll() = 0;
};

// Why a call on a file failed, as far as the user is told: from the platform's own error.
enum class FileError { Unknown, DiskFull, AccessDenied };

class Host {
 public:
  virtual ~Host() = default;

  // The platform's error (errno, GetLastError) left by the call that failed just before; also
  // after a CAD library call, which runs in this process.
  [[nodiscard]] virtual FileError LastError() { return FileError::Unknown; }

  // cp932 value; nullopt when unset. TEMP and UGII_ROOT_DIR given as host paths ("/...") come back
  // in Windows form, a trailing separator kept.
  virtual std::optional<std::string> GetEnv(std::string_view name) = 0;
  // _stat: nullopt when nothing is at the path.
  virtual std::optional<FileStatus> Stat(std::string_view path) = 0;
  // remove: true on success.
  virtual bool Remove(std::string_view path) = 0;
  // CopyFileA: true on success. Never damages the source (onto itself included) and never leaves
  // a half-written destination; keeps the modification time.
  virtual bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) = 0;
  // MoveFileA: gives the file a new name in one atomic step; the destination is taken as spelt.
  // A file already spelt as the destination stays as it is. False when it failed or something
  // else is at the destination.
  virtual bool Rename(std::string_view source, std::string_view destination) = 0;
  // fopen "rt"/"wt": nullptr when it cannot be opened.
  virtual std::unique_ptr<TextStream> Open(std::string_view path, OpenMode mode) = 0;
  // Starts a batch file, its path quoted as the command line's first word, in a process group (a
  // job on Windows) of its own: on Linux the project's interpreter runs it, on Windows the
  // command interpreter, started explicitly. nullptr when the process cannot be started.
  virtual std::unique_ptr<Process> StartBatch(std::string_view commandLine) = 0;
  // A path from the host's own file dialog (UTF-8) in the Windows form the program speaks.
  virtual WindowsPath ToWindowsPath(std::string_view hostPath) = 0;
  // Where a Windows path lives on the host, for the host's own file dialogs; nullopt when it has
  // no place there.
  virtual std::optional<std::string> ToHostPath(std::string_view windowsPath) = 0;

  // For the run journal. A host without them keeps no journal, so runs that write are refused.
  // The whole of a regular file; nullopt when there is none or it cannot be read.
  virtual std::optional<FileContent> ReadFile(std::string_view /*path*/) { return std::nullopt; }
  // Appends bytes, creating the file; true only once they are on disk (flushed to the device).
  virtual bool AppendDurably(std::string_view /*path*/, std::string_view /*bytes*/) { return false; }
  // mkdir; true when the folder exists afterwards.
  virtual bool CreateFolder(std::string_view /*path*/) { return false; }
  // Creates a new empty file and holds it, in one step: nullptr when something is at the path
  // already (or it cannot be made).
  virtual std::unique_ptr<HeldFile> CreateHeld(std::string_view /*path*/) { return nullptr; }
  // Holds an existing file: nullptr when there is none or another holder has it.
  virtual std::unique_ptr<HeldFile> HoldExisting(std::string_view /*path*/) { return nullptr; }
  // Brings what was written to the file, and its folder's entries, to the disk; with nothing at
  // the path, only the folder. True once it is there.
  virtual bool Flush(std::string_view /*path*/) { return false; }
  // The names (cp932) in a folder, "." and ".." left out; nullopt when it cannot be read.
  virtual std::optional<std::vector<std::string>> ListFolder(std::string_view /*path*/) {
    return std::nullopt;
  }
};

// The real host: paths mapped by a PathMap read from the environment at construction.
class RealHost final : public Host {
 public:
  RealHost();
  explicit RealHost(PathMap map);

  FileError LastError() override;
  std::optional<std::string> GetEnv(std::string_view name) override;
  std::optional<FileStatus> Stat(std::string_view path) override;
  bool Remove(std::string_view path) override;
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override;
  bool Rename(std::string_view source, std::string_view destination) override;
  std::unique_ptr<TextStream> Open(std::string_view path, OpenMode mode) override;
  std::unique_ptr<Process> StartBatch(std::string_view commandLine) override;
  WindowsPath ToWindowsPath(std::string_view hostPath) override;
  std::optional<std::string> ToHostPath(std::string_view windowsPath) override;
  std::optional<FileContent> ReadFile(std::string_view path) override;
  bool AppendDurably(std::string_view path, std::string_view bytes) override;
  bool CreateFolder(std::string_view path) override;
  std::optional<std::vector<std::string>> ListFolder(std::string_view path) override;
  std::unique_ptr<HeldFile> CreateHeld(std::string_view path) override;
  std::unique_ptr<HeldFile> HoldExisting(std::string_view path) override;
  bool Flush(std::string_view path) override;

  [[nodiscard]] const PathMap& Paths() const { return map_; }

 private:
  PathMap map_;
};

}  // namespace velmora::platform
