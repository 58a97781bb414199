// RunTool against the real interpreter and the stand-in tools on a temporary drive.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host.h"
#include "resources/messages/runner.h"
#include "support/drive_fixture.h"
#include "support/fault_host.h"
#include "text/codec.h"
#include "tool_modes.h"
#include "toolrunner/batch_runner.h"
#include "toolrunner/listing_reader.h"

namespace velmora::toolrunner {
namespace {

using testing::Call;

const std::string kTail = "実行は中断しました。";

// Sets an environment variable for the tools started during one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() { unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
};

class RunToolE2e : public testing::DriveFixture {
 protected:
  RunToolE2e() : editTool(drive.EditTool()), pcTool(drive.PcTool()), runner(host, ui, editTool, pcTool) {
    input = drive.MakeAssembly("asm", "--parts 4");
  }

  bool Run(std::string_view mode, std::string_view part, std::string_view out = {}) {
    return runner.RunTool({.mode = ModeSpelt(mode), .inFile = part, .outFile = out}, text::Cp932(kTail)) ==
           Step::Failed;
  }
  // The name of a work file of the input part in TEMP, as TempFiles() lists it.
  std::string Work(std::string_view mode, std::string_view extension) const {
    const std::string base = runner.WorkFileBase(input, ModeSpelt(mode), "");
    return text::ToDisplayUtf8(base.substr(base.rfind('\\') + 1)) + std::string(extension);
  }
  std::vector<std::string> WorkFiles(std::string_view mode, std::vector<std::string> extensions) const {
    for (std::string& e : extensions)
      e = Work(mode, e);
    return extensions;
  }
  // A message naming a work file of the input part, then the lines (each ending in "\n") shown from it.
  std::string AtFile(std::string_view first, std::string_view mode, std::string_view extension,
                     std::string_view lines = {}) const {
    return std::string(first) + "\n" + text::ToDisplayUtf8(runner.WorkFileBase(input, ModeSpelt(mode), "")) +
           std::string(extension) + "\n" + std::string(lines) + "　" + kTail;
  }
  // A work file in the way, and what to do about it.
  std::string InTheWay(std::string_view first, std::string_view extension) const {
    return AtFile(first, "-list", extension, std::string(msg::kWorkFileInTheWay) + "\n");
  }
  std::vector<std::string> Messages(std::vector<std::string> texts) const {
    for (std::string& t : texts)
      t += "\n　" + kTail;
    return texts;
  }

