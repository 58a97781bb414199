#include "text/file_name.h"

#include <string>

#include "text/mbstring.h"

namespace velmora::text {

bool IsForbiddenInFileName(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '"' || c == '*' || c == '<' || c == '>' || c == '?' || c == '|' ||
         c == ':' || c == '\\';
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t separator = FindLast(path, '\\');
  return separator == npos ? path : path.substr(separator + 1);
}

std::string_view FolderOf(std::string_view path) {
  const std::size_t separator = FindLast(path, '\\');
  return separator == npos ? std::string_view() : path.substr(0, separator + 1);
}

std::string_view WithoutLastCharacter(std::string_view folder) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < folder.size();) {
    last = i;
    i += (IsLeadByte(static_cast<unsigned char>(folder[i])) && i + 1 < folder.size()) ? 2 : 1;
  }
  return folder.substr(0, last);
}

bool IsReservedFileName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ')
    stem.pop_back();
  for (char& c : stem) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
    return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
         stem[3] <= '9';
}

}  // namespace velmora::text
