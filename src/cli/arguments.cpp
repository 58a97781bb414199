#include "cli/arguments.h"

#include <array>
#include <string_view>
#include <utility>

namespace velmora::cli {
namespace {

using operations::Operation;

struct Named {
  std::string_view name;
  Operation operation;
};
constexpr std::array<Named, 5> kOperations{{
    {"change", Operation::Change},
    {"lower-folders", Operation::LowerAllFolders},
    {"lower-parts", Operation::LowerAllParts},
    {"upper-parts", Operation::UpperAllParts},
    {"remove-folders", Operation::RemoveAllFolders},
}};

struct Flag {
  std::string_view name;
  int operations::Options::*option;
  int value;
};
constexpr std::array<Flag, 7> kFlags{{
    {"--overwrite-all", &operations::Options::overwriteAll, 1},
    {"--input-part-only", &operations::Options::inputPartOnly, 1},
    {"--same-folders", &operations::Options::applyToSameFolders, 1},
    {"--no-copy-missing", &operations::Options::copyMissingFiles, 0},
    {"--no-resave", &operations::Options::allowReplaceAll, 0},
    {"--no-swap", &operations::Options::swapInputAfterRun, 0},
    {"--fast", &operations::Options::fastSchedule, 1},
}};

std::optional<Command> CommandNamed(std::string_view word) {
  if (word == "list")
    return Command::List;
  if (word == "inspect")
    return Command::Inspect;
  if (word == "run")
    return Command::Run;
  if (word == "undo")
    return Command::Undo;
  if (word == "--help" || word == "-h")
    return Command::Help;
  if (word == "--version")
    return Command::Version;
  return std::nullopt;
}

// The option that takes a value, or nullptr.
std::string* ValueOf(Arguments& arguments, std::string_view word, std::string& operation) {
  if (word == "--plan")
    return &arguments.plan;
  if (word == "--edit-tool")
    return &arguments.editTool;
  if (word == "--pc-tool")
    return &arguments.pcTool;
  if (word == "--log")
    return &arguments.log;
  if (word == "--jobs")
    return &arguments.jobs;
  if (word == "--operation")
    return &operation;
  return nullptr;
}

bool SetFlag(Arguments& arguments, std::string_view word) {
  for (const Flag& flag : kFlags) {
    if (word == flag.name) {
      arguments.options.*flag.option = flag.value;
      return true;
    }
  }
  if (word == "--yes")
    arguments.yes = true;
  else if (word == "--verbose")
    arguments.verbose = true;
  else
    return false;
  return true;
}

Parsed Error(std::string error) {
  return Parsed{std::nullopt, std::move(error)};
}

// What the command needs beyond its words.
std::string Incomplete(const Arguments& arguments, std::string_view operation) {
  const bool takesInput = arguments.command != Command::Undo;
  if (takesInput && arguments.input.empty())
    return "no input part given";
  if (!takesInput && !arguments.input.empty())
    return "undo takes no input part";
  if (arguments.yes && arguments.command != Command::Undo)
    return "--yes is for undo";
  if (!arguments.plan.empty() && arguments.command != Command::Inspect && arguments.command != Command::Run)
    return "--plan is for inspect and run";
  if (!arguments.jobs.empty() && arguments.options.fastSchedule == 0)
    return "--jobs goes with --fast";
  if (!arguments.jobs.empty() && (arguments.jobs.find_first_not_of("0123456789") != std::string::npos ||
                                  arguments.jobs.size() > 2 || std::stoi(arguments.jobs) < 1))
    return "--jobs takes a whole number from 1 to 99";
  if (arguments.options.fastSchedule != 0 && arguments.command != Command::Run)
    return "--fast is for run";
  if (arguments.command == Command::Run && operation.empty())
    return "run needs --operation";
  if (arguments.command != Command::Run && !operation.empty())
    return "--operation is for run";
  return {};
}

}  // namespace

Parsed ParseArguments(const std::vector<std::string>& words) {
  if (words.empty())
    return Error("no command given");
  const std::optional<Command> command = CommandNamed(words.front());
  if (!command)
    return Error("unknown command: " + words.front());
  Arguments arguments;
  arguments.command = *command;
  if (*command == Command::Help || *command == Command::Version)
    return Parsed{arguments, {}};
  std::string operation;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--help" || word == "-h") {
      arguments.command = Command::Help;
      return Parsed{arguments, {}};
    }
    if (std::string* value = ValueOf(arguments, word, operation)) {
      if (i + 1 >= words.size())
        return Error(word + " needs a value");
      *value = words[++i];
    } else if (SetFlag(arguments, word)) {
      continue;
    } else if (word.starts_with("-") && word.size() > 1) {
      return Error("unknown option: " + word);
    } else if (!arguments.input.empty()) {
      return Error("one input part only: " + word);
    } else {
      arguments.input = word;
    }
  }
  if (const std::string incomplete = Incomplete(arguments, operation); !incomplete.empty())
    return Error(incomplete);
  if (!operation.empty()) {
    bool known = false;
    for (const Named& named : kOperations) {
      if (operation == named.name) {
        arguments.operation = named.operation;
        known = true;
      }
    }
    if (!known)
      return Error("unknown operation: " + operation);
  }
  return Parsed{arguments, {}};
}

}  // namespace velmora::cli
