// One run of the dialog in a process of its own, for the kill test: the real host, tools, batch
// interpreter and library, with a scripted UI. `run_driver change|bulk|fast-change|fast-bulk|undo|hung
// INPUT` prints every message shown and question asked (UTF-8), one per line; the fast- runs tick
// the fast schedule. `hung` is a change whose reference edits never end, stopped by the user, who
// has the tool ended.

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <string_view>

#include "app/main_dialog.h"
#include "platform/host.h"
#include "platform/ufun_library.h"
#include "support/scripted_ui.h"

namespace {

using velmora::operations::Operation;

int Run(std::string_view mode, const std::string& inputPart) {
  const bool fast = mode.starts_with("fast-");
  if (fast)
    mode.remove_prefix(5);
  velmora::testing::ScriptedUi ui;
  velmora::platform::RealHost host;
  velmora::platform::UfunLibrary cad;
  velmora::app::MainDialog dialog(ui, host, cad);
  ui.Attach(&dialog.State());
  if (!dialog.OnInitDialog())
    return 2;
  ui.files.push_back(inputPart);
  dialog.BrowseInputPart();

  ui.controlOptions.overwriteAll = 1;
  ui.controlOptions.fastSchedule = fast ? 1 : 0;
  if (mode == "undo") {
    ui.answers.push_back(true);
    dialog.UndoLastRun();
  } else if (mode == "change" || mode == "hung") {
    // Every third part gets a new name, the input part among them.
    for (int row = 0; row < dialog.State().partList.RowCount(); row += 3)
      dialog.OnEndLabelEdit(row, "k" + std::to_string(row) + ".prt");
    ui.controlOperation = Operation::Change;
    if (mode == "hung") {
      setenv("VELMORA_CAD_HANG", "-change_name", 1);
      ui.stopRequested = true;
      ui.answers.push_back(true);
    }
    dialog.OnExecute();
  } else if (mode == "bulk") {
    ui.controlOperation = Operation::UpperAllParts;
    dialog.OnExecute();
  } else {
    return 2;
  }
  for (const std::string& question : ui.questions)
    printf("%s\n", question.c_str());
  for (const std::string& message : ui.messages)
    printf("%s\n", message.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3)
    return 2;
  return Run(argv[1], argv[2]);
}
