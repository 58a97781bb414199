#include "cad/part/win_name.h"

#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::cad {
namespace {

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Calls visit(byte) for every single-byte character; false when the text is not plain cp932 or
// when visit refuses a character.
template <typename Visit>
bool ScanCharacters(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (text::IsLeadByte(byte)) {
      if (i + 1 >= text.size() || !IsTrailByte(static_cast<unsigned char>(text[i + 1])))
        return false;
      ++i;
      continue;
    }
    if (byte < 0x20 || byte == 0x7F || byte == 0x80 || byte == 0xA0 || byte >= 0xFD)
      return false;
    if (!visit(static_cast<char>(byte)))
      return false;
  }
  return true;
}

bool EndsInSeparator(std::string_view path) {
  const std::size_t last = text::FindLast(path, '\\');
  return last != text::npos && last + 1 == path.size();
}

}  // namespace

PathPieces SplitPath(std::string_view path) {
  const std::size_t last = text::FindLast(path, '\\');
  if (last == text::npos)
    return {std::string(), std::string(path)};
  return {std::string(path.substr(0, last)), std::string(path.substr(last + 1))};
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path.push_back('\\');
  path.append(name);
  return path;
}

std::string WithoutFinalSeparator(std::string_view folder) {
  if (EndsInSeparator(folder))
    folder.remove_suffix(1);
  return std::string(folder);
}

bool IsAbsolute(std::string_view path) {
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\')
    return true;
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool PlainCp932(std::string_view text) {
  return ScanCharacters(text, [](char) { return true; });
}

bool ValidFileName(std::string_view name) {
  if (name.empty())
    return false;
  return ScanCharacters(name, [](char ch) {
    return ch != '/' && !text::IsForbiddenInFileName(static_cast<unsigned char>(ch));
  });
}

bool ValidFolder(std::string_view folder) {
  if (EndsInSeparator(folder))
    return false;
  // The separator and the drive's colon belong in a folder.
  return ScanCharacters(folder, [](char ch) {
    return ch == '\\' || ch == ':' || !text::IsForbiddenInFileName(static_cast<unsigned char>(ch));
  });
}

std::string FileKey(std::string_view path) {
  return text::ToLower(path);
}

}  // namespace velmora::cad
