#include "partlist/part_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "partlist/marks.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::partlist {
namespace {

PartRow MakeRow(std::string folder, std::string name, std::string newFolder = {}, std::string newName = {}) {
  PartRow row;
  row.folderName = std::move(folder);
  row.partName = std::move(name);
  row.newFolderName = std::move(newFolder);
  row.newPartName = std::move(newName);
  return row;
}

void Append(PartList& list, PartRow row) {
  row.itemData = list.RowCount();
  list.InsertRow(list.RowCount(), std::move(row));
}

std::vector<std::string> Column(const PartList& list, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < list.RowCount(); ++row)
    texts.push_back(list.Text(row, column));
  return texts;
}

TEST(RowPath, NewPathFallsBackPerPiece) {
  struct Case {
    const char* newFolder;
    const char* newName;
    const char* expected;
  };
  const Case cases[] = {
      {"", "", ""},
      {"", "b.prt", "C:\\w\\b.prt"},
      {"E:\\n\\", "", "E:\\n\\a.prt"},
      {"E:\\n\\", "b.prt", "E:\\n\\b.prt"},
  };
  for (const Case& c : cases) {
    PartList list;
    Append(list, MakeRow("C:\\w\\", "a.prt", c.newFolder, c.newName));
    EXPECT_EQ(list.RowPath(0, false), "C:\\w\\a.prt");
    EXPECT_EQ(list.RowPath(0, true), c.expected) << c.newFolder << "|" << c.newName;
  }
}

TEST(FindRow, PathColumnsIgnoreCaseOtherColumnsDoNot) {
  PartList list;
  Append(list, MakeRow("C:\\Work\\", "A.prt", "D:\\New\\", "B.PRT"));
  list.SetText(0, kNumber, "12");
  list.SetText(0, kPartName, "A.prt");
  EXPECT_EQ(list.FindRow(kFolderName, "c:\\work\\a.PRT"), 0);
  EXPECT_EQ(list.FindRow(kNewFolderName, "d:\\new\\b.prt"), 0);
  EXPECT_EQ(list.FindRow(kNumber, "12"), 0);
  EXPECT_EQ(list.FindRow(kNumber, "012"), -1);
  EXPECT_EQ(list.FindRow(kPartName, "a.prt"), -1);
  EXPECT_EQ(list.FindRow(kPartName, "A.prt"), 0);
  // Only folder + name together are a key of column 2.
  EXPECT_EQ(list.FindRow(kFolderName, "C:\\Work\\"), -1);
  EXPECT_EQ(list.FindRow(-1, ""), -1);
  EXPECT_EQ(list.FindRow(kColumnCount, ""), -1);
  EXPECT_EQ(PartList().FindRow(kFolderName, ""), -1);
}

TEST(FindRow, DoubleByteNamesKeepTheirTrailBytes) {
  // "表" is 95 5C and "ア" 83 41: lower-casing must not turn the trail byte 41 into 61.
  PartList list;
  Append(list, MakeRow("D:\\", text::Cp932("表ア.prt")));
  EXPECT_EQ(list.FindRow(kFolderName, text::Cp932("d:\\表ア.PRT")), 0);
  EXPECT_EQ(list.FindRow(kFolderName, "d:\\\x95\x5c\x83\x61.prt"), -1);
}

TEST(FindRow, FollowsEditsInsertsAndSorts) {
  PartList list;
  Append(list, MakeRow("C:\\", "x.prt"));
  Append(list, MakeRow("C:\\", "y.prt"));
  Append(list, MakeRow("c:\\", "X.PRT"));
  EXPECT_EQ(list.FindRow(kFolderName, "c:\\x.prt"), 0);  // the upper of two matches
  list.SetText(0, kPartName, "z.prt");
  EXPECT_EQ(list.FindRow(kFolderName, "c:\\x.prt"), 2);
  EXPECT_EQ(list.FindRow(kFolderName, "c:\\z.prt"), 0);
  list.SetText(1, kNumber, "5");
  EXPECT_EQ(list.FindRow(kNumber, "5"), 1);
  list.InsertRow(0, MakeRow("C:\\", "x.prt"));
  EXPECT_EQ(list.FindRow(kFolderName, "c:\\x.prt"), 0);
  EXPECT_EQ(list.FindRow(kNumber, "5"), 2);
  list.SortByColumn(kNumber);  // empty cells first, then "5"
  EXPECT_EQ(list.FindRow(kNumber, "5"), 3);
  list.DeleteAllRows();
  EXPECT_EQ(list.FindRow(kNumber, "5"), -1);
}

