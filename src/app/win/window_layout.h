#pragma once
// The part list's columns and the main window's place: widths from the contents, folders elided in
// the middle with the whole text as the row's tip, the in-place editor framed, and the window
// opened tall enough for the list's rows or where it was left.

// The common controls' header needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <array>
#include <string>
#include <unordered_map>

#include "app/list_layout.h"
#include "app/main_dialog.h"
#include "app/win/layout_store.h"
#include "partlist/part_list.h"

namespace velmora::app::win {

// Posted when the contents have changed: the columns are fitted once the handler at work is done.
inline constexpr UINT kFitColumnsMessage = WM_APP + 1;

class ListColumns {
 public:
  ListColumns(const partlist::PartList& rows, const StoredLayout& stored);

  // The ten columns inserted into the list view, with their headers (cp932).
  void Insert(HWND list, const std::array<std::string, partlist::kColumnCount>& headers);
  // Measured on the list as it draws: its row, its header and its borders.
  [[nodiscard]] ListMetrics Metrics() const;
  // Texts the view asks for when it draws them (the elided folders), rather than holds.
  [[nodiscard]] static bool DrawnOnDemand(int column);

  void Reset();
  void Measure(int row, int column);
  void Fit();

  void OnGetDisplayText(NMLVDISPINFOA& info) const;
  void OnGetTip(NMLVGETINFOTIPA& tip) const;
  void FrameEditor() const;
  [[nodiscard]] std::array<int, partlist::kColumnCount> WidthsToStore() const;

 private:
  [[nodiscard]] int TextWidth(std::string_view text) const;
  void GrowTo(int column, int width);

  const partlist::PartList& rows_;
  HWND list_ = nullptr;
  std::array<int, partlist::kColumnCount> headerWidths_{};
  std::array<int, partlist::kColumnCount> contents_{};
  std::array<int, partlist::kColumnCount> shown_{};  // the widths last set here
  std::array<bool, partlist::kColumnCount> userSized_{};
  mutable std::unordered_map<std::string, int> measured_;  // repeated texts: folders, marks
  bool fitPosted_ = false;
};

// The resize rule's pixels are those of a screen of 96 DPI; a window on another scales them.
inline constexpr int kRuleDpi = 96;
[[nodiscard]] int WindowDpi(HWND window);
// Where the list goes in a client area of cx × cy pixels of the window's monitor.
[[nodiscard]] ListGeometry ScaledListGeometry(HWND window, int cx, int cy);

// Places the window before it is first shown: where it was left when that is on a screen, else
// tall enough for the list's first rows. The command to show it with.
[[nodiscard]] int PlaceWindow(HWND window, const StoredLayout& stored, const ListMetrics& metrics);

}  // namespace velmora::app::win
