// The Windows host on the platform's own services: what the program relies on from each call.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host.h"
#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::platform {
namespace {

class WinHostTest : public ::testing::Test {
 protected:
  std::string Read(std::string_view relative) const { return drive.ReadFile(relative); }

  velmora::testing::TempDrive drive;
  RealHost host;
};

TEST_F(WinHostTest, FilesByTheirCp932Names) {
  // "表" is 95 5C: its trail byte is the path separator's.
  const std::string path = drive.Win("表示.prt");
  drive.WriteFile("表示.prt", "abc");
  const std::optional<FileStatus> status = host.Stat(path);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->size, 3u);
  EXPECT_FALSE(status->directory);
  EXPECT_TRUE(host.Stat(drive.Win(""))->directory);
  EXPECT_TRUE(host.Remove(path));
  EXPECT_FALSE(host.Stat(path));
  EXPECT_FALSE(host.Remove(path));
}

TEST_F(WinHostTest, CopyRefusesAnExistingFileOnlyWhenAsked) {
  drive.WriteFile("a.prt", "new");
  drive.WriteFile("b.prt", "old");
  EXPECT_FALSE(host.CopyFile(drive.Win("a.prt"), drive.Win("b.prt"), true));
  EXPECT_EQ(Read("b.prt"), "old");
  EXPECT_TRUE(host.CopyFile(drive.Win("a.prt"), drive.Win("b.prt"), false));
  EXPECT_EQ(Read("b.prt"), "new");
  EXPECT_FALSE(host.CopyFile(drive.Win("gone.prt"), drive.Win("c.prt"), false));
}

// Creating takes only a file that is not there, and writes in text mode as writing does.
TEST_F(WinHostTest, CreatingATextStreamTakesOnlyAFileThatIsNotThere) {
  drive.WriteFile("taken.txt", "someone else's");
  EXPECT_FALSE(host.Open(drive.Win("taken.txt"), OpenMode::CreateText));
  EXPECT_EQ(Read("taken.txt"), "someone else's");
  const std::unique_ptr<TextStream> made = host.Open(drive.Win("made.txt"), OpenMode::CreateText);
  ASSERT_TRUE(made);
  made->Puts("a\n");
  EXPECT_TRUE(made->Close());
  EXPECT_EQ(Read("made.txt"), "a\r\n");
}

TEST_F(WinHostTest, TextStreamsTranslateLineEndsAndSeekToRawOffsets) {
  {
    const std::unique_ptr<TextStream> out = host.Open(drive.Win("t.txt"), OpenMode::WriteText);
    ASSERT_TRUE(out);
    out->Puts("one\ntwo\n");
    EXPECT_TRUE(out->Close());
  }
  EXPECT_EQ(Read("t.txt"), "one\r\ntwo\r\n");
  const std::unique_ptr<TextStream> in = host.Open(drive.Win("t.txt"), OpenMode::ReadText);
  ASSERT_TRUE(in);
  std::string first;
  for (int c = in->Getc(); c != '\n'; c = in->Getc())
    first.push_back(static_cast<char>(c));
  EXPECT_EQ(first, "one");
  const long long second = in->Tell();
  EXPECT_EQ(second, 5);
  EXPECT_EQ(in->Getc(), 't');
  ASSERT_TRUE(in->Seek(second));
  EXPECT_EQ(in->Getc(), 't');
  // Read to the end and come back, as a scan of a part's components does: the stream must go on
  // from there, not stay at its end.
  while (in->Getc() != kEof) {
  }
  EXPECT_TRUE(in->Eof());
  ASSERT_TRUE(in->Seek(second));
  EXPECT_FALSE(in->Eof());
  EXPECT_EQ(in->Getc(), 't');
  EXPECT_FALSE(host.Open(drive.Win("none.txt"), OpenMode::ReadText));
}

// A folder whose last character ends in the separator's byte is still listed as a folder, not taken
// as a name prefix of its siblings.
TEST_F(WinHostTest, ListsAFolderWhoseNameEndsInASeparatorTrailByte) {
  drive.WriteFile("部品表/a.prt", "a");
  drive.WriteFile("部品表x.prt", "x");
  EXPECT_EQ(host.ListFolder(drive.Win("部品表")), std::vector<std::string>{"a.prt"});
  EXPECT_EQ(host.ListFolder(drive.Win("部品表\\")), std::vector<std::string>{"a.prt"});
}

// The command line is the batch file's quoted path; the command interpreter runs it and the
// program waits for it.
TEST_F(WinHostTest, BatchFilesRunThroughTheCommandInterpreter) {
  drive.WriteFile("temp/run 1.bat",
                  "@echo off\r\necho ran> \"" + drive.Win("temp\\out.txt") + "\"\r\nexit\r\n");
  const std::unique_ptr<Process> process = host.StartBatch("\"" + drive.Win("temp/run 1.bat") + "\"");
  ASSERT_TRUE(process);
  process->Wait();
  EXPECT_TRUE(process->CloseHandle());
  EXPECT_EQ(Read("temp/out.txt"), "ran\r\n");
}

TEST_F(WinHostTest, EnvironmentAndPathsAreTheSystemsOwn) {
  EXPECT_EQ(host.GetEnv("TEMP"), "D:\\temp");
  EXPECT_FALSE(host.GetEnv("VELMORA_NOT_SET"));
  const WindowsPath same = host.ToWindowsPath(drive.Win("表示.prt"));
  EXPECT_TRUE(same.ok);
  EXPECT_EQ(same.path, drive.Win("表示.prt"));
}

}  // namespace
}  // namespace velmora::platform
