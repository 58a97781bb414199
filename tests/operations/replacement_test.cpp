#include "operations/replacement.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "list_building_fixture.h"
#include "partlist/part_row.h"

namespace velmora::operations::test {
namespace {

using velmora::testing::Call;

// Short names for the case tables.
constexpr CopyMode kOverwrite = CopyMode::Overwrite;
constexpr CopyMode kIfMissing = CopyMode::IfMissing;
constexpr CopyMode kElseResave = CopyMode::IfMissingElseResave;

// A part file of the stand-in CAD system with one component; the component's name tells the
// files apart after a copy, the save count whether the library re-saved it.
std::string PartText(std::string_view savedAs, std::string_view component) {
  return "VELMORA-PART 1\nsaved-as\t" + std::string(savedAs) + "\nsaves\t0\ncomponent\t\t" +
         std::string(component) + "\nend\n";
}

enum class Outcome { Absent, Source, SourceResaved, Old, OldResaved };

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Absent:
      return "Absent";
    case Outcome::Source:
      return "Source";
    case Outcome::SourceResaved:
      return "SourceResaved";
    case Outcome::Old:
      return "Old";
    case Outcome::OldResaved:
      return "OldResaved";
  }
  return "?";
}

class ReplacementTest : public OperationsFixture {
 protected:
  void SetUp() override {
    drive.WriteFile("work/a.prt", sourceText);
    // A copy makes no folders, as on Windows.
    std::filesystem::create_directories(drive.Host("new"));
    std::filesystem::create_directories(drive.Host("in"));
    source = drive.Win("work/a.prt");
    destination = drive.Win("new/b.prt");
  }

  void DestinationExists() { drive.WriteFile("new/b.prt", oldText); }

  Outcome Classify(std::string_view relative, std::string_view before) const {
    if (!drive.Exists(relative))
      return Outcome::Absent;
    const std::string now = drive.ReadFile(relative);
    if (now == sourceText)
      return Outcome::Source;
    if (now == oldText)
      return Outcome::Old;
    const bool resaved = now.find("saves\t1\n") != std::string::npos;
    if (resaved && now.find("from_a.prt") != std::string::npos)
      return Outcome::SourceResaved;
    if (resaved && now.find("from_b.prt") != std::string::npos)
      return Outcome::OldResaved;
    ADD_FAILURE() << "unexpected content of " << relative << " (was " << before << "): " << now;
    return Outcome::Absent;
  }

  const std::string tail = Cp("実行は中断しました。");
  const std::string sourceText = PartText("a.prt", "from_a.prt");
  const std::string oldText = PartText("b.prt", "from_b.prt");
  std::string source;
  std::string destination;
};

// --- ReplacePartFile: every copy mode with every combination of the options ----------------------

struct CopyCase {
  CopyMode copyMode;
  bool destinationExists;
  int copyMissingFiles;
  int allowReplaceAll;
  Outcome expected;
};

class CopyModeTest : public ReplacementTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyModeTest, CopiesAndResavesAsTheOptionsSay) {
  const CopyCase& c = GetParam();
  if (c.destinationExists)
    DestinationExists();
  state.options.copyMissingFiles = c.copyMissingFiles;
  state.options.allowReplaceAll = c.allowReplaceAll;
  state.options.overwriteAll = 0;  // not read here

  EXPECT_EQ(ReplacePartFile(context, source, destination, tail, c.copyMode, true, "", 0), Step::Done);

  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  EXPECT_EQ(OutcomeName(Classify("new/b.prt", c.destinationExists ? "present" : "absent")),
            std::string(OutcomeName(c.expected)));
  EXPECT_EQ(drive.ReadFile("work/a.prt"), sourceText) << "the source is never touched";
}

constexpr Outcome A = Outcome::Absent, S = Outcome::Source, SR = Outcome::SourceResaved, O = Outcome::Old,
                  OR = Outcome::OldResaved;

