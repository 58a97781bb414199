#pragma once
// The command line: one command, its input part and plan, the operation, the six options and the
// fast schedule.

#include <optional>
#include <string>
#include <vector>

#include "operations/dialog_state.h"

namespace velmora::cli {

enum class Command { Help, Version, List, Inspect, Run, Undo };

struct Arguments {
  Command command = Command::Help;
  std::string input;  // as given (the locale's encoding)
  std::string plan;
  operations::Operation operation = operations::Operation::Inspect;
  operations::Options options;  // the window's defaults, changed by the flags
  std::string editTool;
  std::string pcTool;
  std::string log;
  std::string jobs;  // --jobs: how many tool runs the fast schedule may have side by side
  bool yes = false;
  bool verbose = false;
};

// The arguments, or the reason (UTF-8) they make no command.
struct Parsed {
  std::optional<Arguments> arguments;
  std::string error;
};

[[nodiscard]] Parsed ParseArguments(const std::vector<std::string>& words);

}  // namespace velmora::cli
