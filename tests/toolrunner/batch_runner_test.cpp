#include "toolrunner/batch_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/forwarding_host.h"
#include "resources/messages/runner.h"
#include "resources/messages/tails.h"
#include "support/fault_host.h"
#include "support/memory_host.h"
#include "support/scripted_ui.h"
#include "text/codec.h"
#include "tool_modes.h"

namespace velmora::toolrunner {
namespace {

using testing::Call;

const std::string kTail = "リストを作成出来ません。";
const std::string kEdit = "C:\\tools\\ug_edit_part_names.exe";
const std::string kPc = "C:\\tools\\ugpc.exe";
const std::string kPart = "D:\\work\\top.prt";

std::vector<std::string> Keys(const testing::MemoryHost::Files& files) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : files)
    keys.push_back(key);
  return keys;
}

TEST(BatchFileText, EveryModeByteForByte) {
  struct Case {
    const char* mode;
    const char* expected;
  };
  const Case cases[] = {
      {"-list",
       "@echo on\nsetlocal\n"
       "set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\nset in_file=\"D:\\work\\top.prt\"\n"
       "set txt_file=\"C:\\Temp\\top-list.txt\"\nset log_file=\"C:\\Temp\\top-list.log\"\n"
       "%exe_file% %in_file% -list 1>%txt_file% 2>%log_file%\nendlocal\nexit\n"},
      {"ugpc",
       "@echo on\nsetlocal\n"
       "set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\nset in_file=\"D:\\work\\top.prt\"\n"
       "set txt_file=\"C:\\Temp\\top-list.txt\"\nset log_file=\"C:\\Temp\\top-list.log\"\n"
       "%exe_file% -a -s1 %in_file% 1>%txt_file% 2>%log_file%\nendlocal\nexit\n"},
      {"-change_name",
       "@echo on\nsetlocal\n"
       "set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\nset in_file=\"D:\\work\\top.prt\"\n"
       "set out_file=\"D:\\out.prt\"\nset bef_file=\"a.prt\"\nset aft_file=\"b.prt\"\n"
       "set txt_file=\"C:\\Temp\\top-list.txt\"\nset log_file=\"C:\\Temp\\top-list.log\"\n"
       "%exe_file% %in_file% -o %out_file% -change_name %bef_file% %aft_file%  1>%txt_file% 2>%log_file%\n"
       "endlocal\nexit\n"},
      {"-change_comp_dir",
       "@echo on\nsetlocal\n"
       "set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\nset in_file=\"D:\\work\\top.prt\"\n"
       "set out_file=\"D:\\out.prt\"\nset bef_file=\"a.prt\"\nset aft_file=\"b.prt\"\n"
       "set txt_file=\"C:\\Temp\\top-list.txt\"\nset log_file=\"C:\\Temp\\top-list.log\"\n"
       "%exe_file% %in_file% -o %out_file% -change_comp_dir %bef_file% %aft_file%  1>%txt_file% "
       "2>%log_file%\nendlocal\nexit\n"},
      // Mode strings are exact: anything else is a plain option after -o.
      {"-Change_Name",
       "@echo on\nsetlocal\n"
       "set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\nset in_file=\"D:\\work\\top.prt\"\n"
       "set out_file=\"D:\\out.prt\"\n"
       "set txt_file=\"C:\\Temp\\top-list.txt\"\nset log_file=\"C:\\Temp\\top-list.log\"\n"
       "%exe_file% %in_file% -o %out_file% -Change_Name 1>%txt_file% 2>%log_file%\nendlocal\nexit\n"},
      {"-lower_dir",
       "@echo on\nsetlocal\n"
       "set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\nset in_file=\"D:\\work\\top.prt\"\n"
       "set out_file=\"D:\\out.prt\"\n"
       "set txt_file=\"C:\\Temp\\top-list.txt\"\nset log_file=\"C:\\Temp\\top-list.log\"\n"
       "%exe_file% %in_file% -o %out_file% -lower_dir 1>%txt_file% 2>%log_file%\nendlocal\nexit\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BatchFileText(c.mode, kEdit, kPart, "D:\\out.prt", "a.prt", "b.prt", "C:\\Temp\\top-list"),
              c.expected)
        << c.mode;
  }
}

