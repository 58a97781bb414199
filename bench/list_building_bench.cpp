// Builds the list of a generated 10,000-part assembly and splits the time into the "-list" tool run
// and the program's own work (writing the batch file, reading the listing, a status query and an
// insert per row). The program's share should stay under 0.1 s.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "operations/context.h"
#include "operations/list_building.h"
#include "platform/host.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace {

using Clock = std::chrono::steady_clock;
using velmora::platform::Host;

// Adds up the time spent starting tool processes and waiting for them, and the time of the status
// queries and opens.
class TimingHost final : public Host {
 public:
  explicit TimingHost(Host& inner) : inner_(&inner) {}

  double toolSeconds = 0;
  double statSeconds = 0;
  double openSeconds = 0;  // creating the batch file and opening the listing
  int stats = 0;

  std::optional<std::string> GetEnv(std::string_view name) override { return inner_->GetEnv(name); }
  std::optional<velmora::platform::FileStatus> Stat(std::string_view path) override {
    const auto start = Clock::now();
    auto status = inner_->Stat(path);
    statSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    ++stats;
    return status;
  }
  bool Remove(std::string_view path) override { return inner_->Remove(path); }
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override {
    return inner_->CopyFile(source, destination, failIfExists);
  }
  std::unique_ptr<velmora::platform::TextStream> Open(std::string_view path,
                                                      velmora::platform::OpenMode mode) override {
    const auto start = Clock::now();
    auto stream = inner_->Open(path, mode);
    openSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    return stream;
  }
  std::unique_ptr<velmora::platform::Process> StartBatch(std::string_view commandLine) override;

 private:
  class TimedProcess final : public velmora::platform::Process {
   public:
    TimedProcess(std::unique_ptr<velmora::platform::Process> inner, double& seconds)
        : inner_(std::move(inner)), seconds_(&seconds) {}
    void Wait() override {
      const auto start = Clock::now();
      inner_->Wait();
      *seconds_ += std::chrono::duration<double>(Clock::now() - start).count();
    }
    bool CloseHandle() override { return inner_->CloseHandle(); }

   private:
    std::unique_ptr<velmora::platform::Process> inner_;
    double* seconds_;
  };

  Host* inner_;
};

std::unique_ptr<velmora::platform::Process> TimingHost::StartBatch(std::string_view commandLine) {
  const auto start = Clock::now();
  std::unique_ptr<velmora::platform::Process> process = inner_->StartBatch(commandLine);
  toolSeconds += std::chrono::duration<double>(Clock::now() - start).count();
  if (!process)
    return nullptr;
  return std::make_unique<TimedProcess>(std::move(process), toolSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  const int parts = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;

  velmora::testing::TempDrive drive;
  const std::string input = drive.MakeAssembly("asm", "--parts " + std::to_string(parts));
  if (input.empty()) {
    std::fprintf(stderr, "make-assembly gave no input part\n");
    return 1;
  }

  velmora::platform::RealHost realHost;
  TimingHost host(realHost);
  velmora::operations::DialogState state;
  velmora::testing::ScriptedUi ui(&state);
  velmora::operations::Context context(state, ui, host);
  state.editToolPath = drive.EditTool();
  state.pcToolPath = drive.PcTool();
  state.inputPartPath = input;

  double bestTotal = 0;
  double bestOwn = 0;
  double toolAtBest = 0;
  double statAtBest = 0;
  double openAtBest = 0;
  int statsAtBest = 0;
  int rows = 0;
  for (int round = 0; round < rounds; ++round) {
    host.toolSeconds = host.statSeconds = host.openSeconds = 0;
    host.stats = 0;
    const auto start = Clock::now();
    if (velmora::operations::BuildPartList(context)) {
      std::fprintf(stderr, "the list could not be built: %s\n", ui.Last().c_str());
      return 1;
    }
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    const double own = total - host.toolSeconds;
    if (round == 0 || own < bestOwn) {
      bestOwn = own;
      bestTotal = total;
      toolAtBest = host.toolSeconds;
      statAtBest = host.statSeconds;
      openAtBest = host.openSeconds;
      statsAtBest = host.stats;
    }
    rows = state.partList.RowCount();
  }

  std::printf("list building, %d parts requested, %d rows listed, best of %d\n", parts, rows, rounds);
  std::printf("  total              %8.4f s\n", bestTotal);
  std::printf("  \"-list\" tool run   %8.4f s\n", toolAtBest);
  std::printf("  program's own work %8.4f s (goal < 0.1 s)\n", bestOwn);
  std::printf("    of which %d status queries %8.4f s, opening files %8.4f s\n", statsAtBest, statAtBest,
              openAtBest);
  return 0;
}
