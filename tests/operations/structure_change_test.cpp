// The change run end to end: the stand-in tools and library on part files in a temporary drive.

#include <gtest/gtest.h>

#include <algorithm>

#include "structure_e2e_fixture.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::operations::test {
namespace {

// top uses sub and other; sub uses leaf twice; other uses leaf again, its folder spelt out.
class ChangeTest : public StructureE2e {
 protected:
  ChangeTest() {
    WritePart("w/top.prt", {{"", "sub.prt"}, {"", "other.prt"}});
    WritePart("w/sub.prt", {{"", "leaf.prt"}, {"", "leaf.prt"}});
    WritePart("w/other.prt", {{"D:\\w", "leaf.prt"}});
    WritePart("w/leaf.prt", {});
    Load("D:\\w\\top.prt");
  }
  // The file names of a structure's lines, each line checked to resolve.
  std::string Names(std::string_view top) {
    std::string out;
    for (const std::string& path : ExpectResolves(Structure(top)))
      out += (out.empty() ? "" : " ") + path.substr(path.rfind('\\') + 1);
    return out;
  }
};

TEST_F(ChangeTest, ListsAndNumbersTheHandMadeAssembly) {
  Inspect();
  EXPECT_EQ(Messages(), "[検査を完了しました。]");
  EXPECT_EQ(Column(partlist::kPartName), "top.prtsub.prtleaf.prtother.prt");
  EXPECT_EQ(Column(partlist::kNumber), "1235");
  EXPECT_EQ(Column(partlist::kParent), "01-11");
  EXPECT_TRUE(drive.TempFiles().empty());
}

TEST_F(ChangeTest, RenamingALeafRewritesEveryParent) {
  state.options.overwriteAll = 1;
  Rename("leaf.prt", "leaf2.prt");
  ASSERT_FALSE(Change()) << Messages();
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(Components("w/sub.prt"), (std::vector<std::string>{"|leaf2.prt", "|leaf2.prt"}));
  EXPECT_EQ(Components("w/other.prt"), (std::vector<std::string>{"D:\\w|leaf2.prt"}));
  EXPECT_TRUE(drive.Exists("w/leaf.prt"));
  EXPECT_EQ(Names("D:\\w\\top.prt"), "top.prt sub.prt leaf2.prt leaf2.prt other.prt leaf2.prt");
  EXPECT_EQ(Column(partlist::kEdited), "ＶＶ-Ｖ");
  EXPECT_TRUE(drive.TempFiles().empty());
}

TEST_F(ChangeTest, RenamingASubassemblyKeepsItsComponents) {
  state.options.overwriteAll = 1;
  Rename("sub.prt", "sub2.prt");
  ASSERT_FALSE(Change()) << Messages();
  EXPECT_EQ(Components("w/top.prt"), (std::vector<std::string>{"|sub2.prt", "|other.prt"}));
  EXPECT_EQ(Components("w/sub2.prt"), (std::vector<std::string>{"|leaf.prt", "|leaf.prt"}));
  EXPECT_EQ(Names("D:\\w\\top.prt"), "top.prt sub2.prt leaf.prt leaf.prt other.prt leaf.prt");
}

TEST_F(ChangeTest, RenamingTheInputPartLeavesTheOldOne) {
  const std::string before = drive.ReadFile("w/top.prt");
  Rename("top.prt", "top2.prt");
  ASSERT_FALSE(Change()) << Messages();
  EXPECT_EQ(drive.ReadFile("w/top.prt"), before);
  EXPECT_EQ(Components("w/top2.prt"), Components("w/top.prt"));
  EXPECT_EQ(Names("D:\\w\\top2.prt"), "top2.prt sub.prt leaf.prt leaf.prt other.prt leaf.prt");
}

TEST_F(ChangeTest, MovingALeafSetsTheFolderOfEveryReference) {
  MakeFolder("w/moved");
  state.options.overwriteAll = 1;
  Rename("leaf.prt", "", "D:\\w\\moved\\");
  ASSERT_FALSE(Change()) << Messages();
  EXPECT_EQ(Components("w/sub.prt"),
            (std::vector<std::string>{"D:\\w\\moved|leaf.prt", "D:\\w\\moved|leaf.prt"}));
  EXPECT_EQ(Components("w/other.prt"), (std::vector<std::string>{"D:\\w\\moved|leaf.prt"}));
  const std::vector<std::string> paths = ExpectResolves(Structure("D:\\w\\top.prt"));
  EXPECT_EQ(std::count(paths.begin(), paths.end(), "d:\\w\\moved\\leaf.prt"), 3);
}

TEST_F(ChangeTest, RenameAndMoveUnderRenamedParentsNeedsNoOverwrite) {
  MakeFolder("n");
  Rename("top.prt", "top2.prt", "D:\\n\\");
  Rename("sub.prt", "sub2.prt", "D:\\n\\");
  Rename("other.prt", "", "D:\\n\\");
  Rename("leaf.prt", "leaf2.prt", "D:\\n\\");
  ASSERT_FALSE(Change()) << Messages();
  EXPECT_EQ(Names("D:\\n\\top2.prt"), "top2.prt sub2.prt leaf2.prt leaf2.prt other.prt leaf2.prt");
  EXPECT_EQ(Components("n/sub2.prt"), (std::vector<std::string>{"D:\\n|leaf2.prt", "D:\\n|leaf2.prt"}));
  // The old files stay as they were.
  EXPECT_EQ(Names("D:\\w\\top.prt"), "top.prt sub.prt leaf.prt leaf.prt other.prt leaf.prt");
}

struct RefusedCase {
  const char* name;
  std::vector<std::vector<std::string>> renames;  // part, new name, new folder
  std::string message;
};

class RefusedChangeTest : public ChangeTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedChangeTest, ChangesNoFile) {
  for (const std::vector<std::string>& rename : GetParam().renames)
    Rename(rename[0], rename[1], rename[2]);
  const auto before = Snapshot();
  EXPECT_TRUE(Change());
  EXPECT_EQ(Messages(), "[" + GetParam().message + "]");
  EXPECT_EQ(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedChangeTest,
    ::testing::Values(
        RefusedCase{"InputInPlace",
                    {{"leaf.prt", "leaf2.prt", ""}},
                    "全て上書き保存 がチェックされていません。\n入力パート "
                    "が既に有ります。\n　実行は使用出来ません。"},
        RefusedCase{"InputTargetExists",
                    {{"top.prt", "other.prt", ""}},
                    "全て上書き保存 がチェックされていません。\n入力パート "
                    "の変更後のファイルが既に有ります。\n　実行は使用出来ません。"},
        RefusedCase{"ParentInPlace",
                    {{"top.prt", "top2.prt", ""}, {"leaf.prt", "leaf2.prt", ""}},
                    "全て上書き保存 がチェックされていません。\n変更前の sub.prt "
                    "ファイルが既に有ります。\n　実行は使用出来ません。"},
        RefusedCase{"ParentTargetExists",
                    {{"top.prt", "top2.prt", ""}, {"sub.prt", "other.prt", ""}, {"leaf.prt", "x.prt", ""}},
                    "全て上書き保存 がチェックされていません。\n変更後の other.prt "
                    "ファイルが既に有ります。\n　実行は使用出来ません。"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST_F(ChangeTest, AToolFailureBreaksOffThePerformPass) {
  state.options.overwriteAll = 1;
  Rename("leaf.prt", "leaf2.prt");
  setenv("VELMORA_CAD_FAIL", "-change_name", 1);
  EXPECT_TRUE(Change());
  ASSERT_EQ(ui.messages.size(), 1u) << Messages();
  EXPECT_TRUE(ui.messages[0].ends_with("\n　実行は中断しました。")) << Messages();
  // The failed pass closed the listing and left it for the user.
  const std::vector<std::string> temp = drive.TempFiles();
  EXPECT_NE(std::find(temp.begin(), temp.end(), "top-ugpc.txt"), temp.end());
}

TEST_F(ChangeTest, ALibraryFailureBreaksOffThePerformPass) {
  state.options.overwriteAll = 1;
  Rename("leaf.prt", "leaf2.prt");
  setenv("VELMORA_UF_FAIL", "UF_PART_save", 1);
  EXPECT_TRUE(Change());
  EXPECT_EQ(Messages(), "[leaf2.prt ファイルの保存に失敗しました。\n　実行は中断しました。]");
  EXPECT_EQ(Components("w/sub.prt"), (std::vector<std::string>{"|leaf.prt", "|leaf.prt"}));
}

// When the platform says why (here as a full disk would), the message names the file and the reason.
TEST_F(ChangeTest, ALibraryFailureSaysWhyWhenThePlatformDoes) {
  state.options.overwriteAll = 1;
  Rename("leaf.prt", "leaf2.prt");
  setenv("VELMORA_UF_FAIL", "UF_PART_save", 1);
  host.SetLastError(platform::FileError::DiskFull);
  EXPECT_TRUE(Change());
  EXPECT_EQ(Messages(), "[leaf2.prt ファイルの保存に失敗しました。\n" +
                            text::ToDisplayUtf8(drive.Win("w/leaf2.prt")) +
                            "\nディスクの空き容量が足りません。\n　実行は中断しました。]");
}

TEST_F(ChangeTest, PerformPassRefusesANumberNoRowHolds) {
  state.options.overwriteAll = 1;
  Rename("leaf.prt", "leaf2.prt");
  // "02" reads as 2 but matches no row's number text.
  EXPECT_TRUE(
      Change(Operation::Change, [&] { state.partList.SetText(Row("sub.prt"), partlist::kNumber, "02"); }));
  EXPECT_EQ(Messages(), "[リストから一致する No を取得出来ません。\n　実行は中断しました。]");
}

TEST_F(ChangeTest, ReadErrorInThePerformPass) {
  state.options.overwriteAll = 1;
  Rename("leaf.prt", "leaf2.prt");
  EXPECT_TRUE(Change(Operation::Change, [&] { host.Fail(velmora::testing::Call::StreamRead, "-ugpc.txt"); }));
  EXPECT_EQ(Messages(), "[UGPC の テキストファイル の読込みエラーが発生しました。\n　実行は中断しました。]");
}

class StructureE2eTest : public StructureE2e {};

TEST_F(StructureE2eTest, RemoveAllFoldersGathersRenamedPartsInTheInputFolder) {
  WritePart("w/top.prt", {{"D:\\w\\s", "sub.prt"}});
  WritePart("w/s/sub.prt", {{"", "leaf.prt"}});
  WritePart("w/s/leaf.prt", {});
  Load("D:\\w\\top.prt");
  state.options.overwriteAll = 1;
  Rename("sub.prt", "sub2.prt");
  ASSERT_FALSE(Change(Operation::RemoveAllFolders)) << Messages();
  // The input folder is the lower-cased folder of the input part.
  EXPECT_EQ(Components("w/top.prt"), (std::vector<std::string>{"d:\\w|sub2.prt"}));
  EXPECT_EQ(Components("w/sub2.prt"), (std::vector<std::string>{"|leaf.prt"}));
  const std::vector<std::string> paths = ExpectResolves(Structure("D:\\w\\top.prt"));
  EXPECT_EQ(paths, (std::vector<std::string>{"d:\\w\\top.prt", "d:\\w\\sub2.prt", "d:\\w\\leaf.prt"}));
}

// Every part of a generated assembly renamed into a new folder: the new top part's structure is
// the old one with every path replaced, and every file it names exists.
TEST_F(StructureE2eTest, GeneratedAssemblyRenamedAndMovedPartByPart) {
  const std::string top = drive.MakeAssembly("gen", "--parts 60 --seed 7");
  ASSERT_FALSE(top.empty());
  Load(text::ToDisplayUtf8(top));
  const std::vector<std::string> before = ExpectResolves(Structure(text::ToDisplayUtf8(top)));
  MakeFolder("out");
  std::map<std::string, std::string> renamed;  // old lower-cased path -> new path, lower-cased
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    const std::string name = "n" + std::to_string(row) + ".prt";
    state.partList.SetText(row, partlist::kNewPartName, name);
    state.partList.SetText(row, partlist::kNewFolderName, "D:\\out\\");
    renamed[text::ToDisplayUtf8(text::ToLower(state.partList.RowPath(row, false)))] = "d:\\out\\" + name;
  }
  ASSERT_FALSE(Change()) << Messages();
  EXPECT_EQ(Messages(), "");
  std::vector<std::string> expected;
  for (const std::string& path : before)
    expected.push_back(renamed.at(path));
  EXPECT_EQ(ExpectResolves(Structure("D:\\out\\n0.prt")), expected);
}

}  // namespace
}  // namespace velmora::operations::test

namespace velmora::operations::test {
namespace {

// A shared part is copied at its first line; its later lines must not take that copy for a file
// in the way and break the perform pass off half-way.
TEST_F(ChangeTest, SharedPartCopiedOnceDoesNotStopABulkRun) {
  Rename("top.prt", "top2.prt");
  Rename("sub.prt", "sub2.prt");
  Rename("other.prt", "other2.prt");
  Rename("leaf.prt", "leaf2.prt");
  ASSERT_FALSE(Change(Operation::LowerAllParts)) << Messages();
  EXPECT_EQ(Names("D:\\w\\top2.prt"), "top2.prt sub2.prt leaf2.prt leaf2.prt other2.prt leaf2.prt");
}

TEST_F(StructureE2eTest, RemoveAllFoldersWithASharedPart) {
  WritePart("w/top.prt", {{"D:\\w\\s", "sub.prt"}, {"D:\\w\\s", "other.prt"}});
  WritePart("w/s/sub.prt", {{"", "leaf.prt"}, {"", "leaf.prt"}});
  WritePart("w/s/other.prt", {{"", "leaf.prt"}});
  WritePart("w/s/leaf.prt", {});
  Load("D:\\w\\top.prt");
  state.options.overwriteAll = 1;
  Rename("sub.prt", "sub2.prt");
  ASSERT_FALSE(Change(Operation::RemoveAllFolders)) << Messages();
  EXPECT_TRUE(drive.Exists("w/leaf.prt"));
  EXPECT_TRUE(drive.Exists("w/other.prt"));
  EXPECT_EQ(Components("w/top.prt"), (std::vector<std::string>{"d:\\w|sub2.prt", "D:\\w\\s|other.prt"}));
}

}  // namespace
}  // namespace velmora::operations::test