TEST(BatchFileText, DoublesPercentSignsInPaths) {
  const std::string text = BatchFileText("-change_name", "C:\\100%\\e.exe", "D:\\%in_file%\\a.prt",
                                         "D:\\%x.prt", "%a.prt", "b%.prt", "C:\\T%EMP%\\a-change_name");
  EXPECT_NE(text.find("set exe_file=\"C:\\100%%\\e.exe\"\n"), std::string::npos);
  EXPECT_NE(text.find("set in_file=\"D:\\%%in_file%%\\a.prt\"\n"), std::string::npos);
  EXPECT_NE(text.find("set out_file=\"D:\\%%x.prt\"\n"), std::string::npos);
  EXPECT_NE(text.find("set bef_file=\"%%a.prt\"\n"), std::string::npos);
  EXPECT_NE(text.find("set aft_file=\"b%%.prt\"\n"), std::string::npos);
  EXPECT_NE(text.find("set txt_file=\"C:\\T%%EMP%%\\a-change_name.txt\"\n"), std::string::npos);
}

class RunnerTest : public ::testing::Test {
 protected:
  RunnerTest() : faults(memory), runner(faults, ui, editTool, pcTool) {
    memory.env["TEMP"] = "C:\\Temp";
    memory.folders.insert("C:\\Temp");
  }

  bool Run(std::string_view mode, std::string_view out = {}) {
    return runner.RunTool({.mode = ModeSpelt(mode),
                           .inFile = kPart,
                           .outFile = out,
                           .befFile = "a.prt",
                           .aftFile = "b.prt"},
                          text::Cp932(kTail)) == Step::Failed;
  }
  // The tool writes these to its two streams.
  void ToolWrites(std::string base, std::string out, std::string err) {
    memory.onRun = [base, out, err](testing::MemoryHost& host) {
      host.files[base + ".txt"] = out;
      host.files[base + ".log"] = err;
    };
  }

  std::string editTool = kEdit;
  std::string pcTool = kPc;
  testing::MemoryHost memory;
  testing::FaultHost faults;
  testing::ScriptedUi ui;
  BatchRunner runner;
};

