// "実行" end to end: the row checks, the option rules, the change passes, the bulk pass, the swap
// and the closing message, on real part files with the stand-in tools and library.

#include <filesystem>
#include <functional>

#include "dialog_fixture.h"
#include "resources/messages/operations.h"
#include "resources/messages/runner.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"

namespace velmora::app::test {
namespace {

using operations::Operation;
using partlist::kFolderName;
using partlist::kNewFolderName;
using partlist::kNewPartName;

// top.prt uses a.prt (same folder) and sub\b.prt; both use c.prt, so c has two parents.
class DispatcherTest : public DialogFixture {
 public:
  void SetUp() override {
    WritePart("work/top.prt", {{"", "a.prt"}, {"D:\\work\\sub", "b.prt"}});
    WritePart("work/a.prt", {{"", "c.prt"}});
    WritePart("work/sub/b.prt", {{"D:\\work", "c.prt"}});
    WritePart("work/c.prt", {});
    Start();
    ASSERT_TRUE(ChooseInputPart(drive.Win("work/top.prt"))) << ui.Last();
    ASSERT_EQ(List().RowCount(), 4);
    ui.messages.clear();
  }

  void SetNewName(std::string_view part, std::string_view newName) {
    ASSERT_GE(RowOf(part), 0) << part;
    List().SetText(RowOf(part), kNewPartName, Cp(newName));
  }
  void SetNewFolder(std::string_view part, std::string_view folder) {
    ASSERT_GE(RowOf(part), 0) << part;
    List().SetText(RowOf(part), kNewFolderName, Cp(folder));
  }
  std::vector<std::string> Finished() { return {Msg(msg::kRunFinished)}; }
  std::vector<std::string> TempFiles() { return drive.TempFiles(); }
  std::vector<std::string> PartNames() {
    std::vector<std::string> names;
    for (int row = 0; row < List().RowCount(); ++row)
      names.push_back(Cell(row, partlist::kPartName));
    return names;
  }
};

TEST_F(DispatcherTest, StopsSilentlyWhenTheExchangeFails) {
  ui.exchangeFails = true;
  Execute(Operation::Inspect);
  EXPECT_EQ(ui.messages, std::vector<std::string>());
  EXPECT_EQ(ui.waitCursorShown, 0);
}

TEST_F(DispatcherTest, InputCheckComesFirst) {
  State().editToolPath.clear();
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kEditToolNotChosen, msg::kTailRunRefused)});
  EXPECT_EQ(ui.waitCursorShown, 0);
}

TEST_F(DispatcherTest, VanishedFileStopsEveryOperationByItsPartName) {
  std::filesystem::remove(drive.Host("work/c.prt"));
  for (Operation operation : {Operation::Inspect, Operation::Change, Operation::RemoveAllFolders}) {
    ui.messages.clear();
    Execute(operation);
    EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kOldFileMissingHead, "c.prt",
                                                        msg::kOldFileMissingRest, msg::kTailRunRefused)});
  }
  EXPECT_EQ(ui.waitCursorShown, 0);
  // Nothing ran: the state columns are as the list was built.
  EXPECT_EQ(Cell(0, partlist::kDuplicate), "");
}

TEST_F(DispatcherTest, InspectNumbersTheRowsAndChangesNoFile) {
  const std::string before = ReadPart("work/top.prt");
  Execute(Operation::Inspect);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kInspectCompleted)});
  EXPECT_EQ(Cell(RowOf("top.prt"), partlist::kNumber), "1");
  EXPECT_EQ(Cell(RowOf("c.prt"), partlist::kParent), "-1");
  EXPECT_EQ(ui.waitCursorShown, 1);
  EXPECT_EQ(ui.waitCursorDepth, 0);
  EXPECT_EQ(ReadPart("work/top.prt"), before);
  EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

