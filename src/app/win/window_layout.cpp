// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win/window_layout.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace velmora::app::win {
namespace {

// What a cell and a header draw around their text.
constexpr int kCellMargin = 14;
constexpr int kHeaderMargin = 18;

// The list's own font on a device context, for as long as it lives.
class ListDc {
 public:
  explicit ListDc(HWND list) : list_(list), dc_(GetDC(list)) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    if (dc_ != nullptr && font != nullptr)
      old_ = SelectObject(dc_, font);
  }
  ~ListDc() {
    if (dc_ == nullptr)
      return;
    if (old_ != nullptr)
      SelectObject(dc_, old_);
    ReleaseDC(list_, dc_);
  }
  ListDc(const ListDc&) = delete;
  ListDc& operator=(const ListDc&) = delete;

  [[nodiscard]] int Width(std::string_view text) const {
    SIZE size{};
    if (dc_ == nullptr || !GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size))
      return 0;
    return size.cx;
  }

 private:
  HWND list_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

void CopyInto(std::string_view text, char* buffer, int room) {
  if (buffer == nullptr || room <= 0)
    return;
  // Whole characters only: a lead byte left without its trail would take the terminator with it.
  std::size_t length = std::min(text.size(), static_cast<std::size_t>(room - 1));
  if (length < text.size() && length > 0 && IsDBCSLeadByte(static_cast<BYTE>(text[length - 1]))) {
    std::size_t i = 0;
    while (i < length)
      i += IsDBCSLeadByte(static_cast<BYTE>(text[i])) ? 2 : 1;
    if (i > length)
      length -= 1;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

int ColumnWidth(HWND list, int column) {
  return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

}  // namespace

ListColumns::ListColumns(const partlist::PartList& rows, const StoredLayout& stored) : rows_(rows) {
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const int width = stored.columnWidths[static_cast<std::size_t>(column)];
    userSized_[static_cast<std::size_t>(column)] = width > 0;
    shown_[static_cast<std::size_t>(column)] = width;
  }
}

bool ListColumns::DrawnOnDemand(int column) {
  return column == partlist::kFolderName || column == partlist::kNewFolderName;
}

void ListColumns::Insert(HWND list, const std::array<std::string, partlist::kColumnCount>& headers) {
  list_ = list;
  const ListDc dc(list_);
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const auto index = static_cast<std::size_t>(column);
    std::string header = headers[index];
    headerWidths_[index] = dc.Width(header) + kHeaderMargin;
    contents_[index] = headerWidths_[index];
    if (!userSized_[index])
      shown_[index] = contents_[index];
    LVCOLUMNA spec{};
    spec.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    const bool marks = column >= partlist::kEdited && column <= partlist::kDuplicate;
    spec.fmt = column == 0 ? LVCFMT_LEFT : (marks ? LVCFMT_CENTER : LVCFMT_RIGHT);
    spec.cx = shown_[index];
    spec.pszText = header.data();
    spec.iSubItem = column;
    SendMessageA(list_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&spec));
  }
}

ListMetrics ListColumns::Metrics() const {
  ListMetrics metrics;
  // A row is as tall as the view makes it: one is put in and taken out again to see.
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
  char probe[] = "X";
  item.pszText = probe;
  const int index =
      static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  RECT row{};
  row.left = LVIR_BOUNDS;
  if (index >= 0 && SendMessageA(list_, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)))
    metrics.rowHeight = row.bottom - row.top;
  if (index >= 0)
    SendMessageA(list_, LVM_DELETEITEM, index, 0);
  RECT header{};
  if (const auto control = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
      control != nullptr && GetWindowRect(control, &header))
    metrics.headerHeight = header.bottom - header.top;
  if (metrics.headerHeight <= 0)
    metrics.headerHeight = metrics.rowHeight + 6;
  RECT outer{};
  RECT inner{};
  if (GetWindowRect(list_, &outer) && GetClientRect(list_, &inner))
    metrics.frame = ((outer.bottom - outer.top) - inner.bottom) / 2;
  // A horizontal scroll bar may take a row's room when the columns are wider than the list: its
  // room is counted with the header's.
  metrics.headerHeight += GetSystemMetrics(SM_CYHSCROLL);
  return metrics;
}

int ListColumns::TextWidth(std::string_view text) const {
  return ListDc(list_).Width(text);
}

void ListColumns::Reset() {
  contents_ = headerWidths_;
  measured_.clear();
}

void ListColumns::Measure(int row, int column) {
  const std::string& text = rows_.Text(row, column);
  if (text.empty())
    return;
  int width = 0;
  // Names are mostly different; folders and marks repeat, and are measured once each.
  if (column == partlist::kNewPartName || column == partlist::kPartName) {
    width = TextWidth(text);
  } else {
    const auto [at, added] = measured_.try_emplace(text, 0);
    if (added)
      at->second = TextWidth(text);
    width = at->second;
  }
  GrowTo(column, width + kCellMargin);
}

void ListColumns::GrowTo(int column, int width) {
  int& content = contents_[static_cast<std::size_t>(column)];
  if (width <= content)
    return;
  content = width;
  if (!fitPosted_ && list_ != nullptr) {
    fitPosted_ = PostMessageA(GetParent(list_), kFitColumnsMessage, 0, 0) != FALSE;
  }
}

