#include "partlist/naming_rules.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace velmora::partlist {
namespace {

std::string Cp(const char* utf8) {
  return text::Cp932(utf8);
}

struct RuleCase {
  const char* name;
  NamingRule rule;
  const char* part;  // UTF-8
  long long counter;
  const char* renamed;  // UTF-8
  bool overflow;
};

class RenamedPartTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RenamedPartTest, MakesTheName) {
  const RuleCase& c = GetParam();
  bool overflow = false;
  EXPECT_EQ(text::ToDisplayUtf8(RenamedPart(c.rule, Cp(c.part), c.counter, overflow)), c.renamed);
  EXPECT_EQ(overflow, c.overflow);
}

NamingRule Rule(NamingRule rule) {
  for (std::string* field : {&rule.pattern, &rule.find, &rule.replaceWith, &rule.prefix, &rule.suffix})
    *field = text::Cp932(*field);
  return rule;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RenamedPartTest,
    ::testing::Values(
        RuleCase{"nothing", Rule({}), "表.prt", 1, "表.prt", false},
        RuleCase{"prefix_suffix", Rule({.prefix = "X-", .suffix = "_b"}), "a.prt", 1, "X-a_b.prt", false},
        RuleCase{"suffix_before_last_dot", Rule({.suffix = "2"}), "a.b.prt", 1, "a.b2.prt", false},
        RuleCase{"suffix_without_extension", Rule({.suffix = "2"}), "abc", 1, "abc2", false},
        RuleCase{"find_ignoring_case", Rule({.find = "OLD", .replaceWith = "new"}), "old_Old.prt", 1,
                 "new_new.prt", false},
        RuleCase{"find_with_case", Rule({.find = "Old", .replaceWith = "new", .matchCase = true}),
                 "old_Old.prt", 1, "old_new.prt", false},
        RuleCase{"find_leaves_extension", Rule({.find = "prt", .replaceWith = "x"}), "prt.prt", 1, "x.prt",
                 false},
        // The trail byte of 表 (5C) and of ソ (5C) is never a "\" to find, nor 能's (94 5C).
        RuleCase{"trail_bytes_not_found", Rule({.find = "\\", .replaceWith = "_"}), "表ソ能.prt", 1,
                 "表ソ能.prt", false},
        RuleCase{"japanese_found", Rule({.find = "ソ", .replaceWith = "表"}), "ソ能.prt", 1, "表能.prt",
                 false},
        // "A" is the trail byte of ア (83 41): lower-casing must not touch it.
        RuleCase{"lower_keeps_trail_bytes", Rule({.caseChange = CaseChange::Lower}), "ア表AB.PRT", 1,
                 "ア表ab.prt", false},
        RuleCase{"upper", Rule({.caseChange = CaseChange::Upper}), "ab.prt", 1, "AB.PRT", false},
        RuleCase{"counter_padded", Rule({.pattern = "A-###.prt"}), "x.prt", 7, "A-007.prt", false},
        RuleCase{"counter_fills", Rule({.pattern = "A-##.prt"}), "x.prt", 99, "A-99.prt", false},
        RuleCase{"counter_overflows", Rule({.pattern = "A-##.prt"}), "x.prt", 100, "A-100.prt", true},
        RuleCase{"counter_negative", Rule({.pattern = "A-##.prt"}), "x.prt", -1, "A--1.prt", true},
        RuleCase{"only_first_run", Rule({.pattern = "#-#.prt"}), "x.prt", 3, "3-#.prt", false},
        RuleCase{"pattern_then_prefix", Rule({.pattern = "表#.prt", .prefix = "P"}), "x.prt", 2, "P表2.prt",
                 false}),
    [](const ::testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

class PlanRenamesTest : public ::testing::Test {
 protected:
  void Add(const char* name, const char* folder, const char* newName = "", const char* newFolder = "") {
    PartRow row;
    row.partName = Cp(name);
    row.folderName = Cp(folder);
    row.newPartName = Cp(newName);
    row.newFolderName = Cp(newFolder);
    list_.InsertRow(list_.RowCount(), std::move(row));
  }
  void Select(std::initializer_list<int> rows) {
    for (int row : rows)
      list_.SetSelected(row, true);
  }
  PartList list_;
};

TEST_F(PlanRenamesTest, EmptySelectionPlansNothing) {
  Add("a.prt", "D:\\w\\");
  const RenamePlan plan = PlanRenames(list_, Rule({.prefix = "x"}));
  EXPECT_TRUE(plan.entries.empty());
  EXPECT_EQ(plan.firstProblem, -1);
}

TEST_F(PlanRenamesTest, CounterRunsOverTheSelectionTopToBottom) {
  Add("c.prt", "D:\\w\\");
  Add("b.prt", "D:\\w\\");
  Add("a.prt", "D:\\w\\");
  Select({0, 2});
  const RenamePlan plan = PlanRenames(list_, Rule({.pattern = "P#.prt", .start = 5, .step = 3}));
  ASSERT_EQ(plan.entries.size(), 2u);
  EXPECT_EQ(plan.entries[0].row, 0);
  EXPECT_EQ(plan.entries[0].newName, "P5.prt");
  EXPECT_EQ(plan.entries[1].row, 2);
  EXPECT_EQ(plan.entries[1].oldName, "a.prt");
  EXPECT_EQ(plan.entries[1].newName, "P8.prt");
  EXPECT_EQ(plan.firstProblem, -1);
}

TEST_F(PlanRenamesTest, FirstProblemInRowOrder) {
  struct Case {
    const char* name;
    NamingRule rule;
    std::initializer_list<int> selected;
    int firstProblem;  // index into the entries
    RenameProblem problem;
    int otherRow;
  };
  // Rows: 0 a.prt and 1 B.prt in D:\w\, 2 b.prt in D:\v\ going to D:\W\, 3 表.prt in D:\w\ renamed
  // x.prt, 4 c.prt in D:\u\.
  const Case cases[] = {
      {"same name in one folder", Rule({.pattern = "same.prt"}), {0, 1}, 0, RenameProblem::Collision, 1},
      {"same name, other folders", Rule({.pattern = "same.prt"}), {1, 4}, -1, RenameProblem::None, -1},
      {"clash ignoring case with a moved row",
       Rule({.caseChange = CaseChange::Lower}),
       {1},
       0,
       RenameProblem::Collision,
       2},
      {"clash with an unselected row's new name",
       Rule({.pattern = "X.PRT"}),
       {0},
       0,
       RenameProblem::Collision,
       3},
      {"clash with an unselected row's old name",
       Rule({.find = "a", .replaceWith = "b"}),
       {0},
       0,
       RenameProblem::Collision,
       1},
      {"invalid name", Rule({.suffix = ":"}), {3, 0}, 0, RenameProblem::InvalidName, -1},
      {"overflow on the second",
       Rule({.pattern = "#.prt", .start = 9}),
       {0, 3},
       1,
       RenameProblem::CounterOverflow,
       -1},
      {"step zero collides", Rule({.pattern = "#.prt", .step = 0}), {0, 1}, 0, RenameProblem::Collision, 1},
  };
  for (const Case& c : cases) {
    list_.DeleteAllRows();
    Add("a.prt", "D:\\w\\");
    Add("B.prt", "D:\\w\\");
    Add("b.prt", "D:\\v\\", "", "D:\\W\\");
    Add("表.prt", "D:\\w\\", "x.prt");
    Add("c.prt", "D:\\u\\");
    Select(c.selected);
    const RenamePlan plan = PlanRenames(list_, c.rule);
    EXPECT_EQ(plan.firstProblem, c.firstProblem) << c.name;
    if (c.firstProblem < 0)
      continue;
    const RenameEntry& entry = plan.entries[static_cast<std::size_t>(c.firstProblem)];
    EXPECT_EQ(entry.problem, c.problem) << c.name;
    EXPECT_EQ(entry.otherRow, c.otherRow) << c.name;
  }
}

TEST_F(PlanRenamesTest, InvalidNameCarriesItsVerdict) {
  Add("a.prt", "D:\\w\\");
  Select({0});
  EXPECT_EQ(PlanRenames(list_, Rule({.pattern = "a.txt"})).entries[0].verdict, NameVerdict::NotPrt);
  EXPECT_EQ(PlanRenames(list_, Rule({.pattern = "noext"})).entries[0].verdict, NameVerdict::NoExtension);
}

}  // namespace
}  // namespace velmora::partlist
