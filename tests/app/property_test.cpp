// Random plans on random generated assemblies, each through the real handlers and stand-in tools:
// a run is refused with the disk unchanged, or resolves every component to the intended file, or
// names exactly the components that do not; and every run that wrote is undone byte for byte.
// VELMORA_PROPERTY_SEED replays a plan, VELMORA_PROPERTY_PLANS sets how many run.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <set>
#include <sstream>

#include "dialog_fixture.h"
#include "operations/action_plan.h"
#include "operations/inspect.h"
#include "operations/structure_pass.h"
#include "resources/messages/journal.h"
#include "resources/messages/session.h"
#include "resources/messages/tails.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::app::test {
namespace {

using operations::Operation;
using partlist::kNewFolderName;
using partlist::kNewPartName;
using partlist::kPartName;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// About a minute here; the sanitized build and the Windows build under Wine run a few plans only.
#ifdef _WIN32
constexpr int kDefaultPlans = 12;
#else
constexpr int kDefaultPlans = kSanitized ? 12 : 250;
#endif

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* value = getenv(name);
  return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

class Draw {
 public:
  explicit Draw(std::uint64_t seed) : engine_(seed) {}
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(int percent) { return Below(100) < percent; }

 private:
  std::mt19937_64 engine_;
};

std::string FolderOf(std::string_view path) {
  const std::size_t separator = text::FindLast(path, '\\');
  return std::string(path.substr(0, separator + 1));
}

std::string FlipCase(std::string_view name) {
  std::string flipped = text::ToUpper(name);
  return flipped == name ? text::ToLower(name) : flipped;
}

std::string LowerUtf8(std::string_view cp932) {
  return text::ToDisplayUtf8(text::ToLower(cp932));
}

// The structure as listed against the one intended, line by line where they differ.
::testing::AssertionResult SameStructure(const std::vector<std::string>& listed,
                                         const std::vector<std::string>& intended) {
  if (listed == intended)
    return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "structure differs from the intended one:";
  for (std::size_t line = 0; line < std::max(listed.size(), intended.size()); ++line) {
    const std::string got = line < listed.size() ? listed[line] : "(none)";
    const std::string want = line < intended.size() ? intended[line] : "(none)";
    if (got != want)
      failure << "\n  " << line << ": " << got << " instead of " << want;
  }
  return failure;
}

class PropertyTest : public DialogFixture {
 protected:
  struct Plan {
    std::string top;
    Operation operation = Operation::Change;
    std::vector<std::string> edits;  // what was drawn, for the trace
  };

  // New names (cp932) for a row: each kind as a user could type it.
  using NameKind = std::function<std::string(Draw&, int row)>;
  std::vector<NameKind> NameKinds() {
    return {
        [](Draw& draw, int) {
          return "n" + std::to_string(draw.Below(100000)) + (draw.Chance(50) ? ".prt" : ".PRT");
        },
        [this](Draw& draw, int) {
          const std::string& other = List().Text(draw.Below(List().RowCount()), kPartName);
          return draw.Chance(50) ? other : FlipCase(other);
        },
        [this](Draw& draw, int) {
          const std::string& other = List().Text(draw.Below(List().RowCount()), kNewPartName);
          return other.empty() ? std::string("given.prt") : other;
        },
        [this](Draw&, int row) { return FlipCase(List().Text(row, kPartName)); },
        [](Draw& draw, int) {
          return Cp("表ソ能_" + std::to_string(draw.Below(1000)) + (draw.Chance(50) ? ".prt" : ".Prt"));
        },
    };
  }