// The indexes against a plain scan over a long mixed series of changes.
TEST(FindRow, AgreesWithAScanThroughRandomChanges) {
  std::mt19937 random(7);
  const std::vector<std::string> pieces = {"", "a", "A", "b", "1", "01", "C:\\", "c:\\"};
  const auto pick = [&] { return pieces[random() % pieces.size()]; };
  PartList list;
  for (int step = 0; step < 1500; ++step) {
    const int count = list.RowCount();
    const unsigned action = random() % 10;
    if (action < 2 || count == 0) {
      PartRow row;
      for (int column = 0; column < kColumnCount; ++column)
        row.Cell(column) = pick();
      list.InsertRow(action == 0 ? static_cast<int>(random() % (count + 1)) : count, std::move(row));
    } else if (action < 7) {
      list.SetText(static_cast<int>(random() % count), static_cast<int>(random() % kColumnCount), pick());
    } else if (action == 7) {
      list.SortByColumn(static_cast<int>(random() % kColumnCount));
    } else {
      const int column = static_cast<int>(random() % kColumnCount);
      const std::string key = pick() + pick();
      int expected = -1;
      for (int row = 0; row < count && expected < 0; ++row) {
        const PartRow& r = list.Row(row);
        const bool match =
            column == kFolderName      ? text::ToLower(r.folderName + r.partName) == text::ToLower(key)
            : column == kNewFolderName ? text::ToLower(r.newFolderName + r.newPartName) == text::ToLower(key)
                                       : r.Cell(column) == key;
        if (match)
          expected = row;
      }
      ASSERT_EQ(list.FindRow(column, key), expected) << "step " << step << " column " << column;
    }
  }
}

TEST(Selection, WalksSelectedRowsAndMovesWithThemInASort) {
  PartList list;
  for (const char* name : {"c.prt", "a.prt", "b.prt"})
    Append(list, MakeRow("D:\\", name));
  EXPECT_EQ(list.FirstSelected(), -1);
  list.SetSelected(0, true);
  list.SetSelected(2, true);
  list.SetSelected(2, true);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_EQ(list.FirstSelected(), 0);
  EXPECT_EQ(list.NextSelected(0), 2);
  EXPECT_EQ(list.NextSelected(2), -1);
  list.SortByColumn(kPartName);
  EXPECT_EQ(Column(list, kPartName), (std::vector<std::string>{"a.prt", "b.prt", "c.prt"}));
  EXPECT_TRUE(list.IsSelected(1));
  EXPECT_TRUE(list.IsSelected(2));
  EXPECT_FALSE(list.IsSelected(0));
  list.ClearSelection();
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.FirstSelected(), -1);
}

TEST(SortByColumn, NumbersTextsAndMarks) {
  struct Case {
    int column;
    std::vector<std::string> cells;
    std::vector<std::string> ascending;
    std::vector<std::string> descending;
  };
  const std::string o(kMarkCircle);
  const std::string x(kMarkX);
  const Case cases[] = {
      {kNumber, {"10", "1", "2"}, {"1", "2", "10"}, {"10", "2", "1"}},
      // 007 is no plain number, so it is compared as text with everything.
      {kNumber, {"10", "007", "8"}, {"007", "8", "10"}, {"10", "8", "007"}},
      {kParent, {"3", "", "-1"}, {"", "-1", "3"}, {"3", "-1", ""}},
      {kBefore, {x, o, x, o}, {o, o, x, x}, {x, x, o, o}},
      {kPartName, {"b.prt", "B.prt", "a.prt"}, {"B.prt", "a.prt", "b.prt"}, {"b.prt", "a.prt", "B.prt"}},
  };
  for (const Case& c : cases) {
    PartList list;
    for (const std::string& cell : c.cells) {
      PartRow row;
      row.Cell(c.column) = cell;
      Append(list, row);
    }
    list.SortByColumn(c.column);
    EXPECT_EQ(Column(list, c.column), c.ascending) << "column " << c.column;
    EXPECT_EQ(list.SortAscending()[c.column], 0);
    list.SortByColumn(c.column);
    EXPECT_EQ(Column(list, c.column), c.descending) << "column " << c.column;
    EXPECT_EQ(list.SortAscending()[c.column], 1);
  }
}

