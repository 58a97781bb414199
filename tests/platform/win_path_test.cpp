#include "platform/win_path.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "resources/messages/platform.h"
#include "text/codec.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

// A fresh host folder mapped as D:, with a network root beside it.
class PathMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora-path-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    base_ = pattern;
    root_ = base_ + "/d";
    unc_ = base_ + "/net";
    fs::create_directories(root_);
    fs::create_directories(unc_ + "/srv/Share");
  }
  void TearDown() override { fs::remove_all(base_); }

  PathMap Map(bool withUnc = true, bool watch = true) const {
    return PathMap({{'D', root_}, {'Z', ""}}, withUnc ? std::optional<std::string>(unc_) : std::nullopt,
                   watch);
  }
  void Touch(const std::string& relative) const {
    fs::create_directories(fs::path(root_ + "/" + relative).parent_path());
    std::ofstream(root_ + "/" + relative) << "x";
  }

  std::string base_, root_, unc_;
};

TEST_F(PathMapTest, LooksUpEachComponentIgnoringCase) {
  Touch("Work/Sub/Top.prt");
  Touch("表/ソ能.prt");
  Touch("ＡＢＣ/Ⅰ.prt");
  const PathMap map = Map();
  const std::pair<std::string, std::string> cases[] = {
      {"D:\\Work\\Sub\\Top.prt", "Work/Sub/Top.prt"},
      {"d:\\work\\sub\\top.prt", "Work/Sub/Top.prt"},
      {"D:/WORK//sub/./TOP.PRT", "Work/Sub/Top.prt"},
      {"D:\\work\\x\\..\\sub\\top.prt", "Work/Sub/Top.prt"},
      {"D:\\..\\..\\work", "Work"},                       // never above the drive's root
      {"D:\\work\\sub\\top.prt. .", "Work/Sub/Top.prt"},  // Windows drops trailing dots and blanks
      {"D:\\work\\New.prt", "Work/New.prt"},              // a new file keeps its spelling
      {"D:\\WORK\\Missing\\Deeper.prt", "Work/Missing/Deeper.prt"},
      {text::Cp932("D:\\表\\ソ能.prt"), "表/ソ能.prt"},
      {text::Cp932("D:\\ａｂｃ\\ⅰ.prt"), "ＡＢＣ/Ⅰ.prt"},
      {"D:\\work\\", "Work/"},
      {"D:\\", ""},
      {"D:", ""},
  };
  for (const auto& [windows, relative] : cases) {
    const std::optional<std::string> host = map.ToHost(windows);
    ASSERT_TRUE(host) << windows;
    EXPECT_EQ(*host, relative.empty() ? root_ : root_ + "/" + relative) << windows;
  }
}

TEST_F(PathMapTest, SeveralMatchesPickTheSmallestName) {
  fs::create_directories(root_ + "/abc");
  fs::create_directories(root_ + "/ABC");
  fs::create_directories(root_ + "/aBc");
  EXPECT_EQ(Map().ToHost("D:\\Abc"), root_ + "/ABC");
  EXPECT_EQ(Map().ToHost("D:\\aBc"), root_ + "/aBc");  // an exact match comes first
}

TEST_F(PathMapTest, RefusesWhatHasNoMapping) {
  const PathMap map = Map();
  const std::string cases[] = {"Q:\\x.prt", "D:\\a?b.prt",  "D:\\a*b",
                               "D:\\a<b",   "D:\\a|b",      "D:\\a\"b",
                               "D:\\x:y",   "D:\\\x80.prt", std::string("D:\\a\0b", 6),
                               "",          "\\\\srv",      "D:\\a\x01"};
  for (const std::string& windows : cases)
    EXPECT_FALSE(map.ToHost(windows)) << windows;
  EXPECT_FALSE(Map(false).ToHost("\\\\srv\\share\\a.prt"));
  // "|" is also the second byte of "ポ" (83 7C): that is no bar.
  EXPECT_TRUE(map.ToHost("D:\\\x83\x7C.prt"));
}

