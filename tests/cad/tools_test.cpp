#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cad/part/part_file.h"
#include "run_process.h"
#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::cad {
namespace {

namespace fs = std::filesystem;
using testing::RunCadTool;

constexpr const char* kEdit = "ug_edit_part_names.exe";
constexpr const char* kPc = "ugpc.exe";

// cp932: 表 and ソ end in 0x5C, ア ends in 0x41 ('A'), ム in 0x80.
const std::string kOmote = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kArm = "\x83\x41\x81\x5B\x83\x80";  // アーム

std::string Crlf(std::string_view lines) {
  std::string out;
  for (const char ch : lines) {
    if (ch == '\n')
      out.push_back('\r');
    out.push_back(ch);
  }
  return out;
}

class CadTools : public ::testing::Test {
 protected:
  // The host form (UTF-8, "/") of a path given in cp932 below D:\.
  std::string Host(const std::string& relativeCp932) const {
    std::string relative = text::Cp932ToUtf8(relativeCp932).text;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return drive_.Host(relative);
  }
  void Write(const std::string& relativeCp932, const Part& part) const {
    fs::create_directories(fs::path(Host(relativeCp932)).parent_path());
    ASSERT_EQ(WritePartFile(Host(relativeCp932), part), "");
  }
  Part Read(const std::string& relativeCp932) const {
    const ReadResult read = ReadPartFile(Host(relativeCp932));
    EXPECT_EQ(read.status, ReadStatus::Ok) << read.error;
    return read.part;
  }
  std::vector<std::string> Names(const std::string& folderCp932) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Host(folderCp932)))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // D:\w\Top.prt uses A.prt, sub\表.prt, a missing part and A again spelt a.PRT; 表 uses ソ from
  // its own folder and A (so A has two parents); A uses ソ.
  void MakeSmallAssembly() const {
    Write(
        "w\\Top.prt",
        {"Top.prt", 1, {{"", "A.prt"}, {"D:\\w\\sub", kOmote + ".prt"}, {"", "missing.prt"}, {"", "a.PRT"}}});
    Write("w\\A.prt", {"A.prt", 1, {{"D:\\w\\sub", kSo + ".prt"}}});
    Write("w\\sub\\" + kOmote + ".prt", {kOmote + ".prt", 1, {{"", kSo + ".prt"}, {"D:\\w", "A.prt"}}});
    Write("w\\sub\\" + kSo + ".prt", {kSo + ".prt", 1, {}});
  }

  velmora::testing::TempDrive drive_;
};

TEST_F(CadTools, ListNamesEveryFileOnceDepthFirst) {
  MakeSmallAssembly();
  const auto run = RunCadTool(kEdit, {"D:\\w\\Top.prt", "-list"});
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, Crlf("Top.prt (D:\\w)\n"
                          "A.prt (D:\\w)\n" +
                          kSo + ".prt (D:\\w\\sub)\n" + kOmote +
                          ".prt (D:\\w\\sub)\n"
                          "missing.prt (D:\\w)\n"));
}

TEST_F(CadTools, ListKeepsTheInputAsGivenAndPrintsADriveRootAsItsLetter) {
  MakeSmallAssembly();
  EXPECT_EQ(RunCadTool(kEdit, {"d:\\W\\top.prt", "-list"}).out.substr(0, 16), "top.prt (d:\\W)\r\n");
  Write("root.prt", {"root.prt", 1, {{"", "A.prt"}}});
  EXPECT_EQ(RunCadTool(kEdit, {"D:\\root.prt", "-list"}).out, Crlf("root.prt (D:)\nA.prt (D:)\n"));
}

TEST_F(CadTools, StructureListsEveryUse) {
  MakeSmallAssembly();
  const auto run = RunCadTool(kPc, {"-a", "-s1", "d:\\w\\top.prt"});
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exitCode, 0);
  const std::string so = "D:\\w\\sub\\" + kSo + ".prt\n";
  // An empty reference folder is the referring part's folder as it was spelt.
  EXPECT_EQ(run.out, Crlf("d:\\w\\top.prt\n"
                          " d:\\w\\A.prt\n"
                          "  " +
                          so + " D:\\w\\sub\\" + kOmote + ".prt\n  " + so +
                          "  D:\\w\\A.prt\n"
                          "   " +
                          so +
                          " d:\\w\\missing.prt\n"
                          " d:\\w\\a.PRT\n"
                          "  " +
                          so));
}

