// The built velmora-cli on generated assemblies: each command, each exit status, and the same runs
// through the dialog with its scripted window, whose messages and outcome it must repeat.

#include <gtest/gtest.h>
#include <stdlib.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "dialog_fixture.h"
#include "partlist/part_list.h"
#include "resources/messages/cli.h"
#include "resources/messages/journal.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "resources/version.h"
#include "support/platform_support.h"

namespace velmora::app::test {
namespace {

using operations::Operation;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

struct PlanRow {
  std::string part;  // UTF-8
  std::string newName;
  std::string newFolder;
};

class CliTest : public DialogFixture {
 protected:
  static constexpr const char* kAssembly = "--parts 12 --seed 11";

  void SetUp() override {
    top = drive.MakeAssembly("gen", kAssembly);
    // In TEMP, which the snapshots of the drive leave out.
    std::filesystem::create_directories(drive.Host(kOutputs));
  }

  // velmora-cli with the words given (UTF-8), no terminal anywhere; what it writes in UTF-8 unless
  // cp932 is asked for. On Linux the locale decides. On Windows it has no console and so writes
  // the code page, with CR LF as Windows programs do; both are undone here but for cp932.
  CliResult Cli(const std::vector<std::string>& words, std::vector<std::string> environment = {},
                bool cp932 = false) {
#ifndef _WIN32
    environment.push_back(cp932 ? "LC_ALL=C" : "LC_ALL=C.UTF-8");
#endif
    CliResult result;
    result.status =
        velmora::testing::RunProgram(VELMORA_CLI, words, environment, Output("out"), Output("err"));
    result.out = Written("out");
    result.err = Written("err");
#ifdef _WIN32
    for (std::string* stream : {&result.out, &result.err}) {
      for (std::size_t at = stream->find("\r\n"); at != std::string::npos; at = stream->find("\r\n", at))
        stream->erase(at, 1);
      if (!cp932)
        *stream = Utf8(*stream);
    }
#endif
    return result;
  }

  // The plan as a spreadsheet would give it back: the four columns it matches and sets, UTF-8.
  std::string WritePlan(const std::vector<PlanRow>& rows) {
    std::string csv = "パート名,フォルダ名,変更後パート名,変更後フォルダ名\n";
    for (const PlanRow& row : rows) {
      const int index = RowOf(row.part);
      EXPECT_GE(index, 0) << row.part;
      csv += row.part + "," + Cell(index, partlist::kFolderName) + "," + row.newName + "," + row.newFolder +
             "\n";
    }
    drive.WriteFile("plans/plan.csv", csv);
    return drive.Host("plans/plan.csv");
  }

  std::string Utf8(std::string_view cp932) const {
    return text::ToDisplayUtf8(cp932);
  }

  // A file for what velmora-cli writes, as a host path, and what it holds.
  std::string Output(std::string_view name) const {
    return drive.Host(std::string(kOutputs) + "/" + std::string(name));
  }
  std::string Written(std::string_view name) const {
    return drive.ReadFile(std::string(kOutputs) + "/" + std::string(name));
  }

  static constexpr const char* kOutputs = "temp/cli";
  std::string top;
};

// --- One run through the window and through the command line --------------------------------------

struct Case {
  const char* name;
  const char* operation;
  std::vector<std::string> flags;
  std::vector<PlanRow> plan;
  const char* failingCall;  // VELMORA_UF_FAIL for both runs, or ""
  RunOutcome outcome;       // the dialog's; None when the plan was refused
  int status;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"RenameLeaf",
       "change",
       {"--overwrite-all"},
       {{"表示板_00011.prt", "表示板_新.prt", ""}},
       "",
       RunOutcome::Finished,
       0},
      {"InputPartNotToBeOverwritten",
       "change",
       {},
       {{"表示板_00011.prt", "表示板_新.prt", ""}},
       "",
       RunOutcome::Refused,
       1},
      {"RenameLeafFast",
       "change",
       {"--overwrite-all", "--fast", "--jobs", "2"},
       {{"表示板_00011.prt", "表示板_新.prt", ""}},
       "",
       RunOutcome::Finished,
       0},
      {"LowerFolders", "lower-folders", {"--overwrite-all"}, {}, "", RunOutcome::Finished, 0},
      {"UpperPartsFast", "upper-parts", {"--overwrite-all", "--fast"}, {}, "", RunOutcome::Finished, 0},
      {"LowerParts", "lower-parts", {"--overwrite-all"}, {}, "", RunOutcome::Finished, 0},
      {"UpperParts", "upper-parts", {"--overwrite-all"}, {}, "", RunOutcome::Finished, 0},
      {"RemoveFolders", "remove-folders", {"--no-swap", "--overwrite-all"}, {}, "", RunOutcome::Finished, 0},
      {"RemoveFoldersWithSwap", "remove-folders", {}, {}, "", RunOutcome::Refused, 1},
      {"Clash",
       "change",
       {},
       {{"表示板_00001.prt", "同じ.prt", ""}, {"表示板_00011.prt", "同じ.prt", ""}},
       "",
       RunOutcome::Refused,
       1},
      {"RefusedName", "change", {}, {{"表示板_00011.prt", "a?b.prt", ""}}, "", RunOutcome::None, 1},
      {"NotCopied",
       "change",
       {"--no-copy-missing", "--overwrite-all"},
       {{"表示板_00011.prt", "表示板_新.prt", ""}},
       "",
       RunOutcome::FinishedWithFaults,
       3},
      {"SaveFails",
       "change",
       {"--overwrite-all"},
       {{"表示板_00011.prt", "表示板_新.prt", ""}},
       "UF_PART_save",
       RunOutcome::Broken,
       2},
  };
  return cases;
}

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class SameRunTest : public CliTest, public ::testing::WithParamInterface<Case> {};

