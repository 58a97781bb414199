// velmora-cli: the dialog's commands without a window, for scripts and large migrations. See
// --help for the commands and the exit statuses.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "platform/host.h"
#include "platform/ufun_library.h"
#include "resources/messages/cli.h"
#include "resources/version.h"

int main(int argc, char** argv) {
  using velmora::cli::Command;
  using velmora::cli::Exit;
  const velmora::cli::Console console;
  const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
  const velmora::cli::Parsed parsed = velmora::cli::ParseArguments(words);
  if (!parsed.arguments) {
    const std::string error = console.ToCp932(parsed.error).value_or(std::string());
    console.Write(stderr, velmora::msg::kCliBadArguments(error) + "\n" + velmora::msg::kCliUsage());
    return static_cast<int>(Exit::BadArguments);
  }
  const velmora::cli::Arguments& arguments = *parsed.arguments;
  if (arguments.command == Command::Version) {
    std::printf("velmora-cli %.*s\n", static_cast<int>(velmora::msg::kVersion.size()),
                velmora::msg::kVersion.data());
    return 0;
  }
  if (arguments.command == Command::Help) {
    console.Write(stdout, velmora::msg::kCliUsage() + velmora::msg::kCliHelp());
    return 0;
  }
  velmora::platform::RealHost host;
  velmora::platform::UfunLibrary cad;
  return static_cast<int>(velmora::cli::Execute(arguments, console, host, cad));
}
