// Runs on a generated assembly (sub-folders, shared parts, Japanese names) that must either change
// nothing at all or end with an input part whose every component resolves to the intended file.

#include <filesystem>
#include <map>

#include "dialog_fixture.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "text/mbstring.h"

namespace velmora::app::test {
namespace {

using operations::Operation;
using partlist::kNewFolderName;
using partlist::kNewPartName;

// The sample's top part is D:\gen\TopAssy.prt; its parts live in gen, gen\Sub, gen\parts and
// gen\部品表, and 部品表\表示板_00007.prt is used under two parents.
class AssemblyRunTest : public DialogFixture {
 public:
  void SetUp() override {
    top = drive.MakeAssembly("gen", "--parts 40 --seed 11");
    ASSERT_EQ(top, drive.Win("gen/TopAssy.prt"));
  }
  void Load() {
    Start();
    ASSERT_TRUE(ChooseInputPart(top));
    ASSERT_GE(List().RowCount(), 40);
    original = StructurePaths(top);
    ASSERT_FALSE(original.empty());
    ui.messages.clear();
    ui.controlOptions.overwriteAll = 1;
  }
  void Set(std::string_view part, std::string_view newName, std::string_view newFolder = {}) {
    const int row = RowOf(part);
    ASSERT_GE(row, 0) << part;
    List().SetText(row, kNewPartName, Cp(newName));
    List().SetText(row, kNewFolderName, Cp(newFolder));
  }
  // The original structure with every path replaced by where its row was meant to end up
  // (lower-cased UTF-8); `gatherIn` puts every part there instead.
  std::vector<std::string> Intended(std::string_view gatherIn = {}) {
    std::map<std::string, std::string> finals;
    for (int row = 0; row < List().RowCount(); ++row) {
      const std::string& newName = List().Text(row, kNewPartName);
      const std::string name = newName.empty() ? List().Text(row, partlist::kPartName) : newName;
      std::string final = List().RowPath(row, true);
      if (final.empty())
        final = List().RowPath(row, false);
      if (!gatherIn.empty())
        final = Cp(gatherIn) + name;
      finals[text::ToDisplayUtf8(text::ToLower(List().RowPath(row, false)))] =
          text::ToDisplayUtf8(text::ToLower(final));
    }
    std::vector<std::string> paths;
    for (const std::string& path : original)
      paths.push_back(finals.at(path));
    return paths;
  }

  std::string top;
  std::vector<std::string> original;
};

// --- A plan whose rows would meet at one file is refused whole ------------------------------------

struct ClashCase {
  const char* name;
  Operation operation;
  std::vector<std::vector<std::string>> rows;  // part, new name, new folder
  std::string clashing;                        // the new file name in the message
};

class ClashTest : public AssemblyRunTest, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(ClashTest, RefusesBeforeAnyFileIsWritten) {
  const ClashCase& c = GetParam();
  if (c.rows.empty()) {
    // A second Bracket_00013.prt, in Sub, used by a leaf of the sample.
    WritePart("gen/SHAFT_00026.PRT", {{"D:\\gen\\Sub", "Bracket_00013.prt"}});
    WritePart("gen/Sub/Bracket_00013.prt", {});
  }
  Load();
  if (c.operation == Operation::RemoveAllFolders)
    ui.controlOptions.swapInputAfterRun = 0;
  for (const std::vector<std::string>& row : c.rows)
    Set(row[0], row[1], row[2]);
  const auto before = DriveSnapshot();
  Execute(c.operation);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kTargetClashHead, c.clashing,
                                                      msg::kTargetClashRest, msg::kTailRunRefused)});
  EXPECT_EQ(DriveSnapshot(), before);
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, ClashTest,
    ::testing::Values(
        ClashCase{"RenamedToAnotherPartOfTheAssembly",
                  Operation::Change,
                  {{"housing_00005.Prt", "HOUSING_00010.PRT", ""}},
                  "HOUSING_00010.PRT"},
        ClashCase{"TwoRowsOneNameInAnotherCase",
                  Operation::Change,
                  {{"ソケット_00017.PRT", "same.prt", ""}, {"SHAFT_00019.PRT", "SAME.prt", ""}},
                  "same.prt"},
        ClashCase{
            "MovedOntoAPartThatMovesAway",
            Operation::UpperAllParts,
            {{"SHAFT_00019.PRT", "shaft_x.prt", ""}, {"能力部品_00034.prt", "SHAFT_00019.PRT", "D:\\gen\\"}},
            "SHAFT_00019.PRT"},
        // The parent's two references would share the name while the second one is moved.
        ClashCase{
            "RenamedToTheNameOfAPartThatMovesElsewhere",
            Operation::Change,
            {{"能力部品_00001.prt", "アーム_00002.Prt", ""}, {"アーム_00002.Prt", "", "D:\\gen\\Sub\\"}},
            "アーム_00002.Prt"},
        ClashCase{"SameNameFromTwoFoldersGathered", Operation::RemoveAllFolders, {}, "Bracket_00013.prt"},
        ClashCase{"RenamedIntoTheNameOfAGatheredPart",
                  Operation::RemoveAllFolders,
                  {{"アーム_00036.Prt", "ソケット_00008.PRT", ""}},
                  "ソケット_00008.PRT"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Removing the folder information ----------------------------------------------------------------

TEST_F(AssemblyRunTest, RemoveAllFoldersGathersEveryPartBesideTheInputPart) {
  Load();
  ui.controlOptions.swapInputAfterRun = 0;
  // A shared sub-assembly renamed on the way.
  Set("表示板_00007.prt", "表示板_改.prt");
  const std::vector<std::string> intended = Intended("D:\\gen\\");
  const std::string subPart = drive.ReadFile("gen/Sub/Bracket_00003.prt");
  Execute(Operation::RemoveAllFolders);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});

  for (int row = 0; row < List().RowCount(); ++row) {
    const std::string& newName = List().Text(row, kNewPartName);
    const std::string name =
        text::ToDisplayUtf8(newName.empty() ? List().Text(row, partlist::kPartName) : newName);
    ASSERT_TRUE(drive.Exists("gen/" + name)) << name;
    EXPECT_EQ(ReadPart("gen/" + name).find("component\tD:"), std::string::npos) << name;
  }
  EXPECT_TRUE(StructureResolves(top));
  EXPECT_EQ(StructurePaths(top), intended);
  EXPECT_EQ(drive.ReadFile("gen/Sub/Bracket_00003.prt"), subPart);
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
}