TEST_P(SameRunTest, CommandLineShowsWhatTheWindowShowsAndEndsAsItDid) {
  const Case& c = GetParam();
  std::vector<std::string> words = {"run", "--operation", c.operation, drive.Host("gen/TopAssy.prt")};
  words.insert(words.end(), c.flags.begin(), c.flags.end());
  const cli::Parsed parsed = cli::ParseArguments(words);
  ASSERT_TRUE(parsed.arguments) << parsed.error;

  Start();
  ASSERT_TRUE(ChooseInputPart(top));
  bool imported = true;
  if (!c.plan.empty()) {
    const std::string plan = WritePlan(c.plan);
    words.insert(words.end(), {"--plan", plan});
    ui.files.push_back(realHost.ToWindowsPath(plan).path);
    imported = dialog.ImportPlanCsv();
  }
  if (imported) {
    ui.controlOptions = parsed.arguments->options;
    if (*c.failingCall != '\0')
      setenv("VELMORA_UF_FAIL", c.failingCall, 1);
    Execute(parsed.arguments->operation);
    unsetenv("VELMORA_UF_FAIL");
  }
  std::string shown;
  for (const std::string& message : ui.messages)
    shown += message + "\n";
  EXPECT_EQ(imported ? dialog.LastOutcome() : RunOutcome::None, c.outcome) << shown;

  // The same assembly again, and no journal of the window's run to meet.
  std::filesystem::remove_all(drive.Host("gen"));
  std::filesystem::remove_all(drive.Host("temp/velmora-journal"));
  ASSERT_EQ(drive.MakeAssembly("gen", kAssembly), top);
  std::vector<std::string> environment;
  if (*c.failingCall != '\0')
    environment.push_back(std::string("VELMORA_UF_FAIL=") + c.failingCall);
  const CliResult result = Cli(words, environment);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.err, shown);
  EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(Runs, SameRunTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

// --- The commands on their own ---------------------------------------------------------------------

TEST_F(CliTest, ListPrintsTheTenColumnsForEitherFormOfThePath) {
  const CliResult host = Cli({"list", drive.Host("gen/TopAssy.prt")});
  ASSERT_EQ(host.status, 0) << host.err;
  EXPECT_EQ(host.err, "");
  EXPECT_TRUE(
      host.out.starts_with("変更後パート名,パート名,フォルダ名,変更後フォルダ名,編集,前,後,重複,親,No\n"))
      << host.out;
  EXPECT_EQ(std::count(host.out.begin(), host.out.end(), '\n'), 13);
  EXPECT_NE(host.out.find(",TopAssy.prt," + Utf8(drive.Win("gen\\")) + ","), std::string::npos) << host.out;
  const CliResult windows = Cli({"list", Utf8(top)});
  EXPECT_EQ(windows.status, 0) << windows.err;
  EXPECT_EQ(windows.out, host.out);

  // Names beyond ASCII in the host's form (on Windows: with "/").
  const CliResult part = Cli({"list", drive.Host("gen/部品表/ソケット_00002.PRT")});
  EXPECT_EQ(part.status, 0) << part.err;
  EXPECT_NE(part.out.find(",ソケット_00002.PRT," + Utf8(drive.Win("gen\\部品表\\")) + ","), std::string::npos)
      << part.out;
}

TEST_F(CliTest, InspectPrintsTheMarksOfThePlan) {
  Start();
  ASSERT_TRUE(ChooseInputPart(top));
  const std::string plan = WritePlan({{"表示板_00011.prt", "表示板_新.prt", ""}});
  const auto before = DriveSnapshot();
  const CliResult result = Cli({"inspect", drive.Host("gen/TopAssy.prt"), "--plan", plan});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("表示板_新.prt,表示板_00011.prt,"), std::string::npos) << result.out;
  EXPECT_TRUE(result.err.ends_with(std::string(msg::kInspectCompleted) + "\n")) << result.err;
  EXPECT_EQ(DriveSnapshot(), before);
}

