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
      // Characters no file name may hold; 5C and 7C as trail bytes (表 ソ 能 ポ) are none of them.
      {text::Cp932("表ソ能ポ.prt"), NameVerdict::Accept},
      {text::Cp932("ｿ.prt"), NameVerdict::Accept},
      {"a<b.prt", NameVerdict::ForbiddenCharacter},
      {"a>b.prt", NameVerdict::ForbiddenCharacter},
      {"a\"b.prt", NameVerdict::ForbiddenCharacter},
      {"a/b.prt", NameVerdict::ForbiddenCharacter},
      {text::Cp932("ソ|.prt"), NameVerdict::ForbiddenCharacter},
      {"a?.prt", NameVerdict::ForbiddenCharacter},
      {"*.prt", NameVerdict::ForbiddenCharacter},
      {"a\tb.prt", NameVerdict::ForbiddenCharacter},
      {std::string("a\0b.prt", 7), NameVerdict::ForbiddenCharacter},
      {"a\x7F.prt", NameVerdict::ForbiddenCharacter},  // DEL is a control character too
      // Device names, whatever the case and the extension; only the whole first piece counts.
      {"CON.prt", NameVerdict::ReservedName},
      {"con.x.prt", NameVerdict::ReservedName},
      {"Nul .prt", NameVerdict::ReservedName},
      {"com1.PRT", NameVerdict::ReservedName},
      {"LPT9.prt", NameVerdict::ReservedName},
      {"COM0.prt", NameVerdict::Accept},
      {"LPT10.prt", NameVerdict::Accept},
      {"CONSOLE.prt", NameVerdict::Accept},
      {"aux1.prt", NameVerdict::Accept},
      // Blanks at the start, or just before the extension; a trailing dot there is a legal name.
      {" a.prt", NameVerdict::Blank},
      {"a .prt", NameVerdict::Blank},
      {text::Cp932("　表.prt"), NameVerdict::Blank},
      {text::Cp932("表　.prt"), NameVerdict::Blank},
      {"a b.prt", NameVerdict::Accept},
      {"a..prt", NameVerdict::Accept},
      // "ァ" (83 40) shares its trail byte with the ideographic space (81 40).
      {text::Cp932("ァ.prt"), NameVerdict::Accept},
  };
  for (const Case& c : cases) {
    const std::optional<std::string_view> view =
        c.text ? std::optional<std::string_view>(*c.text) : std::nullopt;
    EXPECT_EQ(ValidateNewPartName(view), c.verdict) << (c.text ? *c.text : "(cancelled)");
  }
}

// The full path may hold 259 bytes; the folder counts in bytes, double-byte characters as two.
TEST(NewPartName, PathLengthCountsTheFolder) {
  const std::string folder = text::Cp932("D:\\表示\\");  // 9 bytes
  const std::string fits = std::string(kMaxPathBytes - folder.size() - 4, 'a') + ".prt";
  EXPECT_EQ(ValidateNewPartName(fits, folder), NameVerdict::Accept);
  EXPECT_EQ(ValidateNewPartName("a" + fits, folder), NameVerdict::TooLong);
  EXPECT_EQ(ValidateNewPartName(std::string(300, 'a') + ".prt"), NameVerdict::TooLong);
}

TEST(NewFolder, ComponentsAndLength) {
  struct Case {
    std::string folder;
    std::size_t longestName;
    FolderVerdict verdict;
  };
  const Case cases[] = {
      {"D:\\", 8, FolderVerdict::Accept},
      {text::Cp932("D:\\表\\ソ|\\"), 8, FolderVerdict::ForbiddenName},
      {text::Cp932("D:\\表\\ソ\\"), 8, FolderVerdict::Accept},
      {"\\\\srv\\share\\w\\", 8, FolderVerdict::Accept},
      {"D:\\work\\aux\\", 8, FolderVerdict::ForbiddenName},
      {"D:\\work\\Com3.old\\", 8, FolderVerdict::ForbiddenName},
      {"D:\\w?\\", 8, FolderVerdict::ForbiddenName},
      {"D:\\a:b\\", 8, FolderVerdict::ForbiddenName},
      {"D:\\" + std::string(250, 'f') + "\\", 5, FolderVerdict::Accept},
      {"D:\\" + std::string(250, 'f') + "\\", 6, FolderVerdict::TooLong},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ValidateNewFolder(c.folder, c.longestName), c.verdict) << c.folder;
}

}  // namespace
}  // namespace velmora::partlist
