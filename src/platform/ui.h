#pragma once
// The user-interface services every handler uses. The Qt window implements them; tests use a
// scripted implementation that records every text shown. All texts are cp932.

#include <string>
#include <string_view>

#include "resources/messages/message.h"

namespace velmora::platform {

struct FileDialogRequest {
  bool open = true;
  std::string defaultExtension;  // "exe", "prt" or empty
  std::string initialName;       // "ugpc.exe", "*.prt" or empty
  unsigned flags = 0x1004;       // OFN_FILEMUSTEXIST | OFN_HIDEREADONLY
  std::string filter;            // "desc|pattern|desc|pattern||"
  std::string title;
  // Where the dialog opens: a Windows folder path, or empty for the working directory.
  std::string initialFolder;
};

struct FolderDialogRequest {
  std::string title;
  std::string initialFolder;  // as for FileDialogRequest
};

// Which step of handing text to the clipboard failed.
enum class ClipboardFailure { None, Allocate, Lock, Open, Empty, SetData };

class Ui {
 public:
  virtual ~Ui() = default;

  // Modal box, title "velmora", OK button only, no icon.
  virtual void ShowMessage(std::string_view text) = 0;
  // Modal Yes/No box with the question icon. True for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  // A named message is shown through its call, which composes it in cp932, never as its UTF-8 text.
  template <msg::IsNamed Message>
  void ShowMessage(const Message&) = delete;
  template <msg::IsNamed Message>
  bool AskYesNo(const Message&) = delete;
  // Modal file dialog; the chosen file's Windows path, or empty when the user did not confirm.
  virtual std::string ChooseFile(const FileDialogRequest& request) = 0;
  // Modal folder chooser in which a folder can also be made; the chosen folder's Windows path, or
  // empty when the user did not confirm.
  virtual std::string ChooseFolder(const FolderDialogRequest& request) = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // Puts plain text (cp932) on the clipboard.
  virtual ClipboardFailure CopyToClipboard(std::string_view text) = 0;
  // UpdateData: fromControls copies the check boxes and radio group into the dialog's fields,
  // otherwise the fields into the controls. False when the exchange failed.
  virtual bool ExchangeData(bool fromControls) = 0;

  // A long run's progress: Begin with the number of steps, Progress at each point between two
  // files (true when the user has asked to stop there), End once the run is over. The window is
  // modal in between. A user interface without it just runs.
  virtual void BeginProgress(int total) { static_cast<void>(total); }
  [[nodiscard]] virtual bool Progress(int step, std::string_view fileName) {
    static_cast<void>(step);
    static_cast<void>(fileName);
    return false;
  }
  virtual void EndProgress() {}
  // Called again and again while a tool runs, so that the window can repaint.
  virtual void WhileWaiting() {}
  // True once the user has asked the running run to stop (中止 or the progress window's close box)
  // since BeginProgress: a tool that is still running may then be offered to be ended.
  [[nodiscard]] virtual bool StopRequested() { return false; }
};

}  // namespace velmora::platform