  std::string editTool;
  std::string pcTool;
  std::string input;
  BatchRunner runner;
};

TEST_F(RunToolE2e, ListRunLeavesAReadableListing) {
  ASSERT_FALSE(input.empty());
  ASSERT_FALSE(Run("-list", input)) << ui.Last();
  EXPECT_EQ(drive.TempFiles(), WorkFiles("-list", {".txt"}));
  const std::string base = runner.WorkFileBase(input, ToolMode::List, "");
  auto stream = realHost.Open(base + ".txt", platform::OpenMode::ReadText);
  ASSERT_TRUE(stream);
  ListingReader reader(ui);
  std::vector<std::string> paths;
  while (!stream->Eof()) {
    const ListingReader::Read read = reader.ReadListingLine(*stream, text::Cp932(kTail));
    ASSERT_NE(read, ListingReader::Read::Failed) << ui.Last();
    if (read == ListingReader::Read::End)
      break;
    paths.push_back(reader.Folder() + reader.Name());
  }
  ASSERT_FALSE(paths.empty());
  EXPECT_EQ(text::ToDisplayUtf8(paths.front()), text::ToDisplayUtf8(input));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RunToolE2e, ChangingRunCleansUpAfterItself) {
  ASSERT_FALSE(Run("-lower_name", input, input)) << ui.Last();
  EXPECT_TRUE(drive.TempFiles().empty());
  ASSERT_FALSE(Run("ugpc", input)) << ui.Last();
  EXPECT_EQ(drive.TempFiles(), WorkFiles("ugpc", {".txt"}));
}

// A "%" in a path reaches the tool unexpanded, in the part's path and in the work files' names.
TEST_F(RunToolE2e, PercentSignsInPathsAreNotExpanded) {
  const std::string part = drive.MakeAssembly("p%TEMP%q", "--parts 2");
  ASSERT_NE(part.find("%TEMP%"), std::string::npos);
  ASSERT_FALSE(Run("-list", part)) << ui.Last();
  const std::string name = text::ToDisplayUtf8(part.substr(part.rfind('\\') + 1));
  drive.WriteFile("x%TEMP%.prt", drive.ReadFile("p%TEMP%q/" + name));
  ASSERT_FALSE(Run("-remove_dirs", drive.Win("x%TEMP%.prt"), drive.Win("x%TEMP%.prt"))) << ui.Last();
  EXPECT_EQ(drive.TempFiles(), WorkFiles("-list", {".txt"}));
}

TEST_F(RunToolE2e, LeftoverWorkFilesBlockTheNextRun) {
  struct Case {
    const char* extension;
    const char* message;
  };
  const Case cases[] = {
      {".txt", "テキストファイル が既に有ります。"},
      {".log", "ログファイル が既に有ります。"},
      {".bat", "バッチファイル が既に有ります。"},
  };
  for (const Case& c : cases) {
    ui.messages.clear();
    const std::string file = "temp/" + Work("-list", c.extension);
    drive.WriteFile(file, "old");
    EXPECT_TRUE(Run("-list", input));
    EXPECT_EQ(ui.messages, std::vector<std::string>{InTheWay(c.message, c.extension)});
    EXPECT_EQ(drive.ReadFile(file), "old");
    EXPECT_EQ(drive.TempFiles().size(), 1u);
    std::remove(drive.Host(file).c_str());
  }
}

TEST_F(RunToolE2e, TempUnsetStopsBeforeAnyFile) {
  const ScopedEnv temp("TEMP", nullptr);
  EXPECT_TRUE(Run("-list", input));
  EXPECT_EQ(ui.messages, Messages({"環境変数に TEMP が設定されていません。"}));
  EXPECT_EQ(host.Count(Call::Open), 0);
  EXPECT_EQ(host.Count(Call::StartBatch), 0);
}

// Said before any work file is tried, with the folder that is not there.
TEST_F(RunToolE2e, TempNamingNoFolderStopsBeforeAnyFile) {
  for (const char* temp : {"D:\\no\\such", "D:\\temp\\a.txt"}) {
    ui.messages.clear();
    drive.WriteFile("temp/a.txt", "not a folder");
    const ScopedEnv scoped("TEMP", temp);
    EXPECT_TRUE(Run("-list", input));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"環境変数 TEMP のフォルダが見つかりません。\n" +
                                                    std::string(temp) + "\n　" + kTail});
    EXPECT_EQ(host.Count(Call::Open), 0);
    EXPECT_EQ(host.Count(Call::StartBatch), 0);
  }
}

// Nothing is put between TEMP and the part's name, so a trailing separator doubles; Windows and the
// host both take that as one.
TEST_F(RunToolE2e, TempWithTrailingSeparator) {
  const ScopedEnv temp("TEMP", "D:\\temp\\");
  EXPECT_TRUE(runner.WorkFileBase(input, ToolMode::List, "").starts_with("D:\\temp\\\\"));
  ASSERT_FALSE(Run("-list", input)) << ui.Last();
  EXPECT_EQ(drive.TempFiles().size(), 1u);
}

