// Feeds arbitrary bytes to the listing reader, line after line, as a "-list" output file would.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/text_stream.h"
#include "platform/ui.h"
#include "toolrunner/listing_reader.h"

namespace {

using namespace velmora;
using fuzzing::BytesStream;
using fuzzing::SilentUi;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilentUi ui;
  toolrunner::ListingReader reader(ui);
  BytesStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  while (!stream.Eof()) {
    if (reader.ReadListingLine(stream, "tail"))
      break;
    if (reader.Name().empty() || reader.Folder().empty())
      break;
    // A split line always ends its folder with the separator and keeps the name before " (".
    const std::string& folder = reader.Folder();
    if (folder.back() != '\\' || reader.Name().size() + folder.size() + 2 > size)
      __builtin_trap();
  }
  return 0;
}