  // New folders (cp932, without the final "\"), made on disk as the folder chooser would.
  using FolderKind = std::function<std::string(Draw&)>;
  std::vector<FolderKind> FolderKinds(const std::string& planFolder) {
    return {
        [this](Draw& draw) {
          const std::string folder = List().Text(draw.Below(List().RowCount()), partlist::kFolderName);
          return folder.substr(0, folder.size() - 1);
        },
        [this, planFolder](Draw& draw) {
          const std::string relative =
              planFolder + "/" + (draw.Chance(50) ? "新表" : "New") + std::to_string(draw.Below(3));
          // UTF-8 spelt as such: a narrow path would be read in the code page on Windows.
          const std::string host = drive.Host(relative);
          std::filesystem::create_directories(std::filesystem::path(std::u8string(host.begin(), host.end())));
          return drive.Win(relative);
        },
        [this](Draw&) {
          const std::string folder = FolderOf(State().inputPartPath);
          return folder.substr(0, folder.size() - 1);
        },
    };
  }

  // Chooses a generated assembly and gives it random new names, folders, options and operation.
  bool Prepare(Draw& draw, const std::string& planFolder, Plan& plan) {
    std::ostringstream arguments;
    arguments << "--parts " << draw.Between(3, 40) << " --seed " << draw.Below(1000000);
    if (draw.Chance(30))
      arguments << " --depth " << draw.Between(1, 4);
    if (draw.Chance(30))
      arguments << " --fanout " << draw.Between(1, 6);
    if (draw.Chance(4))
      arguments << " --missing 1";
    plan.edits.push_back(arguments.str());
    plan.top = drive.MakeAssembly(planFolder + "/asm", arguments.str());
    if (plan.top.empty() || !ChooseInputPart(plan.top))
      return false;

    const std::vector<NameKind> names = NameKinds();
    const std::vector<FolderKind> folders = FolderKinds(planFolder);
    const int edits = draw.Between(0, std::min(List().RowCount(), 6));
    for (int edit = 0; edit < edits; ++edit) {
      const int row = draw.Below(List().RowCount());
      if (draw.Chance(70)) {
        const int kind = draw.Below(static_cast<int>(names.size()));
        const std::string name = names[static_cast<std::size_t>(kind)](draw, row);
        plan.edits.push_back("row " + std::to_string(row) + " name#" + std::to_string(kind) + " " +
                             text::ToDisplayUtf8(name));
        static_cast<void>(dialog.OnEndLabelEdit(row, name));
      }
      if (draw.Chance(40)) {
        const int kind = draw.Below(static_cast<int>(folders.size()));
        const std::string folder = folders[static_cast<std::size_t>(kind)](draw);
        plan.edits.push_back("row " + std::to_string(row) + " folder#" + std::to_string(kind) + " " +
                             text::ToDisplayUtf8(folder));
        List().ClearSelection();
        List().SetSelected(row, true);
        ui.folders.push_back(folder);
        dialog.ChooseNewFolder();
        List().ClearSelection();
      }
    }

    PlaceUnrelatedFiles(draw, plan);

    static constexpr Operation kWriting[] = {Operation::Change, Operation::LowerAllFolders,
                                             Operation::LowerAllParts, Operation::UpperAllParts,
                                             Operation::RemoveAllFolders};
    plan.operation = kWriting[draw.Below(5)];
    // Mostly the defaults, so that most runs get past the option rules.
    operations::Options& options = ui.controlOptions;
    const auto flip = [&](int& flag, int percent) {
      if (draw.Chance(percent))
        flag = 1 - flag;
    };
    flip(options.swapInputAfterRun, plan.operation == Operation::RemoveAllFolders ? 85 : 40);
    flip(options.applyToSameFolders, 50);
    flip(options.copyMissingFiles, 15);
    flip(options.inputPartOnly, 10);
    flip(options.overwriteAll, 75);
    flip(options.allowReplaceAll, 15);
    std::ostringstream drawn;
    drawn << "operation " << static_cast<int>(plan.operation) << " options " << options.swapInputAfterRun
          << options.applyToSameFolders << options.copyMissingFiles << options.inputPartOnly
          << options.overwriteAll << options.allowReplaceAll;
    plan.edits.push_back(drawn.str());
    return true;
  }

