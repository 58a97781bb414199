#pragma once
// The reader of the ugpc structure listing for one structure pass: it reads the listing line by
// line, finds each line's row, numbers the rows and refuses every inconsistency. Internal to the
// operations module.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operations/context.h"
#include "operations/modes.h"
#include "platform/step.h"
#include "platform/text_stream.h"
#include "resources/messages/message.h"

namespace velmora::operations {

struct StructureLine {
  int row = -1;
  int level = 0;
  int lineNumber = 0;
  std::string path;  // as listed, leading white space removed
};

class StructureReader {
 public:
  enum class Next { Line, End, Failed };

  // Starts the pass: one level entry per row, all 0, line 1, the stream rewound. messageTail is cp932.
  StructureReader(Context& context, platform::TextStream& stream, PassMode passMode,
                  std::string_view messageTail);
  StructureReader(const StructureReader&) = delete;
  StructureReader& operator=(const StructureReader&) = delete;

  // Reads, checks and numbers one line. Failed: the pass has ended through Fail.
  Next NextLine(StructureLine& line);
  // After the work of a line.
  void Advance() { ++lineNumber_; }
  [[nodiscard]] int LineNumber() const { return lineNumber_; }
  // The number held for the current branch at a level below the current line's.
  [[nodiscard]] int LevelEntry(int level) const { return levelTable_[static_cast<std::size_t>(level)]; }

  // The row's current path equals the input-part field, both lower-cased.
  [[nodiscard]] bool IsInputLine(int row) const;

  // Every row must have been named. Failed when a row was not (the pass has failed).
  Step Finish();

  // The failure protocol: shows the message with the tail, closes the listing, and returns Failed. FailShown
  // is the same when the failing step showed its own.
  Step Fail(const msg::Tailed& message);
  Step FailShown();

 private:
  enum class ReadResult { Line, Empty, Error };
  ReadResult ReadLine(int& level, std::string& path);
  Next Stop(const msg::Tailed& message);
  // The message of the rule a line breaks; none when it holds.
  [[nodiscard]] std::optional<msg::Tailed> LevelFault(int level, int& parentNumber) const;
  [[nodiscard]] std::optional<msg::Tailed> NumberRow(int row, int& entry, int parentNumber);
  // Closes the listing; a close that fails shows its own message.
  void CloseAll();

  Context* context_;
  platform::TextStream* stream_;
  PassMode passMode_;
  std::string messageTail_;
  std::string inputKey_;
  std::vector<int> levelTable_;
  int lineNumber_ = 1;
  std::string line_;  // reused buffer
};

}  // namespace velmora::operations
