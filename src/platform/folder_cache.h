#pragma once
// Case-insensitive lookups of host file names: a folder is scanned once and the scan reused while
// the folder is unchanged.

#include <sys/inotify.h>
#include <sys/stat.h>
#include <time.h>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora::platform {

// Remembers the entries of the folders it has scanned. A folder on a local file system is watched
// (inotify), so every change is known exactly and a scan is never repeated; elsewhere a scan is
// trusted while the folder's identity and time stamp stay the same.
class FolderCache {
 public:
  explicit FolderCache(bool watch) : watch_(watch) {}
  ~FolderCache();
  FolderCache(const FolderCache&) = delete;
  FolderCache& operator=(const FolderCache&) = delete;

  // The entry of folder whose name equals name ignoring case, the smallest when several do.
  [[nodiscard]] std::optional<std::string> Find(const std::string& folder, std::string_view name);

 private:
  using Names = std::unordered_map<std::string, std::vector<std::string>>;

  struct Folder {
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec modified = {};
    // Without a watch a scan is trusted for missing names only when the folder's time stamp was
    // already in the past: a later change then always shows as a new time stamp, even where the
    // clock behind time stamps is coarse.
    bool settled = false;
    int watch = -1;
    Names names;  // by folded name

    [[nodiscard]] bool SameTime(const struct stat& st) const {
      return st.st_mtim.tv_sec == modified.tv_sec && st.st_mtim.tv_nsec == modified.tv_nsec;
    }
  };

  static void Add(Names& names, std::string_view name);
  static void Drop(Names& names, std::string_view name);
  static std::optional<std::string> Smallest(const std::string& folder,
                                             const std::vector<std::string>& spellings, bool verify);
  static bool Watchable(const std::string& path);

  int Watch(const std::string& path);
  const Folder* Scan(const std::string& path);
  void Unwatch(int wd);
  void Forget(const std::string& path);
  void Drain();
  void Apply(const struct inotify_event& event);

  bool watch_;
  int inotify_ = -1;
  std::unordered_map<int, std::string> watched_;  // watch descriptor to folder
  std::unordered_map<std::string, Folder> folders_;
};

}  // namespace velmora::platform
