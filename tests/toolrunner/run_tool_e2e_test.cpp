// RunTool against the real interpreter and the stand-in tools on a temporary drive.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/host.h"
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
    EXPECT_EQ(ui.messages, std::vector<std::string>{AtFile(c.message, "-list", c.extension)});
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
      {Call::Open, ".bat", Messages({"新規に バッチファイル を開くのに失敗しました。"}), {}},
      {Call::StreamWrite, ".bat", Messages({"バッチファイル の書込みエラーが発生しました。"}),
       WorkFiles("-list", {".bat"})},
      {Call::StreamClose, ".bat", Messages({"バッチファイル を閉じるのに失敗しました。"}),
       WorkFiles("-list", {".bat"})},
      {Call::StartBatch, "", Messages({"バッチファイル の実行時にエラーに成りました。"}),
       WorkFiles("-list", {".bat"})},
      {Call::CloseProcess, "", Messages({"バッチファイル のハンドルを閉じるのに失敗しました。"}),
       WorkFiles("-list", {".bat", ".log", ".txt"})},
      {Call::Remove, ".bat", Messages({"バッチファイル の削除に失敗しました。"}),
       WorkFiles("-list", {".bat", ".log", ".txt"})},
      {Call::Remove, ".log", Messages({"ログファイル の削除に失敗しました。"}),
       WorkFiles("-list", {".log", ".txt"})},
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

}  // namespace
}  // namespace velmora::toolrunner
