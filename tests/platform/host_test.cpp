#include "platform/host.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempDrive;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Sets a variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name))
      old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RealHost, EnvironmentComesBackInWindowsForm) {
  const TempDrive drive;
  RealHost host;
  const std::pair<std::string, std::optional<std::string>> temps[] = {
      {drive.Host("temp") + "/", "D:\\temp\\"},
      {drive.Host("temp"), "D:\\temp"},
      {"D:\\temp", "D:\\temp"},
      {drive.Host("bad?name"), std::nullopt},  // no Windows form: no usable value
  };
  for (const auto& [value, expected] : temps) {
    const ScopedEnv temp("TEMP", value);
    const ScopedEnv root("UGII_ROOT_DIR", value);
    EXPECT_EQ(host.GetEnv("TEMP"), expected) << value;
    EXPECT_EQ(host.GetEnv("UGII_ROOT_DIR"), expected) << value;
  }
  {
    const ScopedEnv plain("VELMORA_TEST_VALUE", "表/x");
    EXPECT_EQ(host.GetEnv("VELMORA_TEST_VALUE"), text::Cp932("表/x"));  // only the two folders are mapped
  }
  {
    const ScopedEnv bad("VELMORA_TEST_VALUE", "a¥b");
    EXPECT_EQ(host.GetEnv("VELMORA_TEST_VALUE"), std::nullopt);
  }
  EXPECT_EQ(host.GetEnv("VELMORA_TEST_VALUE"), std::nullopt);
}

TEST(RealHost, StatAndRemove) {
  const TempDrive drive;
  drive.WriteFile("Work/Top.prt", "12345");
  RealHost host;
  const auto file = host.Stat("d:\\work\\top.prt");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size, 5u);
  EXPECT_FALSE(file->directory);
  const auto folder = host.Stat("D:\\WORK");
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->directory);
  EXPECT_FALSE(host.Stat("D:\\work\\none.prt"));
  EXPECT_FALSE(host.Stat("Q:\\work\\top.prt"));

  EXPECT_FALSE(host.Remove("D:\\work"));  // folders are not removed
  EXPECT_FALSE(host.Remove("D:\\work\\none.prt"));
  EXPECT_TRUE(host.Remove("D:\\WORK\\TOP.PRT"));
  EXPECT_FALSE(drive.Exists("Work/Top.prt"));
}