INSTANTIATE_TEST_SUITE_P(Combinations, CopyModeTest,
                         ::testing::Values(
                             // copyMode 0 always copies, replacing; re-saves with allowReplaceAll.
                             CopyCase{kOverwrite, false, 0, 0, S}, CopyCase{kOverwrite, false, 0, 1, SR},
                             CopyCase{kOverwrite, false, 1, 0, S}, CopyCase{kOverwrite, false, 1, 1, SR},
                             CopyCase{kOverwrite, true, 0, 0, S}, CopyCase{kOverwrite, true, 0, 1, SR},
                             CopyCase{kOverwrite, true, 1, 0, S}, CopyCase{kOverwrite, true, 1, 1, SR},
                             // copyMode 1 copies only what is missing, and only with copyMissingFiles.
                             CopyCase{kIfMissing, false, 0, 0, A}, CopyCase{kIfMissing, false, 0, 1, A},
                             CopyCase{kIfMissing, false, 1, 0, S}, CopyCase{kIfMissing, false, 1, 1, SR},
                             CopyCase{kIfMissing, true, 0, 0, O}, CopyCase{kIfMissing, true, 0, 1, O},
                             CopyCase{kIfMissing, true, 1, 0, O}, CopyCase{kIfMissing, true, 1, 1, O},
                             // copyMode 2 as 1, and re-saves an existing destination in place.
                             CopyCase{kElseResave, false, 0, 0, A}, CopyCase{kElseResave, false, 0, 1, A},
                             CopyCase{kElseResave, false, 1, 0, S}, CopyCase{kElseResave, false, 1, 1, SR},
                             CopyCase{kElseResave, true, 0, 0, O}, CopyCase{kElseResave, true, 0, 1, OR},
                             CopyCase{kElseResave, true, 1, 0, O}, CopyCase{kElseResave, true, 1, 1, OR}),
                         [](const ::testing::TestParamInfo<CopyCase>& info) {
                           const CopyCase& c = info.param;
                           return "Mode" + std::to_string(static_cast<int>(c.copyMode)) +
                                  (c.destinationExists ? "Exists" : "Missing") + "Copy" +
                                  std::to_string(c.copyMissingFiles) + "Allow" +
                                  std::to_string(c.allowReplaceAll);
                         });

TEST_F(ReplacementTest, WithoutDestinationOnlyModeTwoResavesTheSource) {
  for (const CopyMode copyMode : {kOverwrite, kIfMissing, kElseResave}) {
    for (int allow : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << "copyMode " << static_cast<int>(copyMode) << " allow " << allow);
      drive.WriteFile("work/a.prt", sourceText);
      state.options.allowReplaceAll = allow;
      EXPECT_EQ(ReplacePartFile(context, source, "", tail, copyMode, true, "", 0), Step::Done);
      EXPECT_EQ(OutcomeName(Classify("work/a.prt", "source")),
                std::string(OutcomeName(copyMode == kElseResave && allow ? SR : S)));
    }
  }
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
}

TEST_F(ReplacementTest, RemoveAllFoldersCopiesIntoTheGivenFolder) {
  state.operation = Operation::RemoveAllFolders;
  state.options.allowReplaceAll = 0;
  AddRow("a.prt", "D:\\work\\", "c.prt");
  AddRow("a.prt", "D:\\work\\");

  // Mode above 0: the given destination is ignored for folder + new name, or + name.
  EXPECT_EQ(ReplacePartFile(context, source, destination, tail, kIfMissing, false, drive.Win("in/"), 0),
            Step::Done);
  EXPECT_EQ(ReplacePartFile(context, source, destination, tail, kElseResave, false, drive.Win("in/"), 1),
            Step::Done);
  EXPECT_EQ(Classify("in/c.prt", ""), S);
  EXPECT_EQ(Classify("in/a.prt", ""), S);
  EXPECT_EQ(Classify("new/b.prt", ""), A);

  // Mode 0 keeps the destination it was given.
  EXPECT_EQ(ReplacePartFile(context, source, destination, tail, kOverwrite, false, drive.Win("in/"), 0),
            Step::Done);
  EXPECT_EQ(Classify("new/b.prt", ""), S);
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
}

TEST_F(ReplacementTest, FailedCopyNamesTheSourceFile) {
  drive.WriteFile("work/表示.prt", sourceText);
  host.Fail(Call::CopyFile);

  EXPECT_EQ(ReplacePartFile(context, drive.Win("work/表示.prt"), destination, tail, kOverwrite, true, "", 0),
            Step::Failed);

  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             "変更前の 表示.prt ファイルのコピーに失敗しました。\n　実行は中断しました。"});
}

TEST_F(ReplacementTest, FailedCopyOfAMissingFile) {
  state.options.allowReplaceAll = 0;
  EXPECT_EQ(ReplacePartFile(context, drive.Win("work/gone.prt"), destination, tail, kIfMissing, true, "", 0),
            Step::Failed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             "変更前の gone.prt ファイルのコピーに失敗しました。\n　実行は中断しました。"});
}

