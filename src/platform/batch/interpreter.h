#pragma once
// The batch-file interpreter: the small part of the Windows command interpreter that the program's
// batch files use. Parsing and expansion are pure; running a command goes through a Shell, so tests
// and the fuzzer can watch what would be started without starting anything.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform::batch {

// Variables with names that ignore case, as on Windows; setlocal/endlocal save and restore them.
class Environment {
 public:
  // From the process environment: values in UTF-8 are taken into cp932 where they can be.
  static Environment FromProcess();

  [[nodiscard]] const std::string* Find(std::string_view name) const;
  // An empty value removes the variable, as "set NAME=" does.
  void Set(std::string_view name, std::string_view value);
  void Push();
  void Pop();  // without a matching Push it does nothing

  // "NAME=VALUE" entries for a started program, values in UTF-8 where they convert.
  [[nodiscard]] std::vector<std::string> ForProcess() const;

 private:
  struct Variable {
    std::string name;
    std::string value;
    bool hostBytes = false;  // taken over unconverted from the process: handed on as it came
  };
  std::map<std::string, Variable> vars_;  // by upper-cased name
  std::vector<std::map<std::string, Variable>> saved_;
};

// %NAME% replaced by its value (nothing when undefined), %% by %; a % with no closing % stays.
std::string Expand(std::string_view line, const Environment& env);

// The Windows C runtime's split of a command line's arguments: blanks separate, quotes group and
// are removed, "" inside quotes is a quote, backslashes are literal except before a quote.
// Double-byte aware: the second byte of a character is never taken for a backslash.
std::vector<std::string> SplitArguments(std::string_view arguments);

struct Command {
  std::string program;                 // Windows path, quotes removed
  std::vector<std::string> arguments;  // as the tool receives them (cp932)
  std::string output;                  // 1> target (Windows path), empty when not redirected
  std::string error;                   // 2> target
};

enum class LineKind { Blank, Comment, EchoOn, EchoOff, Setlocal, Endlocal, Set, Exit, Command, Unsupported };

struct Line {
  LineKind kind = LineKind::Blank;
  bool quiet = false;  // "@": not echoed
  std::string text;    // the expanded line, leading blanks and "@" removed, for echo
  std::string name;    // Set
  std::string value;   // Set
  Command command;     // Command
};

// Classifies one expanded line (without its line end).
Line ParseLine(std::string_view expanded);

// The lines of a file: CR LF or LF ends a line.
std::vector<std::string_view> SplitLines(std::string_view file);

class Shell {
 public:
  virtual ~Shell() = default;
  virtual void Echo(std::string_view text) = 0;
  // A line that is not run; number counts from 1.
  virtual void Unsupported(int number, std::string_view text) = 0;
  // Runs a command to its end. `last` tells that nothing after it in the file has any effect, so
  // the shell may hand its own process over to the program. `echoes` are the echo lines the rest of
  // the file would print, to be printed before such a hand-over.
  virtual void Run(const Command& command, const Environment& env, bool last,
                   const std::vector<std::string>& echoes) = 0;
};

// Runs a whole batch file.
void RunScript(std::string_view file, Environment& env, Shell& shell);

}  // namespace velmora::platform::batch