TEST_F(PathMapTest, NetworkPathsLiveUnderTheRoot) {
  const PathMap map = Map();
  EXPECT_EQ(map.ToHost("\\\\SRV\\share\\a.prt"), unc_ + "/srv/Share/a.prt");
  EXPECT_EQ(map.ToHost("//srv/share/../../x"), unc_ + "/srv/Share/x");  // the share is the floor
}

TEST_F(PathMapTest, RelativePathsStartAtTheCurrentFolder) {
  Touch("Work/Top.prt");
  const fs::path saved = fs::current_path();
  fs::current_path(root_ + "/Work");
  const PathMap map = Map();
  EXPECT_EQ(map.ToHost("top.prt"), root_ + "/Work/Top.prt");
  EXPECT_EQ(map.ToHost("..\\work\\top.prt"), root_ + "/Work/Top.prt");
  EXPECT_EQ(map.ToHost("\\work\\top.prt"), root_ + "/Work/Top.prt");  // the current drive's root
  fs::current_path(saved);
}

TEST_F(PathMapTest, FolderChangesAreSeenRightAway) {
  // Watched by the kernel, and trusted by time stamp where it cannot watch.
  for (const bool watch : {true, false}) {
    fs::remove_all(root_);
    fs::create_directories(root_ + "/old");
    const PathMap map = Map(true, watch);
    EXPECT_EQ(map.ToHost("D:\\new.prt"), root_ + "/new.prt");
    Touch("NEW.prt");
    EXPECT_EQ(map.ToHost("D:\\new.prt"), root_ + "/NEW.prt") << watch;
    fs::rename(root_ + "/NEW.prt", root_ + "/New.prt");
    EXPECT_EQ(map.ToHost("D:\\new.prt"), root_ + "/New.prt") << watch;
    Touch("NEW.prt");  // two spellings: the smallest wins, and the other after it goes
    EXPECT_EQ(map.ToHost("D:\\new.prt"), root_ + "/NEW.prt") << watch;
    fs::remove(root_ + "/NEW.prt");
    EXPECT_EQ(map.ToHost("D:\\new.prt"), root_ + "/New.prt") << watch;
    fs::remove(root_ + "/New.prt");
    EXPECT_EQ(map.ToHost("D:\\new.prt"), root_ + "/new.prt") << watch;

    // A folder replaced by another of the same name.
    Touch("old/A.prt");
    EXPECT_EQ(map.ToHost("D:\\old\\a.prt"), root_ + "/old/A.prt") << watch;
    fs::remove_all(root_ + "/old");
    fs::create_directories(root_ + "/old");
    Touch("old/b.prt");
    EXPECT_EQ(map.ToHost("D:\\OLD\\A.prt"), root_ + "/old/A.prt") << watch;
    EXPECT_EQ(map.ToHost("D:\\OLD\\B.prt"), root_ + "/old/b.prt") << watch;

    // A folder untouched for a while is trusted from its scan until its time stamp moves.
    const std::string old = root_ + "/old";
    const struct timespec past[2] = {{time(nullptr) - 60, 0}, {time(nullptr) - 60, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, old.c_str(), past, 0), 0);
    EXPECT_EQ(map.ToHost("D:\\old\\c.prt"), old + "/c.prt");
    Touch("old/C.prt");
    EXPECT_EQ(map.ToHost("D:\\old\\c.prt"), old + "/C.prt") << watch;
  }
}