TEST_F(ReplacementTest, ClosesAllEvenWhenNothingWasCopied) {
  cad.Fail(velmora::testing::CadCall::PartCloseAll, 1, true);
  state.options.copyMissingFiles = 0;

  // Without closeAll nothing is closed, so nothing fails.
  EXPECT_EQ(ReplacePartFile(context, source, destination, tail, kIfMissing, false, "", 0), Step::Done);
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_EQ(ReplacePartFile(context, source, destination, tail, kIfMissing, true, "", 0), Step::Failed);
  EXPECT_EQ(ReplacePartFile(context, source, "", tail, kIfMissing, true, "", 0), Step::Failed);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{"a.prt ファイルを閉じるのに失敗しました。\n　実行は中断しました。",
                                      " ファイルを閉じるのに失敗しました。\n　実行は中断しました。"}));
  EXPECT_EQ(Classify("new/b.prt", ""), A);
}

// --- A new name that differs from the old one in letter case only ----------------------------------

class CaseRenameTest : public ReplacementTest {
 protected:
  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(drive.Host("work")))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  const std::string upper = drive.Win("work/A.PRT");
};

struct CaseRenameCase {
  CopyMode copyMode;
  int copyMissingFiles;
  int allowReplaceAll;
  const char* spelling;  // on disk afterwards
  bool resaved;
};

class CaseRenameModeTest : public CaseRenameTest, public ::testing::WithParamInterface<CaseRenameCase> {};

TEST_P(CaseRenameModeTest, EndsUnderTheNewSpellingWhenACopyWouldBeMade) {
  const CaseRenameCase& c = GetParam();
  state.options.copyMissingFiles = c.copyMissingFiles;
  state.options.allowReplaceAll = c.allowReplaceAll;

  EXPECT_EQ(ReplacePartFile(context, source, upper, tail, c.copyMode, true, "", 0), Step::Done);

  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{c.spelling});
  EXPECT_EQ(Classify(std::string("work/") + c.spelling, "source"), c.resaved ? SR : S);
}

INSTANTIATE_TEST_SUITE_P(Modes, CaseRenameModeTest,
                         ::testing::Values(CaseRenameCase{kOverwrite, 0, 1, "A.PRT", true},
                                           CaseRenameCase{kOverwrite, 1, 0, "A.PRT", false},
                                           CaseRenameCase{kIfMissing, 1, 1, "A.PRT", true},
                                           CaseRenameCase{kIfMissing, 0, 1, "a.prt", false},
                                           CaseRenameCase{kElseResave, 1, 0, "A.PRT", false},
                                           // Not copied: re-saved where it is, as any existing file.
                                           CaseRenameCase{kElseResave, 0, 1, "a.prt", true}),
                         [](const ::testing::TestParamInfo<CaseRenameCase>& info) {
                           const CaseRenameCase& c = info.param;
                           return "Mode" + std::to_string(static_cast<int>(c.copyMode)) + "Copy" +
                                  std::to_string(c.copyMissingFiles) + "Allow" +
                                  std::to_string(c.allowReplaceAll);
                         });

TEST_F(CaseRenameTest, FailedRenameKeepsTheFileUnderItsOldName) {
  state.options.allowReplaceAll = 0;
  host.Fail(Call::Rename);

  EXPECT_EQ(ReplacePartFile(context, source, upper, tail, kOverwrite, false, "", 0), Step::Failed);

  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             "変更前の a.prt ファイルのコピーに失敗しました。\n　実行は中断しました。"});
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{"a.prt"});
  EXPECT_EQ(drive.ReadFile("work/a.prt"), sourceText);
  EXPECT_EQ(host.Count(Call::CopyFile), 0);
}

// A host that tells spellings apart may hold a different file under the new one: it is a file in
// the way under the copy mode's rules, and the source is never removed.
TEST_F(CaseRenameTest, DifferentFileAtTheNewSpellingIsAFileInTheWay) {
  const std::string other = "VELMORA-PART 1\nsaved-as\tA.PRT\nsaves\t4\nend\n";
  state.options.allowReplaceAll = 0;
  for (const CopyMode copyMode : {kIfMissing, kElseResave}) {
    drive.WriteFile("work/A.PRT", other);
    EXPECT_EQ(ReplacePartFile(context, source, upper, tail, copyMode, false, "", 0), Step::Done);
    EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"A.PRT", "a.prt"}));
    EXPECT_EQ(drive.ReadFile("work/A.PRT"), other);
    EXPECT_EQ(drive.ReadFile("work/a.prt"), sourceText);
  }
  // Mode 0 replaces what is at the destination, by a copy.
  EXPECT_EQ(ReplacePartFile(context, source, upper, tail, kOverwrite, false, "", 0), Step::Done);
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"A.PRT", "a.prt"}));
  EXPECT_EQ(drive.ReadFile("work/A.PRT"), sourceText);
  EXPECT_EQ(drive.ReadFile("work/a.prt"), sourceText);
  EXPECT_EQ(host.Count(Call::Rename), 0);
}

