#include "cad/part/part_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <climits>

#include "cad/part/win_name.h"
#include "platform/posix_file.h"

namespace velmora::cad {
namespace {

using platform::FileDescriptor;
using platform::ReadToEnd;
using platform::TemporaryFile;
using platform::WriteAll;

constexpr std::string_view kFormatLine = "VELMORA-PART 1";
constexpr std::string_view kSavedAs = "saved-as";
constexpr std::string_view kSaves = "saves";
constexpr std::string_view kComponent = "component";
constexpr std::string_view kEnd = "end";

// Larger files are not parts this system wrote; refusing them keeps a stray file from eating memory.
constexpr off_t kMaxFileSize = off_t{256} * 1024 * 1024;

class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {}

  // False at the end of the input or when the last line has no LF (a truncated file).
  bool Next(std::string_view& line) {
    const std::size_t end = rest_.find('\n');
    if (end == std::string_view::npos)
      return false;
    line = rest_.substr(0, end);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    rest_.remove_prefix(end + 1);
    ++number_;
    return true;
  }
  bool AtEnd() const { return rest_.empty(); }
  int Number() const { return number_; }

 private:
  std::string_view rest_;
  int number_ = 0;
};

// Splits at tabs; false when the count of fields differs from `count`.
bool SplitFields(std::string_view line, std::string_view* fields, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t tab = line.find('\t');
    if (i + 1 == count) {
      if (tab != std::string_view::npos)
        return false;
      fields[i] = line;
      return true;
    }
    if (tab == std::string_view::npos)
      return false;
    fields[i] = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  return false;
}

bool ParseCount(std::string_view digits, int& value) {
  if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0'))
    return false;
  for (const char ch : digits) {
    if (ch < '0' || ch > '9')
      return false;
  }
  long long parsed = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (parsed > INT_MAX)
    return false;
  value = static_cast<int>(parsed);
  return true;
}

ParseResult Fail(int line, std::string_view what) {
  ParseResult result;
  result.error = "line " + std::to_string(line) + ": " + std::string(what);
  return result;
}

std::string CheckReference(const Reference& reference) {
  if (!ValidFileName(reference.name))
    return "bad component name";
  if (!ValidFolder(reference.folder))
    return "bad component folder";
  return {};
}

std::string ErrnoText(std::string_view what, int error) {
  return std::string(what) + ": " + strerror(error);
}

}  // namespace

ParseResult ParsePart(std::string_view bytes) {
  LineReader lines(bytes);
  std::string_view line;
  if (!lines.Next(line) || line != kFormatLine)
    return Fail(1, "not a part file (format line missing)");

  ParseResult result;
  Part& part = result.part;
  std::string_view fields[3];

  if (!lines.Next(line))
    return Fail(lines.Number() + 1, "saved-as line expected");
  if (!SplitFields(line, fields, 2) || fields[0] != kSavedAs)
    return Fail(lines.Number(), "saved-as line expected");
  if (!fields[1].empty() && !ValidFileName(fields[1]))
    return Fail(lines.Number(), "bad saved-as name");
  part.savedAs = fields[1];

  if (!lines.Next(line))
    return Fail(lines.Number() + 1, "saves line expected");
  if (!SplitFields(line, fields, 2) || fields[0] != kSaves)
    return Fail(lines.Number(), "saves line expected");
  if (!ParseCount(fields[1], part.saves))
    return Fail(lines.Number(), "bad save count");

  for (;;) {
    if (!lines.Next(line))
      return Fail(lines.Number() + 1, "file ends before the end line");
    if (line == kEnd)
      break;
    if (!SplitFields(line, fields, 3) || fields[0] != kComponent)
      return Fail(lines.Number(), "component line expected");
    Reference reference{std::string(fields[1]), std::string(fields[2])};
    if (const std::string problem = CheckReference(reference); !problem.empty())
      return Fail(lines.Number(), problem);
    part.components.push_back(std::move(reference));
  }
  if (!lines.AtEnd())
    return Fail(lines.Number() + 1, "text after the end line");
  result.ok = true;
  return result;
}

