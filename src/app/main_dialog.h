#pragma once
// The main dialog's logic without any window: its state, every handler and the dispatcher behind
// "実行". A window forwards its events here and implements platform::Ui for the handlers.

#include <optional>
#include <string>

#include "operations/context.h"
#include "operations/dialog_state.h"
#include "partlist/naming_rules.h"
#include "platform/cad_library.h"
#include "platform/host.h"
#include "platform/ui.h"

namespace velmora::app {

// Where the list goes for a client area of cx × cy pixels.
struct ListGeometry {
  int x = 9;
  int y = 236;
  int width = 963;
  int height = 57;
};
ListGeometry ListGeometryForClient(int cx, int cy);

// Why a typed or generated name is refused, for a message that names it (UTF-8; empty when the
// verdict has no reason of its own).
msg::Text NameRefusalReason(partlist::NameVerdict verdict);

// How the last press of "実行" ended, for a caller without a window: refused before its first
// write, finished (with every component resolved as meant or not), or stopped or failed after it.
enum class RunOutcome { None, Refused, Finished, FinishedWithFaults, Broken };

class MainDialog {
 public:
  MainDialog(platform::Ui& ui, platform::Host& host, platform::CadLibrary& cad);
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  operations::DialogState& State() { return state_; }
  [[nodiscard]] const operations::DialogState& State() const { return state_; }

  // Dialog initialisation: the exchange towards the controls, the CAD library session, the two
  // tools under UGII_ROOT_DIR and the empty list. False when the dialog must end (result 3).
  bool OnInitDialog();
  // "終了", Escape, the close box: true when the dialog is to close.
  bool OnCancel();
  // "実行", Enter.
  void OnExecute();
  [[nodiscard]] RunOutcome LastOutcome() const { return outcome_; }

  void BrowseEditTool();
  void BrowsePcTool();
  void BrowseInputPart();

  // An in-place edit of column 0 ended: nullopt when cancelled. True when the text is accepted and
  // stored as the row's new part name; false when the label is to return to its old text.
  bool OnEndLabelEdit(int row, std::optional<std::string> text);
  void ChooseNewFolder();
  void ClearNewFolder();

  // "名前の一括変更(R)...": false, after its message, when no row is selected.
  bool CanRenameSelected();
  // Gives the selected rows the names the rule makes, as if typed; a rule that makes any name
  // invalid or two targets the same is refused as a whole, naming the first such row. True when
  // applied.
  bool RenameSelected(const partlist::NamingRule& rule);
  // The same for a rule as a window's fields give it: nullptr when a field holds text cp932 cannot
  // hold, which is refused with its message.
  bool ApplyNamingRule(const partlist::NamingRule* rule);
  // "一覧をCSVに書き出す(X)..." and "CSVから変更後の名前を読み込む(I)...".
  // The import is true when the rows took the file's values (none refused).
  void ExportPlanCsv();
  bool ImportPlanCsv();
  // The whole list as the export writes it: cp932, one record a line ending in "\n".
  [[nodiscard]] std::string PlanCsvText() const;

  void SortByColumn(int column);
  // Ctrl+C while the list has the focus.
  void CopyPartName();
  // The list's context menu, Ctrl+Z while the list has the focus: undoes the newest run kept in the
  // journal and lists the input part it had before.
  // True when a run was undone.
  bool UndoLastRun();

 private:
  // At start: says once that a run did not end, and removes the work files it left in TEMP.
  void NoticeInterruptedRuns();

  operations::DialogState state_;
  RunOutcome outcome_ = RunOutcome::None;
  operations::Context context_;
  platform::CadSession session_;
  // Where the user last chose a part or a list file: the file dialogs open there when nothing
  // nearer is known. Kept for the session only.
  std::string lastFolder_;
};

}  // namespace velmora::app
