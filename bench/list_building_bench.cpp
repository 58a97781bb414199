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
#include "platform/ufun_library.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"
#include "timing_host.h"

namespace {

using velmora::bench::Clock;
using velmora::bench::Since;

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
  velmora::bench::TimingHost host(realHost);
  velmora::operations::DialogState state;
  velmora::testing::ScriptedUi ui(&state);
  velmora::platform::UfunLibrary cad;
  velmora::operations::Context context(state, ui, host, cad);
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
    host.Reset();
    const auto start = Clock::now();
    if (velmora::operations::BuildPartList(context) == velmora::Step::Failed) {
      std::fprintf(stderr, "the list could not be built: %s\n", ui.Last().c_str());
      return 1;
    }
    const double total = Since(start);
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
