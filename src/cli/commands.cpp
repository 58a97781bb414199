#include "cli/commands.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "app/main_dialog.h"
#include "cli/write_log.h"
#include "resources/messages/cli.h"
#include "text/codec.h"

namespace velmora::cli {
namespace {

bool IsWindowsForm(std::string_view path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  return drive || path.starts_with("\\\\");
}

// The host's form made absolute, as the host's file dialog would have given it: UTF-8 on Linux, the
// code page on Windows. nullopt when the code page cannot spell it.
std::optional<std::string> AbsoluteHostPath(const std::string& utf8) {
  std::error_code error;
  const std::filesystem::path absolute =
      std::filesystem::absolute(std::filesystem::path(std::u8string(utf8.begin(), utf8.end())), error);
  const std::u8string normal = absolute.lexically_normal().u8string();
  std::string spelt = error ? utf8 : std::string(normal.begin(), normal.end());
#ifdef _WIN32
  text::CodecResult cp932 = text::Utf8ToCp932(spelt);
  if (!cp932.ok)
    return std::nullopt;
  spelt = std::move(cp932.text);
#endif
  return spelt;
}

// A path from the command line in the Windows form the handlers speak; nullopt after its message
// when it has none or when nothing is there (what the file dialog guarantees a window).
std::optional<std::string> WindowsForm(platform::Host& host, const Console& console, platform::Ui& ui,
                                       const std::string& given) {
  std::optional<std::string> path;
  const bool windowsForm = IsWindowsForm(given);
  const std::optional<std::string> spelt =
      windowsForm ? console.ToCp932(given) : AbsoluteHostPath(console.ToUtf8(given));
  if (!spelt) {
    ui.ShowMessage(msg::kCliPathNotCp932());
    console.WriteGiven(stderr, given + "\n");
    return std::nullopt;
  }
  if (windowsForm) {
    path = spelt;
  } else {
    const platform::WindowsPath mapped = host.ToWindowsPath(*spelt);
    if (!mapped.ok) {
      ui.ShowMessage(mapped.reason);
      return std::nullopt;
    }
    path = mapped.path;
  }
  if (!host.Stat(*path)) {
    ui.ShowMessage(msg::kCliNoSuchFile(*path));
    return std::nullopt;
  }
  return path;
}

// A tool chosen as through its 参照 button: the window's checks of the file name apply.
bool ChooseTool(app::MainDialog& dialog, ConsoleUi& ui, platform::Host& host, const Console& console,
                const std::string& given, bool editTool) {
  if (given.empty())
    return true;
  const std::optional<std::string> path = WindowsForm(host, console, ui, given);
  if (!path)
    return false;
  ui.files.push_back(*path);
  if (editTool)
    dialog.BrowseEditTool();
  else
    dialog.BrowsePcTool();
  const std::string& field = editTool ? dialog.State().editToolPath : dialog.State().pcToolPath;
  return !field.empty();
}

Exit FromOutcome(app::RunOutcome outcome) {
  switch (outcome) {
    case app::RunOutcome::Finished:
      return Exit::Done;
    case app::RunOutcome::FinishedWithFaults:
      return Exit::Unresolved;
    case app::RunOutcome::Broken:
      return Exit::Broken;
    case app::RunOutcome::None:
    case app::RunOutcome::Refused:
      break;
  }
  return Exit::Refused;
}

// The input part listed and the plan read, as 参照(C)... and the CSV import do; false after the
// handlers' messages.
bool ListAndPlan(app::MainDialog& dialog, ConsoleUi& ui, platform::Host& host, const Console& console,
                 const Arguments& arguments) {
  const std::optional<std::string> input = WindowsForm(host, console, ui, arguments.input);
  if (!input)
    return false;
  ui.files.push_back(*input);
  dialog.BrowseInputPart();
  if (dialog.State().inputPartPath.empty())
    return false;
  if (arguments.plan.empty())
    return true;
  const std::optional<std::string> plan = WindowsForm(host, console, ui, arguments.plan);
  if (!plan)
    return false;
  ui.files.push_back(*plan);
  return dialog.ImportPlanCsv();
}

Exit Drive(app::MainDialog& dialog, ConsoleUi& ui, platform::Host& host, const Console& console,
           const Arguments& arguments) {
  if (!ChooseTool(dialog, ui, host, console, arguments.editTool, true) ||
      !ChooseTool(dialog, ui, host, console, arguments.pcTool, false))
    return Exit::Refused;
  if (arguments.command == Command::Undo)
    return dialog.UndoLastRun() ? Exit::Done : Exit::Refused;
  if (!ListAndPlan(dialog, ui, host, console, arguments))
    return Exit::Refused;
  if (arguments.command != Command::List) {
    dialog.OnExecute();
    if (arguments.command == Command::Run)
      return FromOutcome(dialog.LastOutcome());
  }
  console.Write(stdout, dialog.PlanCsvText());
  return FromOutcome(dialog.LastOutcome() == app::RunOutcome::None ? app::RunOutcome::Finished
                                                                   : dialog.LastOutcome());
}

}  // namespace

Exit Execute(const Arguments& arguments, const Console& console, platform::Host& host,
             platform::CadLibrary& cad) {
  ConsoleUi ui(console, ConsoleSettings{arguments.yes, arguments.verbose});
  ui.options = arguments.options;
  ui.operation = arguments.operation;
  std::optional<RunLog> log;
  if (!arguments.log.empty()) {
    log.emplace(host, console.ToUtf8(arguments.log));
    if (!log->Opened()) {
      ui.ShowMessage(msg::kCliLogOpenFailed(console.ToCp932(arguments.log).value_or(arguments.log)));
      return Exit::Refused;
    }
  }
  platform::Host& seen = log ? log->Host() : host;
  app::MainDialog dialog(ui, seen, cad);
  ui.Attach(dialog.State());
  if (!dialog.OnInitDialog())
    return Exit::Refused;
  const Exit exit = Drive(dialog, ui, seen, console, arguments);
  if (log)
    log->Write();
  return exit;
}

}  // namespace velmora::cli
