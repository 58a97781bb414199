#include "toolrunner/listing_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fault_host.h"
#include "support/memory_host.h"
#include "support/scripted_ui.h"
#include "text/codec.h"

namespace velmora::toolrunner {
namespace {

const std::string kTail = "リストは完成していません。";

struct Line {
  std::string name;
  std::string folder;
};

// Reads until the reader reports the end or a failure; the failure's messages end up in ui.
std::vector<Line> ReadAll(ListingReader& reader, platform::TextStream& stream, bool& failed) {
  std::vector<Line> lines;
  failed = false;
  while (!stream.Eof()) {
    const ListingReader::Read read = reader.ReadListingLine(stream, text::Cp932(kTail));
    if (read == ListingReader::Read::Failed) {
      failed = true;
      break;
    }
    if (read == ListingReader::Read::End) {
      EXPECT_TRUE(reader.Name().empty() && reader.Folder().empty());
      break;
    }
    EXPECT_FALSE(reader.Name().empty() || reader.Folder().empty());
    lines.push_back({reader.Name(), reader.Folder()});
  }
  return lines;
}

TEST(ListingReader, SplitsDriveAndNetworkLines) {
  struct Case {
    std::string line;
    std::string name;
    std::string folder;
  };
  const Case cases[] = {
      {"top.PRT (D:\\work)", "top.PRT", "D:\\work\\"},
      {"x.prt (C:\\)", "x.prt", "C:\\\\"},
      {"x.prt (C:)", "x.prt", "C:\\"},
      {"x.prt (\\\\s)", "x.prt", "\\\\s\\"},
      {"a b.Prt (\\\\srv\\share\\w)", "a b.Prt", "\\\\srv\\share\\w\\"},
      {"(x).prt (D:\\a (1))", "(x).prt", "D:\\a (1)\\"},
      // "表" and "ソ" end in byte 5C, which is no separator inside them.
      {text::Cp932("表ソ.prt (D:\\表\\ソ)"), text::Cp932("表ソ.prt"), text::Cp932("D:\\表\\ソ\\")},
  };
  for (const Case& c : cases) {
    testing::ScriptedUi ui;
    ListingReader reader(ui);
    const auto stream = testing::MemoryReadStream(c.line + "\r\n");
    EXPECT_EQ(reader.ReadListingLine(*stream, "t"), ListingReader::Read::Entry) << c.line;
    EXPECT_EQ(reader.Name(), c.name);
    EXPECT_EQ(reader.Folder(), c.folder);
    EXPECT_TRUE(ui.messages.empty()) << ui.Last();
    EXPECT_TRUE(stream->IsOpen());
  }
}

TEST(ListingReader, EveryRuleInItsOrder) {
  struct Case {
    std::string line;
    std::string message;
  };
  const Case cases[] = {
      {"top.prt D:\\work", "テキストファイル に ( か ) が無い行が有ります。"},
      {"top.prt (D:\\work", "テキストファイル に ( か ) が無い行が有ります。"},
      {"top.prt (D:\\work) ", "テキストファイル に最後が ) では無い行が有ります。"},
      {"top.prt (work)", "テキストファイル で (\\\\ が無い行が有ります。"},
      {"top.prt (\\work)", "テキストファイル で (\\\\ が無い行が有ります。"},
      {"top.prt (\\\\s\\a (\\\\b)", "テキストファイル で (\\\\ が2つ以上の行が有ります。"},
      {".prt (\\\\s)", "テキストファイル に (\\\\ が5文字以降で無い行が有ります"},
      {"top.prx (\\\\s)", "テキストファイル に (\\\\ の前が .prt ( で無い行が有ります。"},
      {"top.prt (D:\\a:b)", "テキストファイル に : が2つ以上の行が有ります。"},
      // The position rule comes before the ".prt (" rule.
      {"a.prt(D:\\)", "テキストファイル に : が8文字以降で無い行が有ります。"},
      {"x.prt  (D:)", "テキストファイル に : の前が .prt ( で無い行が有ります。"},
      {"top.txt (D:\\w)", "テキストファイル に : の前が .prt ( で無い行が有ります。"},
      // A name from a part file that would end a batch file's quoted value or its line.
      {"a\".prt (D:\\w)", "テキストファイル に \" か制御文字を含む名前の行が有ります。"},
      {"a.prt (D:\\w\")", "テキストファイル に \" か制御文字を含む名前の行が有ります。"},
      {"a\r&md x.prt (D:\\w)", "テキストファイル に \" か制御文字を含む名前の行が有ります。"},
      {std::string("a\0b.prt (D:\\w)", 14), "テキストファイル に \" か制御文字を含む名前の行が有ります。"},
      {"a.prt (\\\\s\\\x1b)", "テキストファイル に \" か制御文字を含む名前の行が有ります。"},
      {"a.prt (D:\\w\x7f)", "テキストファイル に \" か制御文字を含む名前の行が有ります。"},
  };
  for (const Case& c : cases) {
    testing::ScriptedUi ui;
    ListingReader reader(ui);
    const auto stream =
        testing::MemoryReadStream("good.prt (D:\\w)\r\n" + c.line + "\r\nlast.prt (D:\\w)\r\n");
    bool failed = false;
    const std::vector<Line> lines = ReadAll(reader, *stream, failed);
    EXPECT_TRUE(failed) << c.line;
    EXPECT_EQ(lines.size(), 1u) << c.line;
    EXPECT_EQ(ui.messages, std::vector<std::string>{c.message + "\n　" + kTail}) << c.line;
    EXPECT_FALSE(stream->IsOpen());
    EXPECT_EQ(reader.Name(), "");
    EXPECT_EQ(reader.Folder(), "");
  }
}

TEST(ListingReader, EndsAtAnEmptyLineOrTheEndOfFile) {
  struct Case {
    std::string bytes;
    std::size_t lines;
  };
  const Case cases[] = {
      {"", 0},
      {"a.prt (D:\\w)\r\nb.prt (D:\\w)\r\n", 2},
      {"a.prt (D:\\w)\r\nb.prt (D:\\w)", 2},  // no final line feed
      {"a.prt (D:\\w)\n\nb.prt (D:\\w)\n", 1},
  };
  for (const Case& c : cases) {
    testing::ScriptedUi ui;
    ListingReader reader(ui);
    const auto stream = testing::MemoryReadStream(c.bytes);
    bool failed = true;
    EXPECT_EQ(ReadAll(reader, *stream, failed).size(), c.lines) << c.bytes;
    EXPECT_FALSE(failed);
    EXPECT_TRUE(ui.messages.empty());
  }
}

class ListingFileTest : public ::testing::Test {
 protected:
  ListingFileTest() : faults(memory), reader(ui) {
    memory.files["L.txt"] = "a.prt (D:\\w)\r\nb.prt (D:)\r\n";
  }
  testing::MemoryHost memory;
  testing::FaultHost faults;
  testing::ScriptedUi ui;
  ListingReader reader;
};

TEST_F(ListingFileTest, ReadErrorClosesTheStream) {
  faults.Fail(testing::Call::StreamRead, "L.txt", 3);
  const auto stream = faults.Open("L.txt", platform::OpenMode::ReadText);
  bool failed = false;
  EXPECT_TRUE(ReadAll(reader, *stream, failed).empty());
  EXPECT_TRUE(failed);
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"テキストファイル の読込みエラーが発生しました。\n　" + kTail});
  EXPECT_FALSE(stream->IsOpen());
}

TEST_F(ListingFileTest, CloseFailureAddsItsOwnMessage) {
  memory.files["L.txt"] = "a.prt (D:\\w\r\n";
  faults.Fail(testing::Call::StreamClose, "L.txt");
  const auto stream = faults.Open("L.txt", platform::OpenMode::ReadText);
  EXPECT_EQ(reader.ReadListingLine(*stream, text::Cp932(kTail)), ListingReader::Read::Failed);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{"テキストファイル に ( か ) が無い行が有ります。\n　" + kTail,
                                      "テキストファイル を閉じるのに失敗しました。"}));
}

}  // namespace
}  // namespace velmora::toolrunner
