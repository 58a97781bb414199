#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "partlist/compare.h"
#include "partlist/name_rules.h"
#include "text/codec.h"

namespace velmora::partlist {
namespace {

int Sign(int value) {
  return (value > 0) - (value < 0);
}

TEST(ComparePartRows, NumbersOnlyWhenBothArePlainDecimals) {
  struct Case {
    const char* s1;
    const char* s2;
    int ascending;  // sign of the result with the flag at 1
  };
  const Case cases[] = {
      {"2", "10", -1},
      {"10", "2", 1},
      {"10", "10", 0},
      {"0", "1", -1},
      {"007", "10", -1},
      {"10", "007", 1},  // 007 is text: "0" < "1"
      {"2", "10a", 1},
      {"2", "1 ", 1},
      {"-1", "0", -1},
      {"", "1", -1},
      {"", "", 0},
      {"a", "B", 1},
      {"\x81\x9B", "\x82\x77", -1},
      {"2147483647", "0", 1},
      {"99999999999", "1", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(ComparePartRows(c.s1, c.s2, 1)), c.ascending) << c.s1 << " vs " << c.s2;
    EXPECT_EQ(Sign(ComparePartRows(c.s1, c.s2, 0)), -c.ascending) << c.s1 << " vs " << c.s2;
    EXPECT_EQ(Sign(ComparePartRows(c.s1, c.s2, -3)), -c.ascending) << c.s1 << " vs " << c.s2;
  }
  EXPECT_EQ(ComparePartRows("12", "5", 1), 7);
  EXPECT_EQ(ComparePartRows("12", "5", 0), -7);
  EXPECT_EQ(ComparePartRows("b", "a", 1), 1);
}

TEST(ValidateNewPartName, ExtensionThenSeparators) {
  struct Case {
    std::optional<std::string> text;
    NameVerdict verdict;
  };
  const Case cases[] = {
      {std::nullopt, NameVerdict::Accept},
      {"", NameVerdict::Accept},
      {"ABC.PRT", NameVerdict::Accept},
      {"a.b.Prt", NameVerdict::Accept},
      {".prt", NameVerdict::NoExtension},
      {"abc", NameVerdict::NoExtension},
      {"a.prt ", NameVerdict::NotPrt},
      {"a.prt.bak", NameVerdict::NotPrt},
      {"a.", NameVerdict::NotPrt},
      {"sub\\a.prt", NameVerdict::HasSeparator},
      {"C:a.prt", NameVerdict::HasSeparator},
      // The extension test comes first.
      {"sub\\a", NameVerdict::NoExtension},
      // "表" ends in byte 5C, which is no separator inside the character.
      {text::Cp932("表.prt"), NameVerdict::Accept},
      {text::Cp932("表\\.prt"), NameVerdict::HasSeparator},
  };
  for (const Case& c : cases) {
    const std::optional<std::string_view> view =
        c.text ? std::optional<std::string_view>(*c.text) : std::nullopt;
    EXPECT_EQ(ValidateNewPartName(view), c.verdict) << (c.text ? *c.text : "(cancelled)");
  }
}

}  // namespace
}  // namespace velmora::partlist
