#include "partlist/name_rules.h"

#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::partlist {
namespace {

// cp932 for the ideographic space.
constexpr std::string_view kIdeographicSpace = "\x81\x40";

std::size_t CharacterSize(std::string_view text, std::size_t at) {
  return text::IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

bool StartsWithBlank(std::string_view text) {
  return text.starts_with(' ') || text.starts_with(kIdeographicSpace);
}

// Ends in a blank that is a whole character: the last character, not a trail byte of one.
bool EndsWithBlank(std::string_view text) {
  std::size_t last = text::npos;
  for (std::size_t i = 0; i < text.size(); i += CharacterSize(text, i))
    last = i;
  if (last == text::npos)
    return false;
  const std::string_view tail = text.substr(last);
  return tail == " " || tail == kIdeographicSpace;
}

}  // namespace

bool HasForbiddenCharacter(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); i += CharacterSize(name, i)) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (text::IsLeadByte(c))
      continue;
    // The separators are judged on their own by the callers, to name them in their verdict; "/"
    // is one on the host.
    if (c == '/' || (c != ':' && c != '\\' && text::IsForbiddenInFileName(c)))
      return true;
  }
  return false;
}

bool IsReservedName(std::string_view name) {
  return text::IsReservedFileName(name);
}

NameVerdict ValidateNewPartName(std::optional<std::string_view> text, std::string_view folder) {
  if (!text || text->empty())
    return NameVerdict::Accept;
  const std::string_view name = *text;
  const std::size_t dot = text::FindLast(name, '.');
  if (dot == text::npos || dot == 0)
    return NameVerdict::NoExtension;
  if (text::ToLower(name.substr(dot + 1)) != "prt")
    return NameVerdict::NotPrt;
  if (text::Contains(name, ':') || text::Contains(name, '\\'))
    return NameVerdict::HasSeparator;
  if (HasForbiddenCharacter(name))
    return NameVerdict::ForbiddenCharacter;
  if (IsReservedName(name))
    return NameVerdict::ReservedName;
  // "a .prt" and " a.prt" look like "a.prt" in the list but name other files.
  if (StartsWithBlank(name) || EndsWithBlank(name.substr(0, dot)))
    return NameVerdict::Blank;
  if (folder.size() + name.size() > kMaxPathBytes)
    return NameVerdict::TooLong;
  return NameVerdict::Accept;
}

FolderVerdict ValidateNewFolder(std::string_view folder, std::size_t longestName) {
  // The first component is the drive ("D:") or, after "\\", the server; neither is a file name.
  std::size_t begin = folder.starts_with("\\\\") ? 2 : 0;
  bool first = true;
  while (begin < folder.size()) {
    std::size_t end = text::FindFirst(folder, '\\', begin);
    if (end == text::npos)
      end = folder.size();
    const std::string_view component = folder.substr(begin, end - begin);
    if (!first &&
        (HasForbiddenCharacter(component) || text::Contains(component, ':') || IsReservedName(component)))
      return FolderVerdict::ForbiddenName;
    first = false;
    begin = end + 1;
  }
  if (folder.size() + longestName > kMaxPathBytes)
    return FolderVerdict::TooLong;
  return FolderVerdict::Accept;
}

}  // namespace velmora::partlist
