#include "dialog_fixture.h"

#include <stdlib.h>

#include <filesystem>

#include "support/platform_support.h"
#include "text/mbstring.h"

namespace velmora::app::test {

std::optional<platform::FileStatus> VanishingHost::Stat(std::string_view path) {
  if (armed_ && text::ToLower(path) == text::ToLower(vanishing))
    return std::nullopt;
  return Inner().Stat(path);
}

std::unique_ptr<platform::Process> VanishingHost::StartBatch(std::string_view commandLine) {
  if (!armOn.empty() && commandLine.find(armOn) != std::string_view::npos)
    armed_ = true;
  return Inner().StartBatch(commandLine);
}

DialogFixture::~DialogFixture() {
  unsetenv("VELMORA_UF_FAIL");
}

bool DialogFixture::Init() {
  return dialog.OnInitDialog();
}

void DialogFixture::Start() {
  ASSERT_TRUE(Init());
  ASSERT_EQ(ui.messages, std::vector<std::string>());
}

void DialogFixture::SmallAssembly() {
  WritePart("work/Top.prt", {{"", "Mid.PRT"}, {"D:\\Work\\Sub", "Leaf.prt"}});
  WritePart("work/Mid.PRT", {{"D:\\Work\\Sub", "Leaf.prt"}});
  WritePart("work/Sub/Leaf.prt", {});
  Start();
  ASSERT_TRUE(ChooseInputPart(drive.Win("work/Top.prt")));
  ui.messages.clear();
  ui.controlOptions.overwriteAll = 1;
}

bool DialogFixture::Quit() {
  return dialog.OnCancel();
}

void DialogFixture::AddRow(std::string_view name, std::string_view folder, std::string_view newName,
                           std::string_view newFolder) {
  partlist::PartRow row;
  row.partName = std::string(name);
  row.folderName = std::string(folder);
  row.newPartName = std::string(newName);
  row.newFolderName = std::string(newFolder);
  row.itemData = List().RowCount();
  List().InsertRow(List().RowCount(), std::move(row));
}

bool DialogFixture::ChooseInputPart(const std::string& windowsPath) {
  ui.files.push_back(windowsPath);
  dialog.BrowseInputPart();
  return !State().inputPartPath.empty();
}

void DialogFixture::Execute(operations::Operation operation) {
  ui.controlOperation = operation;
  dialog.OnExecute();
}

int DialogFixture::RowOf(std::string_view partNameUtf8) {
  return List().FindRow(partlist::kPartName, Cp(partNameUtf8));
}

void DialogFixture::WritePart(std::string_view relative,
                              const std::vector<std::pair<std::string, std::string>>& components) {
  const std::size_t slash = relative.rfind('/');
  std::string content =
      "VELMORA-PART 1\nsaved-as\t" + std::string(relative.substr(slash + 1)) + "\nsaves\t0\n";
  for (const auto& [folder, name] : components)
    content += "component\t" + folder + "\t" + name + "\n";
  content += "end\n";
  drive.WriteFile(relative, Cp(content));
}

std::string DialogFixture::ReadPart(std::string_view relative) {
  return text::ToDisplayUtf8(drive.ReadFile(relative));
}

namespace {

// ugpc.exe's paths for the part (cp932, as listed); false when it failed, with its output.
bool RunUgpc(const std::string& windowsPath, std::vector<std::string>& paths, std::string& output) {
  velmora::testing::Captured run = velmora::testing::RunCadProgram("ugpc.exe", "-a -s1", windowsPath);
  output = std::move(run.output);
  if (run.exitCode != 0)
    return false;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos)
      end = output.size();
    std::string line = output.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    const std::size_t pathStart = line.find_first_not_of(" \t");
    if (pathStart != std::string::npos)
      paths.push_back(line.substr(pathStart));
  }
  return true;
}

}  // namespace

::testing::AssertionResult DialogFixture::StructureResolves(const std::string& windowsPath) {
  std::vector<std::string> paths;
  std::string output;
  if (!RunUgpc(windowsPath, paths, output))
    return ::testing::AssertionFailure() << "ugpc.exe failed: " << text::ToDisplayUtf8(output);
  for (const std::string& path : paths) {
    if (!realHost.Stat(path))
      return ::testing::AssertionFailure() << "unresolved component " << text::ToDisplayUtf8(path);
  }
  if (paths.empty())
    return ::testing::AssertionFailure() << "empty structure";
  return ::testing::AssertionSuccess() << paths.size() << " lines resolve";
}

std::vector<std::string> DialogFixture::StructurePaths(const std::string& windowsPath) {
  std::vector<std::string> paths;
  std::string output;
  if (!RunUgpc(windowsPath, paths, output))
    return {};
  for (std::string& path : paths)
    path = text::ToDisplayUtf8(text::ToLower(path));
  return paths;
}

std::map<std::string, std::string> DialogFixture::DriveSnapshot() const {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  // The root with its separator: on Windows the drive is "D:", which alone names the drive's
  // current folder. UTF-8 both ways, whatever the code page.
  const std::string rootUtf8 = drive.Host("") + "/";
  const fs::path root(std::u8string(rootUtf8.begin(), rootUtf8.end()));
  for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator();
       ++entry) {
    const std::u8string spelt = entry->path().lexically_relative(root).generic_u8string();
    const std::string relative(spelt.begin(), spelt.end());
    if (relative == "temp") {
      entry.disable_recursion_pending();
      continue;
    }
    if (entry->is_regular_file())
      files[relative] = drive.ReadFile(relative);
  }
  return files;
}

}  // namespace velmora::app::test