TEST_F(RunnerTest, WorkFileBase) {
  struct Case {
    std::string part;
    const char* tag;
    std::string expected;
  };
  const Case cases[] = {
      {"D:\\work\\top.prt", "-list", "C:\\Temp\\top-list"},
      {"D:\\work\\top.prt", "ugpc", "C:\\Temp\\top-ugpc"},
      {"D:\\work\\top.prt", "-lower_dir", "C:\\Temp\\top-lower_dir"},
      {"\\\\srv\\share\\a.b.prt", "-list", "C:\\Temp\\a.b-list"},
      // "表" is 95 5C: its second byte is no separator.
      {text::Cp932("D:\\work\\表示.prt"), "-list", text::Cp932("C:\\Temp\\表示-list")},
      {text::Cp932("D:\\ソ\\x.prt"), "-list", "C:\\Temp\\x-list"},
      // Without a "\" the piece starts at 0 and is one byte longer; a "." only in a folder gives none.
      {"top.prt", "-list", "C:\\Temptop.-list"},
      {"D:\\work.d\\top", "-list", "C:\\Temp-list"},
      {"", "ugpc", "C:\\Temp-ugpc"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(runner.WorkFileBase(c.part, ModeSpelt(c.tag), "t"), c.expected) << c.part;
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RunnerTest, TempUnsetOrEmptyTouchesNothing) {
  for (const bool empty : {false, true}) {
    ui.messages.clear();
    if (empty) {
      memory.env["TEMP"] = "";
    } else {
      memory.env.erase("TEMP");
    }
    EXPECT_EQ(runner.WorkFileBase(kPart, ToolMode::List, text::Cp932(kTail)), "");
    EXPECT_TRUE(Run("-list"));
    EXPECT_EQ(ui.messages, std::vector<std::string>(2, "環境変数に TEMP が設定されていません。\n　" + kTail));
    EXPECT_TRUE(memory.files.empty());
    EXPECT_TRUE(memory.started.empty());
  }
}

TEST_F(RunnerTest, ListRunWritesTheBatchFileAndLeavesTheOutput) {
  std::string batch;
  memory.onRun = [&batch](testing::MemoryHost& host) {
    batch = host.files["C:\\Temp\\top-list.bat"];
    host.files["C:\\Temp\\top-list.txt"] = "";
    host.files["C:\\Temp\\top-list.log"] = "";
  };
  EXPECT_FALSE(Run("-list"));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(batch,
            "@echo on\r\nsetlocal\r\nset exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\r\n"
            "set in_file=\"D:\\work\\top.prt\"\r\nset txt_file=\"C:\\Temp\\top-list.txt\"\r\n"
            "set log_file=\"C:\\Temp\\top-list.log\"\r\n"
            "%exe_file% %in_file% -list 1>%txt_file% 2>%log_file%\r\nendlocal\r\nexit\r\n");
  EXPECT_EQ(memory.started, std::vector<std::string>{"\"C:\\Temp\\top-list.bat\""});
  // An empty output is handed back unchanged.
  EXPECT_EQ(Keys(memory.files), std::vector<std::string>{"C:\\Temp\\top-list.txt"});
}

TEST_F(RunnerTest, ToolPathIsReadAtEachCall) {
  std::vector<std::string> batches;
  const auto tool = [&batches](std::string base, bool output) {
    return [&batches, base, output](testing::MemoryHost& host) {
      batches.push_back(host.files[base + ".bat"]);
      host.files[base + ".log"] = "";
      if (output)
        host.files[base + ".txt"] = "";
    };
  };
  memory.onRun = tool("C:\\Temp\\top-ugpc", false);
  EXPECT_FALSE(Run("ugpc"));
  editTool = "E:\\other.exe";
  memory.onRun = tool("C:\\Temp\\top-lower_name", true);
  EXPECT_FALSE(Run("-lower_name", "D:\\work\\TOP.prt"));
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_NE(batches[0].find("set exe_file=\"C:\\tools\\ugpc.exe\"\r\n"), std::string::npos);
  EXPECT_NE(batches[1].find("set exe_file=\"E:\\other.exe\"\r\n"), std::string::npos);
  EXPECT_NE(batches[1].find("set out_file=\"D:\\work\\TOP.prt\"\r\n"), std::string::npos);
  // The ugpc tool wrote no output file here; the runner does not look for one.
  EXPECT_TRUE(memory.files.empty());
  EXPECT_TRUE(ui.messages.empty());
}

// What the tool wrote decides the outcome and what stays in TEMP.
TEST_F(RunnerTest, OutcomesByWhatTheToolWrote) {
  struct Case {
    const char* mode;
    std::optional<std::string> out;
    std::optional<std::string> err;
    std::string message;  // empty: success
    std::vector<std::string> left;
  };
  const std::vector<Case> cases = {
      {"-list", "a.prt (D:\\w)\r\n", "", "", {".txt"}},
      {"ugpc", "x", "", "", {".txt"}},
      {"-list",
       "",
       "bad\r\n",
       "エラーの為と思われる ログファイル が作成されています。\nC:\\Temp\\top-list.log\nbad",
       {".log", ".txt"}},
      // A last line without its line end is shown all the same.
      {"-remove_dirs",
       "",
       "bad",
       "エラーの為と思われる ログファイル が作成されています。\nC:\\Temp\\top-remove_dirs.log\nbad",
       {".log", ".txt"}},
      {"-remove_dirs", "", "", "", {}},
      {"-change_name",
       "out\r\n\r\nmore\r\n",
       "",
       "エラーの為か テキストファイル が作成されています。\nC:\\Temp\\top-change_name.txt\nout\n\nmore",
       {".txt"}},
      // No error output to read: nothing of the run stays to refuse the next one.
      {"-list", "", std::nullopt, "ログファイル が見つかりません。", {}},
      {"-change_comp_dir", std::nullopt, "", "テキストファイル が見つかりません。", {}},
  };
  for (const Case& c : cases) {
    memory.files.clear();
    ui.messages.clear();
    const std::string base = runner.WorkFileBase(kPart, ModeSpelt(c.mode), "");
    memory.onRun = [&](testing::MemoryHost& host) {
      if (c.out)
        host.files[base + ".txt"] = *c.out;
      if (c.err)
        host.files[base + ".log"] = *c.err;
    };
    EXPECT_EQ(Run(c.mode, kPart), !c.message.empty()) << c.mode;
    if (c.message.empty()) {
      EXPECT_TRUE(ui.messages.empty()) << c.mode;
    } else {
      EXPECT_EQ(ui.messages, std::vector<std::string>{c.message + "\n　" + kTail}) << c.mode;
    }
    std::vector<std::string> left;
    for (const std::string& suffix : c.left)
      left.push_back(base + suffix);
    EXPECT_EQ(Keys(memory.files), left) << c.mode;
  }
}

TEST_F(RunnerTest, LeftoverWorkFilesBlockTheRunInTheirOrder) {
  struct Case {
    std::vector<std::string> present;
    std::string message;
  };
  const Case cases[] = {
      {{".txt", ".log", ".bat"}, "テキストファイル が既に有ります。\nC:\\Temp\\top-list.txt"},
      {{".log", ".bat"}, "ログファイル が既に有ります。\nC:\\Temp\\top-list.log"},
      {{".bat"}, "バッチファイル が既に有ります。\nC:\\Temp\\top-list.bat"},
  };
  // The file, then what to do about it.
  const std::string advice = "\n" + std::string(msg::kWorkFileInTheWay);
  for (const Case& c : cases) {
    memory.files.clear();
    ui.messages.clear();
    for (const std::string& suffix : c.present)
      memory.files["C:\\Temp\\top-list" + suffix] = "old";
    const auto before = memory.files;
    EXPECT_TRUE(Run("-list"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{c.message + advice + "\n　" + kTail});
    EXPECT_EQ(memory.files, before);
    EXPECT_TRUE(memory.started.empty());
  }
}

// At most five lines of what the tool wrote, each cut to a width without splitting a character; a
// log that cannot be read still names its file.
TEST_F(RunnerTest, FailureShowsTheFirstLinesOfTheLog) {
  const std::string wide = std::string(159, 'x') + text::Cp932("表") + "tail";
  ToolWrites("C:\\Temp\\top-list", "", "1\r\n2\r\n3\r\n4\r\n" + wide + "\r\n6\r\n");
  EXPECT_TRUE(Run("-list"));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"エラーの為と思われる ログファイル が作成されています。\n"
                                                  "C:\\Temp\\top-list.log\n1\n2\n3\n4\n" +
                                                  std::string(159, 'x') + "\n　" + kTail});

  memory.files.clear();
  ui.messages.clear();
  faults.Fail(Call::Open, ".log");
  ToolWrites("C:\\Temp\\top-list", "", "bad");
  EXPECT_TRUE(Run("-list"));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"エラーの為と思われる ログファイル が作成されています。\n"
                                                  "C:\\Temp\\top-list.log\n　" +
                                                  kTail});
}