TEST_F(CadTools, ACycleFailsTheStructureButNotTheList) {
  Write("c\\A.prt", {"A.prt", 1, {{"", "B.prt"}}});
  Write("c\\B.prt", {"B.prt", 1, {{"", "C.prt"}}});
  Write("c\\C.prt", {"C.prt", 1, {{"D:\\C", "a.prt"}}});
  const auto structure = RunCadTool(kPc, {"-a", "-s1", "D:\\c\\A.prt"});
  EXPECT_EQ(structure.exitCode, 1);
  EXPECT_EQ(structure.out, "");
  EXPECT_EQ(structure.err, "ugpc: cycle in the assembly: D:\\C\\a.prt is its own component\r\n");
  const auto list = RunCadTool(kEdit, {"D:\\c\\A.prt", "-list"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out, Crlf("A.prt (D:\\c)\nB.prt (D:\\c)\nC.prt (D:\\c)\n"));
}

struct EditCase {
  const char* name;
  std::vector<std::string> option;  // the option and its BEF AFT
  std::vector<Reference> expected;
};

TEST_F(CadTools, EveryEditOptionChangesTheReferences) {
  const std::vector<Reference> start = {
      {"D:\\w\\Sub", "Bolt.prt"}, {"", kArm + ".Prt"}, {"D:\\" + kOmote, "bolt.PRT"}, {"", "Nut.prt"}};
  const std::vector<EditCase> cases = {
      {"change_name ignores case",
       {"-change_name", "BOLT.prt", "Pin.prt"},
       {{"D:\\w\\Sub", "Pin.prt"}, {"", kArm + ".Prt"}, {"D:\\" + kOmote, "Pin.prt"}, {"", "Nut.prt"}}},
      {"change_name without a match", {"-change_name", "none.prt", "x.prt"}, start},
      {"change_comp_dir",
       {"-change_comp_dir", "bolt.prt", "D:\\New"},
       {{"D:\\New", "Bolt.prt"}, {"", kArm + ".Prt"}, {"D:\\New", "bolt.PRT"}, {"", "Nut.prt"}}},
      {"change_comp_dir to a drive root",
       {"-change_comp_dir", "nut.prt", "E:\\"},
       {{"D:\\w\\Sub", "Bolt.prt"}, {"", kArm + ".Prt"}, {"D:\\" + kOmote, "bolt.PRT"}, {"E:", "Nut.prt"}}},
      {"lower_dir",
       {"-lower_dir"},
       {{"d:\\w\\sub", "Bolt.prt"}, {"", kArm + ".Prt"}, {"d:\\" + kOmote, "bolt.PRT"}, {"", "Nut.prt"}}},
      {"lower_name keeps trail bytes",
       {"-lower_name"},
       {{"D:\\w\\Sub", "bolt.prt"}, {"", kArm + ".prt"}, {"D:\\" + kOmote, "bolt.prt"}, {"", "nut.prt"}}},
      {"upper_name keeps trail bytes",
       {"-upper_name"},
       {{"D:\\w\\Sub", "BOLT.PRT"}, {"", kArm + ".PRT"}, {"D:\\" + kOmote, "BOLT.PRT"}, {"", "NUT.PRT"}}},
      {"remove_dirs",
       {"-remove_dirs"},
       {{"", "Bolt.prt"}, {"", kArm + ".Prt"}, {"", "bolt.PRT"}, {"", "Nut.prt"}}},
  };
  for (const EditCase& item : cases) {
    SCOPED_TRACE(item.name);
    Write("e\\" + kOmote + ".prt", {"saved.prt", 4, start});
    std::vector<std::string> arguments = {"D:\\e\\" + kOmote + ".prt", "-o", "D:\\e\\" + kOmote + ".prt"};
    arguments.insert(arguments.end(), item.option.begin(), item.option.end());
    const auto run = RunCadTool(kEdit, arguments);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Read("e\\" + kOmote + ".prt"), (Part{"saved.prt", 4, item.expected}));
  }
}

