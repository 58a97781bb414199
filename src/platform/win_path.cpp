#include "platform/win_path.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <unordered_map>
#include <vector>

#include "resources/messages/platform.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::platform {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Characters no Windows file name can hold (ASCII only, so trail bytes are never taken for them).
bool IsForbiddenInName(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '"' || c == '*' || c == '<' || c == '>' || c == '?' || c == '|' ||
         c == ':' || c == '\\';
}

// Components of a Windows path already in UTF-8, where a "\\" byte is always a separator.
std::vector<std::string> SplitWindows(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (i > start)
        parts.emplace_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::vector<std::string> SplitHost(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos)
      end = path.size();
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty())
        parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    start = end + 1;
  }
  return parts;
}

// A Windows name component (UTF-8) made ready for the host: trailing dots and blanks go (Windows
// drops them), forbidden characters refuse the whole path. Bytes of multibyte characters are all
// above 0x7F, so none is taken for one of them.
std::optional<std::string> CleanComponent(std::string name) {
  if (name == "." || name == "..")
    return name;
  while (!name.empty() && (name.back() == '.' || name.back() == ' '))
    name.pop_back();
  for (const char c : name) {
    if (IsForbiddenInName(static_cast<unsigned char>(c)))
      return std::nullopt;
  }
  return name;
}

// Simple case folding for the letters cp932 can hold: ASCII, full-width Latin, Greek, Cyrillic
// and the Roman numerals.
char32_t Fold(char32_t c) {
  if (c >= U'A' && c <= U'Z')
    return c + 0x20;
  if (c >= 0xFF21 && c <= 0xFF3A)
    return c + 0x20;
  if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2)
    return c + 0x20;
  if (c >= 0x0410 && c <= 0x042F)
    return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F)
    return c + 0x50;
  if (c >= 0x2160 && c <= 0x216F)
    return c + 0x10;
  return c;
}

// The code point of the UTF-8 character at i and its length; length 0 for a malformed one.
std::size_t DecodeUtf8(std::string_view utf8, std::size_t i, char32_t& value) {
  const unsigned char c = static_cast<unsigned char>(utf8[i]);
  std::size_t length = 0;
  if (c < 0x80) {
    value = c;
    return 1;
  }
  if (c >= 0xC2 && c < 0xE0) {
    length = 2;
    value = c & 0x1F;
  } else if (c >= 0xE0 && c < 0xF0) {
    length = 3;
    value = c & 0x0F;
  } else if (c >= 0xF0 && c < 0xF5) {
    length = 4;
    value = c & 0x07;
  } else {
    return 0;
  }
  if (i + length > utf8.size())
    return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
    if ((next & 0xC0) != 0x80)
      return 0;
    value = (value << 6) | (next & 0x3F);
  }
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The name folded, as UTF-8. A malformed byte is kept behind 0xFF, which UTF-8 never holds, so it
// never folds onto a real character.
std::string FoldKey(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
      ++i;
      continue;
    }
    char32_t value = 0;
    const std::size_t length = DecodeUtf8(utf8, i, value);
    if (length == 0) {
      out += '\xFF';
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    AppendUtf8(out, Fold(value));
    i += length;
  }
  return out;
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, std::string_view name) {
  std::string out = folder;
  out += '/';
  out += name;
  return out;
}

bool IsReservedName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ')
    stem.pop_back();
  for (char& c : stem)
    c = Upper(c);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
    return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
         stem[3] <= '9';
}

// A host name shown in a message: what cp932 can hold as is, anything else as U+XXXX (or \xNN
// for a byte that is no UTF-8).
std::string ShowName(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t value = 0;
    const std::size_t length = DecodeUtf8(utf8, i, value);
    char buffer[16];
    if (length == 0) {
      std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned char>(utf8[i]));
      out += buffer;
      ++i;
      continue;
    }
    const text::CodecResult converted = text::Utf8ToCp932(utf8.substr(i, length));
    if (converted.ok && value >= 0x20 && value != 0x7F) {
      out += converted.text;
    } else {
      std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(value));
      out += buffer;
    }
    i += length;
  }
  return out;
}

PathMap::Reverse Refuse(std::string_view message, std::string_view shown) {
  PathMap::Reverse result;
  result.reason = text::Cp932(message) + ShowName(shown);
  return result;
}

bool IsPrefix(const std::vector<std::string>& prefix, const std::vector<std::string>& path) {
  if (prefix.size() > path.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (prefix[i] != path[i])
      return false;
  }
  return true;
}

}  // namespace

// Remembers the entries of the folders it has scanned. A folder on a local file system is watched
// (inotify), so every change is known exactly and a scan is never repeated; elsewhere a scan is
// trusted while the folder's identity and time stamp stay the same.
class PathMap::DirectoryCache {
 public:
  explicit DirectoryCache(bool watch) : watch_(watch) {}
  ~DirectoryCache() {
    if (inotify_ >= 0)
      close(inotify_);
  }
  DirectoryCache(const DirectoryCache&) = delete;
  DirectoryCache& operator=(const DirectoryCache&) = delete;

