#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "run_process.h"
#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::cad {
namespace {

namespace fs = std::filesystem;
using testing::RunCadTool;

std::vector<std::string> Lines(const std::string& crlfText) {
  std::vector<std::string> lines;
  std::istringstream in(crlfText);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Every file below a host folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file())
      continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[fs::relative(entry.path(), root).string()] = bytes.str();
  }
  return files;
}

std::size_t Indent(const std::string& line) {
  return line.find_first_not_of(' ');
}

class MakeAssembly : public ::testing::Test {
 protected:
  velmora::testing::TempDrive drive_;
};

TEST_F(MakeAssembly, WritesTheAssemblyTheToolsList) {
  const std::string top = drive_.MakeAssembly("asm", "--parts 200 --missing 5 --seed 7");
  ASSERT_EQ(top, "D:\\asm\\TopAssy.prt");

  const auto list = RunCadTool("ug_edit_part_names.exe", {top, "-list"});
  ASSERT_EQ(list.err, "");
  const std::vector<std::string> listed = Lines(list.out);
  EXPECT_EQ(listed.size(), 200u);
  EXPECT_EQ(listed[0], "TopAssy.prt (D:\\asm)");
  // Every line names a file that is there, but for the missing ones.
  int missing = 0;
  for (const std::string& line : listed) {
    const std::size_t open = line.rfind(" (");
    const std::string path = line.substr(open + 2, line.size() - open - 3) + "\\" + line.substr(0, open);
    std::string relative = text::Cp932ToUtf8(path.substr(3)).text;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (!drive_.Exists(relative))
      ++missing;
  }
  EXPECT_EQ(missing, 5);
  EXPECT_EQ(Snapshot(drive_.Host("asm")).size(), 195u);

  const std::string all = list.out;
  for (const std::string_view japanese : {"表示板", "ソケット", "能力部品", "アーム"})
    EXPECT_NE(all.find(text::Cp932(japanese)), std::string::npos) << japanese;
  EXPECT_NE(all.find(".PRT ("), std::string::npos);
  EXPECT_NE(all.find(".Prt ("), std::string::npos);
  EXPECT_NE(all.find("(D:\\asm\\" + text::Cp932("部品表") + ")"), std::string::npos);
  EXPECT_NE(all.find("(D:\\asm\\Sub)"), std::string::npos);

  const auto structure = RunCadTool("ugpc.exe", {"-a", "-s1", top});
  ASSERT_EQ(structure.err, "");
  const std::vector<std::string> uses = Lines(structure.out);
  EXPECT_GT(uses.size(), listed.size());  // shared parts are listed once per use
  EXPECT_EQ(uses[0], top);
  std::map<std::string, int> count;
  for (const std::string& line : uses)
    ++count[line];
  // A part used twice under one parent shows as two equal lines.
  EXPECT_TRUE(std::any_of(count.begin(), count.end(), [](const auto& item) { return item.second > 1; }));
}

TEST_F(MakeAssembly, HonoursDepthAndFanout) {
  const std::string top = drive_.MakeAssembly("deep", "--parts 120 --depth 3 --fanout 5");
  const auto structure = RunCadTool("ugpc.exe", {"-a", "-s1", top});
  ASSERT_EQ(structure.err, "");
  std::size_t deepest = 0;
  for (const std::string& line : Lines(structure.out))
    deepest = std::max(deepest, Indent(line));
  EXPECT_EQ(deepest, 3u);

  const std::string chain = drive_.MakeAssembly("chain", "--parts 6 --fanout 1");
  const std::vector<std::string> lines = Lines(RunCadTool("ugpc.exe", {"-a", "-s1", chain}).out);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(Indent(lines[5]), 5u);
}

TEST_F(MakeAssembly, IsDeterministicForASeed) {
  drive_.MakeAssembly("same", "--parts 60 --missing 3 --seed 11");
  const auto first = Snapshot(drive_.Host("same"));
  fs::remove_all(drive_.Host("same"));
  drive_.MakeAssembly("same", "--parts 60 --missing 3 --seed 11");
  EXPECT_EQ(Snapshot(drive_.Host("same")), first);
  // Written over the old files, another seed gives another assembly.
  drive_.MakeAssembly("same", "--parts 60 --missing 3 --seed 12");
  EXPECT_NE(Snapshot(drive_.Host("same")), first);
}

TEST_F(MakeAssembly, SinglePartAndUtf8Output) {
  const std::string top = drive_.MakeAssembly("表", "--parts 1 --utf8");
  EXPECT_EQ(top, "D:\\表\\TopAssy.prt");
  EXPECT_EQ(RunCadTool("ug_edit_part_names.exe", {text::Cp932(top), "-list"}).out,
            text::Cp932("TopAssy.prt (D:\\表)\r\n"));
}

TEST_F(MakeAssembly, RefusesBadOptions) {
  const std::string folder = drive_.Host("bad");
  const std::vector<std::vector<std::string>> cases = {
      {"--parts", "0", folder},
      {"--parts", "50001", folder},
      {"--parts", "5", "--missing", "5", folder},
      {"--parts", "x", folder},
      {"--depth", "0", folder},
      {"--parts", "6", "--fanout", "1", "--missing", "2", folder},
      {"--parts", "5"},
      {"--colour", "red", folder},
      {folder, folder},
      {"-x", folder},
  };
  for (const auto& arguments : cases) {
    const auto run = RunCadTool("make-assembly", arguments);
    EXPECT_EQ(run.exitCode, 1) << arguments[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("make-assembly: ", 0), 0u) << run.err;
  }
}

TEST_F(MakeAssembly, HelpPrintsUsageAndWritesNothing) {
  for (const char* help : {"--help", "-h"}) {
    const auto run = RunCadTool("make-assembly", {help});
    EXPECT_EQ(run.exitCode, 0) << help;
    EXPECT_EQ(run.out.rfind("usage: make-assembly ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("--missing K"), std::string::npos);
    EXPECT_EQ(run.err, "");
  }
  // Wherever it stands, and no folder named after it.
  const std::string folder = drive_.Host("helped");
  EXPECT_EQ(RunCadTool("make-assembly", {"--parts", "3", "-h", folder}).exitCode, 0);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_FALSE(fs::exists("-h"));
}

}  // namespace
}  // namespace velmora::cad
