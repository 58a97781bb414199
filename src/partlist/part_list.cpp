#include "partlist/part_list.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "partlist/compare.h"
#include "text/mbstring.h"

namespace velmora::partlist {
namespace {

struct Entry {
  PartRow row;
  bool selected = false;
};

bool ValidColumn(int column) {
  return column >= 0 && column < kColumnCount;
}

// The text FindRow compares for a column: the two path columns join folder and name and ignore
// ASCII case, every other column is its own text.
std::string KeyOf(const PartRow& row, int column) {
  switch (column) {
    case kFolderName:
      return text::ToLower(row.folderName + row.partName);
    case kNewFolderName:
      return text::ToLower(row.newFolderName + row.newPartName);
    default:
      return row.Cell(column);
  }
}

std::string NormalizedKey(int column, std::string_view key) {
  if (column == kFolderName || column == kNewFolderName)
    return text::ToLower(key);
  return std::string(key);
}

// The lookups a change of one cell affects. Index 2 is built from cells 1 and 2, index 3 from 0 and 3.
std::pair<int, int> IndexesOfCell(int column) {
  switch (column) {
    case kNewPartName:
      return {kNewPartName, kNewFolderName};
    case kPartName:
      return {kPartName, kFolderName};
    default:
      return {column, -1};
  }
}

// Rows holding each key, ascending, so the first match is the front. Built on first use and then
// kept up to date cell by cell; anything that moves rows drops it.
class ColumnIndex {
 public:
  bool Built() const { return built_; }
  void Drop() {
    built_ = false;
    rows_.clear();
  }
  void Build(const std::vector<Entry>& entries, int column) {
    rows_.clear();
    rows_.reserve(entries.size());
    for (int i = 0; i < static_cast<int>(entries.size()); ++i)
      rows_[KeyOf(entries[i].row, column)].push_back(i);
    built_ = true;
  }
  int First(const std::string& key) const {
    const auto it = rows_.find(key);
    return it == rows_.end() ? -1 : it->second.front();
  }
  void Add(const std::string& key, int row) {
    std::vector<int>& list = rows_[key];
    list.insert(std::lower_bound(list.begin(), list.end(), row), row);
  }
  void Remove(const std::string& key, int row) {
    const auto it = rows_.find(key);
    if (it == rows_.end())
      return;
    std::vector<int>& list = it->second;
    const auto pos = std::lower_bound(list.begin(), list.end(), row);
    if (pos != list.end() && *pos == row)
      list.erase(pos);
    if (list.empty())
      rows_.erase(it);
  }

 private:
  bool built_ = false;
  std::unordered_map<std::string, std::vector<int>> rows_;
};

// Stable merge sort that stays within bounds whatever the comparison answers: the mixed numeric and
// text order is not transitive ("2" < "10" < "1a" < "2"), which the standard sorts do not allow.
template <typename Less>
void StableSort(std::vector<Entry>& entries, Less less) {
  const std::size_t n = entries.size();
  std::vector<Entry> buffer(n);
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, n);
      const std::size_t hi = std::min(lo + 2 * width, n);
      std::size_t i = lo;
      std::size_t j = mid;
      std::size_t k = lo;
      while (i < mid && j < hi)
        buffer[k++] = less(entries[j], entries[i]) ? std::move(entries[j++]) : std::move(entries[i++]);
      while (i < mid)
        buffer[k++] = std::move(entries[i++]);
      while (j < hi)
        buffer[k++] = std::move(entries[j++]);
    }
    entries.swap(buffer);
  }
}

}  // namespace

struct PartList::Impl {
  std::vector<Entry> entries;
  int selectedCount = 0;
  std::array<int, kColumnCount> sortAscending{};
  std::array<ColumnIndex, kColumnCount> indexes;
  PartListObserver* observer = nullptr;

  bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(entries.size()); }
  void DropIndexes() {
    for (ColumnIndex& index : indexes)
      index.Drop();
  }
  // Takes the row out of the lookups a change of one cell affects, and back in after the change.
  void Unindex(int row, int column) {
    const auto [first, second] = IndexesOfCell(column);
    for (const int i : {first, second}) {
      if (i >= 0 && indexes[i].Built())
        indexes[i].Remove(KeyOf(entries[row].row, i), row);
    }
  }
  void Index(int row, int column) {
    const auto [first, second] = IndexesOfCell(column);
    for (const int i : {first, second}) {
      if (i >= 0 && indexes[i].Built())
        indexes[i].Add(KeyOf(entries[row].row, i), row);
    }
  }
};

