#include "text/mbstring.h"

#include <gtest/gtest.h>

#include <climits>

namespace velmora::text {
namespace {

// cp932 bytes: 表 95 5C, ソ 83 5C, 能 94 5C, ア 83 41, ａ 82 81.
constexpr std::string_view kHyo = "\x95\x5C";
constexpr std::string_view kSo = "\x83\x5C";
constexpr std::string_view kA = "\x83\x41";

std::string S(std::initializer_list<std::string_view> pieces) {
  std::string out;
  for (const auto piece : pieces)
    out += piece;
  return out;
}

TEST(MbString, LeadBytes) {
  EXPECT_FALSE(IsLeadByte(0x80));
  EXPECT_TRUE(IsLeadByte(0x81));
  EXPECT_TRUE(IsLeadByte(0x9F));
  EXPECT_FALSE(IsLeadByte(0xA0));
  EXPECT_FALSE(IsLeadByte(0xDF));  // half-width katakana are single bytes
  EXPECT_TRUE(IsLeadByte(0xE0));
  EXPECT_TRUE(IsLeadByte(0xFC));
  EXPECT_FALSE(IsLeadByte(0xFD));
  EXPECT_FALSE(IsLeadByte('\\'));
}

struct FindCase {
  std::string text;
  char ch;
  std::size_t first;
  std::size_t last;
};

TEST(MbString, FindStepsOverTrailBytes) {
  const FindCase cases[] = {
      {S({"D:\\work\\", kHyo, ".prt"}), '\\', 2, 7},
      {S({kHyo, kSo}), '\\', npos, npos},
      {S({"a", kSo, "\\b"}), '\\', 3, 3},
      {S({kA, "A"}), 'A', 2, 2},
      {S({"x.", kHyo, ".prt"}), '.', 1, 4},
      {"", '.', npos, npos},
      {"\x95", '\x95', 0, 0},  // a lead byte at the very end is a character of its own
      {"\xB1\\", '\\', 1, 1},  // half-width katakana does not swallow the next byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindFirst(c.text, c.ch), c.first) << c.text;
    EXPECT_EQ(FindLast(c.text, c.ch), c.last) << c.text;
    EXPECT_EQ(Contains(c.text, c.ch), c.first != npos) << c.text;
  }
}

TEST(MbString, FindFromStartsOnACharacterBoundary) {
  const std::string text = S({"\\", kHyo, "\\"});  // 5C 95 5C 5C
  EXPECT_EQ(FindFirst(text, '\\', 0), 0u);
  EXPECT_EQ(FindFirst(text, '\\', 1), 3u);
  EXPECT_EQ(FindFirst(text, '\\', 2), 3u);  // 2 is inside 表
  EXPECT_EQ(FindFirst(text, '\\', 4), npos);
  EXPECT_EQ(FindFirst(text, '\\', 99), npos);
}

TEST(MbString, FindNeedle) {
  const std::string text = S({kSo, "\\a", kA, "A.prt"});  // 83 5C 5C 61 83 41 41 ...
  EXPECT_EQ(FindFirst(text, "\\a"), 2u);
  EXPECT_EQ(FindFirst(text, "\\\\"), npos);  // 5C 5C straddles ソ
  EXPECT_EQ(FindFirst(text, "AA"), npos);    // 41 41 straddles ア
  EXPECT_EQ(FindFirst(text, "A."), 6u);
  EXPECT_EQ(FindFirst(text, std::string(kA)), 4u);
  EXPECT_EQ(FindFirst(text, ".prt", 7), 7u);
  EXPECT_EQ(FindFirst(text, ".prt", 8), npos);
  EXPECT_EQ(FindFirst(text, ""), 0u);
  EXPECT_EQ(FindFirst(text, "", 1), 2u);
  EXPECT_EQ(FindFirst(text, "", text.size()), text.size());
  EXPECT_EQ(FindFirst(text, "", text.size() + 1), npos);
  EXPECT_EQ(FindFirst("ab", "abc"), npos);
}

TEST(MbString, CaseChangeTouchesAsciiLettersOnly) {
  EXPECT_EQ(ToLower(S({"D:\\Work\\", kA, "Top.PRT"})), S({"d:\\work\\", kA, "top.prt"}));
  EXPECT_EQ(ToUpper(S({"d:\\", kA, "top.prt"})), S({"D:\\", kA, "TOP.PRT"}));
  // ａ (82 81) has trail byte 0x81; ｚ 82 9A; Ａ 82 60 — all stay.
  EXPECT_EQ(ToLower("\x82\x60\x82\x81"), "\x82\x60\x82\x81");
  EXPECT_EQ(ToUpper("\x83\x61\x83\x7A"), "\x83\x61\x83\x7A");  // trail bytes 'a' and 'z'
  EXPECT_EQ(ToUpper("\xB1z"), "\xB1Z");
  EXPECT_EQ(ToLower("@[`{"), "@[`{");
}

TEST(MbString, AtoiAsTheRuntime) {
  const std::pair<std::string_view, int> cases[] = {
      {"12", 12},
      {"  \t-7x", -7},
      {"+3", 3},
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {"0012", 12},
      {"1 2", 1},
      {"2147483647", INT_MAX},
      {"99999999999", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999", INT_MIN},
  };
  for (const auto& [input, expected] : cases)
    EXPECT_EQ(Atoi(input), expected) << input;
  EXPECT_EQ(FormatInt(-42), "-42");
  EXPECT_EQ(FormatInt(0), "0");
}

}  // namespace
}  // namespace velmora::text
