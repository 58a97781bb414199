#pragma once
// A host held in memory: files are byte strings keyed by their path, looked up ignoring letter case
// as on Windows (each keeps the spelling it was first written with); streams translate line ends as
// text mode does; a started batch file runs a callback in place of a tool. Fakes that change a call
// or two wrap it in a ForwardingHost (a FaultHost makes calls fail).

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"

namespace velmora::testing {

// Orders paths by their lower-cased bytes (cp932-aware), so "D:\W\a.prt" finds "d:\w\A.PRT".
struct IgnoringCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class MemoryHost : public platform::Host {
 public:
  using Files = std::map<std::string, std::string, IgnoringCase>;

  std::map<std::string, std::string, IgnoringCase> env;
  Files files;                                  // as on disk: CR LF line ends
  std::set<std::string, IgnoringCase> folders;  // paths that are folders
  std::vector<std::string> started;             // command lines, in order
  std::function<void(MemoryHost&)> onRun;       // the "tool"

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
