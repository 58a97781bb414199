// windows.h first, and its CopyFile macro gone before the seam's member of that name is seen.
// clang-format off
#include <windows.h>
#undef CopyFile
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shellapi.h>
#include <windowsx.h>
// clang-format on

#include "app/win/main_window.h"

#include <array>
#include <cstring>

#include "app/win/naming_rules_dialog.h"
#include "app/win/resource.h"
#include "resources/messages/captions.h"
#include "text/codec.h"

namespace velmora::app::win {
namespace {

// The option check boxes, in the order the dialog exchanges them.
struct OptionBox {
  int id;
  int operations::Options::*field;
};
constexpr std::array<OptionBox, 7> kOptionBoxes = {{
    {IDC_SWAP_INPUT_AFTER_RUN, &operations::Options::swapInputAfterRun},
    {IDC_APPLY_TO_SAME_FOLDERS, &operations::Options::applyToSameFolders},
    {IDC_COPY_MISSING_FILES, &operations::Options::copyMissingFiles},
    {IDC_INPUT_PART_ONLY, &operations::Options::inputPartOnly},
    {IDC_OVERWRITE_ALL, &operations::Options::overwriteAll},
    {IDC_ALLOW_REPLACE_ALL, &operations::Options::allowReplaceAll},
    {IDC_FAST_SCHEDULE, &operations::Options::fastSchedule},
}};

// The radio buttons in tab order: the index is the Operation.
constexpr std::array<int, 6> kOperationIds = {IDC_INSPECT,           IDC_CHANGE,
                                              IDC_LOWER_ALL_FOLDERS, IDC_LOWER_ALL_PARTS,
                                              IDC_UPPER_ALL_PARTS,   IDC_REMOVE_ALL_FOLDERS};

// "desc|pattern||" as the file dialog wants it: NUL between the pieces. A "|" can be the trail byte
// of a double-byte character, so lead bytes are stepped over.
std::string FilterPairs(std::string_view filter) {
  std::string out;
  for (std::size_t i = 0; i < filter.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(filter[i])) && i + 1 < filter.size()) {
      out.push_back(filter[i]);
      out.push_back(filter[++i]);
      continue;
    }
    out.push_back(filter[i] == '|' ? '\0' : filter[i]);
  }
  out.push_back('\0');
  return out;
}

std::string Title() {
  return text::Cp932(msg::kWindowTitle);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, platform::Host& host, platform::CadLibrary& cad)
    : instance_(instance),
      dialog_(*this, host, cad),
      stored_(store_.Load()),
      columns_(dialog_.State().partList, stored_) {
  icon_ = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_VELMORA));
  dialog_.State().partList.SetObserver(this);
}

MainWindow::~MainWindow() {
  dialog_.State().partList.SetObserver(nullptr);
  if (window_ != nullptr)
    DestroyWindow(window_);
}

// A modeless dialog with the message loop here, so every queued message passes PreTranslate first.
int MainWindow::Run() {
  window_ = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr, DialogProc,
                               reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr)
    return -1;
  if (!ended_)
    ShowWindow(window_, showCommand_);
  MSG message;
  while (!ended_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (PreTranslate(message) || IsDialogMessageA(window_, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DestroyWindow(window_);
  window_ = nullptr;
  return result_;
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<MainWindow*>(lParam);
    self->window_ = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, DWLP_USER));
  return self == nullptr ? FALSE : self->Handle(message, wParam, lParam);
}

INT_PTR MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED)
        OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE:
      OnSize(LOWORD(lParam), HIWORD(lParam));
      return FALSE;
    case WM_PAINT:
      if (!IsIconic(window_))
        return FALSE;
      OnPaintMinimised();
      return TRUE;
    case WM_QUERYDRAGICON:
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(icon_));
      return TRUE;
    case WM_CLOSE:
      OnCommand(IDCANCEL);
      return TRUE;
    case kFitColumnsMessage:
      columns_.Fit();
      return TRUE;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != list_)
        return FALSE;
      ShowListMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return TRUE;
    case WM_DESTROY:
      WinHelpA(window_, nullptr, HELP_QUIT, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

void MainWindow::OnInit() {
  list_ = GetDlgItem(window_, IDC_PART_LIST);
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP);
  std::array<std::string, partlist::kColumnCount> headers;
  for (std::size_t column = 0; column < headers.size(); ++column)
    headers[column] = text::Cp932(msg::kColumnHeaders[column]);
  columns_.Insert(list_, headers);
  showCommand_ = PlaceWindow(window_, stored_, columns_.Metrics());
  RECT client{};
  GetClientRect(window_, &client);
  OnSize(client.right, client.bottom);
  if (!dialog_.OnInitDialog())
    End(3);
  ShowPathFields();
}

