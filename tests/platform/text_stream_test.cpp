#include "platform/text_stream.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

class TextStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora-stream-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const char* name) const { return dir_ + "/" + name; }
  void WriteRaw(const char* name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string ReadRaw(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream out;
    out << in.rdbuf();
    return out.str();
  }
  static std::string ReadAll(TextStream& stream) {
    std::string out;
    for (int c = stream.Getc(); c != kEof; c = stream.Getc())
      out += static_cast<char>(c);
    return out;
  }

  std::string dir_;
};

TEST_F(TextStreamTest, WritesCrLfAndReadsItBack) {
  auto out = OpenHostTextStream(Path("a.txt"), OpenMode::WriteText);
  ASSERT_TRUE(out);
  out->Puts("one\ntwo\n");
  EXPECT_EQ(out->Tell(), 10);  // raw bytes, CR included
  out->Puts("\x95\x5C\n");
  EXPECT_FALSE(out->Error());
  EXPECT_TRUE(out->Close());
  EXPECT_TRUE(out->Close());  // a second close does nothing
  EXPECT_FALSE(out->IsOpen());
  EXPECT_EQ(ReadRaw("a.txt"), "one\r\ntwo\r\n\x95\x5C\r\n");

  auto in = OpenHostTextStream(Path("a.txt"), OpenMode::ReadText);
  ASSERT_TRUE(in);
  EXPECT_EQ(ReadAll(*in), "one\ntwo\n\x95\x5C\n");
  EXPECT_TRUE(in->Eof());
  EXPECT_FALSE(in->Error());
}

TEST_F(TextStreamTest, LoneCarriageReturnsStayAndPositionsAreRaw) {
  WriteRaw("b.txt", "a\rb\r\nc\r");
  auto in = OpenHostTextStream(Path("b.txt"), OpenMode::ReadText);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Getc(), 'a');
  EXPECT_EQ(in->Getc(), '\r');
  EXPECT_EQ(in->Getc(), 'b');
  EXPECT_EQ(in->Tell(), 3);
  EXPECT_EQ(in->Getc(), '\n');
  const long long mark = in->Tell();
  EXPECT_EQ(mark, 5);
  EXPECT_EQ(ReadAll(*in), "c\r");
  EXPECT_TRUE(in->Eof());
  ASSERT_TRUE(in->Seek(mark));  // back to a remembered place
  EXPECT_FALSE(in->Eof());
  EXPECT_EQ(in->Getc(), 'c');
  in->Rewind();
  EXPECT_EQ(ReadAll(*in), "a\rb\nc\r");
  EXPECT_FALSE(in->Seek(-1));
}

TEST_F(TextStreamTest, CrLfAcrossTheBufferEdge) {
  for (const std::size_t before : {65535u, 65536u, 131071u}) {
    WriteRaw("c.txt", std::string(before, 'x') + "\r\ny");
    auto in = OpenHostTextStream(Path("c.txt"), OpenMode::ReadText);
    ASSERT_TRUE(in);
    const std::string all = ReadAll(*in);
    EXPECT_EQ(all, std::string(before, 'x') + "\ny") << before;
    ASSERT_TRUE(in->Seek(static_cast<long long>(before)));
    EXPECT_EQ(in->Getc(), '\n');
    EXPECT_EQ(in->Tell(), static_cast<long long>(before) + 2);
  }
}

TEST_F(TextStreamTest, IndicatorsAndWrongDirection) {
  WriteRaw("d.txt", "");
  auto in = OpenHostTextStream(Path("d.txt"), OpenMode::ReadText);
  ASSERT_TRUE(in);
  EXPECT_FALSE(in->Eof());
  EXPECT_EQ(in->Getc(), kEof);
  EXPECT_TRUE(in->Eof());
  in->Puts("x");  // a read stream cannot be written
  EXPECT_TRUE(in->Error());
  in->Rewind();
  EXPECT_FALSE(in->Error());
  EXPECT_FALSE(in->Eof());

  auto out = OpenHostTextStream(Path("e.txt"), OpenMode::WriteText);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->Getc(), kEof);
  EXPECT_TRUE(out->Error());
  ASSERT_TRUE(out->Close());
  EXPECT_EQ(out->Tell(), -1);
  EXPECT_FALSE(out->Seek(0));
}

TEST_F(TextStreamTest, WhatCannotBeOpened) {
  EXPECT_FALSE(OpenHostTextStream(Path("missing.txt"), OpenMode::ReadText));
  EXPECT_FALSE(OpenHostTextStream(dir_, OpenMode::ReadText));  // a folder is no file
  EXPECT_FALSE(OpenHostTextStream(dir_, OpenMode::WriteText));
  EXPECT_FALSE(OpenHostTextStream(Path("no/such/folder.txt"), OpenMode::WriteText));
  WriteRaw("old.txt", "previous content");
  auto out = OpenHostTextStream(Path("old.txt"), OpenMode::WriteText);
  ASSERT_TRUE(out);
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(ReadRaw("old.txt"), "");  // writing truncates

  // Creating takes only a file that is not there, and writes in text mode as writing does.
  WriteRaw("taken.txt", "someone else's");
  EXPECT_FALSE(OpenHostTextStream(Path("taken.txt"), OpenMode::CreateText));
  EXPECT_EQ(ReadRaw("taken.txt"), "someone else's");
  auto made = OpenHostTextStream(Path("made.txt"), OpenMode::CreateText);
  ASSERT_TRUE(made);
  made->Puts("a\n");
  EXPECT_TRUE(made->Close());
  EXPECT_EQ(ReadRaw("made.txt"), "a\r\n");
}

TEST_F(TextStreamTest, AFullDiskIsAnError) {
  if (!fs::exists("/dev/full"))
    GTEST_SKIP();
  auto out = OpenHostTextStream("/dev/full", OpenMode::WriteText);
  ASSERT_TRUE(out);
  out->Puts("small\n");
  EXPECT_FALSE(out->Close());  // the flush at close fails
  auto big = OpenHostTextStream("/dev/full", OpenMode::WriteText);
  big->Puts(std::string(200000, 'x'));
  EXPECT_TRUE(big->Error());
}

}  // namespace
}  // namespace velmora::platform
