#include "text/codec.h"

#include <errno.h>
#include <iconv.h>

#include <cstdio>

namespace velmora::text {
namespace {

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1))
      iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of input; on failure returns the offset of the first byte that could not be taken.
  [[nodiscard]] CodecResult Run(std::string_view input) const {
    CodecResult result;
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      return result;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(input.size() * 3 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
      if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
        continue;
      if (errno == E2BIG) {
        const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
        out.resize(out.size() * 2);
        outPtr = out.data() + used;
        outLeft = out.size() - used;
        continue;
      }
      result.badOffset = static_cast<std::size_t>(in - input.data());
      return result;
    }
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    result.ok = true;
    result.text = std::move(out);
    return result;
  }

 private:
  iconv_t cd_;
};

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80)
    return 1;
  if (lead >= 0xF0)
    return 4;
  if (lead >= 0xE0)
    return 3;
  return 2;
}

// One converter per direction and thread: opening one costs more than converting a file name, and
// every host path goes through here. Run() resets the state before each use.
const Converter& ToUtf8() {
  thread_local const Converter converter("UTF-8", "CP932");
  return converter;
}

const Converter& ToCp932() {
  thread_local const Converter converter("CP932", "UTF-8");
  return converter;
}

}  // namespace

CodecResult Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932))
    return {true, std::string(cp932), 0};
  return ToUtf8().Run(cp932);
}

CodecResult Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8))
    return {true, std::string(utf8), 0};
  const Converter& toCp932 = ToCp932();
  const Converter& back = ToUtf8();
  CodecResult result = toCp932.Run(utf8);
  if (!result.ok)
    return result;
  // Some characters map one way only ("¥" to "\", "‾" to "~", "〜" to "～"). Taking them would
  // silently change a name, so they count as not convertible.
  const CodecResult again = back.Run(result.text);
  if (again.ok && again.text == utf8)
    return result;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = Utf8Length(static_cast<unsigned char>(utf8[i]));
    const std::string_view one = utf8.substr(i, length);
    const CodecResult single = toCp932.Run(one);
    const CodecResult returned = single.ok ? back.Run(single.text) : CodecResult{};
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
  const Converter& converter = ToUtf8();
  std::string out;
  std::size_t start = 0;
  while (start < cp932.size()) {
    const CodecResult part = converter.Run(cp932.substr(start));
    if (part.ok) {
      out += part.text;
      break;
    }
    const std::size_t bad = start + part.badOffset;
    out += converter.Run(cp932.substr(start, bad - start)).text;
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(cp932[bad]));
    out += escaped;
    start = bad + 1;
  }
  return out;
}

}  // namespace velmora::text