void MainWindow::StoreLayout() const {
  StoredLayout layout;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (GetWindowPlacement(window_, &placement))
    layout.placement = placement;
  layout.columnWidths = columns_.WidthsToStore();
  static_cast<void>(store_.Save(layout));
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case IDOK:
      dialog_.OnExecute();
      break;
    case IDCANCEL:
      if (dialog_.OnCancel()) {
        StoreLayout();
        End(IDCANCEL);
      }
      return;
    case IDC_BROWSE_EDIT_TOOL:
      dialog_.BrowseEditTool();
      break;
    case IDC_BROWSE_PC_TOOL:
      dialog_.BrowsePcTool();
      break;
    case IDC_BROWSE_INPUT_PART:
      dialog_.BrowseInputPart();
      break;
    case IDC_NEW_FOLDER:
      dialog_.ChooseNewFolder();
      break;
    case IDC_CLEAR_NEW_FOLDER:
      dialog_.ClearNewFolder();
      break;
    case IDC_HELP_COMMAND:
      ShowHelp();
      return;
    default:
      return;
  }
  ShowPathFields();
}

INT_PTR MainWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != list_)
    return FALSE;
  switch (header.code) {
    case LVN_ENDLABELEDITA: {
      const auto& info = reinterpret_cast<const NMLVDISPINFOA&>(header);
      std::optional<std::string> edited;
      if (info.item.pszText != nullptr)
        edited = std::string(info.item.pszText);
      dialog_.OnEndLabelEdit(info.item.iItem, std::move(edited));
      // The list shows the cell as the program stored it, never the typed text.
      SetCell(info.item.iItem, partlist::kNewPartName);
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, FALSE);
      return TRUE;
    }
    case LVN_BEGINLABELEDITA:
      columns_.FrameEditor();
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, FALSE);
      return TRUE;
    case LVN_GETDISPINFOA:
      columns_.OnGetDisplayText(reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header)));
      return TRUE;
    case LVN_GETINFOTIPA:
      columns_.OnGetTip(reinterpret_cast<NMLVGETINFOTIPA&>(const_cast<NMHDR&>(header)));
      return TRUE;
    case LVN_COLUMNCLICK:
      dialog_.SortByColumn(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return TRUE;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (syncingSelection_ || change.iItem < 0 || (change.uChanged & LVIF_STATE) == 0)
        return TRUE;
      const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
      if (selected != ((change.uOldState & LVIS_SELECTED) != 0)) {
        syncingSelection_ = true;
        dialog_.State().partList.SetSelected(change.iItem, selected);
        syncingSelection_ = false;
      }
      return TRUE;
    }
    case LVN_KEYDOWN:
      // The list view starts no label edit on F2 by itself.
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_F2) {
        const int focused = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
        if (focused >= 0)
          SendMessageA(list_, LVM_EDITLABELA, focused, 0);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

void MainWindow::OnSize(int cx, int cy) {
  if (list_ == nullptr)
    return;
  const ListGeometry geometry = ScaledListGeometry(window_, cx, cy);
  MoveWindow(list_, geometry.x, geometry.y, geometry.width, geometry.height, TRUE);
  columns_.Fit();
}

void MainWindow::OnPaintMinimised() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(window_, &client);
  const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(window_, &paint);
}

bool MainWindow::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN || (GetKeyState(VK_CONTROL) & 0x8000) == 0 || list_ == nullptr ||
      GetFocus() != list_)
    return false;
  if (message.wParam == 'C') {
    dialog_.CopyPartName();
    return true;
  }
  if (message.wParam == 'Z') {
    OnListMenu(IDM_UNDO_LAST_RUN);
    return true;
  }
  return false;
}

// The same entries, texts and order as the other windows' list menu.
void MainWindow::ShowListMenu(int x, int y) {
  struct Entry {
    int id;
    std::string_view caption;
  };
  constexpr std::array<Entry, 6> kEntries = {{{IDM_UNDO_LAST_RUN, msg::kMenuUndoLastRun},
                                              {0, {}},
                                              {IDM_RENAME_SELECTED, msg::kMenuRenameSelected},
                                              {0, {}},
                                              {IDM_EXPORT_CSV, msg::kMenuExportCsv},
                                              {IDM_IMPORT_CSV, msg::kMenuImportCsv}}};
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr)
    return;
  for (const Entry& entry : kEntries) {
    if (entry.id == 0) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuA(menu, MF_STRING, entry.id, text::Cp932(entry.caption).c_str());
  }
  if (x == -1 && y == -1) {
    // From the keyboard: under the focused row, or at the list's corner.
    RECT at{};
    const int focused = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    if (focused < 0 || !ListView_GetItemRect(list_, focused, &at, LVIR_LABEL))
      at = RECT{};
    POINT point{at.left, at.bottom};
    ClientToScreen(list_, &point);
    x = point.x;
    y = point.y;
  }
  const int chosen = static_cast<int>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, window_, nullptr));
  DestroyMenu(menu);
  if (chosen != 0)
    OnListMenu(chosen);
}

