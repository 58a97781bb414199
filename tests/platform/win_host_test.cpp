// The Windows host: the platform's own calls on Windows paths.

#include <gtest/gtest.h>

#include <string>

#include "platform/host.h"

namespace velmora::platform {
namespace {

TEST(WinHostTest, Placeholder) {
  RealHost host;
  EXPECT_FALSE(host.Stat("C:\\no\\such\\file.prt"));
}

}  // namespace
}  // namespace velmora::platform
