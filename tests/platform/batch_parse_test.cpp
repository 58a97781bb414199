#include <gtest/gtest.h>

#include "platform/batch/interpreter.h"
#include "text/codec.h"

namespace velmora::platform::batch {
namespace {

using Args = std::vector<std::string>;

Environment Vars(std::initializer_list<std::pair<const char*, const char*>> vars) {
  Environment env;
  for (const auto& [name, value] : vars)
    env.Set(name, value);
  return env;
}

TEST(BatchExpand, VariablesAndPercents) {
  const Environment env = Vars({{"exe_file", "\"C:\\a b\\t.exe\""}, {"X", "%X%"}});
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"%exe_file% -list", "\"C:\\a b\\t.exe\" -list"},
      {"%EXE_FILE%", "\"C:\\a b\\t.exe\""},  // names ignore case
      {"a%undefined%b", "ab"},
      {"100%%", "100%"},
      {"%%exe_file%%", "%exe_file%"},
      {"%x%%x%", "%X%%X%"},  // a value is not expanded again
      {"50% left", "50% left"},
      {"%", "%"},
      {"", ""},
  };
  for (const auto& [line, expanded] : cases)
    EXPECT_EQ(Expand(line, env), expanded) << line;
}

TEST(BatchArguments, SplitAsTheCRuntime) {
  const std::pair<std::string_view, Args> cases[] = {
      {"a b\t c", {"a", "b", "c"}},
      {"\"D:\\work\\top.prt\" -list", {"D:\\work\\top.prt", "-list"}},
      {"\"a b\"c d", {"a bc", "d"}},
      {"\"\"", {""}},
      {"a\\\\b", {"a\\\\b"}},          // backslashes alone are literal
      {"a\\\"b", {"a\"b"}},            // \" is a quote
      {"\"a\\\\\" b", {"a\\", "b"}},   // \\" is a backslash and the closing quote
      {"\"a\\\\\\\"b\"", {"a\\\"b"}},  // \\\" is a backslash and a quote
      {"\"a\"\"b\"", {"a\"b"}},        // "" inside quotes is a quote
      {"\"open to the end", {"open to the end"}},
      {"  ", {}},
      // 表 is 95 5C: its second byte is no backslash, so the quote after it closes.
      {"\"D:\\\x95\x5C\" next", {"D:\\\x95\x5C", "next"}},
      {"\x83\x5C\\\"", {"\x83\x5C\""}},
  };
  for (const auto& [line, args] : cases)
    EXPECT_EQ(SplitArguments(line), args) << line;
}

struct LineCase {
  std::string_view line;
  LineKind kind;
  bool quiet = false;
  std::string program = {};
  Args arguments = {};
  std::string output = {};
  std::string error = {};
};

TEST(BatchLines, Classify) {
  const LineCase cases[] = {
      {"", LineKind::Blank},
      {"   \t", LineKind::Blank},
      {"@echo on", LineKind::EchoOn, true},
      {"ECHO OFF ", LineKind::EchoOff},
      {"echo hello", LineKind::Unsupported},
      {"setlocal", LineKind::Setlocal},
      {"setlocal enabledelayedexpansion", LineKind::Unsupported},
      {"  endlocal", LineKind::Endlocal},
      {"exit", LineKind::Exit},
      {"exit /b 1", LineKind::Unsupported},
      {"rem anything & more", LineKind::Comment},
      {":: note", LineKind::Comment},
      {"set a=b", LineKind::Set},
      {"set", LineKind::Unsupported},
      {"set =x", LineKind::Unsupported},
      {"set a=b & del x", LineKind::Unsupported},
      {"set a=\"b & c\"", LineKind::Set},
      {"\"C:\\t.exe\" \"D:\\top.prt\" -list 1>\"C:\\T\\o.txt\" 2>\"C:\\T\\o.log\"",
       LineKind::Command,
       false,
       "C:\\t.exe",
       {"D:\\top.prt", "-list"},
       "C:\\T\\o.txt",
       "C:\\T\\o.log"},
      {"\"C:\\t.exe\" \"a\" -o \"b\" -change_name \"x\" \"y\"  1>o.txt 2>e.log",
       LineKind::Command,
       false,
       "C:\\t.exe",
       {"a", "-o", "b", "-change_name", "x", "y"},
       "o.txt",
       "e.log"},
      {"C:\\t.exe 1> \"C:\\a b.txt\" arg", LineKind::Command, false, "C:\\t.exe", {"arg"}, "C:\\a b.txt"},
      {"t.exe \"a>b\" \"c|d\"", LineKind::Command, false, "t.exe", {"a>b", "c|d"}},
      {"t.exe arg1>x", LineKind::Unsupported},  // only 1> and 2> at a word's start
      {"t.exe >x", LineKind::Unsupported},
      {"t.exe 1>>x", LineKind::Unsupported},
      {"t.exe 2>&1", LineKind::Unsupported},
      {"t.exe 1>", LineKind::Unsupported},
      {"t.exe <in", LineKind::Unsupported},
      {"t.exe | more", LineKind::Unsupported},
      {"t.exe && del x", LineKind::Unsupported},
      {"t.exe ^& x", LineKind::Unsupported},
      {"1>x", LineKind::Unsupported},
      {"del x.prt", LineKind::Unsupported},
      {"COPY a b", LineKind::Unsupported},
      {"\"\"", LineKind::Unsupported},
  };
  for (const LineCase& c : cases) {
    const Line line = ParseLine(c.line);
    EXPECT_EQ(line.kind, c.kind) << c.line;
    EXPECT_EQ(line.quiet, c.quiet) << c.line;
    if (c.kind != LineKind::Command)
      continue;
    EXPECT_EQ(line.command.program, c.program) << c.line;
    EXPECT_EQ(line.command.arguments, c.arguments) << c.line;
    EXPECT_EQ(line.command.output, c.output) << c.line;
    EXPECT_EQ(line.command.error, c.error) << c.line;
  }
  const Line set = ParseLine("set exe_file=\"C:\\x.exe\"  ");
  EXPECT_EQ(set.name, "exe_file");
  EXPECT_EQ(set.value, "\"C:\\x.exe\"  ");  // the rest of the line, quotes and blanks included
}

