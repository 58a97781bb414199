#include "toolrunner/listing_reader.h"

#include "resources/messages/runner.h"
#include "text/mbstring.h"

namespace velmora::toolrunner {
namespace {

constexpr std::string_view kNetworkStart = " (\\\\";
constexpr std::string_view kNetworkBeforeFolder = ".prt (\\\\";
constexpr std::string_view kDriveBeforeFolder = ".prt (";

// The bytes at [start, start + length) lower-cased; the caller has made sure they exist.
bool LowerPieceIs(std::string_view line, std::size_t start, std::string_view expected) {
  return text::ToLower(line.substr(start, expected.size())) == expected;
}

// A quote would end the value of the batch file's "set" line; a control character (a line break
// among them) could end the line itself. Neither is ever a trail byte in cp932.
bool HoldsUnsafeByte(std::string_view line) {
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte < 0x20 || byte == 0x7F)
      return true;
  }
  return false;
}

}  // namespace

ListingReader::ListingReader(platform::Ui& ui) : ui_(&ui) {}

ListingReader::Read ListingReader::ReadListingLine(platform::TextStream& stream,
                                                   std::string_view messageTail) {
  name_.clear();
  folder_.clear();

  const auto fail = [&](const msg::Tailed& message) {
    ui_->ShowMessage(message(messageTail));
    if (!stream.Close())
      ui_->ShowMessage(msg::kListingCloseFailed());
    return Read::Failed;
  };

  std::string line;
  for (int c = stream.Getc(); c != platform::kEof && c != '\n'; c = stream.Getc())
    line += static_cast<char>(c);
  if (stream.Error())
    return fail(msg::kListingReadError);
  if (line.empty())
    return Read::End;

  if (!text::Contains(line, '(') || !text::Contains(line, ')'))
    return fail(msg::kListingNoParenthesis);
  if (line.back() != ')')
    return fail(msg::kListingNotClosed);

  std::size_t split = 0;
  const std::size_t colon = text::FindFirst(line, ':');
  if (colon == text::npos) {
    const std::size_t p = text::FindFirst(line, kNetworkStart);
    if (p == text::npos)
      return fail(msg::kListingNoNetworkStart);
    if (text::FindFirst(line, kNetworkStart, p + 1) != text::npos)
      return fail(msg::kListingTwoNetworkStarts);
    if (p < 5)
      return fail(msg::kListingNetworkTooEarly);
    if (!LowerPieceIs(line, p - 4, kNetworkBeforeFolder))
      return fail(msg::kListingNetworkNotPrt);
    split = p;
  } else {
    if (text::FindFirst(line, ':', colon + 1) != text::npos)
      return fail(msg::kListingTwoColons);
    if (colon < 8)
      return fail(msg::kListingColonTooEarly);
    // The byte just before ":" is the drive letter and is not looked at.
    if (!LowerPieceIs(line, colon - 7, kDriveBeforeFolder))
      return fail(msg::kListingDriveNotPrt);
    split = colon - 3;
  }

  // A name read from a part file is untrusted: it reaches batch files, so it must not reshape them.
  if (HoldsUnsafeByte(line))
    return fail(msg::kListingUnsafeName);

  name_ = line.substr(0, split);
  folder_ = line.substr(split + 2, line.size() - split - 3);
  folder_ += '\\';
  return Read::Entry;
}

}  // namespace velmora::toolrunner
