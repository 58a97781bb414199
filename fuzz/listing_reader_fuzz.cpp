// Feeds arbitrary bytes to the listing reader, line after line, as a "-list" output file would.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
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
  auto stream = BytesStream(std::string_view(reinterpret_cast<const char*>(data), size));
  while (!stream.Eof()) {
    const toolrunner::ListingReader::Read read = reader.ReadListingLine(stream, "tail");
    if (read != toolrunner::ListingReader::Read::Entry)
      break;
    // A split line always has a name before " (", ends its folder with the separator and holds no
    // more than the line did.
    const std::string& folder = reader.Folder();
    if (reader.Name().empty() || folder.empty() || folder.back() != '\\' ||
        reader.Name().size() + folder.size() + 2 > size)
      __builtin_trap();
  }
  return 0;
}
