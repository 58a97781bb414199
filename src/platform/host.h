#pragma once
// The one seam through which the program reaches the host: environment, file status, remove, copy,
// text streams and process start, all on Windows paths (cp932). Tests put a decorator in its place
// to make a chosen call fail.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_stream.h"
#include "platform/win_path.h"

namespace velmora::platform {

struct FileStatus {
  std::uint64_t size = 0;
  bool directory = false;
};

// A started process: Wait blocks until it has ended; CloseHandle releases it (false on failure).
class Process {
 public:
  virtual ~Process() = default;
  virtual void Wait() = 0;
  virtual bool CloseHandle() = 0;
};

class Host {
 public:
  virtual ~Host() = default;

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
  // fopen "rt"/"wt": nullptr when it cannot be opened.
  virtual std::unique_ptr<TextStream> Open(std::string_view path, OpenMode mode) = 0;
  // CreateProcessA on a command line whose first (quoted) word is a batch file; the batch file is
  // run by the project's interpreter. nullptr when the process cannot be started.
  virtual std::unique_ptr<Process> StartBatch(std::string_view commandLine) = 0;
};

// The real host: paths mapped by a PathMap read from the environment at construction.
class RealHost final : public Host {
 public:
  RealHost();
  explicit RealHost(PathMap map);

  std::optional<std::string> GetEnv(std::string_view name) override;
  std::optional<FileStatus> Stat(std::string_view path) override;
  bool Remove(std::string_view path) override;
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override;
  std::unique_ptr<TextStream> Open(std::string_view path, OpenMode mode) override;
  std::unique_ptr<Process> StartBatch(std::string_view commandLine) override;

  [[nodiscard]] const PathMap& Paths() const { return map_; }

 private:
  PathMap map_;
};

}  // namespace velmora::platform
