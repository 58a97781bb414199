// The inspection of generated 10,000- and 50,000-part assemblies, and a change of 1,000 renamed
// parts, each split into the time of the tool runs and the program's own share (total minus the
// tool runs). Goals: under 0.2 s of own work at 10,000 parts for the inspection, no more than six
// times that at 50,000.
//
// inspect_bench [--no-change] [--change N] [inspect parts...] — defaults to 10000 50000, then a
// change of N parts (1,000), without and with the progress reported.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operations/action_plan.h"
#include "operations/context.h"
#include "operations/executor.h"
#include "operations/inspect.h"
#include "operations/list_building.h"
#include "operations/structure_pass.h"
#include "platform/host.h"
#include "platform/ufun_library.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"
#include "text/codec.h"
#include "text/mbstring.h"
#include "timing_host.h"

namespace {

using velmora::bench::Clock;
using velmora::bench::Since;
using velmora::bench::TimingCad;
using velmora::bench::TimingHost;
using namespace velmora;

struct Figures {
  double total = 0;
  double tools = 0;
  int runs = 0;
  double library = 0;
  int libraryCalls = 0;
  double copies = 0;
  int copyCount = 0;
  double Own() const { return total - tools - library - copies; }
};

struct Bench {
  explicit Bench(testing::TempDrive& drive)
      : host(realHost), cad(realCad), ui(&state), context(state, ui, host, cad) {
    state.editToolPath = drive.EditTool();
    state.pcToolPath = drive.PcTool();
  }
  bool Load(const std::string& input) {
    state.inputPartPath = input;
    if (operations::BuildPartList(context) == Step::Failed) {
      std::fprintf(stderr, "the list could not be built: %s\n", ui.Last().c_str());
      return false;
    }
    ui.messages.clear();
    return true;
  }
  void Reset() {
    host.Reset();
    cad.Reset();
  }
  // The figures of a run that started at start.
  Figures Take(Clock::time_point start) const;

