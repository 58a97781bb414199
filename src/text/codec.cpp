#include "text/codec.h"

#include <cstdio>

#include "text/converter.h"

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

}  // namespace

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