TEST_F(CliTest, InspectThatCannotReadTheStructureIsRefused) {
  const CliResult result = Cli({"inspect", drive.Host("gen/TopAssy.prt")}, {"VELMORA_CAD_FAIL=ugpc"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.err.ends_with(std::string(msg::kTailInspectNotDone) + "\n")) << result.err;
}

TEST_F(CliTest, UndoAsksOnATerminalOnlyAndTakesTheRunBack) {
  Start();
  ASSERT_TRUE(ChooseInputPart(top));
  const std::string plan = WritePlan({{"表示板_00011.prt", "表示板_新.prt", ""}});
  const auto before = DriveSnapshot();
  const std::string log = Output("run.csv");
  ASSERT_EQ(Cli({"run", "--operation", "change", drive.Host("gen/TopAssy.prt"), "--plan", plan, "--log", log,
                 "--overwrite-all"})
                .status,
            0);
  EXPECT_TRUE(drive.Exists("gen/表示板_新.prt"));
  const std::string folder = Utf8(drive.Win("gen\\"));
  // The copy, its parent edited to name it, and each written file re-saved.
  EXPECT_EQ(Written("run.csv"), "action,path,source,result\ncopied," + folder + "表示板_新.prt," + folder +
                                    "表示板_00011.prt,done\nre-saved," + folder +
                                    "表示板_新.prt,,done\nedited," + folder +
                                    "アーム_00004.Prt,,done\nre-saved," + folder +
                                    "アーム_00004.Prt,,done\nre-saved," + folder + "TopAssy.prt,,done\n");

  const CliResult unasked = Cli({"undo"});
  EXPECT_EQ(unasked.status, 1);
  EXPECT_TRUE(unasked.err.ends_with(std::string(msg::kCliNoTerminalToAsk) + "\n")) << unasked.err;
  EXPECT_TRUE(drive.Exists("gen/表示板_新.prt"));

  const CliResult undone = Cli({"undo", "--yes"});
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_TRUE(undone.err.ends_with(std::string(msg::kUndoDone) + "\n")) << undone.err;
  EXPECT_EQ(DriveSnapshot(), before);
  const CliResult nothing = Cli({"undo", "--yes"});
  EXPECT_EQ(nothing.status, 1);
  EXPECT_EQ(nothing.err, std::string(msg::kUndoNothing) + "\n");
}

#ifndef _WIN32
std::string Quoted(std::string_view word) {
  std::string quoted = "'";
  for (const char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Under a terminal (script(1) gives one): the progress overwrites one line, and undo's question
// takes the answer typed.
TEST_F(CliTest, OnATerminalTheProgressShowsAndUndoAsks) {
  if (std::system("command -v script >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no script(1) to give a terminal";
  const auto before = DriveSnapshot();
  const auto onTerminal = [&](const std::string& words, const std::string& typed) {
    const std::string command = "printf " + Quoted(typed) + " | script -qec " +
                                Quoted("env LC_ALL=C.UTF-8 " + Quoted(VELMORA_CLI) + " " + words) +
                                " /dev/null >" + Quoted(Output("tty"));
    const int raw = std::system(command.c_str());
    return std::make_pair(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Written("tty"));
  };
  const auto [ran, progress] =
      onTerminal("run --operation lower-parts --overwrite-all " + Quoted(drive.Host("gen/TopAssy.prt")), "");
  EXPECT_EQ(ran, 0) << progress;
  EXPECT_NE(progress.find("1 / 12 TopAssy.prt\r\x1b[K"), std::string::npos) << progress;
  EXPECT_NE(progress.find(std::string(msg::kRunFinished)), std::string::npos) << progress;
  const auto [undone, asked] = onTerminal("undo", "y\n");
  EXPECT_EQ(undone, 0) << asked;
  EXPECT_NE(asked.find(std::string(msg::kCliAnswerPrompt)), std::string::npos) << asked;
  EXPECT_EQ(DriveSnapshot(), before);
}
#endif

TEST_F(CliTest, MessagesAreCp932OutsideAUtf8Locale) {
  const CliResult result = Cli({"list", "D:\\gen\\none.prt"}, {}, true);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, msg::kCliNoSuchFile("D:\\gen\\none.prt") + "\n");
}

TEST_F(CliTest, BadArgumentsShowTheUsage) {
  const CliResult result = Cli({"run", drive.Host("gen/TopAssy.prt")});
  EXPECT_EQ(result.status, 64);
  EXPECT_NE(result.err.find(std::string(msg::kCliUsage)), std::string::npos) << result.err;
  const CliResult version = Cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "velmora-cli " + std::string(msg::kVersion) + "\n");
  const CliResult help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("exit status"), std::string::npos);
}

}  // namespace
}  // namespace velmora::app::test
