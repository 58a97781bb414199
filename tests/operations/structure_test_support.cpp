#include "structure_test_support.h"

#include <functional>

#include "operations/structure_pass.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::operations::test {

namespace {

class MemoryReadStream final : public platform::TextStream {
 public:
  explicit MemoryReadStream(std::string bytes) : bytes_(std::move(bytes)) {}
  int Getc() override {
    if (pos_ >= bytes_.size()) {
      eof_ = true;
      return platform::kEof;
    }
    const auto c = static_cast<unsigned char>(bytes_[pos_++]);
    if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') {
      ++pos_;
      return '\n';
    }
    return c;
  }
  bool Eof() const override { return eof_; }
  bool Error() const override { return false; }
  void Puts(std::string_view) override {}
  long long Tell() override { return open_ ? static_cast<long long>(pos_) : -1; }
  bool Seek(long long offset) override {
    pos_ = static_cast<std::size_t>(offset);
    eof_ = false;
    return open_;
  }
  void Rewind() override { Seek(0); }
  bool Close() override {
    open_ = false;
    return true;
  }
  bool IsOpen() const override { return open_; }

 private:
  std::string bytes_;
  std::size_t pos_ = 0;
  bool eof_ = false;
  bool open_ = true;
};

}  // namespace

void StructureMemoryHost::Put(std::string_view path, std::string bytes) {
  files[text::ToLower(path)] = std::move(bytes);
}

bool StructureMemoryHost::Has(std::string_view path) const {
  return files.contains(text::ToLower(path));
}

std::optional<std::string> StructureMemoryHost::GetEnv(std::string_view name) {
  if (name == "TEMP")
    return temp;
  return std::nullopt;
}

std::optional<platform::FileStatus> StructureMemoryHost::Stat(std::string_view path) {
  if (temp && text::ToLower(path) == text::ToLower(*temp))
    return platform::FileStatus{0, true, {}};
  const auto it = files.find(text::ToLower(path));
  if (it == files.end())
    return std::nullopt;
  return platform::FileStatus{it->second.size(), false,
                              platform::FileId{1, std::hash<std::string>{}(it->first)}};
}

bool StructureMemoryHost::Remove(std::string_view path) {
  return files.erase(text::ToLower(path)) == 1;
}

bool StructureMemoryHost::CopyFile(std::string_view, std::string_view, bool) {
  return false;
}

bool StructureMemoryHost::Rename(std::string_view, std::string_view) {
  return false;
}

std::unique_ptr<platform::TextStream> StructureMemoryHost::Open(std::string_view path,
                                                                platform::OpenMode mode) {
  const auto it = files.find(text::ToLower(path));
  if (mode != platform::OpenMode::ReadText || it == files.end())
    return nullptr;
  return std::make_unique<MemoryReadStream>(it->second);
}

std::unique_ptr<platform::Process> StructureMemoryHost::StartBatch(std::string_view) {
  return nullptr;
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
  memory.Put(kListingPath, std::move(bytes));
  stream = host.Open(kListingPath, platform::OpenMode::ReadText);
  return *stream;
}

bool StructureFixture::Pass(PassMode passMode, std::string_view tailUtf8) {
  return StructurePass(context, *stream, passMode, text::Cp932(tailUtf8), text::Cp932("C:\\w\\")) ==
         Step::Failed;
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