  // Now and then an unrelated part (no components) already lies at a row's new path, as a mistyped
  // name can meet one: the run must refuse it or still resolve.
  void PlaceUnrelatedFiles(Draw& draw, Plan& plan) {
    for (int row = 0; row < List().RowCount(); ++row) {
      const std::string newPath = List().RowPath(row, true);
      if (newPath.empty() || realHost.Stat(newPath) || !draw.Chance(25))
        continue;
      const std::optional<std::string> hostPath = realHost.ToHostPath(newPath);
      const std::string name(text::FileNameOf(newPath));
      if (!hostPath || !realHost.Stat(std::string(text::FolderOf(newPath))))
        continue;
      std::ofstream(std::filesystem::path(std::u8string(hostPath->begin(), hostPath->end())),
                    std::ios::binary)
          << "VELMORA-PART 1\nsaved-as\t" << name << "\nsaves\t0\nend\n";
      plan.edits.push_back("unrelated file at " + text::ToDisplayUtf8(newPath));
    }
  }

  // Where every row is meant to end up, keyed by its old path; lower-cased UTF-8.
  std::map<std::string, std::string> Finals(Operation operation) {
    std::map<std::string, std::string> finals;
    std::string inputFolder;
    for (int row = 0; row < List().RowCount(); ++row) {
      if (text::ToLower(List().RowPath(row, false)) == text::ToLower(State().inputPartPath)) {
        const std::string moved = List().RowPath(row, true);
        inputFolder = FolderOf(moved.empty() ? List().RowPath(row, false) : moved);
      }
    }
    for (int row = 0; row < List().RowCount(); ++row) {
      std::string final = List().RowPath(row, true);
      if (final.empty())
        final = List().RowPath(row, false);
      if (operation == Operation::RemoveAllFolders) {
        const std::string& newName = List().Text(row, kNewPartName);
        final = inputFolder + (newName.empty() ? List().Text(row, kPartName) : newName);
      }
      finals[LowerUtf8(List().RowPath(row, false))] = LowerUtf8(final);
    }
    return finals;
  }

  // The paths (UTF-8) the verification message names, or nullopt when it is not that message.
  static std::optional<std::vector<std::string>> NamedUnresolved(const std::string& message) {
    const std::string head(msg::kRunFinishedWithMissing);
    const std::string tail(msg::kRunFinishedCheckResult);
    if (!message.starts_with(head + "\n") || !message.ends_with(tail))
      return std::nullopt;
    std::vector<std::string> named;
    std::istringstream lines(message.substr(head.size() + 1, message.size() - head.size() - 1 - tail.size()));
    for (std::string line; std::getline(lines, line);)
      named.push_back(LowerUtf8(Cp(line)));
    return named;
  }

  static bool IsRefusal(const std::string& message) {
    return message.ends_with(msg::kTailRunRefused) || message.ends_with("は使用出来ません。") ||
           message.ends_with("変更は出来ません。");
  }

  // What one schedule left: the closing message, and every file with its references (the
  // library's own save records left out, as they count the saves).
  struct Outcome {
    std::string message;
    std::map<std::string, std::string> files;
  };