TEST_F(DispatcherTest, InspectRunsWithTheInputPartListedTwice) {
  AddRow("top.prt", "D:\\work\\");
  Execute(Operation::Inspect);
  EXPECT_EQ(Cell(0, partlist::kDuplicate), "Ｘ");
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

struct RuleCase {
  const char* name;
  Operation operation;
  std::function<void(DispatcherTest&)> arrange;
  std::string message;
};

class RuleTest : public DispatcherTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(RuleTest, FirstBrokenRuleStopsTheRunAfterTheRefresh) {
  const RuleCase& c = GetParam();
  ui.controlOptions.overwriteAll = 1;
  c.arrange(*this);
  const std::string top = ReadPart("work/top.prt");
  Execute(c.operation);
  EXPECT_EQ(ui.messages, std::vector<std::string>{c.message});
  EXPECT_EQ(ui.waitCursorShown, 1);
  EXPECT_EQ(ui.waitCursorDepth, 0);
  // The state columns were refreshed before the rules, the structure columns cleared.
  EXPECT_NE(Cell(0, partlist::kBefore), "");
  EXPECT_NE(Cell(0, partlist::kDuplicate), "");
  EXPECT_EQ(Cell(0, partlist::kNumber), "");
  EXPECT_EQ(ReadPart("work/top.prt"), top);
  EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

const std::string kRefused(msg::kTailRunRefused);

void RemoveFoldersReady(DispatcherTest& t) {
  t.ui.controlOptions.swapInputAfterRun = 0;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RuleTest,
    ::testing::Values(RuleCase{"InputPartTwice", Operation::Change,
                               [](DispatcherTest& t) { t.AddRow("top.prt", "D:\\work\\", "x.prt"); },
                               Msg(msg::kRuleInputRowCount, kRefused)},
                      RuleCase{"InputPartNotListed", Operation::LowerAllParts,
                               [](DispatcherTest& t) {
                                 t.WritePart("work/other.prt", {});
                                 t.State().inputPartPath = t.drive.Win("work/other.prt");
                               },
                               Msg(msg::kRuleInputRowCount, kRefused)},
                      RuleCase{"NothingToChange", Operation::Change, [](DispatcherTest&) {},
                               Msg(msg::kRuleNothingToChange)},
                      RuleCase{"InputPartOnlyWithOtherNewName", Operation::Change,
                               [](DispatcherTest& t) {
                                 t.ui.controlOptions.inputPartOnly = 1;
                                 t.SetNewName("a.prt", "a2.prt");
                               },
                               Msg(msg::kRuleInputPartOnly, kRefused)},
                      RuleCase{"InputPartOnlyWithOtherNewFolderInBulk", Operation::UpperAllParts,
                               [](DispatcherTest& t) {
                                 t.ui.controlOptions.inputPartOnly = 1;
                                 t.SetNewName("top.prt", "top2.prt");
                                 t.SetNewFolder("c.prt", "D:\\lib\\");
                               },
                               Msg(msg::kRuleInputPartOnly, kRefused)},
                      RuleCase{"RemoveFoldersWithSwap", Operation::RemoveAllFolders, [](DispatcherTest&) {},
                               Msg(msg::kRuleRemoveFoldersWithSwap)},
                      RuleCase{"RemoveFoldersWithoutCopy", Operation::RemoveAllFolders,
                               [](DispatcherTest& t) {
                                 RemoveFoldersReady(t);
                                 t.ui.controlOptions.copyMissingFiles = 0;
                               },
                               Msg(msg::kRuleRemoveFoldersWithoutCopy)},
                      RuleCase{"RemoveFoldersWithoutResave", Operation::RemoveAllFolders,
                               [](DispatcherTest& t) {
                                 RemoveFoldersReady(t);
                                 t.ui.controlOptions.allowReplaceAll = 0;
                               },
                               Msg(msg::kRuleRemoveFoldersWithoutResave)},
                      RuleCase{"RemoveFoldersWithNewFolder", Operation::RemoveAllFolders,
                               [](DispatcherTest& t) {
                                 RemoveFoldersReady(t);
                                 t.SetNewFolder("top.prt", "D:\\flat\\");
                                 t.SetNewFolder("b.prt", "D:\\flat\\");
                               },
                               Msg(msg::kRuleRemoveFoldersWithNewFolder)},
                      // A listed twice input part is reported before anything else.
                      RuleCase{"CountBeforeEverything", Operation::RemoveAllFolders,
                               [](DispatcherTest& t) {
                                 t.ui.controlOptions.copyMissingFiles = 0;
                                 t.AddRow("top.prt", "D:\\work\\");
                               },
                               Msg(msg::kRuleInputRowCount, kRefused)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DispatcherTest, ChangeCarriesOutNewNamesAndSwapsToTheNewInputPart) {
  SetNewName("top.prt", "top2.prt");
  SetNewName("b.prt", "bb.prt");
  SetNewFolder("c.prt", "D:\\lib\\");
  std::filesystem::create_directories(drive.Host("lib"));
  // a.prt and b.prt are rewritten where they are.
  ui.controlOptions.overwriteAll = 1;
  const std::string oldTop = ReadPart("work/top.prt");
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, Finished());
  EXPECT_EQ(ui.waitCursorDepth, 0);

  EXPECT_EQ(State().inputPartPath, drive.Win("work/top2.prt"));
  EXPECT_EQ(PartNames(), (std::vector<std::string>{"top2.prt", "a.prt", "c.prt", "bb.prt"}));
  EXPECT_EQ(Cell(RowOf("c.prt"), kFolderName), "D:\\lib\\");
  EXPECT_EQ(State().operation, Operation::Inspect);
  EXPECT_TRUE(StructureResolves(drive.Win("work/top2.prt")));
  // The old files stay as they were; the new top is saved under its own name.
  EXPECT_EQ(ReadPart("work/top.prt"), oldTop);
  EXPECT_NE(ReadPart("work/top2.prt").find("saved-as\ttop2.prt"), std::string::npos);
  EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

TEST_F(DispatcherTest, ChangeOfTheInputPartAloneRuns) {
  SetNewName("top.prt", "solo.prt");
  ui.controlOptions.swapInputAfterRun = 0;
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, Finished());
  EXPECT_EQ(State().inputPartPath, drive.Win("work/top.prt"));
  EXPECT_TRUE(StructureResolves(drive.Win("work/solo.prt")));
}

TEST_F(DispatcherTest, SwapWithoutNewInputPathTakesTheLowerCasedOldPath) {
  SetNewName("b.prt", "bb.prt");
  ui.controlOptions.overwriteAll = 1;
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, Finished());
  EXPECT_EQ(State().inputPartPath, "d:\\work\\top.prt");
  EXPECT_EQ(PartNames(), (std::vector<std::string>{"top.prt", "a.prt", "c.prt", "bb.prt"}));
  EXPECT_TRUE(StructureResolves(drive.Win("work/top.prt")));
}

TEST_F(DispatcherTest, CheckPassFailureWritesNothingAndLeavesNothingInTemp) {
  SetNewName("b.prt", "bb.prt");
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kInputPartExists, msg::kTailRunRefused)});
  EXPECT_FALSE(drive.Exists("work/sub/bb.prt"));
  EXPECT_EQ(ui.waitCursorDepth, 0);
  EXPECT_EQ(TempFiles(), std::vector<std::string>());
  // So the next press is not refused for a listing left behind.
  ui.messages.clear();
  ui.controlOptions.overwriteAll = 1;
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, Finished());
  EXPECT_TRUE(drive.Exists("work/sub/bb.prt"));
}