TEST_F(RunnerTest, TempThatIsNoFolderStopsBeforeAnyFile) {
  memory.env["TEMP"] = "C:\\Gone";
  EXPECT_TRUE(Run("-list"));
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"環境変数 TEMP のフォルダが見つかりません。\nC:\\Gone\n　" + kTail});
  EXPECT_TRUE(memory.files.empty());
  EXPECT_TRUE(memory.started.empty());
}

TEST_F(RunnerTest, HostFailuresEachWithTheirMessage) {
  struct Case {
    Call call;
    std::string pathPart;
    std::vector<std::string> messages;
    std::vector<std::string> left;
  };
  const std::string t = "\n　" + kTail;
  const std::vector<Case> cases = {
      // Whatever the run made goes with its failure: no tool wrote an error to read.
      {Call::Open, ".bat", {"新規に バッチファイル を開くのに失敗しました。" + t}, {}},
      {Call::StreamWrite, ".bat", {"バッチファイル の書込みエラーが発生しました。" + t}, {}},
      {Call::StreamClose, ".bat", {"バッチファイル を閉じるのに失敗しました。" + t}, {}},
      {Call::StartBatch, "", {"バッチファイル の実行時にエラーに成りました。" + t}, {}},
      {Call::CloseProcess, "", {"バッチファイル のハンドルを閉じるのに失敗しました。" + t}, {}},
      // A removal that failed once is tried again.
      {Call::Remove, ".bat", {"バッチファイル の削除に失敗しました。" + t}, {}},
      {Call::Remove, ".log", {"ログファイル の削除に失敗しました。" + t}, {}},
      {Call::Remove, ".txt", {"テキストファイル の削除に失敗しました。" + t}, {".txt"}},
  };
  for (const Case& c : cases) {
    memory.files.clear();
    ui.messages.clear();
    faults.Clear();
    faults.Fail(c.call, c.pathPart);
    ToolWrites("C:\\Temp\\top-upper_name", "", "");
    EXPECT_TRUE(Run("-upper_name", kPart));
    EXPECT_EQ(ui.messages, c.messages);
    std::vector<std::string> left;
    for (const std::string& suffix : c.left)
      left.push_back("C:\\Temp\\top-upper_name" + suffix);
    EXPECT_EQ(Keys(memory.files), left) << c.messages.front();
  }
}

