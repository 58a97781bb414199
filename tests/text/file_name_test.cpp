#include "text/file_name.h"

#include <gtest/gtest.h>

#include "text/codec.h"
#include "text/utf8.h"

namespace velmora::text {
namespace {

TEST(FileName, ForbiddenCharactersAreAsciiOnly) {
  for (const char c : std::string_view("\"*<>?|:\\\x01\x1F\x7F"))
    EXPECT_TRUE(IsForbiddenInFileName(static_cast<unsigned char>(c))) << static_cast<int>(c);
  // The separator of the host, a blank and every byte of a multibyte character are allowed.
  for (const char c : std::string_view("/ .a$~"))
    EXPECT_FALSE(IsForbiddenInFileName(static_cast<unsigned char>(c))) << c;
  for (int c = 0x80; c <= 0xFF; ++c)
    EXPECT_FALSE(IsForbiddenInFileName(static_cast<unsigned char>(c))) << c;
}

TEST(FileName, DeviceNamesInAnyCaseAndWithAnyExtension) {
  for (const char* name : {"CON", "con", "Prn.txt", "aux.prt", "NUL ", "nul .x", "COM1", "lpt9.prt"})
    EXPECT_TRUE(IsReservedFileName(name)) << name;
  for (const char* name : {"CONSOLE", "COM0", "LPT10", "COM", "xcon", "con_1.prt", "", "ＣＯＮ"})
    EXPECT_FALSE(IsReservedFileName(name)) << name;
}

// 表 and ソ end in the byte of "\\": they split nothing.
TEST(FileName, NameAndFolderSplitAtTheLastSeparatorOnly) {
  const std::string path = Cp932("D:\\表\\ソ.prt");
  EXPECT_EQ(FileNameOf(path), Cp932("ソ.prt"));
  EXPECT_EQ(FolderOf(path), Cp932("D:\\表\\"));
  EXPECT_EQ(FileNameOf(Cp932("表.prt")), Cp932("表.prt"));
  EXPECT_EQ(FolderOf(Cp932("表.prt")), "");
  EXPECT_EQ(FileNameOf("D:\\"), "");
  EXPECT_EQ(FolderOf("\\\\srv\\a.prt"), "\\\\srv\\");
}

TEST(Utf8, FoldingMatchesWindowsCaseInsensitivity) {
  EXPECT_EQ(FoldCaseUtf8("Part_A.PRT"), "part_a.prt");
  EXPECT_EQ(FoldCaseUtf8("ＡＢＣ"), FoldCaseUtf8("ａｂｃ"));  // full-width Latin
  EXPECT_EQ(FoldCaseUtf8("ΑΩ"), FoldCaseUtf8("αω"));
  EXPECT_EQ(FoldCaseUtf8("ЁЖ"), FoldCaseUtf8("ёж"));
  EXPECT_EQ(FoldCaseUtf8("Ⅻ"), FoldCaseUtf8("ⅻ"));
  // Kana and kanji have no case; a 0x5C trail byte in cp932 is a plain byte here.
  EXPECT_EQ(FoldCaseUtf8("表示部品"), "表示部品");
  EXPECT_NE(FoldCaseUtf8("ア"), FoldCaseUtf8("ｱ"));
}

TEST(Utf8, MalformedBytesNeverFoldOntoCharacters) {
  const std::string bad = FoldCaseUtf8("a\xC3");
  EXPECT_EQ(bad, std::string("a\xFF\xC3"));
  EXPECT_NE(FoldCaseUtf8("\xE3\x81"), FoldCaseUtf8("\xE3\x81\x82").substr(0, 2));
  char32_t value = 0;
  EXPECT_EQ(DecodeUtf8("\xC0\x80", 0, value), 0u);      // overlong
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98", 0, value), 0u);  // cut short
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80", 0, value), 4u);
  std::string again;
  AppendUtf8(again, value);
  EXPECT_EQ(again, "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace velmora::text