void MainWindow::OnListMenu(int id) {
  switch (id) {
    case IDM_UNDO_LAST_RUN:
      dialog_.UndoLastRun();
      break;
    case IDM_RENAME_SELECTED:
      RenameSelected();
      break;
    case IDM_EXPORT_CSV:
      dialog_.ExportPlanCsv();
      break;
    case IDM_IMPORT_CSV:
      dialog_.ImportPlanCsv();
      break;
    default:
      return;
  }
  ShowPathFields();
}

void MainWindow::RenameSelected() {
  if (!dialog_.CanRenameSelected())
    return;
  NamingRulesDialog rules(dialog_.State().partList,
                          [this](const partlist::NamingRule* rule) { return dialog_.ApplyNamingRule(rule); });
  rules_ = &rules;
  static_cast<void>(rules.Run(instance_, window_));
  rules_ = nullptr;
}

HWND MainWindow::MessageOwner() const {
  if (rules_ != nullptr && rules_->Window() != nullptr)
    return rules_->Window();
  return window_;
}

void MainWindow::End(int result) {
  result_ = result;
  ended_ = true;
  ShowWindow(window_, SW_HIDE);
}

void MainWindow::ShowPathFields() {
  const operations::DialogState& state = dialog_.State();
  SetDlgItemTextA(window_, IDC_EDIT_TOOL_PATH, state.editToolPath.c_str());
  SetDlgItemTextA(window_, IDC_PC_TOOL_PATH, state.pcToolPath.c_str());
  SetDlgItemTextA(window_, IDC_INPUT_PART_PATH, state.inputPartPath.c_str());
}

void MainWindow::SetCell(int row, int column) {
  std::string text = dialog_.State().partList.Text(row, column);
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = ListColumns::DrawnOnDemand(column) ? LPSTR_TEXTCALLBACKA : text.data();
  SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  columns_.Measure(row, column);
}