TEST_F(PathMapTest, ReverseMappingPicksTheLongestRoot) {
  Touch("表/x.prt");
  const PathMap map({{'D', root_}, {'E', root_ + "/sub"}, {'F', root_ + "/sub"}, {'Z', ""}}, unc_);
  std::string uncServer = "Z:" + unc_ + "/srv";
  for (char& c : uncServer)
    c = c == '/' ? '\\' : c;
  const std::pair<std::string, std::string> cases[] = {
      {root_ + "/Work/top.prt", "D:\\Work\\top.prt"},
      {root_ + "/sub/a.prt", "E:\\a.prt"},  // E and F share a root: the first letter
      {root_, "D:\\"},
      {root_ + "/", "D:\\"},
      {root_ + "/Work/", "D:\\Work\\"},
      {root_ + "//Work/./x/../top.prt", "D:\\Work\\top.prt"},
      {"/usr/bin", "Z:\\usr\\bin"},
      {"/", "Z:\\"},
      {unc_ + "/srv/Share/a.prt", "\\\\srv\\Share\\a.prt"},
      {unc_ + "/srv", uncServer},  // no share: not a network path
      {root_ + "/表/ソ能.prt", text::Cp932("D:\\表\\ソ能.prt")},
  };
  for (const auto& [host, windows] : cases) {
    const PathMap::Reverse reverse = map.ToWindows(host);
    ASSERT_TRUE(reverse.ok) << host << " " << text::ToDisplayUtf8(reverse.reason);
    EXPECT_EQ(reverse.windowsPath, windows) << host;
  }
  // And back again.
  EXPECT_EQ(map.ToHost(map.ToWindows(root_ + "/表/x.prt").windowsPath), root_ + "/表/x.prt");
}

TEST_F(PathMapTest, ReverseMappingRefusesWhatWindowsCannotHold) {
  const PathMap map = Map();
  const std::pair<std::string, std::string> cases[] = {
      {"relative/x", std::string(msg::kHostPathNotAbsolute) + "relative/x"},
      {root_ + "/a?b.prt", std::string(msg::kHostNameBadCharacter) + "a?b.prt"},
      {root_ + "/a\\b", std::string(msg::kHostNameBadCharacter) + "a\\b"},
      {root_ + "/a:b", std::string(msg::kHostNameBadCharacter) + "a:b"},
      {root_ + "/tab\there", std::string(msg::kHostNameBadCharacter) + "tabU+0009here"},
      {root_ + "/dot.", std::string(msg::kHostNameBadCharacter) + "dot."},
      {root_ + "/café.prt", std::string(msg::kHostNameNotCp932) + "cafU+00E9.prt"},
      {root_ + "/a¥b", std::string(msg::kHostNameNotCp932) + "aU+00A5b"},
      {root_ + "/bad\xFF", std::string(msg::kHostNameNotCp932) + "bad\\xFF"},
      {root_ + "/CON.txt", std::string(msg::kHostNameReserved) + "CON.txt"},
      {root_ + "/lpt1", std::string(msg::kHostNameReserved) + "lpt1"},
  };
  for (const auto& [host, reason] : cases) {
    const PathMap::Reverse reverse = map.ToWindows(host);
    EXPECT_FALSE(reverse.ok) << host;
    EXPECT_EQ(text::ToDisplayUtf8(reverse.reason), reason) << host;
  }
  const PathMap noZ({{'D', root_}}, std::nullopt);
  EXPECT_EQ(text::ToDisplayUtf8(noZ.ToWindows("/etc").reason), std::string(msg::kHostPathNoDrive) + "/etc");
  EXPECT_TRUE(map.ToWindows(root_ + "/CONSOLE.txt").ok);
}

TEST_F(PathMapTest, EnvironmentSpellsTheDrives) {
  setenv("VELMORA_DRIVES", ("c=" + root_ + "/;D=/srv/parts;bad;E=relative").c_str(), 1);
  setenv("VELMORA_UNC_ROOT", (unc_ + "/").c_str(), 1);
  const PathMap map = PathMap::FromEnvironment();
  unsetenv("VELMORA_DRIVES");
  unsetenv("VELMORA_UNC_ROOT");
  EXPECT_EQ(map.DrivesVariable(), "C=" + root_ + ";D=/srv/parts;Z=/");
  EXPECT_EQ(map.UncRoot(), unc_);
  EXPECT_EQ(map.ToHost("c:\\x"), root_ + "/x");
  EXPECT_FALSE(map.ToHost("E:\\x"));
  EXPECT_FALSE(PathMap::FromEnvironment().UncRoot());
}

}  // namespace
}  // namespace velmora::platform