TEST_F(CadTools, OutputTakesItsOwnSpellingWhenOnlyTheCaseDiffers) {
  Write("r\\top.prt", {"top.prt", 1, {{"", "a.prt"}}});
  Write("r\\" + kArm + "x.prt", {"x.prt", 1, {}});
  ASSERT_EQ(RunCadTool(kEdit, {"D:\\R\\TOP.prt", "-o", "D:\\r\\TOP.PRT", "-upper_name"}).exitCode, 0);
  ASSERT_EQ(RunCadTool(kEdit, {"D:\\r\\" + kArm + "x.prt", "-o", "D:\\r\\" + kArm + "X.PRT", "-upper_name"})
                .exitCode,
            0);
  EXPECT_EQ(Names("r"), (std::vector<std::string>{"TOP.PRT", "アームX.PRT"}));
  EXPECT_EQ(Read("r\\TOP.PRT"), (Part{"top.prt", 1, {{"", "A.PRT"}}}));
  // Another name is a copy; the input stays.
  ASSERT_EQ(RunCadTool(kEdit, {"D:\\r\\TOP.PRT", "-o", "D:\\r\\copy.prt", "-lower_name"}).exitCode, 0);
  EXPECT_EQ(Names("r"), (std::vector<std::string>{"TOP.PRT", "copy.prt", "アームX.PRT"}));
}

struct ErrorCase {
  const char* tool;
  std::vector<std::string> arguments;
  std::string error;
};

TEST_F(CadTools, ErrorsGoToStandardErrorAndChangeNothing) {
  Write("x\\good.prt", {"good.prt", 1, {{"", "bad.prt"}}});
  drive_.WriteFile("x/bad.prt", "VELMORA-PART 1\nsaved-as\tbad.prt\n");
  drive_.WriteFile("x/folder.prt/keep", "");
  const std::string usage =
      "ug_edit_part_names: usage: ug_edit_part_names IN -list | IN -o OUT -change_name|-change_comp_dir "
      "BEF AFT | IN -o OUT -lower_dir|-lower_name|-upper_name|-remove_dirs\r\n";
  const std::vector<ErrorCase> cases = {
      {kEdit,
       {"D:\\x\\none.prt", "-list"},
       "ug_edit_part_names: cannot read D:\\x\\none.prt: cannot open: No such file or directory\r\n"},
      {kEdit,
       {"Q:\\x\\good.prt", "-list"},
       "ug_edit_part_names: cannot read Q:\\x\\good.prt: no such drive or network path\r\n"},
      {kEdit,
       {"D:\\x\\good.prt", "-list"},
       "ug_edit_part_names: cannot read D:\\x\\bad.prt: malformed part file, line 3: saves line "
       "expected\r\n"},
      {kEdit,
       {"D:\\x\\folder.prt", "-list"},
       "ug_edit_part_names: cannot read D:\\x\\folder.prt: not a file\r\n"},
      {kEdit, {"D:\\x\\good.prt"}, usage},
      {kEdit,
       {"D:\\x\\good.prt", "-o", "D:\\x\\good.prt", "-bogus"},
       "ug_edit_part_names: unknown option -bogus\r\n"},
      {kEdit, {"D:\\x\\good.prt", "-o", "D:\\x\\good.prt", "-change_name", "bad.prt"}, usage},
      {kEdit, {"D:\\x\\good.prt", "-o", "D:\\x\\good.prt", "-lower_dir", "x"}, usage},
      {kEdit,
       {"D:\\x\\good.prt", "-o", "D:\\x\\good.prt", "-change_name", "bad.prt", "a\\b.prt"},
       "ug_edit_part_names: bad new component name: a\\b.prt\r\n"},
      {kEdit,
       {"D:\\x\\good.prt", "-o", "D:\\x\\good.prt", "-change_name", "bad.prt", ""},
       "ug_edit_part_names: bad new component name: \r\n"},
      {kEdit,
       {"D:\\x\\good.prt", "-o", "D:\\x\\good.prt", "-change_comp_dir", "bad.prt", "D:\\a|b"},
       "ug_edit_part_names: bad new component folder: D:\\a|b\r\n"},
      {kEdit,
       {"D:\\x\\bad.prt", "-o", "D:\\x\\good.prt", "-lower_dir"},
       "ug_edit_part_names: cannot read D:\\x\\bad.prt: malformed part file, line 3: saves line "
       "expected\r\n"},
      {kEdit,
       {"D:\\x\\good.prt", "-o", "D:\\x\\nofolder\\good.prt", "-lower_dir"},
       "ug_edit_part_names: cannot write D:\\x\\nofolder\\good.prt: cannot create a file in the folder: No "
       "such file or directory\r\n"},
      {kEdit,
       {"D:\\x\\good.prt", "-o", "D:\\x\\", "-lower_dir"},
       "ug_edit_part_names: cannot write D:\\x\\: not a valid file path\r\n"},
      {kPc, {"D:\\x\\good.prt"}, "ugpc: usage: ugpc -a -s1 IN\r\n"},
      {kPc, {"-a", "-s1", "-x", "D:\\x\\good.prt"}, "ugpc: usage: ugpc -a -s1 IN\r\n"},
      {kPc, {"-a", "-s1", "D:\\x\\good.prt", "D:\\x\\good.prt"}, "ugpc: usage: ugpc -a -s1 IN\r\n"},
      {kPc,
       {"-a", "-s1", "D:\\x\\good.prt"},
       "ugpc: cannot read D:\\x\\bad.prt: malformed part file, line 3: saves line expected\r\n"},
      {kPc,
       {"-a", "-s1", "D:\\x\\none.prt"},
       "ugpc: cannot read D:\\x\\none.prt: cannot open: No such file or directory\r\n"},
  };
  const std::string before = drive_.ReadFile("x/good.prt");
  for (const ErrorCase& item : cases) {
    SCOPED_TRACE(item.arguments.empty() ? "" : item.arguments.back());
    const auto run = RunCadTool(item.tool, item.arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, item.error);
  }
  EXPECT_EQ(drive_.ReadFile("x/good.prt"), before);
  EXPECT_EQ(Names("x"), (std::vector<std::string>{"bad.prt", "folder.prt", "good.prt"}));
}