void MainWindow::ShowHelp() {
  char self[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string help(self, length);
  help = help.substr(0, help.find_last_of('\\') + 1) + "help.html";
  ShellExecuteA(window_, "open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The progress window of a run is out of the way while one of its boxes is up.
class MainWindow::BoxScope {
 public:
  explicit BoxScope(MainWindow& window) : window_(&window) {
    if (window.progress_)
      window.progress_->Suspend();
  }
  ~BoxScope() {
    if (window_->progress_)
      window_->progress_->Resume();
  }
  BoxScope(const BoxScope&) = delete;
  BoxScope& operator=(const BoxScope&) = delete;

 private:
  MainWindow* window_;
};

void MainWindow::ShowMessage(std::string_view text) {
  const BoxScope box(*this);
  MessageBoxA(MessageOwner(), std::string(text).c_str(), Title().c_str(), MB_OK);
}

bool MainWindow::AskYesNo(std::string_view text) {
  const BoxScope box(*this);
  return MessageBoxA(MessageOwner(), std::string(text).c_str(), Title().c_str(),
                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool MainWindow::StopRequested() {
  return progress_ && progress_->StopRequested();
}

std::string MainWindow::ChooseFile(const platform::FileDialogRequest& request) {
  ShowPathFields();
  const std::string filter = FilterPairs(request.filter);
  std::string file(MAX_PATH * 4, '\0');
  std::memcpy(file.data(), request.initialName.data(), std::min(request.initialName.size(), file.size() - 1));
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = MessageOwner();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = request.title.c_str();
  dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
  dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  dialog.Flags = request.flags | OFN_EXPLORER;
  const BOOL chosen = request.open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
  if (!chosen)
    return {};
  file.resize(std::strlen(file.c_str()));
  return file;
}

namespace {

// Opens the folder chooser on the folder it is given.
int CALLBACK SelectInitialFolder(HWND dialog, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED && folder != 0)
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, folder);
  return 0;
}

}  // namespace

// The platform's folder chooser, in which a new folder can be made too. The folder comes back
// without its final separator, but for a drive's root.
std::string MainWindow::ChooseFolder(const platform::FolderDialogRequest& request) {
  ShowPathFields();
  // The chooser with its make-folder button needs the component library of the thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  BROWSEINFOA browse{};
  browse.hwndOwner = window_;
  browse.lpszTitle = request.title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = SelectInitialFolder;
  browse.lParam = request.initialFolder.empty() ? 0 : reinterpret_cast<LPARAM>(request.initialFolder.c_str());
  std::string folder;
  if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse); chosen != nullptr) {
    folder.assign(MAX_PATH * 2, '\0');
    if (SHGetPathFromIDListA(chosen, folder.data()) != 0)
      folder.resize(std::strlen(folder.c_str()));
    else
      folder.clear();
    CoTaskMemFree(chosen);
  }
  if (SUCCEEDED(com))
    CoUninitialize();
  return folder;
}

void MainWindow::BeginWaitCursor() {
  ++waitDepth_;
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void MainWindow::EndWaitCursor() {
  if (waitDepth_ > 0 && --waitDepth_ == 0)
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

// Plain text through global memory, as the clipboard takes it.
platform::ClipboardFailure MainWindow::CopyToClipboard(std::string_view text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory == nullptr)
    return platform::ClipboardFailure::Allocate;
  char* bytes = static_cast<char*>(GlobalLock(memory));
  if (bytes == nullptr) {
    GlobalFree(memory);
    return platform::ClipboardFailure::Lock;
  }
  std::memcpy(bytes, text.data(), text.size());
  bytes[text.size()] = '\0';
  GlobalUnlock(memory);
  if (!OpenClipboard(window_)) {
    GlobalFree(memory);
    return platform::ClipboardFailure::Open;
  }
  if (!EmptyClipboard()) {
    CloseClipboard();
    GlobalFree(memory);
    return platform::ClipboardFailure::Empty;
  }
  if (SetClipboardData(CF_TEXT, memory) == nullptr) {
    CloseClipboard();
    GlobalFree(memory);
    return platform::ClipboardFailure::SetData;
  }
  CloseClipboard();  // the clipboard owns the memory now
  return platform::ClipboardFailure::None;
}

bool MainWindow::ExchangeData(bool fromControls) {
  operations::DialogState& state = dialog_.State();
  if (fromControls) {
    for (const OptionBox& option : kOptionBoxes)
      state.options.*option.field = IsDlgButtonChecked(window_, option.id) == BST_CHECKED ? 1 : 0;
    for (std::size_t i = 0; i < kOperationIds.size(); ++i)
      if (IsDlgButtonChecked(window_, kOperationIds[i]) == BST_CHECKED)
        state.operation = static_cast<operations::Operation>(i);
    return true;
  }
  for (const OptionBox& option : kOptionBoxes)
    CheckDlgButton(window_, option.id, state.options.*option.field != 0 ? BST_CHECKED : BST_UNCHECKED);
  for (std::size_t i = 0; i < kOperationIds.size(); ++i)
    CheckDlgButton(window_, kOperationIds[i],
                   i == static_cast<std::size_t>(state.operation) ? BST_CHECKED : BST_UNCHECKED);
  ShowPathFields();
  return true;
}

void MainWindow::BeginProgress(int total) {
  progress_.emplace(instance_, window_, total);
}

bool MainWindow::Progress(int step, std::string_view fileName) {
  if (!progress_)
    return false;
  const bool stop = progress_->Step(step, fileName);
  PumpProgress();
  return stop || progress_->StopRequested();
}

void MainWindow::PumpProgress() {
  progress_->Pump();
}

void MainWindow::EndProgress() {
  progress_.reset();
}

void MainWindow::WhileWaiting() {
  if (progress_)
    PumpProgress();
  else
    PumpPaintOnly();
}

void MainWindow::OnReset() {
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  columns_.Reset();
  const int rows = dialog_.State().partList.RowCount();
  for (int row = 0; row < rows; ++row)
    OnRowInserted(row);
}

void MainWindow::OnRowInserted(int row) {
  std::string first = dialog_.State().partList.Text(row, 0);
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = first.data();
  SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  columns_.Measure(row, 0);
  for (int column = 1; column < partlist::kColumnCount; ++column)
    SetCell(row, column);
}

void MainWindow::OnCellChanged(int row, int column) {
  SetCell(row, column);
}

void MainWindow::OnSelectionChanged() {
  if (syncingSelection_)
    return;
  syncingSelection_ = true;
  const partlist::PartList& list = dialog_.State().partList;
  for (int row = 0; row < list.RowCount(); ++row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = list.IsSelected(row) ? LVIS_SELECTED : 0;
    SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  syncingSelection_ = false;
}

}  // namespace velmora::app::win
