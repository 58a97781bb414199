#include "structure_e2e_fixture.h"

#include <filesystem>

#include "cad/part/part_file.h"
#include "operations/inspect.h"
#include "operations/list_building.h"
#include "operations/structure_pass.h"
#include "planned_passes.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::operations::test {

namespace fs = std::filesystem;

StructureE2e::~StructureE2e() {
  (void)session.Close();
  unsetenv("VELMORA_CAD_FAIL");
  unsetenv("VELMORA_UF_FAIL");
}

void StructureE2e::WritePart(std::string_view relative,
                             const std::vector<std::pair<std::string, std::string>>& components) {
  cad::Part part;
  part.savedAs = text::Cp932(fs::path(relative).filename().string());
  part.saves = 1;
  for (const auto& [folder, name] : components)
    part.components.push_back({text::Cp932(folder), text::Cp932(name)});
  fs::create_directories(fs::path(drive.Host(relative)).parent_path());
  ASSERT_EQ(cad::WritePartFile(drive.Host(relative), part), "");
}

std::vector<std::string> StructureE2e::Components(std::string_view relative) const {
  const cad::ReadResult read = cad::ReadPartFile(drive.Host(relative));
  std::vector<std::string> out;
  if (read.status != cad::ReadStatus::Ok)
    return {"unreadable"};
  for (const cad::Reference& reference : read.part.components)
    out.push_back(text::ToDisplayUtf8(reference.folder) + "|" + text::ToDisplayUtf8(reference.name));
  return out;
}

void StructureE2e::MakeFolder(std::string_view relative) const {
  fs::create_directories(drive.Host(relative));
}

void StructureE2e::Load(std::string_view inputPath) {
  state.inputPartPath = text::Cp932(inputPath);
  ASSERT_EQ(BuildPartList(context), Step::Done) << Messages();
  ui.messages.clear();
}

int StructureE2e::Row(std::string_view partName) const {
  const std::string name = text::ToLower(text::Cp932(partName));
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    if (text::ToLower(state.partList.Text(row, partlist::kPartName)) == name)
      return row;
  }
  ADD_FAILURE() << "no row " << partName;
  return 0;
}

void StructureE2e::Rename(std::string_view partName, std::string_view newName, std::string_view newFolder) {
  const int row = Row(partName);
  state.partList.SetText(row, partlist::kNewPartName, text::Cp932(newName));
  state.partList.SetText(row, partlist::kNewFolderName, text::Cp932(newFolder));
}

bool StructureE2e::Change(Operation operation, const std::function<void()>& betweenPasses) {
  state.operation = operation;
  const std::string refused = text::Cp932("実行は使用出来ません。");
  const std::string broken = text::Cp932("実行は中断しました。");
  // Where the input part ends up, and whether anything changes, as the execute button works out.
  const std::string inputKey = text::ToLower(state.inputPartPath);
  std::string result;
  bool changes = false;
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    const std::string newPath = state.partList.RowPath(row, true);
    if (text::ToLower(state.partList.RowPath(row, false)) == inputKey)
      result = newPath.empty() ? inputKey : newPath;
    changes = changes || !newPath.empty();
  }
  const std::string inputFolder = result.substr(0, text::FindLast(result, '\\') + 1);
  static_cast<void>(RunInspect(context, PassMode::Check, inputFolder));
  const std::string base = context.runner.WorkFileBase(inputKey, toolrunner::ToolMode::Structure, refused);
  if (base.empty() || context.runner.RunTool({.mode = toolrunner::ToolMode::Structure, .inFile = inputKey},
                                             refused) == Step::Failed)
    return true;
  const std::unique_ptr<platform::TextStream> listing =
      host.Open(base + ".txt", platform::OpenMode::ReadText);
  if (!listing) {
    ADD_FAILURE() << "no ugpc output";
    return true;
  }
  if (StructurePass(context, *listing, PassMode::Check, refused, inputFolder) == Step::Failed)
    return true;
  if (betweenPasses)
    betweenPasses();
  if (changes && PerformPass(context, *listing, broken, inputFolder) == Step::Failed)
    return true;
  return ClosePcOutput(context, *listing, base + ".txt", broken) == Step::Failed;
}

void StructureE2e::Inspect() {
  state.operation = Operation::Inspect;
  const std::string inputKey = text::ToLower(state.inputPartPath);
  static_cast<void>(
      RunInspect(context, PassMode::Inspect, inputKey.substr(0, text::FindLast(inputKey, '\\') + 1)));
}

std::vector<std::string> StructureE2e::Structure(std::string_view windowsPath) {
  const std::string path = text::Cp932(windowsPath);
  const std::string tail = text::Cp932("検査は出来ていません。");
  const std::string base = context.runner.WorkFileBase(path, toolrunner::ToolMode::Structure, tail);
  if (context.runner.RunTool({.mode = toolrunner::ToolMode::Structure, .inFile = path}, tail) == Step::Failed)
    return {"ugpc failed: " + Messages()};
  const std::unique_ptr<platform::TextStream> output = host.Open(base + ".txt", platform::OpenMode::ReadText);
  std::vector<std::string> lines;
  std::string line;
  for (int c = output->Getc(); c != platform::kEof; c = output->Getc()) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    lines.push_back(text::ToDisplayUtf8(line));
    line.clear();
  }
  if (!line.empty())
    lines.push_back(text::ToDisplayUtf8(line));
  output->Close();
  host.Remove(base + ".txt");
  return lines;
}

std::map<std::string, std::string> StructureE2e::Snapshot() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(drive.HostRoot())) {
    const std::string relative = fs::relative(entry.path(), drive.HostRoot()).string();
    if (entry.is_regular_file() && !relative.starts_with("temp/"))
      files[relative] = drive.ReadFile(relative);
  }
  return files;
}

std::vector<std::string> StructureE2e::ExpectResolves(const std::vector<std::string>& lines) {
  std::vector<std::string> paths;
  for (const std::string& line : lines) {
    const std::string path = line.substr(line.find_first_not_of(' '));
    EXPECT_TRUE(host.Stat(text::Cp932(path)).has_value()) << path;
    paths.push_back(text::ToDisplayUtf8(text::ToLower(text::Cp932(path))));
  }
  EXPECT_FALSE(paths.empty());
  return paths;
}

std::string StructureE2e::Column(int column) const {
  std::string out;
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    const std::string text = text::ToDisplayUtf8(state.partList.Text(row, column));
    out += text.empty() ? "-" : text;
  }
  return out;
}

std::string StructureE2e::Messages() const {
  std::string out;
  for (const std::string& message : ui.messages)
    out += "[" + message + "]";
  return out;
}

}  // namespace velmora::operations::test