TEST_F(RunToolE2e, ToolOutputJudgedByMode) {
  struct Case {
    const char* variable;
    const char* option;
    const char* mode;
    std::string message;  // empty: success
    std::vector<std::string> left;
  };
  const std::string log = "エラーの為と思われる ログファイル が作成されています。";
  const std::vector<Case> cases = {
      {"VELMORA_CAD_FAIL", "-list", "-list",
       AtFile(log, "-list", ".log", "ug_edit_part_names: injected failure for -list\n"),
       WorkFiles("-list", {".log", ".txt"})},
      {"VELMORA_CAD_FAIL", "ugpc", "ugpc", AtFile(log, "ugpc", ".log", "ugpc: injected failure for ugpc\n"),
       WorkFiles("ugpc", {".log", ".txt"})},
      {"VELMORA_CAD_FAIL", "-upper_name", "-upper_name",
       AtFile(log, "-upper_name", ".log", "ug_edit_part_names: injected failure for -upper_name\n"),
       WorkFiles("-upper_name", {".log", ".txt"})},
      {"VELMORA_CAD_STDOUT", "-lower_dir", "-lower_dir",
       AtFile("エラーの為か テキストファイル が作成されています。", "-lower_dir", ".txt",
              "ug_edit_part_names: injected output for -lower_dir\n"),
       WorkFiles("-lower_dir", {".txt"})},
      // Standard output is what the listing modes are for.
      {"VELMORA_CAD_STDOUT", "-list", "-list", "", WorkFiles("-list", {".txt"})},
  };
  for (const Case& c : cases) {
    ui.messages.clear();
    for (const std::string& name : drive.TempFiles())
      std::remove(drive.Host("temp/" + name).c_str());
    const ScopedEnv injected(c.variable, c.option);
    EXPECT_EQ(Run(c.mode, input, input), !c.message.empty()) << c.mode;
    EXPECT_EQ(ui.messages,
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    EXPECT_EQ(drive.TempFiles(), c.left) << c.mode;
  }
}

TEST_F(RunToolE2e, HostFailuresAndWhatTheyLeave) {
  struct Case {
    Call call;
    const char* pathPart;
    std::vector<std::string> messages;
    std::vector<std::string> left;
  };
  const std::vector<Case> cases = {
      // Nothing a tool wrote as its error is there to read: the run takes its files with it.
      {Call::Open, ".bat", Messages({"新規に バッチファイル を開くのに失敗しました。"}), {}},
      {Call::StreamWrite, ".bat", Messages({"バッチファイル の書込みエラーが発生しました。"}), {}},
      {Call::StreamClose, ".bat", Messages({"バッチファイル を閉じるのに失敗しました。"}), {}},
      {Call::StartBatch, "", Messages({"バッチファイル の実行時にエラーに成りました。"}), {}},
      {Call::CloseProcess, "", Messages({"バッチファイル のハンドルを閉じるのに失敗しました。"}), {}},
      {Call::Remove, ".bat", Messages({"バッチファイル の削除に失敗しました。"}), {}},
      {Call::Remove, ".log", Messages({"ログファイル の削除に失敗しました。"}), {}},
  };
  for (const Case& c : cases) {
    ui.messages.clear();
    for (const std::string& name : drive.TempFiles())
      std::remove(drive.Host("temp/" + name).c_str());
    host.Clear();
    host.Fail(c.call, c.pathPart);
    EXPECT_TRUE(Run("-list", input));
    EXPECT_EQ(ui.messages, c.messages);
    EXPECT_EQ(drive.TempFiles(), c.left) << c.messages.front();
  }
  // The last change mode step: deleting the empty output.
  host.Clear();
  host.Fail(Call::Remove, ".txt");
  ui.messages.clear();
  EXPECT_TRUE(Run("-lower_dir", input, input));
  EXPECT_EQ(ui.messages, Messages({"テキストファイル の削除に失敗しました。"}));
}

// The code of a crash as the platform gives it.
std::string CrashedWith() {
#ifdef _WIN32
  return " が例外コード 0xC0000005 で異常終了しました。";
#else
  return " がシグナル 11 で異常終了しました。";
#endif
}

// A crash fails the run even when what the tool wrote looks whole (a listing, an empty error
// stream), and the run leaves nothing in TEMP.
TEST_F(RunToolE2e, CrashedToolFailsTheRunWhateverItWrote) {
  for (const char* mode : {"-list", "ugpc", "-upper_name"}) {
    ui.messages.clear();
    const ScopedEnv crash("VELMORA_CAD_CRASH", mode);
    EXPECT_TRUE(Run(mode, input, input)) << mode;
    const std::string& tool = std::string_view(mode) == "ugpc" ? pcTool : editTool;
    EXPECT_EQ(ui.messages, Messages({text::ToDisplayUtf8(tool) + CrashedWith()})) << mode;
    EXPECT_TRUE(drive.TempFiles().empty()) << mode;
  }
  // The next run is not refused for anything the crash left.
  ui.messages.clear();
  EXPECT_FALSE(Run("-list", input)) << ui.Last();
}

#ifndef _WIN32
// A tool that ends with a code but writes nothing did what it could: that is no failure.
TEST_F(RunToolE2e, PlainNonZeroExitWithEmptyOutputIsASuccess) {
  ASSERT_EQ(access("/bin/false", X_OK), 0);
  editTool = "Z:\\bin\\false";
  EXPECT_FALSE(Run("-lower_dir", input, input)) << ui.Last();
  EXPECT_TRUE(ui.messages.empty());
}
#endif

std::string StillRunning(const std::string& tool) {
  return text::ToDisplayUtf8(tool) + " が終了していません。\n　ツールを終了させて実行を中止しますか？";
}

// 中止 during a tool run that does not end: asked once, Yes ends the tool and stops the run.
TEST_F(RunToolE2e, HungToolIsEndedWhenTheUserSaysSo) {
  const ScopedEnv hang("VELMORA_CAD_HANG", "-lower_dir");
  ui.stopRequested = true;
  ui.answers = {true};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Run("-lower_dir", input, input));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(ui.questions, std::vector<std::string>{StillRunning(editTool)});
  EXPECT_EQ(ui.messages, Messages({"中止しました。"}));
  EXPECT_TRUE(runner.ToolEnded());
  EXPECT_TRUE(drive.TempFiles().empty());
  // Nothing of it is left in the way of the next run.
  ui.messages.clear();
  ui.stopRequested = false;
  EXPECT_FALSE(Run("-list", input)) << ui.Last();
  EXPECT_FALSE(runner.ToolEnded());
}

