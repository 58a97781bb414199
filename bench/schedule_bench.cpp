// A change of every third part of generated assemblies under both schedules: tool runs, library
// opens, part files loaded, and the time a real system would take by the model of 1.0 s per tool
// start and 0.05 s per part file loaded, with 8 tool runs side by side where the schedule allows
// it. Then the real wall time of the fast schedule's tool phase on 200 parts with a 200-ms tool.
// Goals: the fast modelled time at most 1/40 of the specified one on 1,000 parts; the tool phase
// at most 1.3 × (tool runs ÷ 8 × 0.2 s).
//
// schedule_bench [parts] — 1,000 by default.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/main_dialog.h"
#include "operations/action_plan.h"
#include "operations/fast_schedule.h"
#include "operations/inspect.h"
#include "operations/list_building.h"
#include "operations/structure_pass.h"
#include "platform/forwarding_host.h"
#include "platform/ufun_library.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"
#include "text/file_name.h"
#include "text/mbstring.h"
#include "timing_host.h"

namespace {

using namespace velmora;
using bench::Clock;
using bench::Since;

constexpr double kToolStartSeconds = 1.0;
constexpr double kLoadSeconds = 0.05;
constexpr int kSideBySide = 8;

// Every batch file started, by its work-file name (part name and mode).
class RecordingHost final : public platform::ForwardingHost {
 public:
  explicit RecordingHost(platform::Host& inner) : ForwardingHost(inner) {}
  std::vector<std::string> batches;
  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override {
    const std::size_t slash = text::FindLast(commandLine, '\\');
    batches.emplace_back(commandLine.substr(slash + 1, commandLine.size() - slash - 1 - 5));  // ".bat\""
    return Inner().StartBatch(commandLine);
  }
};

bool Writes(std::string_view batch) {
  return !batch.ends_with("-list") && !batch.ends_with("-ugpc");
}

// Tool starts in units of one start: one at a time, or stretches of writing runs side by side, runs
// on one file name one after another and in their order.
int ToolRounds(const std::vector<std::string>& batches, int sideBySide) {
  int rounds = 0;
  std::size_t i = 0;
  while (i < batches.size()) {
    if (sideBySide == 1 || !Writes(batches[i])) {
      ++rounds;
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < batches.size() && Writes(batches[end]))
      ++end;
    std::unordered_map<std::string, int> lastRound;  // file name -> the round of its last run
    std::vector<int> used;                           // runs per round
    for (std::size_t run = i; run < end; ++run) {
      const std::string& batch = batches[run];
      const std::string file = batch.substr(0, batch.rfind('-'));
      int round = lastRound.contains(file) ? lastRound[file] + 1 : 0;
      while (round < static_cast<int>(used.size()) && used[static_cast<std::size_t>(round)] >= sideBySide)
        ++round;
      if (round >= static_cast<int>(used.size()))
        used.resize(static_cast<std::size_t>(round) + 1, 0);
      ++used[static_cast<std::size_t>(round)];
      lastRound[file] = round;
    }
    rounds += static_cast<int>(used.size());
    i = end;
  }
  return rounds;
}

int LinesIn(const std::string& hostPath, std::string_view prefix) {
  std::ifstream in(hostPath);
  int count = 0;
  for (std::string line; std::getline(in, line);)
    count += line.starts_with(prefix) ? 1 : 0;
  return count;
}

struct Figures {
  int runs = 0;
  int writingRuns = 0;
  int opens = 0;
  int loads = 0;
  double modelled = 0;
  double wall = 0;
  std::string message;
};

struct Bench {
  explicit Bench(testing::TempDrive& drive) : drive(drive), recording(realHost), ui(nullptr) {
    setenv("VELMORA_UF_LOG", drive.Host("uf.log").c_str(), 1);
    setenv("VELMORA_UF_LOAD_LOG", drive.Host("loads.log").c_str(), 1);
  }

  Figures Change(const std::string& folder, const std::string& arguments, bool fast) {
    Figures figures;
    const std::string top = drive.MakeAssembly(folder, arguments);
    app::MainDialog dialog(ui, recording, cad);
    ui.Attach(&dialog.State());
    if (!dialog.OnInitDialog())
      return figures;
    dialog.State().editToolPath = drive.EditTool();
    dialog.State().pcToolPath = drive.PcTool();
    ui.files.push_back(top);
    dialog.BrowseInputPart();
    for (int row = 0; row < dialog.State().partList.RowCount(); row += 3)
      dialog.OnEndLabelEdit(row, "k" + std::to_string(row) + ".prt");
    ui.controlOptions = {};
    ui.controlOptions.overwriteAll = 1;
    ui.controlOptions.swapInputAfterRun = 0;
    ui.controlOptions.fastSchedule = fast ? 1 : 0;
    ui.controlOperation = operations::Operation::Change;
    recording.batches.clear();
    std::filesystem::remove(drive.Host("uf.log"));
    std::filesystem::remove(drive.Host("loads.log"));
    ui.messages.clear();
    const Clock::time_point start = Clock::now();
    dialog.OnExecute();
    figures.wall = Since(start);
    figures.message = ui.messages.empty() ? std::string() : ui.messages.back();
    figures.runs = static_cast<int>(recording.batches.size());
    for (const std::string& batch : recording.batches)
      figures.writingRuns += Writes(batch) ? 1 : 0;
    figures.opens = LinesIn(drive.Host("uf.log"), "UF_PART_open");
    figures.loads = LinesIn(drive.Host("loads.log"), "load ");
    figures.modelled = ToolRounds(recording.batches, fast ? kSideBySide : 1) * kToolStartSeconds +
                       figures.loads * kLoadSeconds;
    ui.Attach(nullptr);
    return figures;
  }