TEST_F(CaseRenameTest, SameSpellingInAnotherFolderCaseIsNoRename) {
  // D:\WORK\a.prt is the file itself: nothing is copied onto itself (Windows would refuse it and
  // break the run off), the file is only re-saved where it is.
  EXPECT_EQ(ReplacePartFile(context, source, drive.Win("WORK/a.prt"), tail, kOverwrite, false, "", 0),
            Step::Done);
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{"a.prt"});
  EXPECT_EQ(host.Count(Call::CopyFile), 0);
  EXPECT_NE(drive.ReadFile("work/a.prt").find("saves\t1"), std::string::npos);
}

// --- ResavePart and the library's failures ---------------------------------------------------------

TEST_F(ReplacementTest, ResaveSetsTheAssemblyOptionsAndSavesThePart) {
  const std::optional<platform::AssemOptions> before = realCad.AskAssemOptions();
  ASSERT_TRUE(before);

  EXPECT_EQ(ResavePart(context, source, tail), Step::Done);

  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  EXPECT_EQ(Classify("work/a.prt", ""), SR);
  EXPECT_EQ(cad.calls,
            (std::vector<std::string>{"initialize", "ask options", "set options", "open " + source, "save"}));
  const std::optional<platform::AssemOptions> after = realCad.AskAssemOptions();
  ASSERT_TRUE(after);
  for (int i = 0; i < 32; ++i) {
    const int expected = i == 0 ? 2 : (i == 8 || i == 10) ? 1 : before->values[i];
    EXPECT_EQ(after->values[i], expected) << "field " << i;
  }
}

struct LibraryFault {
  velmora::testing::CadCall call;
  const char* name;
  const char* expected;
  bool saved;  // the failure came after the save
};

class LibraryFaultTest : public ReplacementTest, public ::testing::WithParamInterface<LibraryFault> {};

TEST_P(LibraryFaultTest, ShowsItsMessageAndStops) {
  cad.Fail(GetParam().call);
  drive.WriteFile("work/ソフト.prt", sourceText);

  EXPECT_EQ(ReplacePartFile(context, source, drive.Win("work/ソフト.prt"), tail, kElseResave, true, "", 0),
            Step::Failed);

  EXPECT_EQ(ui.messages, std::vector<std::string>{GetParam().expected});
  EXPECT_EQ(drive.ReadFile("work/ソフト.prt") == sourceText, !GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, LibraryFaultTest,
    ::testing::Values(
        LibraryFault{velmora::testing::CadCall::AskAssemOptions, "AskAssemOptions",
                     "アセンブリオプションの取得に失敗しました。\n　実行は中断しました。", false},
        LibraryFault{velmora::testing::CadCall::SetAssemOptions, "SetAssemOptions",
                     "アセンブリオプションの設定に失敗しました。\n　実行は中断しました。", false},
        LibraryFault{velmora::testing::CadCall::PartOpen, "PartOpen",
                     "ソフト.prt ファイルを開くのに失敗しました。\n　実行は中断しました。", false},
        LibraryFault{velmora::testing::CadCall::PartSave, "PartSave",
                     "ソフト.prt ファイルの保存に失敗しました。\n　実行は中断しました。", false},
        LibraryFault{velmora::testing::CadCall::PartCloseAll, "PartCloseAll",
                     "a.prt ファイルを閉じるのに失敗しました。\n　実行は中断しました。", true}),
    [](const ::testing::TestParamInfo<LibraryFault>& info) { return std::string(info.param.name); });

TEST_F(ReplacementTest, MalformedCopyCannotBeOpened) {
  drive.WriteFile("work/bad.prt", "not a part\n");
  EXPECT_EQ(ReplacePartFile(context, drive.Win("work/bad.prt"), destination, tail, kOverwrite, true, "", 0),
            Step::Failed);
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"b.prt ファイルを開くのに失敗しました。\n　実行は中断しました。"});
  EXPECT_EQ(drive.ReadFile("work/bad.prt"), "not a part\n");
}

// --- RunSinglePartPass -------------------------------------------------------------------------

