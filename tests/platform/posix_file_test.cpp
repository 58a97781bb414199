#include "platform/posix_file.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "support/temp_drive.h"

namespace velmora::platform {
namespace {

TEST(ReadToEnd, TakesEverythingWhateverTheHint) {
  testing::TempDrive drive;
  const std::string path = drive.HostRoot() + "/data";
  std::string written(100'000, 'x');
  written[0] = 'a';
  written.back() = 'z';
  {
    const FileDescriptor out(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    ASSERT_TRUE(WriteAll(out.Get(), written));
  }
  // No hint, the exact size, and a size from before the file grew all read the whole file after
  // what out already held.
  for (const std::size_t hint : {std::size_t{0}, written.size(), std::size_t{10}}) {
    const FileDescriptor in(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::string out = "kept:";
    ASSERT_TRUE(ReadToEnd(in.Get(), out, hint));
    EXPECT_EQ(out, "kept:" + written) << hint;
  }
}

TEST(ReadToEnd, ReadsAPipeInPiecesAndReportsErrors) {
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  FileDescriptor reader(ends[0]);
  std::thread writer([fd = ends[1]] {
    const FileDescriptor out(fd);
    for (int i = 0; i < 50; ++i)
      ASSERT_TRUE(WriteAll(out.Get(), std::string(1000, static_cast<char>('0' + i % 10))));
  });
  std::string got;
  EXPECT_TRUE(ReadToEnd(reader.Get(), got));
  writer.join();
  ASSERT_EQ(got.size(), 50'000u);
  EXPECT_EQ(got.substr(49'000), std::string(1000, '9'));

  FileDescriptor moved = std::move(reader);
  EXPECT_EQ(reader.Get(), -1);
  ASSERT_TRUE(moved.Close());
  std::string none = "left";
  EXPECT_FALSE(ReadToEnd(moved.Get(), none));
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(none, "left");
}

}  // namespace
}  // namespace velmora::platform
