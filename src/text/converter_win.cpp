#include <windows.h>

#include <algorithm>
#include <string>

#include "text/converter.h"

namespace velmora::text::detail {
namespace {

constexpr UINT kCp932 = 932;

std::size_t CharLength(Direction direction, std::string_view input, std::size_t at) {
  const auto lead = static_cast<unsigned char>(input[at]);
  std::size_t length = 1;
  if (direction == Direction::ToUtf8)
    length = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
  else if (lead >= 0xF0)
    length = 4;
  else if (lead >= 0xE0)
    length = 3;
  else if (lead >= 0x80)
    length = 2;
  return std::min(length, input.size() - at);
}

// The platform's table gives single bytes 0x80, 0xA0 and 0xFD-0xFF characters of their own; they
// are no characters of cp932, and taking them would let a broken name through.
std::size_t FirstUnmapped(std::string_view cp932) {
  for (std::size_t at = 0; at < cp932.size();) {
    const auto byte = static_cast<unsigned char>(cp932[at]);
    if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD)
      return at;
    at += CharLength(Direction::ToUtf8, cp932, at);
  }
  return std::string_view::npos;
}

// The whole input or nothing: the platform does not say where a conversion stopped.
bool ConvertAll(Direction direction, std::string_view input, std::string& out) {
  out.clear();
  if (input.empty())
    return true;
  if (direction == Direction::ToUtf8 && FirstUnmapped(input) != std::string_view::npos)
    return false;
  const UINT from = direction == Direction::ToUtf8 ? kCp932 : CP_UTF8;
  const UINT to = direction == Direction::ToUtf8 ? CP_UTF8 : kCp932;
  const int inLength = static_cast<int>(input.size());
  const int wideLength = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, input.data(), inLength, nullptr, 0);
  if (wideLength <= 0)
    return false;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, input.data(), inLength, wide.data(), wideLength);
  // No best fit and no default character: a character cp932 cannot hold is a failure.
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultFlag = to == CP_UTF8 ? nullptr : &usedDefault;
  const DWORD flags = to == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  const int outLength =
      WideCharToMultiByte(to, flags, wide.data(), wideLength, nullptr, 0, nullptr, usedDefaultFlag);
  if (outLength <= 0 || usedDefault)
    return false;
  out.resize(static_cast<std::size_t>(outLength));
  WideCharToMultiByte(to, flags, wide.data(), wideLength, out.data(), outLength, nullptr, usedDefaultFlag);
  return !usedDefault && (to == CP_UTF8 || FirstUnmapped(out) == std::string_view::npos);
}

}  // namespace

CodecResult Convert(Direction direction, std::string_view input) {
  CodecResult result;
  if (ConvertAll(direction, input, result.text)) {
    result.ok = true;
    return result;
  }
  // Find the first character that does not convert.
  std::string piece;
  std::size_t at = 0;
  while (at < input.size()) {
    const std::size_t length = CharLength(direction, input, at);
    if (!ConvertAll(direction, input.substr(at, length), piece))
      break;
    at += length;
  }
  result.text.clear();
  result.badOffset = at < input.size() ? at : 0;
  return result;
}

}  // namespace velmora::text::detail