// A refusal or a full disk, as the platform tells it: the message says so, and where.
TEST_F(RunnerTest, FailedWritesSayWhy) {
  faults.FailWith(Call::Open, ".bat", platform::FileError::AccessDenied);
  EXPECT_TRUE(Run("-list"));
  faults.Clear();
  faults.FailWith(Call::StreamWrite, ".bat", platform::FileError::DiskFull);
  EXPECT_TRUE(Run("-list"));
  faults.Clear();
  faults.FailWith(Call::StreamClose, ".bat", platform::FileError::DiskFull);
  EXPECT_TRUE(Run("-list"));
  EXPECT_EQ(
      ui.messages,
      (std::vector<std::string>{
          "環境変数 TEMP のフォルダに書き込めません。\nC:\\Temp\nアクセスが拒否されました。\n　" + kTail,
          "バッチファイル の書込みエラーが発生しました。\nC:\\Temp\\top-list.bat\n"
          "ディスクの空き容量が足りません。\n　" +
              kTail,
          "バッチファイル を閉じるのに失敗しました。\nC:\\Temp\\top-list.bat\n"
          "ディスクの空き容量が足りません。\n　" +
              kTail}));
  EXPECT_TRUE(memory.files.empty());
}

// Another program sharing TEMP makes the same work files between this one's checks and its batch
// file: this one stops as for a file in the way and leaves the other's files alone.
TEST_F(RunnerTest, WorkFilesTakenMeanwhileStopTheRunAndAreLeftAlone) {
  struct Racing final : platform::ForwardingHost {
    using ForwardingHost::ForwardingHost;
    std::unique_ptr<platform::TextStream> Open(std::string_view path, platform::OpenMode mode) override {
      if (mode == platform::OpenMode::CreateText && before)
        before();
      std::unique_ptr<platform::TextStream> stream = ForwardingHost::Open(path, mode);
      if (mode == platform::OpenMode::CreateText && after)
        after();
      return stream;
    }
    std::function<void()> before, after;
  };
  Racing racing(memory);
  BatchRunner raced(racing, ui, editTool, pcTool);
  const auto run = [&] {
    return raced.RunTool({.mode = ModeSpelt("-list"), .inFile = kPart}, text::Cp932(kTail)) == Step::Failed;
  };
  const std::string other = "the other program's";
  racing.before = [&] { memory.files["C:\\Temp\\top-list.bat"] = other; };
  EXPECT_TRUE(run());
  EXPECT_EQ(memory.files["C:\\Temp\\top-list.bat"], other);
  racing.before = nullptr;
  racing.after = [&] { memory.files["C:\\Temp\\top-list.txt"] = other; };
  memory.files.clear();
  EXPECT_TRUE(run());
  const std::string named =
      "\n別の velmora が同じ部品で実行中ならその終了を待ち、そうでなければこのファイルを削除してから、"
      "もう一度実行してください。\n　" +
      kTail;
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{"バッチファイル が既に有ります。\nC:\\Temp\\top-list.bat" + named,
                                      "テキストファイル が既に有ります。\nC:\\Temp\\top-list.txt" + named}));
  EXPECT_EQ(Keys(memory.files), std::vector<std::string>{"C:\\Temp\\top-list.txt"});
  EXPECT_EQ(memory.files["C:\\Temp\\top-list.txt"], other);
  EXPECT_TRUE(memory.started.empty());
}

TEST_F(RunnerTest, WriteErrorThenCloseFailureAddsAMessageWithoutTail) {
  faults.Fail(Call::StreamWrite, ".bat", 3);
  faults.Fail(Call::StreamClose, ".bat");
  EXPECT_TRUE(Run("-list"));
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{"バッチファイル の書込みエラーが発生しました。\n　" + kTail,
                                      "バッチファイル を閉じるのに失敗しました。"}));
  EXPECT_TRUE(memory.started.empty());
}

}  // namespace
}  // namespace velmora::toolrunner
