// velmora-cli: the dialog's commands without a window, for scripts and large migrations. See
// --help for the commands and the exit statuses.

#include <cstdio>
#include <cstdlib>
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
  // The fast schedule reads how many tools may run side by side where the window's reads it.
  if (!arguments.jobs.empty()) {
#ifdef _WIN32
    _putenv_s("VELMORA_JOBS", arguments.jobs.c_str());
#else
    setenv("VELMORA_JOBS", arguments.jobs.c_str(), 1);
#endif
  }
  velmora::platform::RealHost host;
  velmora::platform::UfunLibrary cad;
  return static_cast<int>(velmora::cli::Execute(arguments, console, host, cad));
}
