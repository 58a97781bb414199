// The interpreter executable, started as the program starts it, on real batch files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "platform/host.h"
#include "resources/messages/platform.h"
#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::platform {
namespace {

using testing::TempDrive;

std::string WindowsForm(const std::string& host) {
  std::string out = "Z:" + host;
  for (char& c : out)
    c = c == '/' ? '\\' : c;
  return out;
}

class BatchRunTest : public ::testing::Test {
 protected:
  // Writes the lines (cp932, joined with CR LF) as D:\temp\run.bat and runs it to its end; how
  // the process ended.
  ProcessEnd Run(const std::vector<std::string>& lines) {
    std::string file;
    for (const std::string& line : lines)
      file += line + "\r\n";
    drive_.WriteFile("temp/run.bat", file);
    RealHost host;
    std::unique_ptr<Process> process = host.StartBatch("\"" + drive_.Win("temp/run.bat") + "\"");
    if (!process) {
      ADD_FAILURE() << "not started";
      return {};
    }
    process->Wait();
    EXPECT_TRUE(process->CloseHandle());
    EXPECT_FALSE(process->CloseHandle());
    return process->End();
  }
  std::string Set(const char* name, const std::string& value) {
    return std::string("set ") + name + "=" + value;
  }

  TempDrive drive_;
  const std::string tool_ = WindowsForm(VELMORA_TEST_ARGV_ECHO);
};

TEST_F(BatchRunTest, ListModeFile) {
  Run({"@echo on", "setlocal", Set("exe_file", "\"" + tool_ + "\""), Set("in_file", "\"D:\\work\\top.prt\""),
       Set("txt_file", "\"D:\\temp\\top-list.txt\""), Set("log_file", "\"D:\\temp\\top-list.log\""),
       "%exe_file% %in_file% -list 1>%txt_file% 2>%log_file%", "endlocal", "exit"});
  EXPECT_EQ(drive_.ReadFile("temp/top-list.txt"), "[D:\\work\\top.prt]\n[-list]\n");
  EXPECT_TRUE(drive_.Exists("temp/top-list.log"));
  EXPECT_EQ(drive_.ReadFile("temp/top-list.log"), "");
}

TEST_F(BatchRunTest, ChangeModeArgumentsArriveAsCp932) {
  // The folder ends in 表 (95 5C) right before its closing quote.
  const std::string folder = text::Cp932("D:\\新\\表");
  const std::string part = text::Cp932("ソ能.prt");
  Run({"@echo on", "setlocal", Set("exe_file", "\"" + tool_ + "\""), Set("in_file", "\"D:\\w\\top.prt\""),
       Set("out_file", "\"D:\\w\\top.prt\""), Set("bef_file", "\"" + part + "\""),
       Set("aft_file", "\"" + folder + "\""), Set("txt_file", "\"D:\\temp\\c.txt\""),
       Set("log_file", "\"D:\\temp\\c.log\""),
       "%exe_file% %in_file% -o %out_file% -change_comp_dir %bef_file% %aft_file%  1>%txt_file% 2>%log_file%",
       "endlocal", "exit"});
  EXPECT_EQ(drive_.ReadFile("temp/c.txt"), "[D:\\w\\top.prt]\n[-o]\n[D:\\w\\top.prt]\n[-change_comp_dir]\n[" +
                                               part + "]\n[" + folder + "]\n");
}

TEST_F(BatchRunTest, AProgramThatCannotRunLeavesOneLineInTheLog) {
  Run({"@echo off", "set exe_file=\"D:\\tools\\none.exe\"",
       "%exe_file% -list 1>\"D:\\temp\\m.txt\" 2>D:\\temp\\m.log", "exit"});
  EXPECT_EQ(text::ToDisplayUtf8(drive_.ReadFile("temp/m.log")),
            std::string(msg::kBatchPrefix) + std::string(msg::kBatchCannotRun) + "D:\\tools\\none.exe\n");
  EXPECT_EQ(drive_.ReadFile("temp/m.txt"), "");
  drive_.WriteFile("tools/plain.exe", "not a program");  // there, but not executable
  Run({"\"D:\\tools\\plain.exe\" 2>\"D:\\temp\\p.log\""});
  EXPECT_EQ(text::ToDisplayUtf8(drive_.ReadFile("temp/p.log")),
            std::string(msg::kBatchPrefix) + std::string(msg::kBatchCannotRun) + "D:\\tools\\plain.exe\n");
}

TEST_F(BatchRunTest, AProgramTheSystemCannotStartLeavesOneLineInTheLog) {
  drive_.WriteFile("tools/garbage.exe", "no program format at all");
  ASSERT_EQ(chmod(drive_.Host("tools/garbage.exe").c_str(), 0755), 0);
  const std::string line =
      std::string(msg::kBatchPrefix) + std::string(msg::kBatchCannotRun) + "D:\\tools\\garbage.exe\n";
  // Started and waited for (a command follows), and as the last command, in place of the interpreter.
  Run({"@echo off", "\"D:\\tools\\garbage.exe\" 2>D:\\temp\\g1.log",
       "\"D:\\tools\\garbage.exe\" 2>D:\\temp\\g2.log",
       "\"" + tool_ + "\" after 1>D:\\temp\\after.txt 2>D:\\temp\\after.log"});
  Run({"@echo off", "\"D:\\tools\\garbage.exe\" 2>D:\\temp\\g3.log", "endlocal", "exit"});
  for (const char* log : {"temp/g1.log", "temp/g2.log", "temp/g3.log"})
    EXPECT_EQ(text::ToDisplayUtf8(drive_.ReadFile(log)), line) << log;
  EXPECT_EQ(drive_.ReadFile("temp/after.txt"), "[after]\n");
}

TEST_F(BatchRunTest, SeveralCommandsVariablesAndStandardError) {
  setenv("VELMORA_ECHO_VAR", "in_file", 1);
  setenv("VELMORA_ECHO_STDERR", "complaint", 1);
  Run({"@echo off", "setlocal", Set("in_file", text::Cp932("\"D:\\表.prt\"")),
       "\"" + tool_ + "\" first 1>D:\\temp\\1.txt 2>D:\\temp\\1.log",
       "\"" + tool_ + "\" second 1>D:\\temp\\2.txt 2>D:\\temp\\2.log", "endlocal"});
  unsetenv("VELMORA_ECHO_VAR");
  unsetenv("VELMORA_ECHO_STDERR");
  // Variables reach the tool as the host spells text.
  EXPECT_EQ(drive_.ReadFile("temp/1.txt"), "[first]\nin_file=\"D:\\表.prt\"\n");
  EXPECT_EQ(drive_.ReadFile("temp/1.log"), "complaint");
  EXPECT_EQ(drive_.ReadFile("temp/2.txt"), "[second]\nin_file=\"D:\\表.prt\"\n");
}

// The file runs on to its end after a tool that crashed, as on Windows; the interpreter then dies of
// the same signal, so that the program learns of the crash whichever command it was.
TEST_F(BatchRunTest, ACrashIsPassedOnAfterTheFileHasRun) {
  setenv("VELMORA_ECHO_SIGNAL", "6", 1);
  const ProcessEnd first = Run({"@echo off", "\"" + tool_ + "\" a 1>D:\\temp\\a.txt", "endlocal", "exit"});
  const ProcessEnd middle = Run({"@echo off", "\"" + tool_ + "\" b 1>D:\\temp\\b.txt",
                                 Set("VELMORA_ECHO_SIGNAL", ""), "\"" + tool_ + "\" c 1>D:\\temp\\c.txt"});
  unsetenv("VELMORA_ECHO_SIGNAL");
  const ProcessEnd none = Run({"@echo off", "\"" + tool_ + "\" d 1>D:\\temp\\d.txt", "exit"});
  EXPECT_EQ(first.crash, Crash::Signal);
  EXPECT_EQ(first.code, 6u);
  EXPECT_EQ(middle.crash, Crash::Signal);
  EXPECT_EQ(middle.code, 6u);
  EXPECT_EQ(drive_.ReadFile("temp/c.txt"), "[c]\n");
  EXPECT_EQ(none.crash, Crash::None);
  EXPECT_EQ(drive_.ReadFile("temp/d.txt"), "[d]\n");
}

// Ending a batch run ends the tool it started too, however deep: the interpreter leads a group.
TEST_F(BatchRunTest, TerminateEndsTheToolItStarted) {
  drive_.WriteFile("temp/hang.bat", "@echo off\r\n\"Z:\\bin\\sleep\" 30\r\n\"Z:\\bin\\sleep\" 31\r\n");
  RealHost host;
  std::unique_ptr<Process> process = host.StartBatch("\"" + drive_.Win("temp/hang.bat") + "\"");
  ASSERT_TRUE(process);
  const auto start = std::chrono::steady_clock::now();
  int slices = 0;
  process->WaitCalling([&] {
    if (++slices == 4) {
      EXPECT_TRUE(process->Terminate());
    }
  });
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(process->End().crash, Crash::Signal);
  EXPECT_EQ(process->End().code, static_cast<std::uint32_t>(SIGKILL));
  EXPECT_FALSE(process->Terminate());  // nothing is left to end
}

TEST_F(BatchRunTest, RefusedLinesAreNotRun) {
  Run({"\"" + tool_ + "\" a 1>D:\\temp\\a.txt | \"" + tool_ + "\" b",
       "\"" + tool_ + "\" c 1>D:\\temp\\c.txt & x", "del D:\\temp\\keep.txt",
       "\"" + tool_ + "\" d 1>D:\\temp\\d.txt"});
  EXPECT_FALSE(drive_.Exists("temp/a.txt"));
  EXPECT_FALSE(drive_.Exists("temp/c.txt"));
  EXPECT_EQ(drive_.ReadFile("temp/d.txt"), "[d]\n");  // later lines still run
}

// Points this process's stdout and stderr at a file while it lives.
class CapturedStreams {
 public:
  explicit CapturedStreams(const std::string& path)
      : file_(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)), out_(dup(1)), err_(dup(2)) {
    fflush(nullptr);
    dup2(file_, 1);
    dup2(file_, 2);
  }
  ~CapturedStreams() {
    fflush(nullptr);
    dup2(out_, 1);
    dup2(err_, 2);
    close(out_);
    close(err_);
    close(file_);
  }