TEST(RealHost, CopyKeepsTheSourceAndTheTime) {
  const TempDrive drive;
  drive.WriteFile("a/src.prt", "source");
  drive.WriteFile("b/old.prt", "old");
  const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, drive.Host("a/src.prt").c_str(), past, 0), 0);
  RealHost host;

  EXPECT_TRUE(host.CopyFile("D:\\a\\src.prt", "D:\\B\\New.prt", true));
  EXPECT_EQ(drive.ReadFile("b/New.prt"), "source");
  struct stat st;
  ASSERT_EQ(stat(drive.Host("b/New.prt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);

  EXPECT_FALSE(host.CopyFile("D:\\a\\src.prt", "D:\\b\\OLD.prt", true));  // fail-if-exists
  EXPECT_EQ(drive.ReadFile("b/old.prt"), "old");
  EXPECT_TRUE(host.CopyFile("D:\\a\\src.prt", "D:\\b\\OLD.prt", false));  // replaces, keeps the name
  EXPECT_EQ(drive.ReadFile("b/old.prt"), "source");

  // Onto itself, however spelled: refused, and the one copy there is stays whole.
  for (const bool failIfExists : {false, true}) {
    EXPECT_FALSE(host.CopyFile("D:\\a\\src.prt", "D:\\a\\src.prt", failIfExists));
    EXPECT_FALSE(host.CopyFile("D:\\a\\src.prt", "d:\\A\\SRC.PRT", failIfExists));
  }
  EXPECT_EQ(drive.ReadFile("a/src.prt"), "source");

  EXPECT_FALSE(host.CopyFile("D:\\a\\none.prt", "D:\\b\\x.prt", false));
  EXPECT_FALSE(host.CopyFile("D:\\a", "D:\\b\\x.prt", false));              // a folder is no file
  EXPECT_FALSE(host.CopyFile("D:\\a\\src.prt", "D:\\b", false));            // nor a destination
  EXPECT_FALSE(host.CopyFile("D:\\a\\src.prt", "D:\\none\\x.prt", false));  // no folder there
  EXPECT_FALSE(host.CopyFile("D:\\a\\src.prt", "Q:\\x.prt", false));
  EXPECT_EQ(Names(drive.Host("a")), std::vector<std::string>{"src.prt"});
  EXPECT_EQ(Names(drive.Host("b")), (std::vector<std::string>{"New.prt", "old.prt"}));  // no leftovers
}

TEST(RealHost, CopyIntoJapaneseFolders) {
  const TempDrive drive;
  drive.WriteFile("表/ソ.prt", "x");
  fs::create_directories(drive.Host("能"));
  RealHost host;
  EXPECT_TRUE(host.CopyFile(text::Cp932("D:\\表\\ソ.prt"), text::Cp932("D:\\能\\ア.prt"), true));
  EXPECT_EQ(drive.ReadFile("能/ア.prt"), "x");
}

// A new spelling of one file is the same file to Stat; the rename keeps it, under the new spelling
// exactly, and refuses a different file already there (a host that tells spellings apart).
TEST(RealHost, RenameGivesTheFileItsNewSpellingInPlace) {
  TempDrive drive;
  RealHost host;
  drive.WriteFile("部品表/top.prt", "one");
  drive.WriteFile("部品表/other.prt", "two");
  const std::string lower = drive.Win("部品表/top.prt");
  const std::string upper = drive.Win("部品表/TOP.PRT");
  const std::optional<FileStatus> before = host.Stat(lower);
  ASSERT_TRUE(before);
  EXPECT_EQ(host.Stat(upper)->id, before->id);
  EXPECT_NE(host.Stat(drive.Win("部品表/other.prt"))->id, before->id);

  EXPECT_TRUE(host.Rename(lower, upper));
  EXPECT_EQ(Names(drive.Host("部品表")), (std::vector<std::string>{"TOP.PRT", "other.prt"}));
  EXPECT_EQ(host.Stat(upper)->id, before->id);
  EXPECT_EQ(drive.ReadFile("部品表/TOP.PRT"), "one");
  EXPECT_TRUE(host.Rename(lower, upper));  // found under its new spelling already
  EXPECT_EQ(drive.ReadFile("部品表/TOP.PRT"), "one");

  drive.WriteFile("部品表/top.prt", "three");
  EXPECT_FALSE(host.Rename(lower, upper));
  EXPECT_FALSE(host.Rename(drive.Win("部品表/other.prt"), upper));
  EXPECT_EQ(drive.ReadFile("部品表/TOP.PRT"), "one");
  EXPECT_EQ(drive.ReadFile("部品表/top.prt"), "three");
  EXPECT_EQ(drive.ReadFile("部品表/other.prt"), "two");
  EXPECT_FALSE(host.Rename(drive.Win("部品表/gone.prt"), drive.Win("部品表/GONE.PRT")));
}

TEST(RealHost, OpenWritesAndReadsThroughTheMapping) {
  const TempDrive drive;
  RealHost host;
  auto out = host.Open("D:\\TEMP\\x.txt", OpenMode::WriteText);
  ASSERT_TRUE(out);
  out->Puts("a\n");
  ASSERT_TRUE(out->Close());
  EXPECT_EQ(drive.ReadFile("temp/x.txt"), "a\r\n");
  auto in = host.Open("d:\\temp\\X.TXT", OpenMode::ReadText);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Getc(), 'a');
  EXPECT_EQ(in->Getc(), '\n');
  EXPECT_FALSE(host.Open("Q:\\x.txt", OpenMode::ReadText));
  EXPECT_FALSE(host.Open("D:\\temp\\none.txt", OpenMode::ReadText));
}

}  // namespace
}  // namespace velmora::platform
