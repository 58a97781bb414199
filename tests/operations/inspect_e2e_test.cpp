// The full inspection end to end: the ugpc run, the numbering, the marks of an existing target
// and every failure on the way, with the stand-in tools.

#include <gtest/gtest.h>

#include "structure_e2e_fixture.h"
#include "text/codec.h"

namespace velmora::operations::test {
namespace {

// top > sub > mid > leaf; alt.prt, outside the assembly, uses leaf only.
class InspectE2eTest : public StructureE2e {
 protected:
  InspectE2eTest() {
    WritePart("w/top.prt", {{"", "sub.prt"}});
    WritePart("w/sub.prt", {{"", "mid.prt"}});
    WritePart("w/mid.prt", {{"", "leaf.prt"}});
    WritePart("w/leaf.prt", {});
    WritePart("w/alt.prt", {{"", "leaf.prt"}});
    Load("D:\\w\\top.prt");
  }
};

TEST_F(InspectE2eTest, MarksComponentsAnExistingTargetDoesNotUse) {
  Rename("sub.prt", "alt.prt");
  Inspect();
  // The closing message says how many rows a change would be refused for.
  EXPECT_EQ(Messages(),
            "[検査を完了しました。\n編集 に Ｘ の付いた行が 1 "
            "行有ります。変更後のファイルが既に有り，その部品を参照していません。]");
  EXPECT_EQ(Column(partlist::kEdited), "Ｖ-Ｘ-");
  EXPECT_EQ(Column(partlist::kNumber), "1234");
  EXPECT_EQ(Column(partlist::kAfter), "-○--");
  EXPECT_TRUE(drive.TempFiles().empty());
}

TEST_F(InspectE2eTest, AnAncestorMarkedXKeepsItsMark) {
  Rename("sub.prt", "alt.prt");
  Rename("leaf.prt", "leaf2.prt");
  Inspect();
  EXPECT_EQ(Column(partlist::kEdited), "ＶＶＸ-");
}

TEST_F(InspectE2eTest, TargetUsingEveryComponentMarksNone) {
  WritePart("w/alt.prt", {{"", "mid.prt"}});
  Rename("sub.prt", "alt.prt");
  Inspect();
  EXPECT_EQ(Column(partlist::kEdited), "Ｖ---");
}

struct FaultCase {
  const char* name;
  velmora::testing::Call call;
  const char* pathPart;
  std::string message;
};

class InspectFaultTest : public InspectE2eTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(InspectFaultTest, EndsTheInspectionWithItsMessage) {
  Rename("sub.prt", "alt.prt");
  host.Fail(GetParam().call, GetParam().pathPart);
  Inspect();
  EXPECT_EQ(Messages(), "[" + GetParam().message + "]");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, InspectFaultTest,
    ::testing::Values(
        FaultCase{"PcOutputOpen", velmora::testing::Call::Open, "-ugpc.txt",
                  "UGPC の テキストファイル を開くのに失敗しました。\n　検査は出来ていません。"},
        FaultCase{"PcOutputRemove", velmora::testing::Call::Remove, "-ugpc.txt",
                  "UGPC の テキストファイル の削除に失敗しました。\n　検査は完了しました。"},
        FaultCase{"PcOutputClose", velmora::testing::Call::StreamClose, "-ugpc.txt",
                  "UGPC の テキストファイル を閉じるのに失敗しました。\n　検査は完了しました。"},
        FaultCase{"TargetListOpen", velmora::testing::Call::Open, "alt-list.txt",
                  "テキストファイル を開くのに失敗しました。\n　検査は出来ていません。"},
        FaultCase{"TargetListClose", velmora::testing::Call::StreamClose, "alt-list.txt",
                  "テキストファイル を閉じるのに失敗しました。\n　検査は出来ていません。"},
        FaultCase{"TargetListRemove", velmora::testing::Call::Remove, "alt-list.txt",
                  "テキストファイル の削除に失敗しました。\n　検査は出来ていません。"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(InspectE2eTest, AFailedToolRunEndsTheInspection) {
  setenv("VELMORA_CAD_FAIL", "ugpc", 1);
  Inspect();
  ASSERT_EQ(ui.messages.size(), 1u) << Messages();
  EXPECT_TRUE(ui.messages[0].ends_with("\n　検査は出来ていません。")) << Messages();
  EXPECT_EQ(Column(partlist::kNumber), "----");
  // What the failed tool wrote stays to be read.
  EXPECT_EQ(drive.TempFiles(), (std::vector<std::string>{"top-ugpc.log", "top-ugpc.txt"}));
}

TEST_F(InspectE2eTest, AFailedTargetListingClosesBothFiles) {
  Rename("sub.prt", "alt.prt");
  host.Fail(velmora::testing::Call::StreamRead, "alt-list.txt");
  Inspect();
  // The listing reader's own message; the pass then closes the structure listing silently.
  EXPECT_EQ(Messages(), "[テキストファイル の読込みエラーが発生しました。\n　検査は出来ていません。]");
  EXPECT_EQ(Column(partlist::kEdited), "Ｖ---");
  // Nothing was written, so neither listing is left to refuse the next inspection.
  EXPECT_TRUE(drive.TempFiles().empty());
  host.Clear();
  ui.messages.clear();
  Inspect();
  EXPECT_EQ(Messages(),
            "[検査を完了しました。\n編集 に Ｘ の付いた行が 1 "
            "行有ります。変更後のファイルが既に有り，その部品を参照していません。]");
}

}  // namespace
}  // namespace velmora::operations::test