// No lets a hung tool go on, but it is asked about again later: the user is never left waiting
// for a tool that never ends.
TEST_F(RunToolE2e, HungToolIsAskedAboutAgainAfterANo) {
  const ScopedEnv hang("VELMORA_CAD_HANG", "-lower_dir");
  ui.stopRequested = true;
  ui.answers = {false, true};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Run("-lower_dir", input, input));
  EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::seconds(12));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{StillRunning(editTool), StillRunning(editTool)}));
  EXPECT_EQ(ui.messages, Messages({"中止しました。"}));
  EXPECT_TRUE(drive.TempFiles().empty());
}

// A tool that ends by itself is never asked about before a few seconds, and No lets it finish.
TEST_F(RunToolE2e, SlowToolThatIsLeftToFinish) {
  ui.stopRequested = true;
  {
    const ScopedEnv delay("VELMORA_CAD_DELAY_MS", "500");
    EXPECT_FALSE(Run("-lower_dir", input, input)) << ui.Last();
    EXPECT_TRUE(ui.questions.empty());
  }
  const ScopedEnv delay("VELMORA_CAD_DELAY_MS", "3800");
  ui.answers = {false};
  EXPECT_FALSE(Run("-lower_dir", input, input)) << ui.Last();
  EXPECT_EQ(ui.questions, std::vector<std::string>{StillRunning(editTool)});
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(runner.ToolEnded());
}

// Names that hold what the command interpreter would take for its own (chaining, grouping,
// escaping, expansion) reach the tool as they are, and nothing else runs: the tool finds the part
// at the path it was given and writes the copy at the other. "|" can be in no Windows name.
TEST_F(RunToolE2e, NamesAreNeverTakenAsCommands) {
#ifdef _WIN32
  const std::string odd = "a&md X&b^c!d(e)@f";  // Wine expands a "%" again (Windows does not)
#else
  const std::string odd = "a&md X&b^c!d(e)@f%OS%%TEMP%";
#endif
  const std::string name = text::ToDisplayUtf8(input.substr(input.rfind('\\') + 1));
  drive.WriteFile(odd + " dir/" + odd + ".prt", drive.ReadFile("asm/" + name));
  const std::string part = drive.Win(odd + " dir/" + odd + ".prt");
  const std::string copy = drive.Win(odd + " dir/" + odd + " copy.prt");

  ASSERT_FALSE(Run("-list", part)) << ui.Last();
  const std::string base = runner.WorkFileBase(part, ToolMode::List, "");
  const std::unique_ptr<platform::TextStream> listing =
      realHost.Open(base + ".txt", platform::OpenMode::ReadText);
  ASSERT_TRUE(listing);
  ListingReader reader(ui);
  ASSERT_EQ(reader.ReadListingLine(*listing, ""), ListingReader::Read::Entry) << ui.Last();
  EXPECT_EQ(text::ToDisplayUtf8(reader.Folder() + reader.Name()), text::ToDisplayUtf8(part));
  ASSERT_TRUE(listing->Close());
  ASSERT_TRUE(realHost.Remove(base + ".txt"));

  ASSERT_FALSE(Run("-remove_dirs", part, copy)) << ui.Last();
  EXPECT_TRUE(drive.Exists(odd + " dir/" + odd + " copy.prt"));
  EXPECT_TRUE(drive.TempFiles().empty());
  for (const std::string& folder : {std::string(), std::string("temp/"), odd + " dir/"})
    EXPECT_FALSE(drive.Exists(folder + "X")) << folder;
}

}  // namespace
}  // namespace velmora::toolrunner
