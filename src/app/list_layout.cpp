#include "app/list_layout.h"

#include <algorithm>
#include <vector>

#include "text/mbstring.h"

namespace velmora::app {
namespace {

// The template's client height, and where the list starts below its top (the resize rule gives the
// list the client height less this).
constexpr int kTemplateClientHeight = 301;
constexpr int kRoomAboveAndBelowList = 244;

// Of the room left beside the ellipsis, the start gets this share; the end gets the rest.
constexpr int kStartShareDivisor = 4;

struct Character {
  std::size_t offset;
  std::size_t length;
  int width;
};

std::vector<Character> Characters(std::string_view cp932, const MeasureText& measure) {
  std::vector<Character> characters;
  characters.reserve(cp932.size());
  for (std::size_t i = 0; i < cp932.size();) {
    const bool pair = text::IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size();
    const std::size_t length = pair ? 2 : 1;
    characters.push_back({i, length, measure(cp932.substr(i, length))});
    i += length;
  }
  return characters;
}

}  // namespace

int ClientHeightForRows(const ListMetrics& metrics, int rows, int available) {
  const int list = metrics.headerHeight + rows * metrics.rowHeight + 2 * metrics.frame;
  const int wanted = kRoomAboveAndBelowList + list;
  return std::max(kTemplateClientHeight, std::min(wanted, available));
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
  // What the list has beyond every content goes to them too, so that no part of it is left blank;
  // the last takes what the division leaves, and the columns end at the list's edge.
  if (room > 0 && !sharing.empty()) {
    const int each = room / static_cast<int>(sharing.size());
    for (const std::size_t i : sharing)
      widths[i] += each;
    widths[sharing.back()] += room - each * static_cast<int>(sharing.size());
  }
  return widths;
}

std::string ElideMiddle(std::string_view cp932, int width, const MeasureText& measure) {
  const std::vector<Character> characters = Characters(cp932, measure);
  int whole = 0;
  for (const Character& c : characters)
    whole += c.width;
  if (whole <= width)
    return std::string(cp932);

  const int room = std::max(0, width - measure(kEllipsisCp932));
  // The start, up to its share of the room.
  std::size_t head = 0;
  int used = 0;
  while (head < characters.size() && used + characters[head].width <= room / kStartShareDivisor) {
    used += characters[head].width;
    ++head;
  }
  // The end, as much as the rest holds.
  std::size_t tail = characters.size();
  while (tail > head && used + characters[tail - 1].width <= room) {
    used += characters[tail - 1].width;
    --tail;
  }
  std::string shown(cp932.substr(0, head < characters.size() ? characters[head].offset : cp932.size()));
  shown += kEllipsisCp932;
  if (tail < characters.size())
    shown += cp932.substr(characters[tail].offset);
  return shown;
}

}  // namespace velmora::app