TEST(SortByColumn, IsStableRenumbersAndKeepsFlagsPerColumn) {
  PartList list;
  for (const char* name : {"p", "q", "r", "s"})
    Append(list, MakeRow("D:\\", name));
  list.SetText(0, kAfter, "1");
  list.SetText(2, kAfter, "1");
  list.SortByColumn(kAfter);  // q and s are empty and stay in their order, then p and r
  EXPECT_EQ(Column(list, kPartName), (std::vector<std::string>{"q", "s", "p", "r"}));
  for (int row = 0; row < list.RowCount(); ++row)
    EXPECT_EQ(list.Row(row).itemData, row);
  list.SortByColumn(kAfter);  // descending: p and r first, still in their order
  EXPECT_EQ(Column(list, kPartName), (std::vector<std::string>{"p", "r", "q", "s"}));

  std::array<int, kColumnCount> expected;
  expected.fill(1);
  EXPECT_EQ(list.SortAscending(), expected);
  list.SortByColumn(kPartName);
  expected[kPartName] = 0;
  EXPECT_EQ(list.SortAscending(), expected);
  list.SortByColumn(kColumnCount);  // ignored
  list.ResetSortDirections();
  expected.fill(1);
  EXPECT_EQ(list.SortAscending(), expected);
}

TEST(SortByColumn, SurvivesAnOrderThatIsNotTransitive) {
  // "2" < "10" as numbers, "10" < "1a" < "2" as texts.
  PartList list;
  std::vector<std::string> cells;
  for (int i = 0; i < 200; ++i)
    cells.push_back(i % 3 == 0 ? "2" : (i % 3 == 1 ? "10" : "1a"));
  for (const std::string& cell : cells) {
    PartRow row;
    row.number = cell;
    Append(list, row);
  }
  list.SortByColumn(kNumber);
  std::vector<std::string> sorted = Column(list, kNumber);
  std::sort(sorted.begin(), sorted.end());
  std::sort(cells.begin(), cells.end());
  EXPECT_EQ(sorted, cells);
}

class Recorder : public PartListObserver {
 public:
  void OnReset() override { events.push_back("reset"); }
  void OnRowInserted(int row) override { events.push_back("insert " + std::to_string(row)); }
  void OnCellChanged(int row, int column) override {
    events.push_back("cell " + std::to_string(row) + "," + std::to_string(column));
  }
  void OnSelectionChanged() override { events.push_back("selection"); }
  std::vector<std::string> events;
};

TEST(PartListObserver, HearsEveryVisibleChangeOnce) {
  PartList list;
  Recorder recorder;
  list.SetObserver(&recorder);
  Append(list, MakeRow("D:\\", "a.prt"));
  list.SetText(0, kEdited, std::string(kMarkV));
  list.SetText(0, kEdited, std::string(kMarkV));  // unchanged: no event
  list.SetText(3, kEdited, "");                   // no such row: ignored
  list.SetSelected(0, true);
  list.ClearSelection();
  list.SortByColumn(kPartName);
  list.DeleteAllRows();
  EXPECT_EQ(recorder.events,
            (std::vector<std::string>{"insert 0", "cell 0,4", "selection", "selection", "reset", "reset"}));
  EXPECT_EQ(list.Text(3, kEdited), "");
}

}  // namespace
}  // namespace velmora::partlist
