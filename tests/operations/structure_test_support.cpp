#include "structure_test_support.h"

#include "operations/structure_pass.h"
#include "planned_passes.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::operations::test {

StructureFixture::StructureFixture() {
  memory.env["TEMP"] = "D:\\temp";
  memory.folders.insert("D:\\temp");
}

void StructureFixture::AddRow(std::string_view path, std::string_view newName, std::string_view newFolder) {
  const std::string cp = text::Cp932(path);
  const std::size_t slash = text::FindLast(cp, '\\');
  partlist::PartRow row;
  row.folderName = cp.substr(0, slash + 1);
  row.partName = cp.substr(slash + 1);
  row.newPartName = text::Cp932(newName);
  row.newFolderName = text::Cp932(newFolder);
  row.itemData = state.partList.RowCount();
  state.partList.InsertRow(state.partList.RowCount(), std::move(row));
}

platform::TextStream& StructureFixture::Listing(const std::vector<std::string>& lines, bool finalLineBreak) {
  std::string bytes;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bytes += text::Cp932(lines[i]);
    if (i + 1 < lines.size() || finalLineBreak)
      bytes += "\r\n";
  }
  return ListingBytes(std::move(bytes));
}

platform::TextStream& StructureFixture::ListingBytes(std::string bytes) {
  memory.files[std::string(kListingPath)] = std::move(bytes);
  stream = host.Open(kListingPath, platform::OpenMode::ReadText);
  return *stream;
}

bool StructureFixture::Pass(PassMode passMode, std::string_view tailUtf8) {
  const std::string tail = text::Cp932(tailUtf8);
  const std::string folder = text::Cp932("C:\\w\\");
  return (passMode == PassMode::Perform
              ? PerformPass(context, *stream, tail, folder)
              : StructurePass(context, *stream, passMode, tail, folder)) == Step::Failed;
}

std::string StructureFixture::Text(int row, int column) const {
  return text::ToDisplayUtf8(state.partList.Text(row, column));
}

std::string StructureFixture::Numbers() const {
  std::string out;
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    if (row > 0)
      out += ' ';
    out += Text(row, partlist::kParent) + "/" + Text(row, partlist::kNumber);
  }
  return out;
}

std::string StructureFixture::Edited() const {
  std::string out;
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    const std::string mark = Text(row, partlist::kEdited);
    out += mark.empty() ? "-" : mark;
  }
  return out;
}

std::string StructureFixture::Messages() const {
  std::string out;
  for (const std::string& message : ui.messages)
    out += "[" + message + "]";
  return out;
}

}  // namespace velmora::operations::test