  // The entry of folder whose name equals name ignoring case, the smallest when several do.
  std::optional<std::string> Find(const std::string& folder, std::string_view name) {
    const std::string key = folder.empty() ? "/" : folder;
    Drain();
    struct stat st;
    if (stat(key.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      Forget(key);
      return std::nullopt;
    }
    const std::string wanted = FoldKey(name);
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

    bool SameTime(const struct stat& st) const {
      return st.st_mtim.tv_sec == modified.tv_sec && st.st_mtim.tv_nsec == modified.tv_nsec;
    }
  };

  static void Add(Names& names, std::string_view name) {
    std::vector<std::string>& spellings = names[FoldKey(name)];
    for (const std::string& known : spellings) {
      if (known == name)
        return;
    }
    spellings.emplace_back(name);
  }

  static void Drop(Names& names, std::string_view name) {
    const auto it = names.find(FoldKey(name));
    if (it == names.end())
      return;
    std::erase(it->second, std::string(name));
    if (it->second.empty())
      names.erase(it);
  }

  static std::optional<std::string> Smallest(const std::string& folder,
                                             const std::vector<std::string>& spellings, bool verify) {
    const std::string* best = nullptr;
    for (const std::string& spelling : spellings) {
      if ((best == nullptr || spelling < *best) && (!verify || EntryExists(Join(folder, spelling))))
        best = &spelling;
    }
    return best == nullptr ? std::nullopt : std::optional<std::string>(*best);
  }

  // Whether changes to this folder reach inotify: not so for network and user-space file systems.
  static bool Watchable(const std::string& path) {
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

  int Watch(const std::string& path) {
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

  const Folder* Scan(const std::string& path) {
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

  void Unwatch(int wd) {
    if (wd < 0)
      return;
    const auto it = watched_.find(wd);
    if (it == watched_.end())
      return;
    watched_.erase(it);
    inotify_rm_watch(inotify_, wd);
  }

  void Forget(const std::string& path) {
    const auto it = folders_.find(path);
    if (it == folders_.end())
      return;
    Unwatch(it->second.watch);
    folders_.erase(it);
  }

  // Applies every change reported since the last look.
  void Drain() {
    if (inotify_ < 0)
      return;
    alignas(struct inotify_event) char buffer[16 * 1024];
    for (;;) {
      const ssize_t got = read(inotify_, buffer, sizeof buffer);
      if (got <= 0)
        return;
      for (ssize_t offset = 0; offset < got;) {
        const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
        offset += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        Apply(*event);
      }
    }
  }

  void Apply(const struct inotify_event& event) {
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

  bool watch_;
  int inotify_ = -1;
  std::unordered_map<int, std::string> watched_;  // watch descriptor to folder
  std::unordered_map<std::string, Folder> folders_;
};

PathMap::PathMap(std::map<char, std::string> drives, std::optional<std::string> uncRoot, bool watchFolders)
    : drives_(std::move(drives)),
      uncRoot_(std::move(uncRoot)),
      cache_(std::make_shared<DirectoryCache>(watchFolders)) {}

PathMap PathMap::FromEnvironment() {
  const auto trimmed = [](std::string root) {
    while (!root.empty() && root.back() == '/')
      root.pop_back();
    return root;
  };
  std::map<char, std::string> drives{{'Z', ""}};
  if (const char* spec = getenv("VELMORA_DRIVES")) {
    const std::string_view all = spec;
    std::size_t start = 0;
    while (start < all.size()) {
      std::size_t end = all.find(';', start);
      if (end == std::string_view::npos)
        end = all.size();
      const std::string_view entry = all.substr(start, end - start);
      if (entry.size() >= 3 && IsAsciiLetter(entry[0]) && entry[1] == '=' && entry[2] == '/')
        drives[Upper(entry[0])] = trimmed(std::string(entry.substr(2)));
      start = end + 1;
    }
  }
  std::optional<std::string> unc;
  if (const char* root = getenv("VELMORA_UNC_ROOT"); root != nullptr && root[0] == '/')
    unc = trimmed(root);
  return PathMap(std::move(drives), std::move(unc));
}

std::string PathMap::DrivesVariable() const {
  std::string out;
  for (const auto& [letter, root] : drives_) {
    if (!out.empty())
      out += ';';
    out += letter;
    out += '=';
    out += root.empty() ? "/" : root;
  }
  return out;
}

std::optional<std::string> PathMap::ToHost(std::string_view windowsPath) const {
  std::optional<Status> ignored;
  return ToHost(windowsPath, ignored);
}

std::optional<std::string> PathMap::ToHost(std::string_view windowsPath,
                                           std::optional<Status>& status) const {
  status.reset();
  if (windowsPath.empty() || windowsPath.find('\0') != std::string_view::npos)
    return std::nullopt;

  // Where the walk starts, how many leading components ".." may not climb over, and the
  // components still to look up.
  std::string root;
  std::vector<std::string> fixed;  // host components already known to exist as spelled
  std::size_t floor = 0;
  std::string_view rest;
  if (windowsPath.size() >= 2 && IsAsciiLetter(windowsPath[0]) && windowsPath[1] == ':') {
    const auto drive = drives_.find(Upper(windowsPath[0]));
    if (drive == drives_.end())
      return std::nullopt;
    root = drive->second;
    rest = windowsPath.substr(2);  // "D:x" is taken from the drive's root: there is no per-drive folder
  } else if (windowsPath.size() >= 2 && IsSeparator(windowsPath[0]) && IsSeparator(windowsPath[1])) {
    if (!uncRoot_)
      return std::nullopt;
    root = *uncRoot_;
    rest = windowsPath.substr(2);
    floor = 2;
  } else {
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr)
      return std::nullopt;
    const std::string here = cwd;
    free(cwd);
    if (IsSeparator(windowsPath[0])) {
      // The root of the current folder's drive.
      const Reverse current = ToWindows(here);
      const auto drive = current.ok && current.windowsPath.size() >= 2 && current.windowsPath[1] == ':'
                             ? drives_.find(current.windowsPath[0])
                             : drives_.end();
      root = drive != drives_.end() ? drive->second : "";
    } else {
      fixed = SplitHost(here);
    }
    rest = windowsPath;
  }

  // One conversion for the whole path; the separators come through it unchanged.
  const text::CodecResult converted = text::Cp932ToUtf8(rest);
  if (!converted.ok)
    return std::nullopt;
  std::vector<std::string> parts;
  for (std::string& raw : SplitWindows(converted.text)) {
    std::optional<std::string> clean = CleanComponent(std::move(raw));
    if (!clean)
      return std::nullopt;
    if (clean->empty() || *clean == ".")
      continue;
    if (*clean == "..") {
      if (parts.size() > floor) {
        parts.pop_back();
      } else if (parts.empty() && floor == 0 && !fixed.empty()) {
        fixed.pop_back();
      }
      continue;
    }
    parts.push_back(std::move(*clean));
  }
  if (parts.size() < floor)
    return std::nullopt;  // "\\server" alone names no share

  std::string host = root;
  for (const std::string& part : fixed) {
    host += '/';
    host += part;
  }
  const bool trailing = IsSeparator(windowsPath.back()) && !parts.empty();
  // Usually the path is spelled as on disk: one query settles it.
  std::string exactAll = host;
  for (const std::string& part : parts)
    exactAll = Join(exactAll, part);
  if (!parts.empty()) {
    struct stat st;
    if (stat(exactAll.c_str(), &st) == 0) {
      status = Status{static_cast<std::uint64_t>(st.st_size), S_ISDIR(st.st_mode),
                      static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
      return trailing ? exactAll + "/" : exactAll;
    }
  }
  bool looking = true;
  for (const std::string& part : parts) {
    const std::string exact = Join(host, part);
    if (looking && !EntryExists(exact)) {
      if (const std::optional<std::string> found = cache_->Find(host, part)) {
        host = Join(host, *found);
        continue;
      }
      looking = false;  // nothing below a missing folder can exist
    }
    host = exact;
  }
  if (host.empty())
    host = "/";
  else if (trailing)
    host += '/';
  return host;
}

PathMap::Reverse PathMap::ToWindows(std::string_view hostPath) const {
  if (hostPath.empty() || hostPath[0] != '/')
    return Refuse(msg::kHostPathNotAbsolute, hostPath);
  const std::vector<std::string> parts = SplitHost(hostPath);

  // The longest matching root wins; among equal roots the first letter.
  std::optional<char> letter;
  std::size_t best = 0;
  for (const auto& [drive, root] : drives_) {
    const std::vector<std::string> rootParts = SplitHost(root);
    if (IsPrefix(rootParts, parts) && (!letter || rootParts.size() > best)) {
      letter = drive;
      best = rootParts.size();
    }
  }
  bool unc = false;
  if (uncRoot_) {
    const std::vector<std::string> rootParts = SplitHost(*uncRoot_);
    // A network path needs a server and a share below the root.
    if (IsPrefix(rootParts, parts) && parts.size() >= rootParts.size() + 2 &&
        (!letter || rootParts.size() > best)) {
      unc = true;
      best = rootParts.size();
    }
  }
  if (!letter && !unc)
    return Refuse(msg::kHostPathNoDrive, hostPath);

  Reverse result;
  std::string out = unc ? std::string("\\") : std::string(1, *letter) + ":";
  for (std::size_t i = best; i < parts.size(); ++i) {
    const std::string& name = parts[i];
    for (const char c : name) {
      if (IsForbiddenInName(static_cast<unsigned char>(c)))
        return Refuse(msg::kHostNameBadCharacter, name);
    }
    if (name.back() == '.' || name.back() == ' ')
      return Refuse(msg::kHostNameBadCharacter, name);
    if (IsReservedName(name))
      return Refuse(msg::kHostNameReserved, name);
    const text::CodecResult cp932 = text::Utf8ToCp932(name);
    if (!cp932.ok)
      return Refuse(msg::kHostNameNotCp932, name);
    out += '\\';
    out += cp932.text;
  }
  if (best == parts.size() || (hostPath.back() == '/' && parts.size() > best))
    out += '\\';
  result.ok = true;
  result.windowsPath = std::move(out);
  return result;
}

}  // namespace velmora::platform
