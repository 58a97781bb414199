// The list's opening height and the shortening of texts too wide for their column.

#include "app/list_layout.h"

#include <gtest/gtest.h>

#include "app/main_dialog.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::app {
namespace {

// As a fixed-pitch font draws cp932: a double-byte character twice as wide as a single one.
int Measure(std::string_view cp932) {
  int width = 0;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const bool wide = text::IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size();
    width += wide ? 2 : 1;
    i += wide ? 1 : 0;
  }
  return width;
}

struct ElideCase {
  const char* text;  // UTF-8
  int width;
  const char* shown;  // UTF-8
};

class ElideMiddleTest : public ::testing::TestWithParam<ElideCase> {};

TEST_P(ElideMiddleTest, KeepsTheEndAndWholeCharacters) {
  const ElideCase& c = GetParam();
  const std::string shown = ElideMiddle(text::Cp932(c.text), c.width, Measure);
  EXPECT_EQ(text::ToDisplayUtf8(shown), c.shown);
  if (std::string_view(c.shown) != "…") {
    EXPECT_LE(Measure(shown), c.width);
  }
}

// 表 and ソ end in the byte of "\": neither is a separator, nor may a cut fall inside one.
INSTANTIATE_TEST_SUITE_P(
    Folders, ElideMiddleTest,
    ::testing::Values(ElideCase{"D:\\work\\s2000\\部品\\", 19, "D:\\work\\s2000\\部品\\"},
                      ElideCase{"D:\\work\\s2000\\部品\\", 18, "D:\\…\\s2000\\部品\\"},
                      ElideCase{"D:\\work\\s2000\\部品\\", 16, "D:\\…\\部品\\"},
                      ElideCase{"D:\\work\\s2000\\部品\\", 11, "D:\\…\\部品\\"},
                      ElideCase{"D:\\work\\s2000\\部品\\", 10, "…00\\部品\\"},
                      ElideCase{"D:\\work\\表示板ソ\\", 15, "D:\\…\\表示板ソ\\"},
                      ElideCase{"D:\\work\\表示板ソ\\", 14, "…rk\\表示板ソ\\"},
                      ElideCase{"D:\\work\\表示板ソ\\", 9, "…示板ソ\\"},
                      ElideCase{"D:\\work\\表示板ソ\\", 8, "…板ソ\\"},
                      ElideCase{"\\\\server\\share\\assy\\sub\\", 21, "\\\\server\\…\\assy\\sub\\"},
                      ElideCase{"\\\\server\\share\\assy\\sub\\", 14, "…re\\assy\\sub\\"},
                      ElideCase{"表示板表示板表示板", 9, "…表示板"}, ElideCase{"D:\\work\\", 1, "…"},
                      ElideCase{"", 0, ""}));

TEST(FitColumnWidthsTest, FoldersShareTheRoomTheOthersLeaveAndUserWidthsStay) {
  // name, folder, new folder, mark (sized by the user)
  std::vector<ColumnFit> columns = {
      {100, 80, false, false}, {300, 80, false, true}, {120, 80, false, true}, {40, 55, true, false}};
  EXPECT_EQ(FitColumnWidths(columns, 1000, 60), (std::vector<int>{100, 300, 120, 55}));
  // 345 left: the new folder needs only 120 of its half, the folder takes the rest.
  EXPECT_EQ(FitColumnWidths(columns, 500, 60), (std::vector<int>{100, 225, 120, 55}));
  EXPECT_EQ(FitColumnWidths(columns, 355, 60), (std::vector<int>{100, 100, 100, 55}));
  // No room: the folders keep their least width and the list scrolls.
  EXPECT_EQ(FitColumnWidths(columns, 100, 60), (std::vector<int>{100, 60, 60, 55}));
  columns[1].userSized = true;
  EXPECT_EQ(FitColumnWidths(columns, 300, 60), (std::vector<int>{100, 80, 65, 55}));
}

TEST(ClientHeightForRowsTest, TallEnoughForTheRowsWithinTheRoomAndNeverBelowTheTemplate) {
  const ListChrome chrome{17, 24, 4};
  const int wanted = ClientHeightForRows(kInitialListRows, chrome, 2000);
  const ListGeometry geometry = ListGeometryForClient(984, wanted);
  EXPECT_EQ(geometry.height, 4 + 24 + 12 * 17);
  EXPECT_EQ(ClientHeightForRows(kInitialListRows, chrome, 400), 400);
  EXPECT_EQ(ClientHeightForRows(kInitialListRows, chrome, 200), 301);
  EXPECT_EQ(ClientHeightForRows(1, chrome, 2000), 301);
}

}  // namespace
}  // namespace velmora::app