// A copy that fails is no error a tool wrote: the run takes its listing with it, and the next
// press is not refused for a file in TEMP.
TEST_F(DispatcherTest, FailedPerformPassLeavesNothingInTemp) {
  SetNewName("top.prt", "top2.prt");
  host.Fail(velmora::testing::Call::CopyFile, "top2.prt");
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kReplaceCopyPrefix, "top.prt",
                                                      msg::kReplaceCopyFailed, msg::kTailRunBroken)});
  EXPECT_EQ(TempFiles(), std::vector<std::string>());
  EXPECT_EQ(State().inputPartPath, drive.Win("work/top.prt"));
  EXPECT_EQ(ui.waitCursorDepth, 0);
  ui.messages.clear();
  host.Clear();
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, Finished());
}

// A copy refused by the platform says which file and why.
TEST_F(DispatcherTest, FailedCopySaysWhy) {
  SetNewName("top.prt", "top2.prt");
  host.FailWith(velmora::testing::Call::CopyFile, "top2.prt", platform::FileError::AccessDenied);
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             Msg(msg::kReplaceCopyPrefix, "top.prt ファイルのコピーに失敗しました。\n",
                                 text::ToDisplayUtf8(drive.Win("work/top2.prt"))) +
                             Msg("\nアクセスが拒否されました。\n　", msg::kTailRunBroken)});
  EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

