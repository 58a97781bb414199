#include "platform/folder_cache.h"

#include <dirent.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix_file.h"
#include "text/utf8.h"

namespace velmora::platform {

FolderCache::~FolderCache() {
  if (inotify_ >= 0)
    close(inotify_);
}

std::optional<std::string> FolderCache::Find(const std::string& folder, std::string_view name) {
  const std::string key = folder.empty() ? "/" : folder;
  Drain();
  struct stat st;
  if (stat(key.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    Forget(key);
    return std::nullopt;
  }
  const std::string wanted = text::FoldCaseUtf8(name);
  const auto it = folders_.find(key);
  if (it != folders_.end() && it->second.device == st.st_dev && it->second.inode == st.st_ino) {
    const Folder& known = it->second;
    if (known.watch >= 0 || known.SameTime(st)) {
      const auto hit = known.names.find(wanted);
      if (hit == known.names.end() && (known.watch >= 0 || known.settled))
        return std::nullopt;
      if (hit != known.names.end()) {
        if (std::optional<std::string> found = Smallest(folder, hit->second, true))
          return found;
      }
    }
  }
  const Folder* scanned = Scan(key);
  if (scanned == nullptr)
    return std::nullopt;
  const auto hit = scanned->names.find(wanted);
  return hit == scanned->names.end() ? std::nullopt : Smallest(folder, hit->second, false);
}

void FolderCache::Add(Names& names, std::string_view name) {
  std::vector<std::string>& spellings = names[text::FoldCaseUtf8(name)];
  for (const std::string& known : spellings) {
    if (known == name)
      return;
  }
  spellings.emplace_back(name);
}

void FolderCache::Drop(Names& names, std::string_view name) {
  const auto it = names.find(text::FoldCaseUtf8(name));
  if (it == names.end())
    return;
  std::erase(it->second, std::string(name));
  if (it->second.empty())
    names.erase(it);
}

std::optional<std::string> FolderCache::Smallest(const std::string& folder,
                                                 const std::vector<std::string>& spellings, bool verify) {
  const auto exists = [&folder](const std::string& spelling) {
    struct stat st;
    return lstat((folder + '/' + spelling).c_str(), &st) == 0;
  };
  const std::string* best = nullptr;
  for (const std::string& spelling : spellings) {
    if ((best == nullptr || spelling < *best) && (!verify || exists(spelling)))
      best = &spelling;
  }
  return best == nullptr ? std::nullopt : std::optional<std::string>(*best);
}

// Whether changes to this folder reach inotify: not so for network and user-space file systems.
bool FolderCache::Watchable(const std::string& path) {
  struct statfs fs;
  if (statfs(path.c_str(), &fs) != 0)
    return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x65735546:  // FUSE
    case 0x01021997:  // 9P
    case 0x00C36400:  // Ceph
    case 0x5346414F:  // AFS
    case 0x01161970:  // GFS2
    case 0x7461636F:  // OCFS2
      return false;
    default:
      return true;
  }
}

int FolderCache::Watch(const std::string& path) {
  if (!watch_ || !Watchable(path))
    return -1;
  if (inotify_ < 0) {
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) {
      watch_ = false;
      return -1;
    }
  }
  const int wd = inotify_add_watch(
      inotify_, path.c_str(),
      IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
  if (wd < 0)
    return -1;
  const auto [slot, inserted] = watched_.try_emplace(wd, path);
  if (!inserted && slot->second != path)
    return -1;  // the same folder under another path: let that one keep the watch
  return wd;
}

const FolderCache::Folder* FolderCache::Scan(const std::string& path) {
  Forget(path);
  Folder folder;
  // Watch first: a change during the scan then arrives as an event afterwards.
  folder.watch = Watch(path);
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  struct stat st;
  DIR* dir = stat(path.c_str(), &st) == 0 ? opendir(path.c_str()) : nullptr;
  if (dir == nullptr) {
    Unwatch(folder.watch);
    return nullptr;
  }
  while (const struct dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..")
      Add(folder.names, name);
  }
  closedir(dir);
  folder.device = st.st_dev;
  folder.inode = st.st_ino;
  folder.modified = st.st_mtim;
  // Whole-second time stamps betray a coarse file system.
  const long long marginNs = st.st_mtim.tv_nsec == 0 ? 3'000'000'000LL : 100'000'000LL;
  const long long age =
      (now.tv_sec - st.st_mtim.tv_sec) * 1'000'000'000LL + (now.tv_nsec - st.st_mtim.tv_nsec);
  folder.settled = age > marginNs;
  return &(folders_[path] = std::move(folder));
}

void FolderCache::Unwatch(int wd) {
  if (wd < 0)
    return;
  const auto it = watched_.find(wd);
  if (it == watched_.end())
    return;
  watched_.erase(it);
  inotify_rm_watch(inotify_, wd);
}

void FolderCache::Forget(const std::string& path) {
  const auto it = folders_.find(path);
  if (it == folders_.end())
    return;
  Unwatch(it->second.watch);
  folders_.erase(it);
}

// Applies every change reported since the last look.
void FolderCache::Drain() {
  if (inotify_ < 0)
    return;
  alignas(struct inotify_event) char buffer[16 * 1024];
  for (;;) {
    const ssize_t got = ReadSome(inotify_, buffer, sizeof buffer);
    if (got <= 0)
      return;
    for (ssize_t offset = 0; offset < got;) {
      const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
      offset += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
      Apply(*event);
    }
  }
}

void FolderCache::Apply(const struct inotify_event& event) {
  if (event.mask & IN_Q_OVERFLOW) {
    // Changes were lost: nothing known can be trusted.
    for (const auto& [wd, path] : watched_)
      inotify_rm_watch(inotify_, wd);
    watched_.clear();
    folders_.clear();
    return;
  }
  const auto watched = watched_.find(event.wd);
  if (watched == watched_.end())
    return;
  const std::string path = watched->second;
  if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
    Forget(path);
    return;
  }
  const auto folder = folders_.find(path);
  if (folder == folders_.end() || event.len == 0)
    return;
  const std::string_view name = event.name;
  if (event.mask & (IN_CREATE | IN_MOVED_TO))
    Add(folder->second.names, name);
  else if (event.mask & (IN_DELETE | IN_MOVED_FROM))
    Drop(folder->second.names, name);
}

}  // namespace velmora::platform
