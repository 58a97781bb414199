#include "text/codec.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "text/converter.h"
#include "text/utf8.h"

namespace velmora::text {
namespace {

using detail::Convert;
using detail::Direction;

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80)
    return 1;
  if (lead >= 0xF0)
    return 4;
  if (lead >= 0xE0)
    return 3;
  return 2;
}

bool IsUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t c = 0;
    const std::size_t length = DecodeUtf8(bytes, i, c);
    if (length == 0)
      return false;
    i += length;
  }
  return true;
}

// UTF-16 after its byte-order mark; nullopt for an odd length or an unpaired surrogate.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0)
    return std::nullopt;
  auto unit = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  std::string utf8;
  utf8.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xDC00 && c <= 0xDFFF)
      return std::nullopt;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 2 >= bytes.size())
        return std::nullopt;
      const char32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF)
        return std::nullopt;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(utf8, c);
  }
  return utf8;
}

FileText FromUtf8(FileEncoding encoding, std::string_view utf8) {
  FileText result;
  result.encoding = encoding;
  CodecResult converted = Utf8ToCp932(utf8);
  result.ok = converted.ok;
  if (converted.ok)
    result.cp932 = std::move(converted.text);
  else
    result.badLine = 1 + static_cast<int>(std::count(utf8.begin(), utf8.begin() + converted.badOffset, '\n'));
  return result;
}

}  // namespace

FileText FileTextToCp932(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    return FromUtf8(FileEncoding::Utf8, bytes.substr(3));
  const bool little = bytes.starts_with("\xFF\xFE");
  if (little || bytes.starts_with("\xFE\xFF")) {
    const std::optional<std::string> utf8 = Utf16ToUtf8(bytes.substr(2), !little);
    if (!utf8)
      return {FileEncoding::Utf16, false, {}, 1};
    return FromUtf8(FileEncoding::Utf16, *utf8);
  }
  if (!IsAscii(bytes) && IsUtf8(bytes))
    return FromUtf8(FileEncoding::Utf8, bytes);
  return {FileEncoding::Cp932, true, std::string(bytes), 0};
}

CodecResult Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932))
    return {true, std::string(cp932), 0};
  return Convert(Direction::ToUtf8, cp932);
}

CodecResult Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8))
    return {true, std::string(utf8), 0};
  CodecResult result = Convert(Direction::ToCp932, utf8);
  if (!result.ok)
    return result;
  // Some characters map one way only ("¥" to "\", "‾" to "~", "〜" to "～"). Taking them would
  // silently change a name, so they count as not convertible.
  const CodecResult again = Convert(Direction::ToUtf8, result.text);
  if (again.ok && again.text == utf8)
    return result;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = Utf8Length(static_cast<unsigned char>(utf8[i]));
    const std::string_view one = utf8.substr(i, length);
    const CodecResult single = Convert(Direction::ToCp932, one);
    const CodecResult returned = single.ok ? Convert(Direction::ToUtf8, single.text) : CodecResult{};
    if (!returned.ok || returned.text != one)
      return {false, {}, i};
    i += length;
  }
  return {false, {}, 0};
}

std::string Cp932(std::string_view utf8Literal) {
  CodecResult result = Utf8ToCp932(utf8Literal);
  if (result.ok)
    return std::move(result.text);
  // Not reachable for the program's own texts; keep what converts rather than lose the message.
  return Utf8ToCp932(utf8Literal.substr(0, result.badOffset)).text + "?";
}

std::string ToDisplayUtf8(std::string_view cp932) {
  if (IsAscii(cp932))
    return std::string(cp932);
  std::string out;
  std::size_t start = 0;
  while (start < cp932.size()) {
    const CodecResult part = Convert(Direction::ToUtf8, cp932.substr(start));
    if (part.ok) {
      out += part.text;
      break;
    }
    const std::size_t bad = start + part.badOffset;
    out += Convert(Direction::ToUtf8, cp932.substr(start, bad - start)).text;
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(cp932[bad]));
    out += escaped;
    start = bad + 1;
  }
  return out;
}

}  // namespace velmora::text
