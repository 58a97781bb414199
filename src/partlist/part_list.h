#pragma once
// The list of part files: the program's only store of part data. Rows are addressed by index.
// Lookups go through indexes that keep the first-match rule, so a pass over the list stays linear.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "partlist/marks.h"
#include "partlist/part_row.h"

namespace velmora::partlist {

// A view follows the list through these calls.
class PartListObserver {
 public:
  virtual ~PartListObserver() = default;
  // Every row may have changed: deleted, reordered or inserted in bulk.
  virtual void OnReset() = 0;
  virtual void OnRowInserted(int row) = 0;
  virtual void OnCellChanged(int row, int column) = 0;
  virtual void OnSelectionChanged() = 0;
};

class PartList {
 public:
  PartList();
  PartList(const PartList&) = delete;
  PartList& operator=(const PartList&) = delete;
  ~PartList();

  void SetObserver(PartListObserver* observer);

  [[nodiscard]] int RowCount() const;
  [[nodiscard]] const PartRow& Row(int row) const;
  [[nodiscard]] const std::string& Text(int row, int column) const;
  void SetText(int row, int column, std::string text);
  [[nodiscard]] Mark MarkAt(int row, int column) const { return MarkOf(Text(row, column)); }
  void SetMark(int row, int column, Mark mark) { SetText(row, column, std::string(MarkText(mark))); }
  // Inserts at index (0..RowCount()); columns other than those given stay empty.
  void InsertRow(int index, PartRow row);
  void DeleteAllRows();

  // Selection primitives. -1 when there is none.
  [[nodiscard]] int FirstSelected() const;
  [[nodiscard]] int NextSelected(int after) const;
  [[nodiscard]] int SelectedCount() const;
  [[nodiscard]] bool IsSelected(int row) const;
  void SetSelected(int row, bool selected);
  void ClearSelection();

  // Old path: folderName + partName. New path: newFolderName + newPartName, each falling back to
  // the old value; empty when the row has neither a new name nor a new folder.
  [[nodiscard]] std::string RowPath(int row, bool useNew) const;

  // First row (from index 0) whose comparison text equals key: column 2 compares folder + name and
  // column 3 new folder + new name, both ignoring ASCII case; any other column its own text exactly.
  // -1 when none.
  [[nodiscard]] int FindRow(int column, std::string_view key) const;

  // Sorts by a column with ComparePartRows and that column's direction flag, toggles the flag and
  // renumbers itemData to the new positions.
  void SortByColumn(int column);

  // The per-column sort directions: > 0 ascending next, 0 descending next.
  [[nodiscard]] const std::array<int, kColumnCount>& SortAscending() const;
  void ResetSortDirections();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::partlist
