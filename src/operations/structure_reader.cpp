#include "operations/structure_reader.h"

#include "resources/messages/operations.h"
#include "resources/messages/structure.h"
#include "text/mbstring.h"

namespace velmora::operations {

namespace {

// The white space the C runtime's isspace knows in the "C" locale.
bool IsBlank(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

StructureReader::StructureReader(Context& context, platform::TextStream& stream, PassMode passMode,
                                 std::string_view messageTail)
    : context_(&context),
      stream_(&stream),
      passMode_(passMode),
      messageTail_(messageTail),
      inputKey_(text::ToLower(context.state.inputPartPath)),
      levelTable_(static_cast<std::size_t>(context.state.partList.RowCount()), 0) {
  stream_->Rewind();
}

StructureReader::ReadResult StructureReader::ReadLine(int& level, std::string& path) {
  line_.clear();
  for (int c = stream_->Getc(); c != platform::kEof && c != '\n'; c = stream_->Getc())
    line_.push_back(static_cast<char>(c));
  if (stream_->Error())
    return ReadResult::Error;
  if (line_.empty())
    return ReadResult::Empty;
  std::size_t blanks = 0;
  while (blanks < line_.size() && IsBlank(static_cast<unsigned char>(line_[blanks])))
    ++blanks;
  // The table has one entry per row, so any depth past the row count is refused later; clamp
  // here only so that the count fits an int.
  level = blanks > levelTable_.size() ? static_cast<int>(levelTable_.size()) + 1 : static_cast<int>(blanks);
  path.assign(line_, blanks);
  return ReadResult::Line;
}

StructureReader::Next StructureReader::NextLine(StructureLine& line) {
  if (stream_->Eof())
    return Next::End;
  int level = 0;
  const ReadResult read = ReadLine(level, line.path);
  if (read == ReadResult::Error)
    return Stop(msg::kPcReadError);
  if (read == ReadResult::Empty)
    return Next::End;

  int parentNumber = 0;
  if (const std::optional<msg::Tailed> fault = LevelFault(level, parentNumber))
    return Stop(*fault);
  int& entry = levelTable_[static_cast<std::size_t>(level)];
  entry = lineNumber_;

  const int row = context_->state.partList.FindRow(partlist::kFolderName, line.path);
  if (row < 0)
    return Stop(msg::kPcFileNotInList);
  if (const std::optional<msg::Tailed> fault = NumberRow(row, entry, parentNumber))
    return Stop(*fault);

  if (lineNumber_ != 1 && IsInputLine(row))
    return Stop(msg::kPcFirstLineNotInput);
  line.row = row;
  line.level = level;
  line.lineNumber = lineNumber_;
  return Next::Line;
}

StructureReader::Next StructureReader::Stop(const msg::Tailed& message) {
  static_cast<void>(Fail(message));
  return Next::Failed;
}

// The first line is the top part; every later line hangs one level below a line already read.
std::optional<msg::Tailed> StructureReader::LevelFault(int level, int& parentNumber) const {
  const int tableSize = static_cast<int>(levelTable_.size());
  if (level == 0) {
    if (lineNumber_ != 1)
      return msg::kPcFirstLineNotAssembly;
    if (tableSize == 0)
      return msg::kPcNoHierarchy;
    return std::nullopt;
  }
  if (lineNumber_ == 2 && level != 1)
    return msg::kPcSecondLineIndent;
  // A level at or past the row count would write past the table; no consistent listing is that deep.
  if (level >= tableSize)
    return msg::kPcNoHierarchy;
  const int p = levelTable_[static_cast<std::size_t>(level - 1)];
  if (p < 1 || p >= lineNumber_)
    return msg::kPcNoHierarchy;
  parentNumber = p;
  return std::nullopt;
}

// Numbers the row of the line, or in the perform pass takes the number the check pass gave it.
std::optional<msg::Tailed> StructureReader::NumberRow(int row, int& entry, int parentNumber) {
  partlist::PartList& list = context_->state.partList;
  const std::string& parentText = list.Text(row, partlist::kParent);
  const std::string& numberText = list.Text(row, partlist::kNumber);
  const int numberValue = text::Atoi(numberText);

  if (passMode_ == PassMode::Perform) {
    // The check pass just before numbered every row.
    if (numberValue < 1 || numberValue > lineNumber_)
      return msg::kPerformNoNumber;
    entry = numberValue;
    return std::nullopt;
  }
  if (parentText.empty() != numberText.empty())
    return msg::kParentOrNumberMissing;
  int number = lineNumber_;
  if (!numberText.empty()) {
    // Met before: the components of a repeated part hang under its first occurrence.
    number = numberValue;
    if (number < 2 || number >= lineNumber_)
      return msg::kBadNumber;
    entry = number;
    const int q = text::Atoi(parentText);
    // Two ways to "no parent", kept apart because the order of the tests matters.
    if (q == -1) {  // NOLINT(bugprone-branch-clone)
      parentNumber = -1;
    } else if (q < 1 || q >= number) {
      return msg::kBadParent;
    } else if (q != parentNumber) {
      parentNumber = -1;
    }
  }
  list.SetText(row, partlist::kParent, text::FormatInt(parentNumber));
  list.SetText(row, partlist::kNumber, text::FormatInt(number));
  return std::nullopt;
}

bool StructureReader::IsInputLine(int row) const {
  return text::ToLower(context_->state.partList.RowPath(row, false)) == inputKey_;
}

Step StructureReader::Finish() {
  levelTable_ = {};
  const partlist::PartList& list = context_->state.partList;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.Text(row, partlist::kParent).empty() || list.Text(row, partlist::kNumber).empty())
      return Fail(msg::kPcFilesMissing);
  }
  return Step::Done;
}

Step StructureReader::Fail(const msg::Tailed& message) {
  context_->ui.ShowMessage(message(messageTail_));
  return FailShown();
}

Step StructureReader::FailShown() {
  CloseAll();
  levelTable_ = {};
  return Step::Failed;
}

void StructureReader::CloseAll() {
  if (stream_->IsOpen() && !stream_->Close())
    context_->ui.ShowMessage(msg::kPcCloseFailedNoTail());
}

}  // namespace velmora::operations