TEST_F(ReplacementTest, InspectModeOnlyNumbersTheRow) {
  AddRow("a.prt", "D:\\work\\");
  EXPECT_EQ(RunSinglePartPass(context, PassMode::Inspect, tail), Step::Done);
  EXPECT_EQ(Text(0, partlist::kParent), "0");
  EXPECT_EQ(Text(0, partlist::kNumber), "1");
  EXPECT_EQ(Text(0, partlist::kEdited), "");

  state.partList.SetText(0, partlist::kNewPartName, "b.prt");
  EXPECT_EQ(RunSinglePartPass(context, PassMode::Inspect, tail), Step::Done);
  EXPECT_EQ(Text(0, partlist::kEdited), "Ｖ");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(drive.Exists("work/b.prt"));
}

TEST_F(ReplacementTest, EmptyListHasNothingToDo) {
  for (const PassMode mode : {PassMode::Inspect, PassMode::Check, PassMode::Perform})
    EXPECT_EQ(RunSinglePartPass(context, mode, tail), Step::Done);
  EXPECT_TRUE(ui.messages.empty());
}

struct SingleCheckCase {
  const char* label;
  const char* newFolder;  // "" for no new path
  bool newFileExists;
  int overwriteAll;
  const char* expected;  // "" when the check passes
};

class SingleCheckTest : public ReplacementTest, public ::testing::WithParamInterface<SingleCheckCase> {};

TEST_P(SingleCheckTest, RefusesToOverwriteWithoutOverwriteAll) {
  const SingleCheckCase& c = GetParam();
  if (c.newFileExists)
    drive.WriteFile("new/a.prt", oldText);
  AddRow("a.prt", "D:\\work\\", "", c.newFolder);
  state.options.overwriteAll = c.overwriteAll;

  const bool failed =
      RunSinglePartPass(context, PassMode::Check, Cp("実行は使用出来ません。")) == Step::Failed;

  EXPECT_EQ(Text(0, partlist::kParent), "0");
  EXPECT_EQ(Text(0, partlist::kNumber), "1");
  if (*c.expected == '\0') {
    EXPECT_FALSE(failed);
    EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  } else {
    EXPECT_TRUE(failed);
    EXPECT_EQ(ui.messages, std::vector<std::string>{c.expected});
  }
  EXPECT_EQ(drive.ReadFile("work/a.prt"), sourceText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleCheckTest,
    ::testing::Values(
        SingleCheckCase{"NewFileFree", "D:\\new\\", false, 0, ""},
        SingleCheckCase{
            "NewFileExists", "D:\\new\\", true, 0,
            "全て上書き保存 がチェックされていません。\n入力パート の変更後のファイルが既に有ります。\n　"
            "実行は使用出来ません。"},
        SingleCheckCase{"NewFileExistsOverwriteAll", "D:\\new\\", true, 1, ""},
        SingleCheckCase{"InPlace", "", false, 0,
                        "全て上書き保存 がチェックされていません。\n入力パート "
                        "が既に有ります。\n　実行は使用出来ません。"},
        SingleCheckCase{"InPlaceOverwriteAll", "", false, 1, ""}),
    [](const ::testing::TestParamInfo<SingleCheckCase>& info) { return std::string(info.param.label); });

TEST_F(ReplacementTest, PerformModeReplacesTheNewFileAndResavesIt) {
  DestinationExists();
  AddRow("a.prt", "D:\\work\\", "b.prt", "D:\\new\\");
  state.options.overwriteAll = 1;

  EXPECT_EQ(RunSinglePartPass(context, PassMode::Perform, tail), Step::Done);

  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  EXPECT_EQ(Classify("new/b.prt", "old"), SR);
  EXPECT_EQ(drive.ReadFile("work/a.prt"), sourceText);
  // The perform pass leaves the structure columns to the check pass before it.
  EXPECT_EQ(Text(0, partlist::kNumber), "");
}

TEST_F(ReplacementTest, PerformModeReportsAFailedRefusalToo) {
  DestinationExists();
  AddRow("a.prt", "D:\\work\\", "b.prt", "D:\\new\\");
  EXPECT_EQ(RunSinglePartPass(context, PassMode::Perform, tail), Step::Failed);
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"全て上書き保存 がチェックされていません。\n入力パート "
                                     "の変更後のファイルが既に有ります。\n　実行は中断しました。"});
  EXPECT_EQ(Classify("new/b.prt", "old"), O);
}

}  // namespace
}  // namespace velmora::operations::test
