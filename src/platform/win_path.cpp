#include "platform/win_path.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/folder_cache.h"
#include "resources/messages/platform.h"
#include "text/codec.h"
#include "text/file_name.h"
#include "text/utf8.h"

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
    if (text::IsForbiddenInFileName(static_cast<unsigned char>(c)))
      return std::nullopt;
  }
  return name;
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

// A host name shown in a message: what cp932 can hold as is, anything else as U+XXXX (or \xNN
// for a byte that is no UTF-8).
std::string ShowName(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t value = 0;
    const std::size_t length = text::DecodeUtf8(utf8, i, value);
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

PathMap::Reverse Refuse(const msg::BeforeName& message, std::string_view shown) {
  PathMap::Reverse result;
  result.reason = message(ShowName(shown));
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

PathMap::PathMap(std::map<char, std::string> drives, std::optional<std::string> uncRoot, bool watchFolders)
    : drives_(std::move(drives)),
      uncRoot_(std::move(uncRoot)),
      cache_(std::make_shared<FolderCache>(watchFolders)) {}

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
  std::optional<Start> start = StartOf(windowsPath);
  if (!start)
    return std::nullopt;
  std::optional<std::vector<std::string>> parts = Components(*start);
  if (!parts)
    return std::nullopt;
  std::string host = start->root;
  for (const std::string& part : start->fixed) {
    host += '/';
    host += part;
  }
  const bool trailing = IsSeparator(windowsPath.back()) && !parts->empty();
  return Resolve(std::move(host), *parts, trailing, status);
}

std::optional<PathMap::Start> PathMap::StartOf(std::string_view windowsPath) const {
  Start start;
  if (windowsPath.size() >= 2 && IsAsciiLetter(windowsPath[0]) && windowsPath[1] == ':') {
    const auto drive = drives_.find(Upper(windowsPath[0]));
    if (drive == drives_.end())
      return std::nullopt;
    start.root = drive->second;
    start.rest = windowsPath.substr(2);  // "D:x" is taken from the drive's root: there is no per-drive folder
    return start;
  }
  if (windowsPath.size() >= 2 && IsSeparator(windowsPath[0]) && IsSeparator(windowsPath[1])) {
    if (!uncRoot_)
      return std::nullopt;
    start.root = *uncRoot_;
    start.rest = windowsPath.substr(2);
    start.floor = 2;
    return start;
  }
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
    start.root = drive != drives_.end() ? drive->second : "";
  } else {
    start.fixed = SplitHost(here);
  }
  start.rest = windowsPath;
  return start;
}

std::optional<std::vector<std::string>> PathMap::Components(Start& start) {
  // One conversion for the whole path; the separators come through it unchanged.
  const text::CodecResult converted = text::Cp932ToUtf8(start.rest);
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
      if (parts.size() > start.floor) {
        parts.pop_back();
      } else if (parts.empty() && start.floor == 0 && !start.fixed.empty()) {
        start.fixed.pop_back();
      }
      continue;
    }
    parts.push_back(std::move(*clean));
  }
  if (parts.size() < start.floor)
    return std::nullopt;  // "\\server" alone names no share
  return parts;
}

std::string PathMap::Resolve(std::string host, const std::vector<std::string>& parts, bool trailing,
                             std::optional<Status>& status) const {
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
  // An empty host path is the root. Appended rather than assigned: GCC 12 sees a false overlap in
  // assigning a literal here (-Wrestrict).
  if (host.empty() || trailing)
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
      if (text::IsForbiddenInFileName(static_cast<unsigned char>(c)))
        return Refuse(msg::kHostNameBadCharacter, name);
    }
    if (name.back() == '.' || name.back() == ' ')
      return Refuse(msg::kHostNameBadCharacter, name);
    if (text::IsReservedFileName(name))
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
