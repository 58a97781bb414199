#include "platform/batch_interpreter.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "support/temp_drive.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

void MakeExecutable(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "#!/bin/sh\n";
  fs::permissions(path, fs::perms::owner_all);
}

// Installed, the interpreter is under ../lib/velmora; in a build it is beside the program and wins;
// VELMORA_BATCH overrides both. None of it depends on the folder the program was built in.
TEST(BatchInterpreter, FoundFromTheProgramsOwnPlace) {
  unsetenv("VELMORA_BATCH");
  testing::TempDrive drive;
  const fs::path prefix = fs::path(drive.HostRoot()) / "opt" / "v m";
  const std::string program = (prefix / "bin" / "velmora").string();
  const std::string installed = (prefix / "bin" / ".." / "lib" / "velmora" / "velmora-batch").string();

  fs::create_directories(prefix / "bin");
  EXPECT_EQ(FindBatchInterpreter(program), installed);  // expected there even before it exists
  EXPECT_FALSE(IsExecutableFile(installed));
  MakeExecutable(prefix / "lib" / "velmora" / "velmora-batch");
  EXPECT_EQ(FindBatchInterpreter(program), installed);
  EXPECT_TRUE(IsExecutableFile(installed));

  MakeExecutable(prefix / "bin" / "velmora-batch");
  EXPECT_EQ(FindBatchInterpreter(program), (prefix / "bin" / "velmora-batch").string());

  setenv("VELMORA_BATCH", "/elsewhere/batch", 1);
  EXPECT_EQ(FindBatchInterpreter(program), "/elsewhere/batch");
  unsetenv("VELMORA_BATCH");

  // A folder or a file without execute permission is no interpreter.
  EXPECT_FALSE(IsExecutableFile(prefix.string()));
  fs::permissions(prefix / "bin" / "velmora-batch", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(FindBatchInterpreter(program), installed);
}

}  // namespace
}  // namespace velmora::platform
