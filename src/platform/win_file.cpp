// The host-file calls on Windows: host paths are UTF-8, so every call goes through the wide API.

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <random>

#include "platform/posix_file.h"

namespace velmora::platform {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty())
    return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty())
    return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(std::max(length, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr,
                      nullptr);
  return utf8;
}

// Identity of a file: its volume and index, as the platform tells them through an open handle.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  const HANDLE file =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  const bool ok = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return ok;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0)
    ::_close(fd_);
}

bool FileDescriptor::Close() {
  const int fd = fd_;
  fd_ = -1;
  return ::_close(fd) == 0;
}

TemporaryFile::~TemporaryFile() {
  if (!path_.empty())
    RemoveHostFile(path_);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
    const int written = ::_write(fd, bytes.data(), chunk);
    if (written <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

int OpenHostFile(const std::string& hostPath, HostOpen how) {
  const std::wstring path = Wide(hostPath);
  switch (how) {
    case HostOpen::Read:
      return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    case HostOpen::CreateNew:
      return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                      _S_IREAD | _S_IWRITE);
    case HostOpen::Append:
      return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT,
                      _S_IREAD | _S_IWRITE);
  }
  return -1;
}

int CreateTemporaryHostFile(std::string& pattern) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  if (pattern.size() < 6) {
    errno = EINVAL;
    return -1;
  }
  std::random_device seed;
  std::minstd_rand random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = pattern.size() - 6; i < pattern.size(); ++i)
      pattern[i] = kLetters[random() % (sizeof kLetters - 1)];
    const int fd = OpenHostFile(pattern, HostOpen::CreateNew);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

// Windows keeps no permission bits worth copying.
bool TakePermissions(int, const std::string&) {
  return true;
}

// A file replaced under another spelling of its name keeps the old spelling; the name is then
// given its new spelling by a rename of its own.
bool ReplaceHostFile(const std::string& from, const std::string& to) {
  const std::wstring target = Wide(to);
  if (MoveFileExW(Wide(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) == 0)
    return false;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(target.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return true;
  FindClose(search);
  const std::size_t slash = target.find_last_of(L"/\\");
  const std::wstring wanted = slash == std::wstring::npos ? target : target.substr(slash + 1);
  if (wanted == found.cFileName)
    return true;
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  return MoveFileExW((folder + found.cFileName).c_str(), target.c_str(), 0) != 0;
}

bool RemoveHostFile(const std::string& hostPath) {
  return ::_wunlink(Wide(hostPath).c_str()) == 0;
}

bool HostFileExists(const std::string& hostPath) {
  return GetFileAttributesW(Wide(hostPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameHostFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return FileIdentity(a, first) && FileIdentity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

void WriteBytesAsGiven(std::FILE* stream) {
  _setmode(_fileno(stream), _O_BINARY);
}

std::string CurrentHostFolder() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0)
    return {};
  std::wstring folder(length, L'\0');
  folder.resize(GetCurrentDirectoryW(length, folder.data()));
  std::string utf8 = Utf8(folder);
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  return utf8;
}

}  // namespace velmora::platform
