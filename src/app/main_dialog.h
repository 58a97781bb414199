#pragma once
// The main dialog's logic without any window: its state, every handler and the dispatcher behind
// "実行". A window forwards its events here and implements platform::Ui for the handlers.

#include <optional>
#include <string>

#include "operations/context.h"
#include "operations/dialog_state.h"
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

class MainDialog {
 public:
  MainDialog(platform::Ui& ui, platform::Host& host);
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

  void BrowseEditTool();
  void BrowsePcTool();
  void BrowseInputPart();

  // An in-place edit of column 0 ended: nullopt when cancelled. True when the text is accepted and
  // stored as the row's new part name; false when the label is to return to its old text.
  bool OnEndLabelEdit(int row, std::optional<std::string> text);
  void ChooseNewFolder();
  void ClearNewFolder();

  void SortByColumn(int column);
  // Ctrl+C while the list has the focus.
  void CopyPartName();

 private:
  operations::DialogState state_;
  operations::Context context_;
};

}  // namespace velmora::app