std::string CheckPart(const Part& part) {
  if (!part.savedAs.empty() && !ValidFileName(part.savedAs))
    return "bad saved-as name";
  if (part.saves < 0)
    return "negative save count";
  for (const Reference& reference : part.components) {
    if (std::string problem = CheckReference(reference); !problem.empty())
      return problem;
  }
  return {};
}

std::string FormatPart(const Part& part) {
  std::string out;
  std::size_t size = 64 + part.savedAs.size();
  for (const Reference& reference : part.components)
    size += reference.folder.size() + reference.name.size() + kComponent.size() + 3;
  out.reserve(size);
  out.append(kFormatLine).push_back('\n');
  out.append(kSavedAs).append("\t").append(part.savedAs).push_back('\n');
  out.append(kSaves).append("\t").append(std::to_string(part.saves)).push_back('\n');
  for (const Reference& reference : part.components) {
    out.append(kComponent).append("\t").append(reference.folder).append("\t");
    out.append(reference.name).push_back('\n');
  }
  out.append(kEnd).push_back('\n');
  return out;
}

ReadResult ReadPartFile(const std::string& hostPath) {
  ReadResult result;
  FileDescriptor file(platform::OpenHostFile(hostPath, platform::HostOpen::Read));
  if (file.Get() < 0) {
    const int error = errno;
    result.status = (error == ENOENT || error == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Unreadable;
    result.error = ErrnoText("cannot open", error);
    return result;
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    result.status = ReadStatus::Unreadable;
    result.error = "not a file";
    return result;
  }
  if (info.st_size > kMaxFileSize) {
    result.status = ReadStatus::Malformed;
    result.error = "file too large for a part";
    return result;
  }
  std::string bytes;
  if (!ReadToEnd(file.Get(), bytes, static_cast<std::size_t>(info.st_size))) {
    result.status = ReadStatus::Unreadable;
    result.error = ErrnoText("cannot read", errno);
    return result;
  }
  ParseResult parsed = ParsePart(bytes);
  if (!parsed.ok) {
    result.status = ReadStatus::Malformed;
    result.error = "malformed part file, " + parsed.error;
    return result;
  }
  result.status = ReadStatus::Ok;
  result.part = std::move(parsed.part);
  return result;
}

std::string WritePartFile(const std::string& hostPath, const Part& part) {
  if (std::string problem = CheckPart(part); !problem.empty())
    return problem;
  const std::size_t slash = hostPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : hostPath.substr(0, slash + 1);
  std::string pattern = folder + (slash == std::string::npos ? "/" : "") + ".part-XXXXXX";
  FileDescriptor file(platform::CreateTemporaryHostFile(pattern));
  if (file.Get() < 0)
    return ErrnoText("cannot create a file in the folder", errno);
  TemporaryFile temporary(pattern);
  // Keep the permissions of the file being replaced; a new part gets the usual rw-r--r--.
  if (!platform::TakePermissions(file.Get(), hostPath))
    return ErrnoText("cannot set permissions", errno);
  if (!WriteAll(file.Get(), FormatPart(part)))
    return ErrnoText("cannot write", errno);
  if (!file.Close())
    return ErrnoText("cannot close", errno);
  if (!platform::ReplaceHostFile(temporary.Path(), hostPath))
    return ErrnoText("cannot replace", errno);
  temporary.Keep();
  return {};
}

std::string CreatePartFile(const std::string& hostPath, const Part& part) {
  if (std::string problem = CheckPart(part); !problem.empty())
    return problem;
  FileDescriptor file(platform::OpenHostFile(hostPath, platform::HostOpen::CreateNew));
  if (file.Get() < 0)
    return ErrnoText("cannot create", errno);
  if (!WriteAll(file.Get(), FormatPart(part)) || !file.Close()) {
    const int error = errno;
    platform::RemoveHostFile(hostPath);
    return ErrnoText("cannot write", error);
  }
  return {};
}

}  // namespace velmora::cad