  testing::TempDrive& drive;
  platform::RealHost realHost;
  RecordingHost recording;
  platform::UfunLibrary cad;
  testing::ScriptedUi ui;
};

void Print(const char* sample, const char* schedule, const Figures& f) {
  std::printf(
      "%-8s %-10s %6d runs (%5d writing) %6d opens %8d loaded  modelled %9.1f s (%6.2f h)  wall %6.2f s  "
      "%s\n",
      sample, schedule, f.runs, f.writingRuns, f.opens, f.loads, f.modelled, f.modelled / 3600, f.wall,
      f.message.c_str());
}

// The fast schedule's tool runs carried out side by side, timed (the journal is left out: it is the
// same for both schedules).
void ToolPhaseWallTime(testing::TempDrive& drive) {
  const std::string top = drive.MakeAssembly("wall", "--parts 200 --seed 3");
  operations::DialogState state;
  state.editToolPath = drive.EditTool();
  state.pcToolPath = drive.PcTool();
  state.inputPartPath = top;
  platform::RealHost host;
  platform::UfunLibrary cad;
  testing::ScriptedUi ui(&state);
  if (!cad.Initialize())
    return;
  operations::Context context(state, ui, host, cad);
  if (operations::BuildPartList(context) == Step::Failed)
    return;
  for (int row = 0; row < state.partList.RowCount(); row += 3)
    state.partList.SetText(row, partlist::kNewPartName, "w" + std::to_string(row) + ".prt");
  state.options.overwriteAll = 1;
  state.operation = operations::Operation::Change;
  const std::string inputFolder(text::FolderOf(state.partList.RowPath(0, true)));
  operations::StructureTree tree;
  const std::string tail;
  const Step read = operations::RunOnStructure(
      context, text::ToLower(top), tail, tail, [&](platform::TextStream& listing, const std::string&) {
        if (operations::StructurePass(context, listing, operations::PassMode::Inspect, tail, inputFolder) ==
            Step::Failed)
          return Step::Failed;
        std::optional<operations::StructureTree> lines =
            operations::ReadStructureTree(context, listing, tail);
        if (lines)
          tree = std::move(*lines);
        return lines ? Step::Done : Step::Failed;
      });
  if (read == Step::Failed)
    return;
  const std::vector<operations::Action> order = operations::FastOrder(
      operations::MakeRunPlan(
          {.state = state,
           .inputFolder = inputFolder,
           .tree = tree,
           .existsAtStart = [&](std::string_view path) { return host.Stat(path).has_value(); }}),
      tree, state.partList.RowCount());
  std::vector<operations::Action> before;
  std::vector<operations::Action> tools;
  std::vector<operations::Action> after;
  for (const operations::Action& action : order) {
    const bool tool = action.kind == operations::ActionKind::ReferenceEdit;
    (tool ? tools : (tools.empty() ? before : after)).push_back(action);
  }
  if (operations::RunFastActions(context, before, kSideBySide, tail) == Step::Failed)
    return;
  setenv("VELMORA_CAD_DELAY_MS", "200", 1);
  const Clock::time_point start = Clock::now();
  const Step ran = operations::RunFastActions(context, tools, kSideBySide, tail);
  const double wall = Since(start);
  unsetenv("VELMORA_CAD_DELAY_MS");
  static_cast<void>(operations::RunFastActions(context, after, kSideBySide, tail));
  const double bound = static_cast<double>(tools.size()) / kSideBySide * 0.2;
  std::printf(
      "200 parts, 200-ms tool, %d side by side: %zu edit runs in %.2f s (ideal %.2f s, ratio %.2f)%s\n",
      kSideBySide, tools.size(), wall, bound, wall / bound, ran == Step::Failed ? " FAILED" : "");
  static_cast<void>(cad.Terminate());
}

}  // namespace

int main(int argc, char** argv) {
  const int parts = argc > 1 ? std::atoi(argv[1]) : 1000;
  testing::TempDrive drive;
  Bench bench(drive);
  const std::string n = std::to_string(parts);
  const struct {
    const char* name;
    std::string arguments;
  } samples[] = {{"mixed", "--parts " + n + " --seed 1"},
                 {"flat", "--parts " + n + " --seed 1 --depth 1"},
                 {"deep", "--parts " + n + " --seed 1 --depth 100 --fanout 2"}};
  for (const auto& sample : samples) {
    const Figures specified = bench.Change(std::string(sample.name) + "-s", sample.arguments, false);
    Print(sample.name, "specified", specified);
    const Figures fast = bench.Change(std::string(sample.name) + "-f", sample.arguments, true);
    Print(sample.name, "fast", fast);
    std::printf("%-8s fast / specified modelled: 1/%.0f\n", sample.name, specified.modelled / fast.modelled);
  }
  ToolPhaseWallTime(drive);
  return 0;
}