TEST_F(CadTools, InjectedFailuresAndOutput) {
  Write("f\\top.prt", {"top.prt", 1, {{"", "A.prt"}}});
  const std::string before = drive_.ReadFile("f/top.prt");
  const std::vector<std::string> lowerName = {"D:\\f\\top.prt", "-o", "D:\\f\\top.prt", "-lower_name"};

  auto run = RunCadTool(kEdit, lowerName, {{"VELMORA_CAD_FAIL", "-change_name, -lower_name"}});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "ug_edit_part_names: injected failure for -lower_name\r\n");
  EXPECT_EQ(drive_.ReadFile("f/top.prt"), before);

  run = RunCadTool(kEdit, {"D:\\f\\top.prt", "-list"}, {{"VELMORA_CAD_FAIL", "-list"}});
  EXPECT_EQ(run.err, "ug_edit_part_names: injected failure for -list\r\n");
  EXPECT_EQ(run.out, "");
  run = RunCadTool(kPc, {"-a", "-s1", "D:\\f\\top.prt"}, {{"VELMORA_CAD_FAIL", "ugpc"}});
  EXPECT_EQ(run.err, "ugpc: injected failure for ugpc\r\n");
  EXPECT_EQ(run.out, "");

  // Another option named: the run is not affected.
  run = RunCadTool(kEdit, {"D:\\f\\top.prt", "-list"}, {{"VELMORA_CAD_FAIL", "-lower_dir"}});
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, Crlf("top.prt (D:\\f)\nA.prt (D:\\f)\n"));

  // Output is printed after the change has been made.
  run = RunCadTool(kEdit, lowerName, {{"VELMORA_CAD_STDOUT", "-lower_name"}});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "ug_edit_part_names: injected output for -lower_name\r\n");
  EXPECT_EQ(Read("f\\top.prt").components, (std::vector<Reference>{{"", "a.prt"}}));
  run = RunCadTool(kPc, {"-a", "-s1", "D:\\f\\top.prt"}, {{"VELMORA_CAD_STDOUT", "ugpc"}});
  EXPECT_EQ(run.out, Crlf("D:\\f\\top.prt\n D:\\f\\a.prt\nugpc: injected output for ugpc\n"));
}

}  // namespace
}  // namespace velmora::cad
