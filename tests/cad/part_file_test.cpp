#include "cad/part/part_file.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cad/part/win_name.h"

namespace velmora::cad {
namespace {

namespace fs = std::filesystem;

// cp932 spellings: 表 and ソ end in 0x5C, ア ends in 0x41 ('A').
const std::string kOmote = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kA = "\x83\x41";

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "velmora-part-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(PartFile, FormatsTheDocumentedLayout) {
  const Part part{"top.prt", 3, {{"D:\\work\\sub", "child.prt"}, {"", "b.prt"}}};
  EXPECT_EQ(FormatPart(part),
            "VELMORA-PART 1\nsaved-as\ttop.prt\nsaves\t3\ncomponent\tD:\\work\\sub\tchild.prt\n"
            "component\t\tb.prt\nend\n");
}

TEST(PartFile, RoundTrips) {
  const std::vector<Part> parts = {
      {"", 0, {}},
      {"top.prt", 1, {{"", "a.prt"}, {"", "a.prt"}}},  // a part used twice under one parent
      {kOmote + ".prt", 2147483647, {{"D:\\" + kOmote, kSo + kA + ".PRT"}}},  // folder ends in 0x5C
      {"x.prt", 7, {{"C:", "root.prt"}, {"\\\\server\\share\\w", "net.prt"}, {"\xB1\xB2", "k.prt"}}},
  };
  for (const Part& part : parts) {
    SCOPED_TRACE(FormatPart(part));
    EXPECT_EQ(CheckPart(part), "");
    const ParseResult parsed = ParsePart(FormatPart(part));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.part, part);
  }
}

TEST(PartFile, AcceptsCrLfLines) {
  const ParseResult parsed =
      ParsePart("VELMORA-PART 1\r\nsaved-as\ta.prt\r\nsaves\t1\r\ncomponent\t\tb.prt\r\nend\r\n");
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.part, (Part{"a.prt", 1, {{"", "b.prt"}}}));
}

struct Malformed {
  const char* why;
  std::string bytes;
  std::string error;
};

TEST(PartFile, RefusesMalformedInput) {
  const std::string head = "VELMORA-PART 1\nsaved-as\ta.prt\nsaves\t1\n";
  const std::vector<Malformed> cases = {
      {"empty", "", "line 1: not a part file"},
      {"other format", "VELMORA-PART 2\nsaved-as\t\nsaves\t0\nend\n", "line 1: not a part file"},
      {"no saved-as", "VELMORA-PART 1\nsaves\t1\nend\n", "line 2: saved-as line expected"},
      {"bad saved-as", "VELMORA-PART 1\nsaved-as\ta:b\nsaves\t1\nend\n", "line 2: bad saved-as name"},
      {"negative saves", "VELMORA-PART 1\nsaved-as\t\nsaves\t-1\nend\n", "line 3: bad save count"},
      {"leading zero", "VELMORA-PART 1\nsaved-as\t\nsaves\t01\nend\n", "line 3: bad save count"},
      {"overflow", "VELMORA-PART 1\nsaved-as\t\nsaves\t2147483648\nend\n", "line 3: bad save count"},
      {"no end", head, "line 4: file ends before the end line"},
      {"truncated end", head + "end", "line 4: file ends before the end line"},
      {"after end", head + "end\nmore\n", "line 5: text after the end line"},
      {"unknown line", head + "comment\tx\tb.prt\nend\n", "line 4: component line expected"},
      {"two fields", head + "component\tb.prt\nend\n", "line 4: component line expected"},
      {"four fields", head + "component\t\tb.prt\tx\nend\n", "line 4: component line expected"},
      {"empty name", head + "component\tD:\\w\t\nend\n", "line 4: bad component name"},
      {"separator in name", head + "component\t\tw\\b.prt\nend\n", "line 4: bad component name"},
      {"final separator", head + "component\tD:\\w\\\tb.prt\nend\n", "line 4: bad component folder"},
      {"pipe in folder", head + "component\tD:\\a|b\tb.prt\nend\n", "line 4: bad component folder"},
      {"control byte", head + "component\t\tb\x01.prt\nend\n", "line 4: bad component name"},
      {"lone lead byte", head + "component\t\tb.prt\x81\nend\n", "line 4: bad component name"},
      {"bad trail byte", head + "component\t\t\x81\x20.prt\nend\n", "line 4: bad component name"},
      {"invalid byte", head + "component\t\t\xFF.prt\nend\n", "line 4: bad component name"},
  };
  for (const Malformed& item : cases) {
    const ParseResult parsed = ParsePart(item.bytes);
    EXPECT_FALSE(parsed.ok) << item.why;
    EXPECT_EQ(parsed.error.substr(0, item.error.size()), item.error) << item.why << ": " << parsed.error;
  }
}

