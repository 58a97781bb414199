#include "text/codec.h"

#include <gtest/gtest.h>

namespace velmora::text {
namespace {

TEST(Codec, RoundTripsTheTroublesomeCharacters) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"\\", "\x5C"},     {"~", "\x7E"},      {"表", "\x95\x5C"},
      {"ソ", "\x83\x5C"}, {"能", "\x94\x5C"}, {"ア", "\x83\x41"},
      {"ｱ", "\xB1"},      {"ａ", "\x82\x81"}, {"D:\\表\\ソ能.prt", "D:\\\x95\x5C\\\x83\x5C\x94\x5C.prt"},
  };
  for (const auto& [utf8, cp932] : cases) {
    const CodecResult to = Utf8ToCp932(utf8);
    ASSERT_TRUE(to.ok) << utf8;
    EXPECT_EQ(to.text, cp932) << utf8;
    const CodecResult back = Cp932ToUtf8(cp932);
    ASSERT_TRUE(back.ok) << utf8;
    EXPECT_EQ(back.text, utf8);
  }
}

TEST(Codec, OneWayCharactersAreRefused) {
  // Taking "¥" as "\" would turn a name into a path.
  const std::pair<std::string_view, std::size_t> cases[] = {
      {"a¥b", 1}, {"x‾", 1}, {"ab〜", 2}, {"é", 0}, {"ア😀", 3}, {"\xE3\x81", 0},
  };
  for (const auto& [utf8, offset] : cases) {
    const CodecResult result = Utf8ToCp932(utf8);
    EXPECT_FALSE(result.ok) << utf8;
    EXPECT_EQ(result.badOffset, offset) << utf8;
  }
}

TEST(Codec, BadCp932IsReportedAtItsOffset) {
  const std::pair<std::string_view, std::size_t> cases[] = {
      {"ab\x80", 2},
      {"\x82\xA0\x95", 2},
      {"x\xFF", 1},
      {"\x95", 0},
  };
  for (const auto& [cp932, offset] : cases) {
    const CodecResult result = Cp932ToUtf8(cp932);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.badOffset, offset);
  }
}

TEST(Codec, DisplayShowsBadBytes) {
  EXPECT_EQ(ToDisplayUtf8("ok"), "ok");
  EXPECT_EQ(ToDisplayUtf8("\x95\x5C\x80z\xFF"), "表\\x80z\\xFF");
  EXPECT_EQ(ToDisplayUtf8("a\x95"), "a\\x95");
}

TEST(Codec, LiteralsAndLongText) {
  EXPECT_EQ(Cp932("終了"), "\x8F\x49\x97\xB9");
  std::string longText;
  for (int i = 0; i < 5000; ++i)
    longText += "表a";
  const CodecResult to = Utf8ToCp932(longText);
  ASSERT_TRUE(to.ok);
  EXPECT_EQ(to.text.size(), 15000u);
  EXPECT_EQ(Cp932ToUtf8(to.text).text, longText);
}

}  // namespace
}  // namespace velmora::text

namespace velmora::text {
namespace {

// A file's encoding is taken from its content; each form of "表,a" reads as the same cp932.
TEST(FileText, EncodingIsDecidedByContent) {
  const std::string cp932 = Cp932("表,ｱ\n");
  struct Case {
    const char* what;
    std::string bytes;
    FileEncoding encoding;
  };
  const Case cases[] = {
      {"cp932", cp932, FileEncoding::Cp932},
      {"UTF-8", "表,ｱ\n", FileEncoding::Utf8},
      {"UTF-8 with its mark", "\xEF\xBB\xBF表,ｱ\n", FileEncoding::Utf8},
      {"UTF-16 LE", std::string("\xFF\xFE\x68\x88,\0\x71\xFF\n\0", 10), FileEncoding::Utf16},
      {"UTF-16 BE", std::string("\xFE\xFF\x88\x68\0,\xFF\x71\0\n", 10), FileEncoding::Utf16},
  };
  for (const Case& c : cases) {
    const FileText text = FileTextToCp932(c.bytes);
    EXPECT_TRUE(text.ok) << c.what;
    EXPECT_EQ(text.encoding, c.encoding) << c.what;
    EXPECT_EQ(text.cp932, cp932) << c.what;
  }
  // Plain ASCII is the same in all of them.
  EXPECT_EQ(FileTextToCp932("a,b\r\n").cp932, "a,b\r\n");
  EXPECT_EQ(FileTextToCp932("").encoding, FileEncoding::Cp932);
}

TEST(FileText, ACharacterCp932CannotHoldIsToldByItsLine) {
  const FileText emoji = FileTextToCp932("a\nb\n\xF0\x9F\x98\x80\n");
  EXPECT_FALSE(emoji.ok);
  EXPECT_EQ(emoji.badLine, 3);
  // A surrogate without its pair, and an odd byte at the end.
  EXPECT_FALSE(FileTextToCp932(std::string("\xFF\xFE\x00\xD8\x41\x00", 6)).ok);
  EXPECT_FALSE(FileTextToCp932(std::string("\xFF\xFE\x41\x00\x42", 5)).ok);
  // A surrogate pair is one character (here one cp932 has not).
  const FileText pair = FileTextToCp932(std::string("\xFF\xFE\x41\x00\n\x00\x3D\xD8\x00\xDE", 10));
  EXPECT_FALSE(pair.ok);
  EXPECT_EQ(pair.badLine, 2);
}

}  // namespace
}  // namespace velmora::text