void ListColumns::Fit() {
  fitPosted_ = false;
  if (list_ == nullptr)
    return;
  std::array<ColumnFit, partlist::kColumnCount> columns{};
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const auto index = static_cast<std::size_t>(column);
    const int current = ColumnWidth(list_, column);
    // A width other than the one set here was set by the user, who keeps it.
    if (current != shown_[index])
      userSized_[index] = true;
    columns[index] = {contents_[index], current, userSized_[index], DrawnOnDemand(column)};
  }
  RECT client{};
  GetClientRect(list_, &client);
  const std::vector<int> widths = FitColumnWidths(columns, client.right);
  for (int column = 0; column < partlist::kColumnCount; ++column) {
    const auto index = static_cast<std::size_t>(column);
    if (widths[index] != columns[index].current)
      SendMessageA(list_, LVM_SETCOLUMNWIDTH, column, widths[index]);
    shown_[index] = widths[index];
  }
}

void ListColumns::OnGetDisplayText(NMLVDISPINFOA& info) const {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.iItem < 0 || info.item.iItem >= rows_.RowCount() ||
      !DrawnOnDemand(info.item.iSubItem))
    return;
  const std::string& text = rows_.Text(info.item.iItem, info.item.iSubItem);
  const int room = ColumnWidth(list_, info.item.iSubItem) - kCellMargin;
  const ListDc dc(list_);
  const std::string shown =
      ElideMiddle(text, room, [&dc](std::string_view piece) { return dc.Width(piece); });
  CopyInto(shown, info.item.pszText, info.item.cchTextMax);
}

// The whole text of the cell under the pointer, when the cell cannot show all of it.
void ListColumns::OnGetTip(NMLVGETINFOTIPA& tip) const {
  LVHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  ScreenToClient(list_, &hit.pt);
  if (SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0 ||
      hit.iItem >= rows_.RowCount() || hit.iSubItem < 0 || hit.iSubItem >= partlist::kColumnCount) {
    CopyInto({}, tip.pszText, tip.cchTextMax);
    return;
  }
  const std::string& text = rows_.Text(hit.iItem, hit.iSubItem);
  const bool cut = TextWidth(text) + kCellMargin > ColumnWidth(list_, hit.iSubItem);
  CopyInto(cut ? std::string_view(text) : std::string_view(), tip.pszText, tip.cchTextMax);
}

void ListColumns::FrameEditor() const {
  const auto editor = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETEDITCONTROL, 0, 0));
  if (editor == nullptr)
    return;
  SetWindowLongPtrA(editor, GWL_STYLE, GetWindowLongPtrA(editor, GWL_STYLE) | WS_BORDER);
  SetWindowPos(editor, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

std::array<int, partlist::kColumnCount> ListColumns::WidthsToStore() const {
  std::array<int, partlist::kColumnCount> widths{};
  for (int column = 0; column < partlist::kColumnCount && list_ != nullptr; ++column) {
    const auto index = static_cast<std::size_t>(column);
    const int current = ColumnWidth(list_, column);
    widths[index] = userSized_[index] || current != shown_[index] ? current : 0;
  }
  return widths;
}

int WindowDpi(HWND window) {
  // Asked of the system only where it knows per-monitor DPI; elsewhere the screen's.
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto forWindow = reinterpret_cast<GetDpi>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (forWindow != nullptr)
    if (const UINT dpi = forWindow(window); dpi > 0)
      return static_cast<int>(dpi);
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kRuleDpi;
  if (screen != nullptr)
    ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kRuleDpi;
}

ListGeometry ScaledListGeometry(HWND window, int cx, int cy) {
  const int dpi = WindowDpi(window);
  const ListGeometry rule = ListGeometryForClient(MulDiv(cx, kRuleDpi, dpi), MulDiv(cy, kRuleDpi, dpi));
  return {MulDiv(rule.x, dpi, kRuleDpi), MulDiv(rule.y, dpi, kRuleDpi), MulDiv(rule.width, dpi, kRuleDpi),
          MulDiv(rule.height, dpi, kRuleDpi)};
}

int PlaceWindow(HWND window, const StoredLayout& stored, const ListMetrics& metrics) {
  if (stored.placement) {
    WINDOWPLACEMENT placement = *stored.placement;
    if (MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONULL) != nullptr) {
      const bool maximised = placement.showCmd == SW_SHOWMAXIMIZED;
      placement.showCmd = SW_HIDE;
      placement.flags = 0;
      if (SetWindowPlacement(window, &placement))
        return maximised ? SW_SHOWMAXIMIZED : SW_SHOW;
    }
  }
  RECT frame{};
  RECT client{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetWindowRect(window, &frame) || !GetClientRect(window, &client) ||
      !GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
    return SW_SHOW;
  const int around = (frame.bottom - frame.top) - client.bottom;
  const RECT& work = monitor.rcWork;
  // The rule's pixels are at 96 DPI, the measured ones the monitor's.
  const int dpi = WindowDpi(window);
  const auto rule = [dpi](int pixels) { return MulDiv(pixels, kRuleDpi, dpi); };
  const ListMetrics ruleMetrics{rule(metrics.rowHeight), rule(metrics.headerHeight), rule(metrics.frame)};
  const int wanted =
      ClientHeightForRows(ruleMetrics, kInitialListRows, rule((work.bottom - work.top) - around));
  const int height = around + MulDiv(wanted, dpi, kRuleDpi);
  const int top = std::max<int>(work.top, std::min<int>(frame.top, work.bottom - height));
  SetWindowPos(window, nullptr, frame.left, top, frame.right - frame.left, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return SW_SHOW;
}

}  // namespace velmora::app::win
