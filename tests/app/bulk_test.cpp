// The four bulk operations after "実行", with and without inputPartOnly and after new names.

#include <filesystem>

#include "dialog_fixture.h"
#include "resources/messages/operations.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "support/platform_support.h"

namespace velmora::app::test {
namespace {

using operations::Operation;

// Mixed-case names and folders: Top.prt uses Mid.PRT and Sub\Leaf.prt; Mid.PRT uses Leaf.prt too.
class BulkTest : public DialogFixture {
 protected:
  void SetUp() override {
    WritePart("work/Top.prt", {{"", "Mid.PRT"}, {"D:\\Work\\Sub", "Leaf.prt"}});
    WritePart("work/Mid.PRT", {{"D:\\Work\\Sub", "Leaf.prt"}});
    WritePart("work/Sub/Leaf.prt", {});
    Start();
    ASSERT_TRUE(ChooseInputPart(drive.Win("work/Top.prt")));
    ASSERT_EQ(List().RowCount(), 3);
    ui.messages.clear();
    // Every bulk operation rewrites files in place.
    ui.controlOptions.overwriteAll = 1;
  }
  // The name spelt exactly so in its folder (a Windows lookup would ignore the case). Wine keeps
  // the old spelling on a case-only rename, so there only the file itself can be checked.
  bool HostHas(std::string_view relative) {
    const std::filesystem::path path = drive.Host(relative);
    if (velmora::testing::RunningUnderWine())
      return std::filesystem::exists(path);
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), ignored))
      if (entry.path().filename() == path.filename())
        return true;
    return false;
  }
  bool OldSpellingGone(std::string_view relative) {
    return velmora::testing::RunningUnderWine() || !HostHas(relative);
  }
};

TEST_F(BulkTest, LowerAllPartsRenamesEveryFileAndSwapsToTheLowerCasedInput) {
  Execute(Operation::LowerAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_TRUE(HostHas("work/top.prt"));
  EXPECT_TRUE(HostHas("work/mid.prt"));
  EXPECT_TRUE(HostHas("work/Sub/leaf.prt"));
  EXPECT_TRUE(OldSpellingGone("work/Mid.PRT"));
  EXPECT_NE(ReadPart("work/top.prt").find("component\t\tmid.prt\n"), std::string::npos);
  EXPECT_EQ(State().inputPartPath, "d:\\work\\top.prt");
  EXPECT_EQ(List().RowCount(), 3);
  EXPECT_TRUE(StructureResolves(State().inputPartPath));
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
  EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(BulkTest, InputPartOnlyTouchesTheInputFileAlone) {
  ui.controlOptions.inputPartOnly = 1;
  ui.controlOptions.swapInputAfterRun = 0;
  const std::string mid = ReadPart("work/Mid.PRT");
  Execute(Operation::UpperAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_TRUE(HostHas("work/TOP.PRT"));
  EXPECT_TRUE(HostHas("work/Mid.PRT"));
  EXPECT_TRUE(HostHas("work/Sub/Leaf.prt"));
  EXPECT_NE(ReadPart("work/TOP.PRT").find("component\t\tMID.PRT\n"), std::string::npos);
  // Resaved once by the check-and-copy passes at most, never renamed.
  EXPECT_EQ(ReadPart("work/Mid.PRT").find("saved-as\tMID.PRT"), std::string::npos);
  EXPECT_EQ(State().inputPartPath, drive.Win("work/Top.prt"));
}

TEST_F(BulkTest, EarlierNewNamesAreCarriedOutFirst) {
  List().SetText(RowOf("Mid.PRT"), partlist::kNewPartName, "mid2.prt");
  Execute(Operation::UpperAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  EXPECT_TRUE(HostHas("work/MID2.PRT"));
  EXPECT_TRUE(HostHas("work/Mid.PRT"));
  const std::string top = ReadPart("work/TOP.PRT");
  EXPECT_NE(top.find("component\t\tMID2.PRT\n"), std::string::npos) << top;
  EXPECT_NE(top.find("component\tD:\\Work\\Sub\tLEAF.PRT\n"), std::string::npos) << top;
  EXPECT_TRUE(StructureResolves(drive.Win("work/TOP.PRT")));
  // The swap takes the lower-cased old path, which still finds the renamed file.
  EXPECT_EQ(State().inputPartPath, "d:\\work\\top.prt");
  EXPECT_EQ(List().RowCount(), 3);
}

TEST_F(BulkTest, LowerAllFoldersKeepsTheNames) {
  ui.controlOptions.swapInputAfterRun = 0;
  Execute(Operation::LowerAllFolders);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  const std::string top = ReadPart("work/Top.prt");
  EXPECT_NE(top.find("component\td:\\work\\sub\tLeaf.prt\n"), std::string::npos) << top;
  EXPECT_NE(ReadPart("work/Mid.PRT").find("component\td:\\work\\sub\tLeaf.prt\n"), std::string::npos);
  EXPECT_TRUE(StructureResolves(drive.Win("work/Top.prt")));
}

TEST_F(BulkTest, BulkRunsNeedOverwriteAllForFilesWrittenInPlace) {
  ui.controlOptions.overwriteAll = 0;
  Execute(Operation::LowerAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kInputPartExists, msg::kTailRunRefused)});
  EXPECT_TRUE(HostHas("work/Top.prt"));
}

TEST_F(BulkTest, StructureRunIsNamedFromTheLowerCasedInputPath) {
  // Only the lower-cased name of the listing matches the fault; "Top-ugpc.txt" would run through.
  host.Fail(velmora::testing::Call::Open, "\\top-ugpc.txt");
  Execute(Operation::LowerAllParts);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kPcOpenFailed, msg::kTailRunRefused)});
  EXPECT_TRUE(HostHas("work/Top.prt"));
}