TEST_F(DispatcherTest, UnreadableStructureListingStopsTheRun) {
  SetNewName("top.prt", "top2.prt");
  host.Fail(velmora::testing::Call::Open, "-ugpc.txt");
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kPcOpenFailed, msg::kTailRunRefused)});
  EXPECT_FALSE(drive.Exists("work/top2.prt"));
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(DispatcherTest, MissingTempStopsBeforeTheStructureRun) {
  SetNewName("top.prt", "top2.prt");
  host.Fail(velmora::testing::Call::GetEnv, "TEMP", 1, true);
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kTempNotSet, msg::kTailRunRefused)});
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(DispatcherTest, SwapTargetThatVanishedEmptiesTheInputField) {
  ui.controlOptions.overwriteAll = 1;
  ui.controlOptions.inputPartOnly = 1;
  probe.armOn = "-lower_dir";
  probe.vanishing = drive.Win("work/top.prt");
  Execute(Operation::LowerAllFolders);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kSwapTargetMissing)});
  EXPECT_EQ(State().inputPartPath, "");
  EXPECT_EQ(List().RowCount(), 4);
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(DispatcherTest, FailedRebuildAfterTheSwapEmptiesTheInputField) {
  SetNewName("top.prt", "top2.prt");
  host.Fail(velmora::testing::Call::StartBatch, "-list");
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kBatchStartFailed, msg::kTailListNotBuilt)});
  EXPECT_EQ(State().inputPartPath, "");
  EXPECT_TRUE(drive.Exists("work/top2.prt"));
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

// The input part without components: no structure tool is started.
class SingleRowTest : public DialogFixture {
 protected:
  void SetUp() override {
    WritePart("work/solo.prt", {});
    Start();
    ASSERT_TRUE(ChooseInputPart(drive.Win("work/solo.prt")));
    ASSERT_EQ(List().RowCount(), 1);
  }
};

TEST_F(SingleRowTest, ChangeCopiesAndResavesWithoutStructureRun) {
  List().SetText(0, kNewPartName, "Solo2.prt");
  const int batches = host.Count(velmora::testing::Call::StartBatch);
  Execute(Operation::Change);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  // Only the rebuild of the swapped list ran a tool.
  EXPECT_EQ(host.Count(velmora::testing::Call::StartBatch), batches + 1);
  EXPECT_EQ(State().inputPartPath, drive.Win("work/Solo2.prt"));
  EXPECT_NE(ReadPart("work/Solo2.prt").find("saved-as\tSolo2.prt"), std::string::npos);
}

TEST_F(SingleRowTest, BulkWithoutNewPathNeedsOverwriteAll) {
  Execute(Operation::UpperAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kInputPartExists, msg::kTailRunRefused)});
  ui.messages.clear();
  ui.controlOptions.overwriteAll = 1;
  ui.controlOptions.swapInputAfterRun = 0;
  Execute(Operation::UpperAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_TRUE(drive.Exists("work/SOLO.PRT"));
}

}  // namespace
}  // namespace velmora::app::test