TEST_F(AssemblyRunTest, RemoveAllFoldersRefusesADifferentFileInTheWay) {
  WritePart("gen/アーム_00014.Prt", {});
  Load();
  ui.controlOptions.swapInputAfterRun = 0;
  const auto before = DriveSnapshot();
  Execute(Operation::RemoveAllFolders);
  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             Msg(msg::kChangedPrefix, "アーム_00014.Prt", msg::kRemoveAllTargetExists)});
  EXPECT_EQ(DriveSnapshot(), before);
}

// --- Parts given a new folder keep their components -------------------------------------------------

TEST_F(AssemblyRunTest, MovedPartsStillReferToTheirComponents) {
  Load();
  std::filesystem::create_directories(drive.Host("moved"));
  std::filesystem::create_directories(drive.Host("other"));
  // A sub-assembly whose components stay, move with it, or move elsewhere under a new name; a
  // shared sub-assembly; and a sub-assembly from a sub-folder.
  Set("CoverPlate_00006.prt", "", "D:\\moved\\");
  Set("housing_00015.Prt", "", "D:\\moved\\");
  Set("Bracket_00013.prt", "br13.prt", "D:\\other\\");
  Set("表示板_00007.prt", "", "D:\\moved\\");
  Set("Bracket_00003.prt", "", "D:\\moved\\");
  const std::vector<std::string> intended = Intended();
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_TRUE(StructureResolves(top));
  EXPECT_EQ(StructurePaths(top), intended);
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
}

TEST_F(AssemblyRunTest, MovedInputPartStillRefersToItsComponents) {
  Load();
  std::filesystem::create_directories(drive.Host("top"));
  Set("TopAssy.prt", "", "D:\\top\\");
  Set("SHAFT_00004.PRT", "shaft4.prt", "D:\\top\\");
  const std::vector<std::string> intended = Intended();
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_EQ(State().inputPartPath, drive.Win("top/TopAssy.prt"));
  EXPECT_TRUE(StructureResolves(State().inputPartPath));
  EXPECT_EQ(StructurePaths(State().inputPartPath), intended);
}

// Its own folder chosen again is no move: the input part is re-saved where it is, not copied onto
// itself.
TEST_F(AssemblyRunTest, InputPartGivenItsOwnFolderStaysWhereItIs) {
  Load();
  Set("TopAssy.prt", "", "D:\\gen\\");
  Set("SHAFT_00004.PRT", "shaft4.prt");
  const std::vector<std::string> intended = Intended();
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_EQ(StructurePaths(top), intended);
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
}

