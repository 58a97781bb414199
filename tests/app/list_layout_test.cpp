#include "app/list_layout.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace velmora::app {
namespace {

// A byte a pixel wide: a double-byte character is two, as in a fixed-pitch Japanese font.
int Bytes(std::string_view text) {
  return static_cast<int>(text.size());
}

TEST(ListLayoutTest, ClientHeightShowsTheRowsWithinTheScreenButNeverBelowTheTemplate) {
  const ListMetrics metrics{18, 22, 1};
  // 244 above and below the list, the header, 12 rows and the frame.
  EXPECT_EQ(ClientHeightForRows(metrics, 12, 2000), 244 + 22 + 12 * 18 + 2);
  EXPECT_EQ(ClientHeightForRows(metrics, 12, 400), 400);
  EXPECT_EQ(ClientHeightForRows(metrics, 12, 200), 301);
  EXPECT_EQ(ClientHeightForRows(metrics, 0, 2000), 301);
}

TEST(ListLayoutTest, FoldersShareTheRoomTheOthersLeaveAndUserWidthsStay) {
  // name, folder, new folder, mark (sized by the user)
  std::vector<ColumnFit> columns = {
      {100, 80, false, false}, {300, 80, false, true}, {120, 80, false, true}, {40, 55, true, false}};
  // Room beyond every content is shared out: the list is never left half blank.
  EXPECT_EQ(FitColumnWidths(columns, 1000, 60), (std::vector<int>{100, 513, 332, 55}));
  // 345 left: the new folder needs only 120 of its half, the folder takes the rest.
  EXPECT_EQ(FitColumnWidths(columns, 500, 60), (std::vector<int>{100, 225, 120, 55}));
  EXPECT_EQ(FitColumnWidths(columns, 355, 60), (std::vector<int>{100, 100, 100, 55}));
  // No room: the folders keep their least width and the list scrolls.
  EXPECT_EQ(FitColumnWidths(columns, 100, 60), (std::vector<int>{100, 60, 60, 55}));
  columns[1].userSized = true;
  EXPECT_EQ(FitColumnWidths(columns, 300, 60), (std::vector<int>{100, 80, 65, 55}));
}

TEST(ListLayoutTest, ElidesInTheMiddleKeepingMostOfTheEnd) {
  const std::string folder = "D:\\work\\projects\\s2000\\parts\\";
  EXPECT_EQ(ElideMiddle(folder, 100, Bytes), folder);
  EXPECT_EQ(ElideMiddle(folder, static_cast<int>(folder.size()), Bytes), folder);
  // 20 pixels: 18 beside the ellipsis, a quarter of it for the start.
  const std::string shown = ElideMiddle(folder, 20, Bytes);
  EXPECT_EQ(shown, "D:\\w" + std::string(kEllipsisCp932) + "s\\s2000\\parts\\");
  EXPECT_LE(Bytes(shown), 20);
  // No room at all: the ellipsis alone.
  EXPECT_EQ(ElideMiddle(folder, 1, Bytes), std::string(kEllipsisCp932));
  EXPECT_EQ(ElideMiddle("", 0, Bytes), "");
}

TEST(ListLayoutTest, CutsNeverSplitADoubleByteCharacter) {
  // "表" ends in 0x5C, the separator's byte: it must stay with its lead byte.
  const std::string folder = text::Cp932("D:\\表表表表表表表表表表\\部品\\");
  for (int width = 2; width < Bytes(folder); ++width) {
    const std::string shown = ElideMiddle(folder, width, Bytes);
    EXPECT_LE(Bytes(shown), width);
    EXPECT_TRUE(text::Cp932ToUtf8(shown).ok) << width;
    EXPECT_TRUE(shown.ends_with(std::string(kEllipsisCp932)) || shown.ends_with("\\")) << width;
  }
}

}  // namespace
}  // namespace velmora::app
