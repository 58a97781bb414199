#pragma once
// Windows paths (cp932) on the host file system, mapped as Wine does: Z: is /, VELMORA_DRIVES adds
// or overrides letters ("C=/home/me/cad;D=/srv/parts"), \\server\share\rest lives under
// $VELMORA_UNC_ROOT/server/share/rest. Each component is looked up exactly, else case-insensitively.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

class FolderCache;

class PathMap {
 public:
  // Drive letters are upper case; roots are host paths without a trailing slash ("" for /).
  // watchFolders: learn of changes to scanned folders from the kernel where it can tell.
  PathMap(std::map<char, std::string> drives, std::optional<std::string> uncRoot, bool watchFolders = true);
  static PathMap FromEnvironment();

  // The host path (UTF-8) for a Windows path. Relative paths are taken from the host's current
  // folder. A component that does not exist keeps its spelling. nullopt: no mapping (unknown drive,
  // no network root, a name cp932 cannot hold).
  [[nodiscard]] std::optional<std::string> ToHost(std::string_view windowsPath) const;

  // What a status query on the host path found.
  struct Status {
    std::uint64_t size = 0;
    bool directory = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
  };
  // ToHost that also hands back the status of the result when finding it took a status query
  // anyway (`status` stays empty otherwise), so that a caller need not ask twice.
  std::optional<std::string> ToHost(std::string_view windowsPath, std::optional<Status>& status) const;

  struct Reverse {
    bool ok = false;
    std::string windowsPath;  // cp932, when ok
    std::string reason;       // cp932, a message for the user when not ok
  };
  // The Windows form of an absolute host path, by the drive with the longest matching root.
  // Refuses names that Windows or cp932 cannot hold ("*<>?| and control characters, unmappable).
  [[nodiscard]] Reverse ToWindows(std::string_view hostPath) const;

  // The mapping as the environment spells it, so that started processes see the same drives.
  [[nodiscard]] std::string DrivesVariable() const;  // VELMORA_DRIVES
  [[nodiscard]] const std::optional<std::string>& UncRoot() const { return uncRoot_; }

 private:
  // Where a lookup starts: the host root, host components already known to exist as spelt, how
  // many leading components ".." may not climb over, and the Windows part still to look up.
  struct Start {
    std::string root;
    std::vector<std::string> fixed;
    std::size_t floor = 0;
    std::string_view rest;
  };
  [[nodiscard]] std::optional<Start> StartOf(std::string_view windowsPath) const;
  // The cleaned components of start.rest with "." and ".." applied; ".." may climb into start.fixed.
  static std::optional<std::vector<std::string>> Components(Start& start);
  // host joined with parts, each looked up exactly, else ignoring case.
  std::string Resolve(std::string host, const std::vector<std::string>& parts, bool trailing,
                      std::optional<Status>& status) const;

  std::map<char, std::string> drives_;
  std::optional<std::string> uncRoot_;
  // Case-insensitive lookups scan a folder once and reuse the scan while the folder is unchanged.
  std::shared_ptr<FolderCache> cache_;
};

}  // namespace velmora::platform