TEST(PartFile, WriteReplacesAtomicallyAndKeepsPermissions) {
  const TempFolder folder;
  const std::string path = folder.File("a.prt");
  ASSERT_EQ(WritePartFile(path, {"a.prt", 1, {}}), "");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const Part second{"a.prt", 2, {{"", "b.prt"}}};
  ASSERT_EQ(WritePartFile(path, second), "");
  EXPECT_EQ(Slurp(path), FormatPart(second));
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.prt"});  // no temporary file left
}

TEST(PartFile, WriteFailuresLeaveNothingBehind) {
  const TempFolder folder;
  EXPECT_NE(WritePartFile(folder.File("no/such/a.prt"), {"a.prt", 1, {}}), "");
  ASSERT_EQ(WritePartFile(folder.File("a.prt"), {"a.prt", 1, {}}), "");
  const std::string before = Slurp(folder.File("a.prt"));
  EXPECT_EQ(WritePartFile(folder.File("a.prt"), {"a.prt", 2, {{"", "bad|name.prt"}}}), "bad component name");
  EXPECT_EQ(Slurp(folder.File("a.prt")), before);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.prt"});
}

TEST(PartFile, CreateRefusesAnExistingFile) {
  const TempFolder folder;
  ASSERT_EQ(CreatePartFile(folder.File("a.prt"), {"a.prt", 1, {}}), "");
  EXPECT_NE(CreatePartFile(folder.File("a.prt"), {"a.prt", 9, {}}), "");
  const ReadResult read = ReadPartFile(folder.File("a.prt"));
  ASSERT_EQ(read.status, ReadStatus::Ok);
  EXPECT_EQ(read.part.saves, 1);
}

TEST(PartFile, ReadTellsMissingFromUnreadableFromMalformed) {
  const TempFolder folder;
  EXPECT_EQ(ReadPartFile(folder.File("none.prt")).status, ReadStatus::Missing);
  EXPECT_EQ(ReadPartFile(folder.File("none/x.prt")).status, ReadStatus::Missing);
  fs::create_directory(folder.File("dir.prt"));
  EXPECT_EQ(ReadPartFile(folder.File("dir.prt")).status, ReadStatus::Unreadable);
  std::ofstream(folder.File("bad.prt")) << "VELMORA-PART 1\nsaved-as\t\n";
  const ReadResult bad = ReadPartFile(folder.File("bad.prt"));
  EXPECT_EQ(bad.status, ReadStatus::Malformed);
  EXPECT_EQ(bad.error, "malformed part file, line 3: saves line expected");
}

TEST(WinName, SeparatorsAreWholeCharacters) {
  EXPECT_EQ(SplitPath("D:\\" + kOmote + "\\" + kSo + ".prt").folder, "D:\\" + kOmote);
  EXPECT_EQ(SplitPath("D:\\" + kOmote + "\\" + kSo + ".prt").name, kSo + ".prt");
  EXPECT_EQ(SplitPath("top.prt").folder, "");
  EXPECT_EQ(WithoutFinalSeparator("C:\\"), "C:");
  EXPECT_EQ(WithoutFinalSeparator("D:\\" + kOmote), "D:\\" + kOmote);
  EXPECT_EQ(JoinPath("C:", "a.prt"), "C:\\a.prt");
  EXPECT_TRUE(IsAbsolute("d:\\a.prt"));
  EXPECT_TRUE(IsAbsolute("\\\\s\\x"));
  EXPECT_FALSE(IsAbsolute("a\\b.prt"));
  EXPECT_EQ(FileKey("D:\\W\\" + kA + "B.PRT"), "d:\\w\\" + kA + "b.prt");
}

}  // namespace
}  // namespace velmora::cad