 private:
  int file_, out_, err_;
};

TEST_F(BatchRunTest, EchoAndErrorsStayOffTheProgramsStreams) {
  {
    CapturedStreams captured(drive_.Host("streams.txt"));
    Run({"@echo on", Set("x", "1"), "\"" + tool_ + "\" a 1>D:\\temp\\a.txt", "del D:\\temp\\keep.txt",
         "\"D:\\none.exe\" b", "exit"});
  }
  EXPECT_EQ(drive_.ReadFile("temp/a.txt"), "[a]\n");
  EXPECT_EQ(drive_.ReadFile("streams.txt"), "");
}

TEST_F(BatchRunTest, StartNeedsTheBatchFile) {
  RealHost host;
  EXPECT_FALSE(host.StartBatch("\"D:\\temp\\none.bat\""));
  EXPECT_FALSE(host.StartBatch("\"Q:\\x.bat\""));
  EXPECT_FALSE(host.StartBatch("\"D:\\temp\""));
  drive_.WriteFile("temp/ok.bat", "exit\r\n");
  setenv("VELMORA_BATCH", (drive_.HostRoot() + "/no-interpreter").c_str(), 1);
  EXPECT_FALSE(host.StartBatch("\"D:\\temp\\ok.bat\""));  // the interpreter itself is missing
  setenv("VELMORA_BATCH", VELMORA_TEST_BATCH, 1);
  EXPECT_TRUE(host.StartBatch("\"D:\\temp\\ok.bat\""));
  unsetenv("VELMORA_BATCH");
}

}  // namespace
}  // namespace velmora::platform
