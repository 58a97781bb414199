#pragma once
// A host held in memory for the runner's own tests: files are byte strings keyed by their exact
// path, streams translate line ends as text mode does, and a started batch file runs a callback
// in place of a tool. Wrap it in a FaultHost to make a call fail.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/host.h"

namespace velmora::testing {

class MemoryHost : public platform::Host {
 public:
  std::map<std::string, std::string> env;
  std::map<std::string, std::string> files;  // as on disk: CR LF line ends
  std::set<std::string> folders;             // exact paths that are folders
  std::vector<std::string> started;          // command lines, in order
  std::function<void(MemoryHost&)> onRun;    // the "tool"

  std::optional<std::string> GetEnv(std::string_view name) override;
  std::optional<platform::FileStatus> Stat(std::string_view path) override;
  bool Remove(std::string_view path) override;
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override;
  // Moves the bytes to the destination key; refuses an existing one.
  bool Rename(std::string_view source, std::string_view destination) override;
  std::unique_ptr<platform::TextStream> Open(std::string_view path, platform::OpenMode mode) override;
  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override;
  platform::WindowsPath ToWindowsPath(std::string_view) override { return {}; }
  std::optional<std::string> ToHostPath(std::string_view) override { return std::nullopt; }
};

// A read-only text-mode stream over bytes as they are on disk.
std::unique_ptr<platform::TextStream> MemoryReadStream(std::string bytes);

}  // namespace velmora::testing
