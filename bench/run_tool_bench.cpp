// The cost of one RunTool("-list") on a small part against starting the same tool directly with the
// same redirections (posix_spawn + wait). The difference is the batch file and its interpreter.
// Usage: run_tool_bench [runs] [parts]

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"
#include "timing_host.h"
#include "toolrunner/batch_runner.h"

extern char** environ;

namespace {

using velmora::bench::Clock;
using velmora::bench::Since;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The tool with its output and error streams sent to the two files, as the batch line does.
bool SpawnDirect(const std::string& tool, const std::string& input, const std::string& out,
                 const std::string& err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::string mode = "-list";
  std::string toolArg = tool;
  std::string inputArg = input;
  char* argv[] = {toolArg.data(), inputArg.data(), mode.data(), nullptr};
  pid_t pid = 0;
  const int started = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0)
    return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  const int parts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  velmora::testing::TempDrive drive;
  const std::string input = drive.MakeAssembly("asm", "--parts " + std::to_string(parts));
  if (input.empty()) {
    std::fprintf(stderr, "make-assembly gave no input part\n");
    return 1;
  }
  velmora::platform::RealHost realHost;
  velmora::bench::TimingHost host(realHost);
  velmora::testing::ScriptedUi ui;
  const std::string editTool = drive.EditTool();
  const std::string pcTool = drive.PcTool();
  const velmora::toolrunner::BatchRunner runner(host, ui, editTool, pcTool);
  const std::string base = runner.WorkFileBase(input, velmora::toolrunner::ToolMode::List, "");
  const auto toolHost = realHost.Paths().ToHost(editTool);
  const auto outHost = realHost.Paths().ToHost(base + ".txt");
  const auto errHost = realHost.Paths().ToHost(base + ".log");
  if (!toolHost || !outHost || !errHost) {
    std::fprintf(stderr, "cannot map the tool or the work files to host paths\n");
    return 1;
  }

  std::vector<double> viaRunner;
  std::vector<double> direct;
  std::vector<double> ownWork;
  for (int i = 0; i < runs; ++i) {
    // Alternate the two so that a change in machine load hits both alike.
    auto start = Clock::now();
    host.Reset();
    const bool failed = runner.RunTool({.mode = velmora::toolrunner::ToolMode::List, .inFile = input}, "") ==
                        velmora::Step::Failed;
    viaRunner.push_back(Since(start));
    ownWork.push_back(viaRunner.back() - host.toolSeconds);
    if (failed || !host.Remove(base + ".txt")) {
      std::fprintf(stderr, "RunTool failed: %s\n", ui.Last().c_str());
      return 1;
    }
    start = Clock::now();
    const bool spawned = SpawnDirect(*toolHost, input, *outHost, *errHost);
    direct.push_back(Since(start));
    if (!spawned) {
      std::fprintf(stderr, "posix_spawn failed\n");
      return 1;
    }
    std::remove(outHost->c_str());
    std::remove(errHost->c_str());
  }

  const double r = Median(viaRunner);
  const double d = Median(direct);
  std::printf("RunTool(-list), %d parts: median %.3f ms over %d runs\n", parts, r * 1e3, runs);
  std::printf("tool started directly:   median %.3f ms\n", d * 1e3);
  std::printf("ratio: %.2f (goal <= 1.30)\n", r / d);
  std::printf("of RunTool, outside the batch process (work files, checks): median %.3f ms\n",
              Median(ownWork) * 1e3);
  return 0;
}