// --- The result is checked after the run -------------------------------------------------------------

// Renamed leaves that are not copied leave their parents referring to missing files.
class UnresolvedResultTest : public AssemblyRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(UnresolvedResultTest, NamesUpToFiveMissingFiles) {
  Load();
  ui.controlOptions.swapInputAfterRun = GetParam();
  ui.controlOptions.copyMissingFiles = 0;
  for (const char* leaf : {"housing_00028.Prt", "Bracket_00030.prt", "表示板_00037.prt", "ソケット_00039.PRT",
                           "SHAFT_00026.PRT", "housing_00024.Prt"})
    Set(leaf, std::string("x_") + leaf);
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages.size(), 1u);
  const std::string& message = ui.messages[0];
  const std::string head(msg::kRunFinishedWithMissing);
  const std::string tail(msg::kRunFinishedCheckResult);
  ASSERT_TRUE(message.starts_with(head + "\n")) << message;
  ASSERT_TRUE(message.ends_with(tail)) << message;
  const std::string paths = message.substr(head.size() + 1, message.size() - head.size() - 1 - tail.size());
  std::vector<std::string> shown;
  for (std::size_t start = 0; start <= paths.size();) {
    const std::size_t end = std::min(paths.find('\n', start), paths.size());
    shown.push_back(paths.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(shown.size(), 5u) << message;
  for (const std::string& path : shown) {
    EXPECT_NE(path.find("\\x_"), std::string::npos) << path;
    EXPECT_FALSE(realHost.Stat(Cp(path))) << path;
  }
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(ListedOrRebuilt, UnresolvedResultTest, ::testing::Values(0, 1));

// A file already at a moved part's new place that refers to every component is kept; what else it
// refers to is none of the run's.
TEST_F(AssemblyRunTest, ComponentOutsideThePlanCountsAsNotResolving) {
  WritePart("old/SHAFT_00004.PRT",
            {{"D:\\gen", "能力部品_00011.prt"}, {"D:\\gen\\部品表", "表示板_00007.prt"}, {"", "stray.prt"}});
  WritePart("old/stray.prt", {});
  Load();
  ui.controlOptions.swapInputAfterRun = 0;
  Set("SHAFT_00004.PRT", "", "D:\\old\\");
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinishedWithMissing, "\nD:\\old\\stray.prt",
                                                      msg::kRunFinishedCheckResult)});
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
}

// --- Case-only renames never lose the source -----------------------------------------------------------

// The host tells spellings apart, so a different file can hold the new spelling.
TEST_F(AssemblyRunTest, CaseOnlyRenameOntoADifferentFileKeepsTheSource) {
  Load();
  const std::string source = drive.ReadFile("gen/Bracket_00018.prt");
  WritePart("gen/BRACKET_00018.PRT", {});
  Set("Bracket_00018.prt", "BRACKET_00018.PRT");
  Execute(Operation::Change);
  EXPECT_EQ(drive.ReadFile("gen/Bracket_00018.prt"), source);
  for (const auto& entry : std::filesystem::directory_iterator(drive.Host("gen")))
    EXPECT_FALSE(entry.path().string().ends_with(".case-rename")) << entry.path();
}

TEST_F(AssemblyRunTest, UpperCaseRunOntoADifferentFileKeepsTheSource) {
  Load();
  const std::string source = drive.ReadFile("gen/Bracket_00018.prt");
  WritePart("gen/BRACKET_00018.PRT", {});
  ui.controlOptions.swapInputAfterRun = 0;
  Execute(Operation::UpperAllParts);
  EXPECT_EQ(drive.ReadFile("gen/Bracket_00018.prt"), source);
}

TEST_F(AssemblyRunTest, CaseOnlyRenamesResolve) {
  Load();
  Set("TopAssy.prt", "TOPASSY.PRT");
  Set("アーム_00014.Prt", "アーム_00014.PRT");
  const std::vector<std::string> intended = Intended();
  Execute(Operation::Change);
  ASSERT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_TRUE(drive.Exists("gen/TOPASSY.PRT"));
  EXPECT_TRUE(drive.Exists("gen/Sub/アーム_00014.PRT"));
  EXPECT_FALSE(drive.Exists("gen/Sub/アーム_00014.Prt"));
  EXPECT_EQ(StructurePaths(State().inputPartPath), intended);
}

}  // namespace
}  // namespace velmora::app::test
