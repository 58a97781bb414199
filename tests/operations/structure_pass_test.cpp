// The marks and checks of the structure pass over hand-written listings, with files held in memory.
// The tool runs and the perform pass are covered end to end in structure_change_test.cpp.

#include <gtest/gtest.h>

#include "structure_test_support.h"
#include "text/codec.h"

namespace velmora::operations::test {
namespace {

constexpr std::string_view kRefused = "\n　実行は使用出来ません。";

// A, then B with its component C, then D; A is the input part.
struct NewPaths {
  std::string a, b, c, d;  // new part names
};

class PassFixture : public StructureFixture {
 protected:
  void Build(const NewPaths& names, std::string_view folder = "C:\\w\\") {
    const std::string f(folder);
    AddRow(f + "a.prt", names.a);
    AddRow(f + "b.prt", names.b);
    AddRow(f + "c.prt", names.c);
    AddRow(f + "d.prt", names.d);
    for (const char* name : {"a.prt", "b.prt", "c.prt", "d.prt"})
      memory.files[text::Cp932(f + name)] = "part";
    state.inputPartPath = text::Cp932(f + "a.prt");
    Listing({f + "a.prt", " " + f + "b.prt", "  " + f + "c.prt", " " + f + "d.prt"});
  }
  void Exists(std::string_view path) { memory.files[text::Cp932(path)] = "part"; }
};

struct MarkCase {
  const char* name;
  NewPaths names;
  std::string edited;  // column 4 of A B C D, "-" for empty
};

class MarkTest : public PassFixture, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(MarkTest, MarksTheFilesTheChangeRewrites) {
  Build(GetParam().names);
  EXPECT_FALSE(Pass(PassMode::Inspect, "検査は出来ていません。")) << Messages();
  EXPECT_EQ(Edited(), GetParam().edited);
  EXPECT_EQ(Numbers(), "0/1 1/2 2/3 1/4");
  EXPECT_EQ(Messages(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Marks, MarkTest,
    ::testing::Values(MarkCase{"Nothing", {}, "----"}, MarkCase{"InputPart", {"a2.prt", "", "", ""}, "Ｖ---"},
                      MarkCase{"Leaf", {"", "", "c2.prt", ""}, "ＶＶ--"},
                      MarkCase{"Subassembly", {"", "b2.prt", "", ""}, "Ｖ---"},
                      MarkCase{"TwoBranches", {"", "", "", "d2.prt"}, "Ｖ---"},
                      MarkCase{"Everything", {"a2.prt", "b2.prt", "c2.prt", "d2.prt"}, "ＶＶ--"}),
    [](const ::testing::TestParamInfo<MarkCase>& info) { return std::string(info.param.name); });

struct CheckCase {
  const char* name;
  Operation operation;
  NewPaths names;
  std::vector<std::string> existing;  // new files already there
  std::string message;                // without the tail; empty: the check passes
  bool tail = true;
};

class CheckTest : public PassFixture, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckTest, RefusesToOverwriteWithoutOverwriteAll) {
  const CheckCase& c = GetParam();
  state.operation = c.operation;
  Build(c.names);
  for (const std::string& path : c.existing)
    Exists(path);
  const bool failed = Pass(PassMode::Check);
  EXPECT_EQ(failed, !c.message.empty());
  EXPECT_EQ(Messages(),
            c.message.empty() ? "" : "[" + c.message + (c.tail ? std::string(kRefused) : "") + "]");
  // Nothing was written.
  EXPECT_EQ(memory.files.size(), 5 + c.existing.size());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CheckTest,
    ::testing::Values(
        CheckCase{"InputInPlace",
                  Operation::Change,
                  {"", "", "c2.prt", ""},
                  {},
                  "全て上書き保存 がチェックされていません。\n入力パート が既に有ります。"},
        CheckCase{"InputTargetExists",
                  Operation::Change,
                  {"a2.prt", "", "", ""},
                  {"C:\\w\\a2.prt"},
                  "全て上書き保存 がチェックされていません。\n入力パート の変更後のファイルが既に有ります。"},
        CheckCase{"InputRenamedOnly", Operation::Change, {"a2.prt", "", "", ""}, {}, ""},
        CheckCase{"ChangedLeafUnderRenamedInput", Operation::Change, {"a2.prt", "", "", "d2.prt"}, {}, ""},
        // B, rewritten as C's parent, would be written in place.
        CheckCase{"AncestorInPlace",
                  Operation::Change,
                  {"a2.prt", "", "c2.prt", ""},
                  {},
                  "全て上書き保存 がチェックされていません。\n変更前の b.prt ファイルが既に有ります。"},
        CheckCase{"AncestorRenamed", Operation::Change, {"a2.prt", "b2.prt", "c2.prt", ""}, {}, ""},
        // The bulk operations rewrite every file.
        CheckCase{"BulkInPlace",
                  Operation::LowerAllParts,
                  {"a2.prt", "", "", ""},
                  {},
                  "全て上書き保存 がチェックされていません。\n変更前の b.prt ファイルが既に有ります。"},
        CheckCase{"BulkTargetExists",
                  Operation::UpperAllParts,
                  {"a2.prt", "b2.prt", "", ""},
                  {"C:\\w\\b2.prt"},
                  "全て上書き保存 がチェックされていません。\n変更後の b2.prt ファイルが既に有ります。"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST_F(PassFixture, OverwriteAllLetsEveryCheckPass) {
  state.operation = Operation::LowerAllFolders;
  state.options.overwriteAll = 1;
  Build({"", "b2.prt", "c2.prt", ""});
  EXPECT_FALSE(Pass(PassMode::Check)) << Messages();
  EXPECT_EQ(Edited(), "ＶＶ--");
  EXPECT_EQ(Numbers(), "0/1 1/2 2/3 1/4");
}

TEST_F(PassFixture, RemovingFoldersRefusesANameAlreadyInTheInputFolder) {
  state.operation = Operation::RemoveAllFolders;
  state.options.overwriteAll = 1;
  Build({"", "", "c2.prt", ""}, "C:\\x\\");
  Exists("C:\\w\\c2.prt");
  EXPECT_TRUE(Pass(PassMode::Check));
  EXPECT_EQ(Messages(),
            "[変更後の c2.prt ファイルが既に有ります。\n　全てのフォルダ情報を削除 は使用出来ません。]");
}

TEST_F(PassFixture, RemovingFoldersPassesWhenTheInputFolderIsFree) {
  state.operation = Operation::RemoveAllFolders;
  Build({"", "", "", ""}, "C:\\x\\");
  state.options.overwriteAll = 1;
  EXPECT_FALSE(Pass(PassMode::Check)) << Messages();
}

TEST_F(PassFixture, ExistingTargetCheckNeedsTemp) {
  memory.env.erase("TEMP");
  Build({"", "", "c2.prt", ""});
  EXPECT_TRUE(Pass(PassMode::Inspect, "検査は出来ていません。"));
  EXPECT_EQ(Messages(), "[環境変数に TEMP が設定されていません。\n　検査は出来ていません。]");
  EXPECT_FALSE(stream->IsOpen());
}

TEST_F(PassFixture, SecondPassReadsTheListingAgainFromItsStart) {
  state.operation = Operation::Change;
  Build({"a2.prt", "b2.prt", "", ""});
  ASSERT_FALSE(Pass(PassMode::Inspect, "検査は出来ていません。")) << Messages();
  // A fresh inspection clears the columns before the check pass numbers them again.
  for (int row = 0; row < state.partList.RowCount(); ++row) {
    state.partList.SetText(row, partlist::kParent, {});
    state.partList.SetText(row, partlist::kNumber, {});
  }
  EXPECT_FALSE(Pass(PassMode::Check)) << Messages();
  EXPECT_EQ(Numbers(), "0/1 1/2 2/3 1/4");
}

}  // namespace
}  // namespace velmora::operations::test
