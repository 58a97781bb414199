#include "text/utf8.h"

namespace velmora::text {
namespace {

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

}  // namespace

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

std::string FoldCaseUtf8(std::string_view utf8) {
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

}  // namespace velmora::text
