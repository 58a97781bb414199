#pragma once
// Rules of the list's look that both windows follow: how tall the window opens, and how a cell text
// too long for its column is shortened.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::app {

// The window opens showing at least this many rows, where the screen has room.
inline constexpr int kInitialListRows = 12;

// What the window system measures for the list, in pixels.
struct ListMetrics {
  int rowHeight = 0;
  int headerHeight = 0;
  int frame = 0;  // the list's border, each side
};

// The client height at which the list, laid out by the template and its resize rule, shows `rows`
// whole rows; never below the template's own height, and not above `available` (the client height
// the screen leaves) unless the template needs more.
[[nodiscard]] int ClientHeightForRows(const ListMetrics& metrics, int rows, int available);

// One column of the list, for fitting its width.
struct ColumnFit {
  int content = 0;         // its widest text, header included, with the cell's margins
  int current = 0;         // its width now
  bool userSized = false;  // by the user, now or at an earlier start: kept as it is
  bool elidable = false;   // its texts are elided in the middle when they do not fit
};

// The least width an elidable column is given when the list is short of room.
inline constexpr int kElidedColumnMinimum = 80;

// The columns' widths: a column sized by the user keeps its width, the others take their contents'
// width, but the elidable ones share what the others leave of `available`, each at least `minimum`;
// a narrow one gives what it does not need to the others, and room beyond every content is shared
// out among them too.
[[nodiscard]] std::vector<int> FitColumnWidths(std::span<const ColumnFit> columns, int available,
                                               int minimum = kElidedColumnMinimum);

// The text's width in pixels; called once per character.
using MeasureText = std::function<int(std::string_view)>;

// The ellipsis put in place of what is left out, in cp932.
inline constexpr std::string_view kEllipsisCp932 = "\x81\x63";

// The cp932 text as it fits `width` pixels: whole when it fits, else its start and its end around
// the ellipsis, with most of the room given to the end (where folders and numbered names differ).
// Cuts fall between characters, never inside a double-byte one.
[[nodiscard]] std::string ElideMiddle(std::string_view cp932, int width, const MeasureText& measure);

}  // namespace velmora::app
