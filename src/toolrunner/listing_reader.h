#pragma once
// Reads the "-list" output of the edit tool: one "name (folder)" line per call.

#include <string>
#include <string_view>

#include "platform/text_stream.h"
#include "platform/ui.h"

namespace velmora::toolrunner {

class ListingReader {
 public:
  // Entry: a line was read and split. End: the line was empty (name and folder then empty).
  // Failed: the line broke a rule or the stream failed; the message has been shown and the stream
  // closed.
  enum class [[nodiscard]] Read{Entry, End, Failed};

  explicit ListingReader(platform::Ui& ui);

  Read ReadListingLine(platform::TextStream& stream, std::string_view messageTail);

  [[nodiscard]] const std::string& Name() const { return name_; }
  // Ends with "\".
  [[nodiscard]] const std::string& Folder() const { return folder_; }

 private:
  platform::Ui* ui_;
  std::string name_;
  std::string folder_;
};

}  // namespace velmora::toolrunner