  platform::RealHost realHost;
  TimingHost host;
  platform::UfunLibrary realCad;
  TimingCad cad;
  operations::DialogState state;
  testing::ScriptedUi ui;
  operations::Context context;
};

Figures Bench::Take(Clock::time_point start) const {
  return {Since(start), host.toolSeconds, host.runs, cad.seconds, cad.calls, host.copySeconds, host.copies};
}

void Print(const Figures& f) {
  std::printf("  total                      %8.4f s\n", f.total);
  std::printf("  tool runs       (%6d)   %8.4f s\n", f.runs, f.tools);
  if (f.libraryCalls > 0 || f.copyCount > 0) {
    std::printf("  CAD library     (%6d)   %8.4f s\n", f.libraryCalls, f.library);
    std::printf("  file copies     (%6d)   %8.4f s\n", f.copyCount, f.copies);
  }
  std::printf("  program's own work         %8.4f s\n", f.Own());
}

// The best of three full inspections.
bool Inspect(int parts, Figures& best) {
  testing::TempDrive drive;
  const std::string input = drive.MakeAssembly("asm", "--parts " + std::to_string(parts));
  Bench bench(drive);
  if (input.empty() || !bench.Load(input))
    return false;
  const std::string key = text::ToLower(input);
  const std::string folder = key.substr(0, text::FindLast(key, '\\') + 1);
  for (int round = 0; round < 3; ++round) {
    bench.Reset();
    bench.ui.messages.clear();
    const auto start = Clock::now();
    static_cast<void>(operations::RunInspect(bench.context, operations::PassMode::Inspect, folder));
    const Figures f = bench.Take(start);
    if (bench.ui.Last() != "検査を完了しました。") {
      std::fprintf(stderr, "the inspection failed: %s\n", bench.ui.Last().c_str());
      return false;
    }
    if (round == 0 || f.Own() < best.Own())
      best = f;
  }
  std::printf("inspect, %d parts, %d rows, best of 3\n", parts, bench.state.partList.RowCount());
  return true;
}

// Every part of a 1,000-part assembly renamed: the check pass and the perform pass over the ugpc
// listing, as the execute button runs them; with progress, a point reported before every line.
// The change's part over the listing the check pass has numbered, as a run carries it out.
Step Perform(operations::Context& context, platform::TextStream& listing, std::string_view tail,
             std::string_view folder) {
  const std::optional<operations::StructureTree> tree = operations::ReadStructureTree(context, listing, tail);
  if (!tree)
    return Step::Failed;
  return operations::PerformOnListing(
      context, listing, operations::PlanRun(operations::PlanInputOnDisk(context, folder, *tree)), tail);
}

bool Change(int parts, bool progress, Figures& figures) {
  testing::TempDrive drive;
  const std::string input = drive.MakeAssembly("asm", "--parts " + std::to_string(parts));
  Bench bench(drive);
  if (input.empty() || !bench.Load(input))
    return false;
  partlist::PartList& list = bench.state.partList;
  for (int row = 0; row < list.RowCount(); ++row)
    list.SetText(row, partlist::kNewPartName, "r" + std::to_string(row) + ".prt");
  bench.state.operation = operations::Operation::Change;
  const std::string key = text::ToLower(input);
  const std::string newInput = list.RowPath(list.FindRow(partlist::kFolderName, key), true);
  const std::string folder = newInput.substr(0, text::FindLast(newInput, '\\') + 1);
  const std::string refused = text::Cp932("実行は使用出来ません。");
  const std::string broken = text::Cp932("実行は中断しました。");
  static_cast<void>(operations::RunInspect(bench.context, operations::PassMode::Check, folder));
  const std::string base = bench.context.runner.WorkFileBase(key, toolrunner::ToolMode::Structure, refused);
  if (base.empty() || bench.context.runner.RunTool({.mode = toolrunner::ToolMode::Structure, .inFile = key},
                                                   refused) == Step::Failed)
    return false;
  const std::unique_ptr<platform::TextStream> listing =
      bench.host.Open(base + ".txt", platform::OpenMode::ReadText);
  if (!listing)
    return false;
  platform::CadSession session(bench.cad);
  if (!session.Open())
    return false;
  bench.Reset();
  const auto start = Clock::now();
  if (progress)
    bench.context.progress.Begin(list.RowCount());
  const bool failed = operations::StructurePass(bench.context, *listing, operations::PassMode::Check, refused,
                                                folder) == Step::Failed ||
                      Perform(bench.context, *listing, broken, folder) == Step::Failed;
  bench.context.progress.End();
  figures = bench.Take(start);
  (void)session.Close();
  if (failed) {
    std::fprintf(stderr, "the change failed: %s\n", bench.ui.Last().c_str());
    return false;
  }
  if (operations::ClosePcOutput(bench.context, *listing, base + ".txt", broken) == Step::Failed)
    return false;
  std::printf("change, %d parts renamed, check and perform pass%s\n", list.RowCount(),
              progress ? ", progress at every line" : "");
  if (progress)
    std::printf("  progress points            %8zu\n", bench.ui.progressPoints.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  bool change = true;
  int changeParts = 1000;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--no-change")
      change = false;
    else if (std::string_view(argv[i]) == "--change" && i + 1 < argc)
      changeParts = std::atoi(argv[++i]);
    else
      sizes.push_back(std::atoi(argv[i]));
  }
  if (sizes.empty())
    sizes = {10000, 50000};
  double first = 0;
  for (const int parts : sizes) {
    Figures f;
    if (!Inspect(parts, f))
      return 1;
    Print(f);
    if (first == 0) {
      first = f.Own();
      std::printf("  goal: own work under 0.2 s\n");
    } else {
      std::printf("  own work %.1f times that of %d parts (goal: at most 6 for 5 times the parts)\n",
                  f.Own() / first, sizes.front());
    }
  }
  if (!change)
    return 0;
  Figures quiet;
  if (!Change(changeParts, false, quiet))
    return 1;
  Print(quiet);
  Figures reported;
  if (!Change(changeParts, true, reported))
    return 1;
  Print(reported);
  std::printf("  own work with progress / without: %.3f\n", reported.Own() / quiet.Own());
  return 0;
}