  std::map<std::string, std::string> References() const {
    std::map<std::string, std::string> files = DriveSnapshot();
    for (auto& [path, bytes] : files) {
      std::string kept;
      std::istringstream lines(bytes);
      for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("saved-as\t") && !line.starts_with("saves\t"))
          kept += line + "\n";
      }
      bytes = std::move(kept);
    }
    return files;
  }

  // Runs one plan under both schedules from the same files, each checked and undone; both must
  // come to the same outcome and the same references in every file. The counts say what happened.
  void RunPlan(std::uint64_t seed, std::map<std::string, int>& outcomes) {
    Draw draw(seed);
    const std::string planFolder = "p" + std::to_string(seed);
    Plan plan;
    ui.controlOptions = {};
    ASSERT_TRUE(Prepare(draw, planFolder, plan));
    std::string drawn;
    for (const std::string& edit : plan.edits)
      drawn += "\n  " + edit;
    SCOPED_TRACE(drawn);
    std::vector<std::pair<std::string, std::string>> edits;
    for (int row = 0; row < List().RowCount(); ++row)
      edits.emplace_back(List().Text(row, kNewPartName), List().Text(row, kNewFolderName));

    Outcome specified;
    RunOnce(plan, outcomes, specified);
    if (HasFatalFailure())
      return;
    // The list as the plan drew it, again.
    ASSERT_TRUE(ChooseInputPart(plan.top));
    ASSERT_EQ(static_cast<std::size_t>(List().RowCount()), edits.size());
    for (int row = 0; row < List().RowCount(); ++row) {
      List().SetText(row, kNewPartName, edits[static_cast<std::size_t>(row)].first);
      List().SetText(row, kNewFolderName, edits[static_cast<std::size_t>(row)].second);
    }
    ui.controlOptions.fastSchedule = 1;
    // More runs side by side than the machine has cores, so that they do overlap.
    setenv("VELMORA_JOBS", "4", 1);
    Outcome fast;
    RunOnce(plan, outcomes, fast);
    unsetenv("VELMORA_JOBS");
    ui.controlOptions.fastSchedule = 0;
    EXPECT_EQ(fast.message, specified.message) << "the fast schedule came to another outcome";
    EXPECT_EQ(fast.files, specified.files) << "the fast schedule left other references";
    std::filesystem::remove_all(drive.Host(planFolder));
  }

  // One run of the plan as the list and options stand: its outcome checked, then undone.
  void RunOnce(const Plan& plan, std::map<std::string, int>& outcomes, Outcome& outcome) {
    SCOPED_TRACE(ui.controlOptions.fastSchedule != 0 ? "fast schedule" : "specified schedule");
    const std::vector<std::string> original = StructurePaths(plan.top);
    const std::map<std::string, std::string> finals = Finals(plan.operation);
    const std::string resultTop = finals.at(LowerUtf8(plan.top));
    const auto before = DriveSnapshot();
    ui.messages.clear();
    Execute(plan.operation);
    ASSERT_FALSE(ui.messages.empty());
    const std::string message = ui.messages.back();
    outcome.message = message;
    EXPECT_EQ(ui.waitCursorDepth, 0);

    bool wrote = true;
    if (IsRefusal(message)) {
      ++outcomes["refused"];
      wrote = false;
      EXPECT_EQ(DriveSnapshot(), before) << message;
      ui.messages.clear();
      ui.answers.push_back(true);
      dialog.UndoLastRun();
      EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(msg::kUndoNothing)});
    } else if (message == msg::kRunFinished) {
      ++outcomes["resolved"];
      std::vector<std::string> intended;
      for (const std::string& path : original)
        intended.push_back(finals.at(path));
      EXPECT_TRUE(SameStructure(StructurePaths(Cp(resultTop)), intended));
      EXPECT_TRUE(StructureResolves(Cp(resultTop)));
      if (ui.controlOptions.swapInputAfterRun != 0) {
        EXPECT_EQ(LowerUtf8(State().inputPartPath), resultTop);
      }
    } else if (const auto named = NamedUnresolved(message)) {
      ++outcomes["named unresolved"];
      std::set<std::string> planned;
      for (const auto& [old, final] : finals)
        planned.insert(final);
      std::vector<std::string> unresolved;
      for (const std::string& path : StructurePaths(Cp(resultTop))) {
        if ((!planned.contains(path) || !realHost.Stat(Cp(path))) &&
            std::find(unresolved.begin(), unresolved.end(), path) == unresolved.end())
          unresolved.push_back(path);
      }
      EXPECT_FALSE(unresolved.empty()) << message;
      EXPECT_EQ(named->size(), std::min<std::size_t>(unresolved.size(), 5)) << message;
      for (const std::string& path : *named)
        EXPECT_NE(std::find(unresolved.begin(), unresolved.end(), path), unresolved.end()) << path;
    } else {
      ++outcomes[message.ends_with(msg::kTailRunBroken) ? "broken off" : "other"];
      ADD_FAILURE() << "run ended with: " << message;
    }
    EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
    outcome.files = References();

    if (wrote) {
      // A run can finish without a write: a row moved into the folder it is in already.
      const bool changed = DriveSnapshot() != before;
      ui.messages.clear();
      ui.answers.push_back(true);
      dialog.UndoLastRun();
      EXPECT_EQ(ui.messages,
                std::vector<std::string>{std::string(changed ? msg::kUndoDone : msg::kUndoNothing)});
      EXPECT_EQ(DriveSnapshot(), before);
    }
  }

  // The input part's folder after the run, as the dispatcher works it out.
  std::string InputFolder() {
    for (int row = 0; row < List().RowCount(); ++row) {
      const std::string old = text::ToLower(List().RowPath(row, false));
      if (old == text::ToLower(State().inputPartPath)) {
        const std::string moved = List().RowPath(row, true);
        return FolderOf(moved.empty() ? old : moved);
      }
    }
    return {};
  }

  // The run's plan, made on the list as it stands, from the listing read once; nullopt when the
  // listing was refused.
  std::optional<std::vector<operations::Action>> PlanOfRun() {
    operations::Context context(State(), ui, probe, cad);
    const std::string inputFolder = InputFolder();
    operations::StructureTree tree;
    if (List().RowCount() >= 2) {
      const std::string tail = msg::kTailRunRefused();
      const Step read = operations::RunOnStructure(
          context, text::ToLower(State().inputPartPath), tail, tail,
          [&](platform::TextStream& listing, const std::string&) {
            if (operations::StructurePass(context, listing, operations::PassMode::Inspect, tail,
                                          inputFolder) == Step::Failed)
              return Step::Failed;
            std::optional<operations::StructureTree> read =
                operations::ReadStructureTree(context, listing, tail);
            if (!read)
              return Step::Failed;
            tree = std::move(*read);
            return Step::Done;
          });
      if (read == Step::Failed)
        return std::nullopt;
    }
    return operations::MakeRunPlan(
        {.state = State(),
         .inputFolder = inputFolder,
         .tree = tree,
         .existsAtStart = [this](std::string_view path) { return realHost.Stat(path).has_value(); }});
  }

  // Each action as the host and the library see it: copies, tool runs by their batch file's text,
  // and the library's calls.
  std::vector<std::string> Rendered(const std::vector<operations::Action>& actions) {
    toolrunner::BatchRunner runner(probe, ui, State().editToolPath, State().pcToolPath);
    const auto tool = [&](const operations::Action& action, std::string_view in, std::string_view out) {
      const std::string base = runner.WorkFileBase(in, action.mode, "");
      return "tool " + toolrunner::BatchFileText(toolrunner::Spelling(action.mode), State().editToolPath, in,
                                                 out, action.befFile, action.aftFile, base);
    };
    std::vector<std::string> rendered;
    for (const operations::Action& action : actions) {
      switch (action.kind) {
        case operations::ActionKind::Copy:
          rendered.push_back("copy " + action.source + " > " + action.path +
                             (action.failIfExists ? " new" : " over"));
          break;
        case operations::ActionKind::Rename:
          rendered.push_back("rename " + action.source + " > " + action.path);
          break;
        case operations::ActionKind::ReferenceEdit:
          rendered.push_back(tool(action, action.path, action.path));
          break;
        case operations::ActionKind::BulkEdit:
          rendered.push_back(tool(action, action.source, action.path));
          break;
        case operations::ActionKind::Resave:
          rendered.insert(rendered.end(), {"ask options", "set options", "open " + action.path, "save"});
          break;
        case operations::ActionKind::CloseAll:
          rendered.emplace_back("close all");
          break;
      }
    }
    return rendered;
  }

  // What the run wrote, in order: the listing and structure runs, which write nothing of the
  // assembly, left out.
  static std::vector<std::string> Writes(const std::vector<std::string>& trace) {
    std::vector<std::string> writes;
    for (const std::string& entry : trace) {
      if ((entry.starts_with("tool ") && entry.find("out_file") == std::string::npos) ||
          entry == "initialize" || entry == "terminate")
        continue;
      writes.push_back(entry);
    }
    return writes;
  }

  // Runs one random plan and compares what it did with its plan; false when it was refused.
  bool ComparePlan(std::uint64_t seed) {
    Draw draw(seed);
    const std::string planFolder = "q" + std::to_string(seed);
    Plan plan;
    ui.controlOptions = {};
    if (!Prepare(draw, planFolder, plan)) {
      ADD_FAILURE() << "no sample";
      return false;
    }
    std::string drawn;
    for (const std::string& edit : plan.edits)
      drawn += "\n  " + edit;
    SCOPED_TRACE(drawn);
    // The plan is made on the dialog's state as the run will see it.
    ui.controlOperation = plan.operation;
    static_cast<void>(ui.ExchangeData(true));
    const std::optional<std::vector<operations::Action>> actions = PlanOfRun();
    std::vector<std::string> trace;
    host.trace = &trace;
    cad.trace = &trace;
    ui.messages.clear();
    Execute(plan.operation);
    host.trace = nullptr;
    cad.trace = nullptr;
    const bool refused = ui.messages.empty() || IsRefusal(ui.messages.back());
    if (refused) {
      EXPECT_EQ(Writes(trace), std::vector<std::string>());
    } else {
      EXPECT_TRUE(actions.has_value());
      if (actions) {
        EXPECT_EQ(Writes(trace), Rendered(*actions)) << ui.messages.back();
      }
      ui.messages.clear();
      ui.answers.push_back(true);
      dialog.UndoLastRun();
    }
    std::filesystem::remove_all(drive.Host(planFolder));
    return !refused;
  }
};