TEST(BatchLines, SplitOnCrLfAndLf) {
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (std::vector<std::string_view>{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string_view>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

// Records what a run would do.
class RecordingShell : public Shell {
 public:
  void Echo(std::string_view text) override { log.push_back("echo " + std::string(text)); }
  void Unsupported(int number, std::string_view text) override {
    log.push_back("refused " + std::to_string(number) + " " + std::string(text));
  }
  void Run(const Command& command, const Environment& env, bool last,
           const std::vector<std::string>& echoes) override {
    std::string entry = "run " + command.program;
    for (const std::string& argument : command.arguments)
      entry += " [" + argument + "]";
    const std::string* in = env.Find("in_file");
    entry += " in=" + (in ? *in : std::string("-"));
    entry += last ? " last" : " more";
    for (const std::string& echo : echoes)
      entry += " +" + echo;
    log.push_back(entry);
  }
  std::vector<std::string> log;
};

TEST(BatchScript, RunsTheProgramsBatchFile) {
  const std::string file =
      "@echo on\r\n"
      "setlocal\r\n"
      "set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"\r\n"
      "set in_file=\"D:\\work\\top.prt\"\r\n"
      "set txt_file=\"C:\\Temp\\top-list.txt\"\r\n"
      "set log_file=\"C:\\Temp\\top-list.log\"\r\n"
      "%exe_file% %in_file% -list 1>%txt_file% 2>%log_file%\r\n"
      "endlocal\r\n"
      "exit\r\n";
  Environment env;
  RecordingShell shell;
  RunScript(file, env, shell);
  const std::vector<std::string> expected = {
      "echo setlocal",
      "echo set exe_file=\"C:\\tools\\ug_edit_part_names.exe\"",
      "echo set in_file=\"D:\\work\\top.prt\"",
      "echo set txt_file=\"C:\\Temp\\top-list.txt\"",
      "echo set log_file=\"C:\\Temp\\top-list.log\"",
      "echo \"C:\\tools\\ug_edit_part_names.exe\" \"D:\\work\\top.prt\" -list 1>\"C:\\Temp\\top-list.txt\" "
      "2>\"C:\\Temp\\top-list.log\"",
      "run C:\\tools\\ug_edit_part_names.exe [D:\\work\\top.prt] [-list] in=\"D:\\work\\top.prt\" last "
      "+endlocal "
      "+exit",
      "echo endlocal",
      "echo exit",
  };
  EXPECT_EQ(shell.log, expected);
  EXPECT_EQ(env.Find("in_file"), nullptr);  // endlocal put the variables back
}

TEST(BatchScript, EchoLocalsAndRefusals) {
  const std::string file =
      "@echo off\n"
      "set in_file=outer\n"
      "setlocal\n"
      "set in_file=inner\n"
      "a.exe 1\n"
      "endlocal\n"
      "b.exe 2\n"
      "x | y\n"
      "echo on\n"
      "set in_file=\n"
      "c.exe 3\n"
      "exit\n"
      "d.exe never\n";
  Environment env;
  RecordingShell shell;
  RunScript(file, env, shell);
  const std::vector<std::string> expected = {
      "run a.exe [1] in=inner more",
      "run b.exe [2] in=outer more",
      "refused 8 x | y",
      "echo set in_file=",
      "echo c.exe 3",
      "run c.exe [3] in=- last +exit",
      "echo exit",
  };
  EXPECT_EQ(shell.log, expected);
}

TEST(BatchEnvironment, ProcessValuesInUtf8) {
  Environment env;
  env.Set("in_file", text::Cp932("\"D:\\表.prt\""));
  env.Set("Other", "x");
  const std::vector<std::string> entries = env.ForProcess();
  EXPECT_EQ(entries, (std::vector<std::string>{"in_file=\"D:\\表.prt\"", "Other=x"}));
  env.Pop();  // without a Push it does nothing
  EXPECT_NE(env.Find("OTHER"), nullptr);
}

}  // namespace
}  // namespace velmora::platform::batch