PartList::PartList() : impl_(std::make_unique<Impl>()) {
  ResetSortDirections();
}

PartList::~PartList() = default;

void PartList::SetObserver(PartListObserver* observer) {
  impl_->observer = observer;
}

int PartList::RowCount() const {
  return static_cast<int>(impl_->entries.size());
}

const PartRow& PartList::Row(int row) const {
  static const PartRow kNone;
  return impl_->ValidRow(row) ? impl_->entries[row].row : kNone;
}

const std::string& PartList::Text(int row, int column) const {
  return Row(row).Cell(column);
}

void PartList::SetText(int row, int column, std::string text) {
  if (!impl_->ValidRow(row) || !ValidColumn(column))
    return;
  PartRow& target = impl_->entries[row].row;
  if (target.Cell(column) == text)
    return;
  impl_->Unindex(row, column);
  target.Cell(column) = std::move(text);
  impl_->Index(row, column);
  if (impl_->observer)
    impl_->observer->OnCellChanged(row, column);
}

void PartList::InsertRow(int index, PartRow row) {
  const int count = RowCount();
  index = std::clamp(index, 0, count);
  impl_->entries.insert(impl_->entries.begin() + index, Entry{std::move(row), false});
  if (index == count) {
    // Appending keeps every other row's index, so the lookups can simply take the new row in.
    for (int column = 0; column < kColumnCount; ++column) {
      ColumnIndex& lookup = impl_->indexes[column];
      if (lookup.Built())
        lookup.Add(KeyOf(impl_->entries[index].row, column), index);
    }
  } else {
    impl_->DropIndexes();
  }
  if (impl_->observer)
    impl_->observer->OnRowInserted(index);
}

void PartList::DeleteAllRows() {
  impl_->entries.clear();
  impl_->selectedCount = 0;
  impl_->DropIndexes();
  if (impl_->observer)
    impl_->observer->OnReset();
}

int PartList::FirstSelected() const {
  return NextSelected(-1);
}

int PartList::NextSelected(int after) const {
  if (impl_->selectedCount == 0)
    return -1;
  for (int row = std::max(after + 1, 0); row < RowCount(); ++row) {
    if (impl_->entries[row].selected)
      return row;
  }
  return -1;
}

int PartList::SelectedCount() const {
  return impl_->selectedCount;
}

bool PartList::IsSelected(int row) const {
  return impl_->ValidRow(row) && impl_->entries[row].selected;
}

void PartList::SetSelected(int row, bool selected) {
  if (!impl_->ValidRow(row) || impl_->entries[row].selected == selected)
    return;
  impl_->entries[row].selected = selected;
  impl_->selectedCount += selected ? 1 : -1;
  if (impl_->observer)
    impl_->observer->OnSelectionChanged();
}

void PartList::ClearSelection() {
  if (impl_->selectedCount == 0)
    return;
  for (Entry& entry : impl_->entries)
    entry.selected = false;
  impl_->selectedCount = 0;
  if (impl_->observer)
    impl_->observer->OnSelectionChanged();
}

std::string PartList::RowPath(int row, bool useNew) const {
  const PartRow& r = Row(row);
  if (!useNew)
    return r.folderName + r.partName;
  if (r.newPartName.empty() && r.newFolderName.empty())
    return {};
  const std::string& name = r.newPartName.empty() ? r.partName : r.newPartName;
  const std::string& folder = r.newFolderName.empty() ? r.folderName : r.newFolderName;
  return folder + name;
}

int PartList::FindRow(int column, std::string_view key) const {
  if (!ValidColumn(column) || impl_->entries.empty())
    return -1;
  ColumnIndex& index = impl_->indexes[column];
  if (!index.Built())
    index.Build(impl_->entries, column);
  return index.First(NormalizedKey(column, key));
}

void PartList::SortByColumn(int column) {
  if (!ValidColumn(column))
    return;
  int& ascending = impl_->sortAscending[column];
  const int direction = ascending;
  StableSort(impl_->entries, [column, direction](const Entry& a, const Entry& b) {
    return ComparePartRows(a.row.Cell(column), b.row.Cell(column), direction) < 0;
  });
  ascending = ascending > 0 ? 0 : 1;
  for (int row = 0; row < RowCount(); ++row)
    impl_->entries[row].row.itemData = row;
  impl_->DropIndexes();
  if (impl_->observer)
    impl_->observer->OnReset();
}

const std::array<int, kColumnCount>& PartList::SortAscending() const {
  return impl_->sortAscending;
}

void PartList::ResetSortDirections() {
  impl_->sortAscending.fill(1);
}

}  // namespace velmora::partlist
