#include "app/list_layout.h"

#include <algorithm>
#include <vector>

#include "app/main_dialog.h"
#include "text/mbstring.h"

namespace velmora::app {
namespace {

constexpr std::string_view kEllipsis = "\x81\x63";  // "…" in cp932

// The byte offset of every character start, and the text's end.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    starts.push_back(i);
    if (text::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
      ++i;
  }
  starts.push_back(text.size());
  return starts;
}

// The earliest of the candidate starts (in ascending order) from which `lead` followed by the rest
// of the text fits: the width only grows as the start moves left, so a binary search finds it.
// npos when none fits.
std::size_t FittingTailStart(std::string_view text, const std::vector<std::size_t>& candidates,
                             std::string_view lead, int width, const MeasureText& measure) {
  std::size_t low = 0;
  std::size_t high = candidates.size();
  std::string candidate;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    candidate.assign(lead);
    candidate.append(text.substr(candidates[middle]));
    if (measure(candidate) <= width)
      high = middle;
    else
      low = middle + 1;
  }
  return low < candidates.size() ? candidates[low] : text::npos;
}

}  // namespace

int ClientHeightForRows(int rows, const ListChrome& chrome, int available) {
  // Above the template's height the list grows with the client area, pixel for pixel.
  constexpr int kTall = 1 << 16;
  const int aroundList = kTall - ListGeometryForClient(0, kTall).height;
  const int templateHeight = aroundList + ListGeometryForClient(0, 0).height;
  const int wanted = aroundList + chrome.frame + chrome.headerHeight + rows * chrome.rowHeight;
  return std::max(templateHeight, std::min(wanted, available));
}

std::vector<int> FitColumnWidths(std::span<const ColumnFit> columns, int available, int minimum) {
  std::vector<int> widths(columns.size());
  std::vector<std::size_t> sharing;
  int room = available;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnFit& column = columns[i];
    if (column.userSized)
      widths[i] = column.current;
    else if (column.elidable)
      sharing.push_back(i);
    else
      widths[i] = column.content;
    room -= widths[i];
  }
  // Narrowest first, so that what one does not need goes to those after it.
  std::sort(sharing.begin(), sharing.end(),
            [&columns](std::size_t a, std::size_t b) { return columns[a].content < columns[b].content; });
  for (std::size_t k = 0; k < sharing.size(); ++k) {
    const int share = std::max(room, 0) / static_cast<int>(sharing.size() - k);
    const int width = std::min(columns[sharing[k]].content, std::max(minimum, share));
    widths[sharing[k]] = width;
    room -= width;
  }
  return widths;
}

std::string ElideMiddle(std::string_view text, int width, const MeasureText& measure) {
  if (measure(text) <= width)
    return std::string(text);
  const std::vector<std::size_t> starts = CharacterStarts(text);
  // The first component: a drive ("D:\"), or a server after the two separators of a share.
  const std::size_t firstSeparator = text::FindFirst(text, '\\', text.starts_with("\\\\") ? 2 : 0);
  // The separators after it but for a folder's final one: the tail then begins with whole components.
  std::vector<std::size_t> separators;
  for (std::size_t i = 0; i + 1 < starts.size() - 1; ++i) {
    if (text[starts[i]] == '\\' && firstSeparator != text::npos && starts[i] > firstSeparator)
      separators.push_back(starts[i]);
  }
  if (!separators.empty()) {
    std::string lead(text.substr(0, firstSeparator + 1));
    lead.append(kEllipsis);
    if (const std::size_t start = FittingTailStart(text, separators, lead, width, measure);
        start != text::npos)
      return lead + std::string(text.substr(start));
  }
  const std::size_t start = FittingTailStart(text, starts, kEllipsis, width, measure);
  return std::string(kEllipsis) + std::string(text.substr(start == text::npos ? text.size() : start));
}

}  // namespace velmora::app