TEST_F(PropertyTest, RandomPlansRefuseResolveOrNameTheUnresolvedAndUndo) {
  const std::uint64_t firstSeed = EnvNumber("VELMORA_PROPERTY_SEED", std::random_device()());
  const std::uint64_t plans = EnvNumber("VELMORA_PROPERTY_PLANS", kDefaultPlans);
  Start();
  std::map<std::string, int> outcomes;
  for (std::uint64_t seed = firstSeed; seed < firstSeed + plans; ++seed) {
    SCOPED_TRACE("replay: VELMORA_PROPERTY_SEED=" + std::to_string(seed) + " VELMORA_PROPERTY_PLANS=1");
    RunPlan(seed, outcomes);
    if (HasFatalFailure() || HasFailure())
      break;
  }
  std::ostringstream counts;
  for (const auto& [outcome, count] : outcomes)
    counts << " " << outcome << " " << count;
  std::cout << "seed " << firstSeed << ", " << plans << " plans:" << counts.str() << "\n";
}

// The plan of a run, made from the listing and the rows before anything is written, is what the
// run then does: the same copies, the same tool runs with the same batch files, the same library
// calls, in the same order.
TEST_F(PropertyTest, ThePlanOfARandomRunIsWhatTheRunDoesInOrder) {
  const std::uint64_t firstSeed = EnvNumber("VELMORA_PROPERTY_SEED", std::random_device()());
  const std::uint64_t plans = EnvNumber("VELMORA_PROPERTY_PLANS", kDefaultPlans) / 3 + 1;
  Start();
  int ran = 0;
  for (std::uint64_t seed = firstSeed; seed < firstSeed + plans; ++seed) {
    SCOPED_TRACE("replay: VELMORA_PROPERTY_SEED=" + std::to_string(seed) + " VELMORA_PROPERTY_PLANS=1");
    ran += ComparePlan(seed) ? 1 : 0;
    if (HasFailure())
      break;
  }
  std::cout << "seed " << firstSeed << ", " << plans << " plans, " << ran << " ran\n";
}

}  // namespace
}  // namespace velmora::app::test
