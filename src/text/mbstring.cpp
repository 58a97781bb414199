#include "text/mbstring.h"

#include <climits>
#include <cstdint>

namespace velmora::text {
namespace {

// Length of the character starting at i: a lead byte with nothing after it counts as one byte.
std::size_t CharLength(std::string_view text, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

std::string ChangeCase(std::string_view text, char from, char to) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (out[i] >= from && out[i] <= to)
      out[i] = static_cast<char>(out[i] ^ 0x20);
  }
  return out;
}

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t FindFirst(std::string_view text, char ch, std::size_t from) {
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (i >= from && text[i] == ch)
      return i;
  }
  return npos;
}

std::size_t FindLast(std::string_view text, char ch) {
  std::size_t found = npos;
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (text[i] == ch)
      found = i;
  }
  return found;
}

std::size_t FindFirst(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size())
    return npos;
  std::size_t i = 0;
  while (i < from)
    i += CharLength(text, i);
  for (; i + needle.size() <= text.size(); i += CharLength(text, i)) {
    if (text.compare(i, needle.size(), needle) == 0)
      return i;
    if (i == text.size())
      break;
  }
  return npos;
}

bool Contains(std::string_view text, char ch) {
  return FindFirst(text, ch) != npos;
}

std::string ToLower(std::string_view text) {
  return ChangeCase(text, 'A', 'Z');
}

std::string ToUpper(std::string_view text) {
  return ChangeCase(text, 'a', 'z');
}

int Atoi(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The runtime's strtol saturates; so do we, instead of overflowing.
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<std::int64_t>(INT_MAX) + 1)
      value = static_cast<std::int64_t>(INT_MAX) + 1;
  }
  if (negative)
    return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string FormatInt(int value) {
  return std::to_string(value);
}

}  // namespace velmora::text
