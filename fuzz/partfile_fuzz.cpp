// The part-file parser on arbitrary bytes: it must never crash, and whatever it accepts must write
// out and read back as the same part.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cad/part/part_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora::cad;
  const ParseResult parsed = ParsePart(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parsed.ok) {
    if (parsed.error.empty())
      std::abort();
    return 0;
  }
  if (!CheckPart(parsed.part).empty())
    std::abort();
  const ParseResult again = ParsePart(FormatPart(parsed.part));
  if (!again.ok || !(again.part == parsed.part))
    std::abort();
  return 0;
}
