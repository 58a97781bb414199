#pragma once
// The main dialog as a native Windows dialog from the resource template: the list view driven by
// its own messages, the platform's message boxes, file dialog, wait cursor and clipboard. Every
// event goes to MainDialog.

#include <windows.h>

#include <optional>
#include <string>

#include "app/main_dialog.h"
#include "app/win/layout_store.h"
#include "app/win/progress_window.h"
#include "app/win/window_layout.h"
#include "partlist/part_list.h"
#include "platform/ui.h"

namespace velmora::app::win {

class NamingRulesDialog;

class MainWindow final : public platform::Ui, public partlist::PartListObserver {
 public:
  MainWindow(HINSTANCE instance, platform::Host& host, platform::CadLibrary& cad);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Shows the dialog and runs its message loop until it ends; the dialog's result.
  int Run();

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::string ChooseFile(const platform::FileDialogRequest& request) override;
  std::string ChooseFolder(const platform::FolderDialogRequest& request) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  platform::ClipboardFailure CopyToClipboard(std::string_view text) override;
  bool ExchangeData(bool fromControls) override;
  void BeginProgress(int total) override;
  [[nodiscard]] bool Progress(int step, std::string_view fileName) override;
  void EndProgress() override;
  void WhileWaiting() override;
  [[nodiscard]] bool StopRequested() override;

  void OnReset() override;
  void OnRowInserted(int row) override;
  void OnCellChanged(int row, int column) override;
  void OnSelectionChanged() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit();
  void OnCommand(int id);
  INT_PTR OnNotify(const NMHDR& header);
  void OnSize(int cx, int cy);
  void OnPaintMinimised();
  // The PreTranslateMessage step: true when the message was handled.
  bool PreTranslate(const MSG& message);
  void End(int result);
  void ShowPathFields();
  void SetCell(int row, int column);
  void ShowHelp();
  // The list's context menu at a screen point; (-1, -1) when asked for from the keyboard.
  void ShowListMenu(int x, int y);
  void OnListMenu(int id);
  void RenameSelected();
  // Runs the progress window's messages; reports it once it has appeared.
  void PumpProgress();
  class BoxScope;
  // The window a message box belongs to: the topmost of ours, so that closing the box enables
  // nothing a modal window has disabled.
  [[nodiscard]] HWND MessageOwner() const;
  // Where the window and its columns are, for the next start.
  void StoreLayout() const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HICON icon_ = nullptr;
  MainDialog dialog_;
  const LayoutStore store_;
  const StoredLayout stored_;
  ListColumns columns_;
  int showCommand_ = SW_SHOW;
  std::optional<ProgressWindow> progress_;
  const NamingRulesDialog* rules_ = nullptr;
  int waitDepth_ = 0;
  bool syncingSelection_ = false;
  bool ended_ = false;
  int result_ = IDCANCEL;
};

}  // namespace velmora::app::win
