// Checks the cp932 helpers against plain definitions on arbitrary bytes, and the codec's round trip.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "text/codec.h"
#include "text/mbstring.h"

namespace {

using namespace velmora::text;

void Check(bool condition) {
  if (!condition)
    std::abort();
}

// Character starts, stepping as the helpers must.
std::vector<std::size_t> Boundaries(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size();) {
    starts.push_back(i);
    i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  return starts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::size_t> starts = Boundaries(bytes);

  for (const char ch : {'\\', '.', ':', 'A'}) {
    std::size_t first = npos;
    std::size_t last = npos;
    for (const std::size_t i : starts) {
      if (bytes[i] == ch) {
        if (first == npos)
          first = i;
        last = i;
      }
    }
    Check(FindFirst(bytes, ch) == first);
    Check(FindLast(bytes, ch) == last);
    Check(Contains(bytes, ch) == (first != npos));
  }
  if (size >= 2) {
    const std::string_view needle = bytes.substr(size / 2, 2);
    const std::size_t found = FindFirst(bytes, needle, 1);
    std::size_t expected = npos;
    for (const std::size_t i : starts) {
      if (i >= 1 && bytes.substr(i, needle.size()) == needle) {
        expected = i;
        break;
      }
    }
    Check(found == expected);
  }

  const std::string lower = ToLower(bytes);
  const std::string upper = ToUpper(bytes);
  Check(lower.size() == size && upper.size() == size);
  Check(ToLower(upper) == lower);
  Check(Boundaries(lower) == starts);  // trail bytes are never changed, so characters stay whole

  const long long wide = std::strtoll(std::string(bytes.substr(0, 40)).c_str(), nullptr, 10);
  const int narrow = Atoi(bytes.substr(0, 40));
  if (wide > INT_MIN && wide < INT_MAX)
    Check(narrow == wide || bytes.substr(0, 40).find('\0') != std::string_view::npos);

  const CodecResult utf8 = Cp932ToUtf8(bytes);
  if (utf8.ok) {
    const CodecResult back = Utf8ToCp932(utf8.text);
    Check(back.ok && Cp932ToUtf8(back.text).text == utf8.text);
    Check(ToDisplayUtf8(bytes) == utf8.text);
  } else {
    Check(utf8.badOffset < size);
  }
  const CodecResult cp932 = Utf8ToCp932(bytes);
  if (cp932.ok)
    Check(Cp932ToUtf8(cp932.text).text == bytes);
  else
    Check(cp932.badOffset <= size);
  return 0;
}
