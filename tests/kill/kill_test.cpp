// Kills a change and a bulk run of a 200-part assembly, each under both schedules (SIGKILL to the
// run's whole process group) at seeded random instants. After each kill every *.prt under the drive must
// parse, and an undo in a fresh process must bring back every original file, byte for byte and under its own
// name. VELMORA_KILL_SEED replays a seed; VELMORA_KILL_COUNT sets the kills per run: 25 by default, to stay
// near a minute; VELMORA_KILL_COUNT=100 is the full test (about four minutes on two cores).

#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "cad/part/part_file.h"
#include "kill/driver.h"
#include "support/drive_fixture.h"
#include "support/temp_drive.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kUndone = "直前の実行を元に戻しました。";
constexpr std::string_view kNothing = "元に戻せる実行が有りません。";

class KillTest : public velmora::testing::DriveFixture, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    input_ = drive.MakeAssembly("gen", "--parts 200 --seed 7");
    ASSERT_FALSE(input_.empty());
    fs::copy(drive.Host("gen"), drive.Host("pristine"), fs::copy_options::recursive);
    original_ = Parts(drive.Host("gen"), drive);
    ASSERT_EQ(original_.size(), 200u);
  }

  void Reset() {
    fs::remove_all(drive.Host("gen"));
    fs::copy(drive.Host("pristine"), drive.Host("gen"), fs::copy_options::recursive);
    fs::remove_all(drive.Host("temp"));
    fs::create_directories(drive.Host("temp"));
  }

  // Every part file whole; the files that are no part (a writer's temporary files) are counted.
  void ExpectWholeParts(const std::string& context) {
    for (const auto& entry : fs::recursive_directory_iterator(drive.Host("gen"))) {
      if (!entry.is_regular_file())
        continue;
      if (!IsPartName(entry.path())) {
        ++strays_;
        continue;
      }
      const cad::ReadResult read = cad::ReadPartFile(entry.path().string());
      EXPECT_EQ(read.status, cad::ReadStatus::Ok) << context << ": " << entry.path() << " " << read.error;
    }
  }

  void ExpectUndone(const std::string& context) {
    const std::string output = RunToEnd("undo", input_);
    EXPECT_TRUE(output.find(kUndone) != std::string::npos || output.find(kNothing) != std::string::npos)
        << context << ": " << output;
    EXPECT_TRUE(Parts(drive.Host("gen"), drive) == original_) << context;
  }

  std::string input_;
  std::map<std::string, std::string> original_;
  int strays_ = 0;
};

TEST_P(KillTest, KilledAnywhereLosesNothing) {
  const std::string mode = GetParam();
  // One whole run first: its length bounds the instants, and it must undo too.
  Reset();
  const Clock::time_point start = Clock::now();
  const std::string output = RunToEnd(mode, input_);
  const double runSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  ASSERT_NE(output.find("実行が正常に終了しました。"), std::string::npos) << output;
  ASSERT_NE(Parts(drive.Host("gen"), drive), original_);
  ExpectUndone("whole run");

  const unsigned long seed = EnvNumber("VELMORA_KILL_SEED", std::random_device()());
  const unsigned long count = EnvNumber("VELMORA_KILL_COUNT", 25);
  std::cout << mode << ": seed " << seed << " (VELMORA_KILL_SEED), " << count << " kills in a run of "
            << runSeconds << " s\n";
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> instant(0.0, runSeconds * 1.1);
  int endedByItself = 0;
  const Clock::time_point kills = Clock::now();
  for (unsigned long i = 0; i < count && !HasFailure(); ++i) {
    Reset();
    const double delay = instant(random);
    Driver driver(mode, input_);
    std::this_thread::sleep_for(std::chrono::duration<double>(delay));
    endedByItself += driver.Kill();
    const std::string context = mode + " kill " + std::to_string(i) + " at " + std::to_string(delay) + " s";
    ExpectWholeParts(context);
    ExpectUndone(context);
  }
  std::cout << mode << ": " << count << " kills in "
            << std::chrono::duration<double>(Clock::now() - kills).count() << " s; " << endedByItself
            << " runs had ended first; " << strays_ << " temporary files left beside the parts\n";
}

INSTANTIATE_TEST_SUITE_P(Runs, KillTest, ::testing::Values("change", "bulk", "fast-change", "fast-bulk"));

// A change whose reference edit never ends, stopped by the user who has the tool ended: the run
// stops as a stopped run, leaves nothing running and nothing in TEMP, and undo takes it back.
TEST_F(KillTest, HungToolEndedByTheUserIsAStoppedRun) {
  Reset();
  const Clock::time_point start = Clock::now();
  const std::string output = RunToEnd("hung", input_);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
  EXPECT_NE(output.find("ug_edit_part_names.exe が終了していません。"), std::string::npos) << output;
  EXPECT_NE(output.find("中止しました。\n　実行は中断しました。"), std::string::npos) << output;
  EXPECT_EQ(output.find("実行が正常に終了しました。"), std::string::npos) << output;
  EXPECT_TRUE(drive.TempFiles().empty());
  ExpectWholeParts("hung");
  ASSERT_NE(Parts(drive.Host("gen"), drive), original_);  // the copies were made before the edit
  ExpectUndone("hung");
}

}  // namespace
}  // namespace velmora::test
