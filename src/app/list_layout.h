#pragma once
// How the part list is laid out, whichever window shows it: how tall the window opens, and how a
// text too wide for its column is shortened.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::app {

// The rows the list shows when the window opens, where the screen allows.
inline constexpr int kInitialListRows = 12;

// What the list needs around its rows, in pixels: its header and its two borders together.
struct ListChrome {
  int rowHeight = 0;
  int headerHeight = 0;
  int frame = 0;
};

// The client height at which the list, placed as ListGeometryForClient places it, shows `rows` whole
// rows; no more than `available` (the screen's room for the client area), and never less than the
// template's height, below which the list does not shrink.
[[nodiscard]] int ClientHeightForRows(int rows, const ListChrome& chrome, int available);

// One column of the list, for fitting its width.
struct ColumnFit {
  int content = 0;         // its widest text, header included, with the cell's margins
  int current = 0;         // its width now
  bool userSized = false;  // by the user, now or at an earlier start: kept as it is
  bool elidable = false;   // its texts are elided in the middle when they do not fit
};

// The columns' widths: a column sized by the user keeps its width, the others take their contents'
// width, but the elidable ones share what the others leave of `available`, each at least `minimum`,
// and a narrow one gives what it does not need to the others.
[[nodiscard]] std::vector<int> FitColumnWidths(std::span<const ColumnFit> columns, int available,
                                               int minimum);

// Width in pixels of a cp932 text, as the window draws it.
using MeasureText = std::function<int(std::string_view)>;

// A cp932 text shortened in its middle to fit `width`, "…" in place of what is cut. Its end is kept
// before its start: a folder differs from its neighbours at its end. The first component (the drive
// or the share, up to its "\") stays when the whole last component still fits beside it. Whole
// characters only; the text as it is when it fits, and "…" alone when nothing else does.
[[nodiscard]] std::string ElideMiddle(std::string_view text, int width, const MeasureText& measure);

}  // namespace velmora::app