// Parts spread over other folders, collected into the input part's new folder.
class RemoveAllFoldersTest : public DialogFixture {
 protected:
  void SetUp() override {
    WritePart("work/top.prt", {{"D:\\lib", "a.prt"}, {"D:\\lib\\sub", "b.prt"}});
    WritePart("lib/a.prt", {{"D:\\lib\\sub", "c.prt"}});
    WritePart("lib/sub/b.prt", {});
    WritePart("lib/sub/c.prt", {});
    std::filesystem::create_directories(drive.Host("flat"));
    Start();
    ASSERT_TRUE(ChooseInputPart(drive.Win("work/top.prt")));
    ASSERT_EQ(List().RowCount(), 4);
    ui.messages.clear();
    ui.controlOptions.swapInputAfterRun = 0;
    // A new folder on the input part's own row is allowed.
    List().SetText(0, partlist::kNewFolderName, "D:\\flat\\");
  }
};

TEST_F(RemoveAllFoldersTest, CollectsEveryPartInTheInputPartsFolder) {
  const std::string a = ReadPart("lib/a.prt");
  Execute(Operation::RemoveAllFolders);
  EXPECT_EQ(ui.messages, std::vector<std::string>{Msg(msg::kRunFinished)});
  const std::string top = ReadPart("flat/top.prt");
  EXPECT_NE(top.find("component\t\ta.prt\ncomponent\t\tb.prt\n"), std::string::npos) << top;
  EXPECT_NE(ReadPart("flat/a.prt").find("component\t\tc.prt\n"), std::string::npos);
  EXPECT_TRUE(drive.Exists("flat/b.prt"));
  EXPECT_TRUE(drive.Exists("flat/c.prt"));
  EXPECT_TRUE(StructureResolves(drive.Win("flat/top.prt")));
  EXPECT_EQ(ReadPart("lib/a.prt"), a);
  EXPECT_EQ(State().inputPartPath, drive.Win("work/top.prt"));
  EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
}

TEST_F(RemoveAllFoldersTest, PartAlreadyInTheTargetFolderStopsTheCheck) {
  WritePart("flat/b.prt", {});
  Execute(Operation::RemoveAllFolders);
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{Msg(msg::kChangedPrefix, "b.prt", msg::kRemoveAllTargetExists)});
  EXPECT_FALSE(drive.Exists("flat/top.prt"));
  EXPECT_FALSE(drive.Exists("flat/a.prt"));
}

}  // namespace
}  // namespace velmora::app::test
