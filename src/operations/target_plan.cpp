#include "operations/target_plan.h"

#include <unordered_map>

#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::operations {

std::vector<std::string> FinalPaths(const DialogState& state, std::string_view inputFolder) {
  const partlist::PartList& list = state.partList;
  const bool gathered = state.operation == Operation::RemoveAllFolders;
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(list.RowCount()));
  for (int row = 0; row < list.RowCount(); ++row) {
    if (gathered) {
      const std::string& newName = list.Text(row, partlist::kNewPartName);
      paths.push_back(std::string(inputFolder) +
                      (newName.empty() ? list.Text(row, partlist::kPartName) : newName));
      continue;
    }
    std::string path = list.RowPath(row, true);
    paths.push_back(path.empty() ? list.RowPath(row, false) : std::move(path));
  }
  return paths;
}

int FirstClashingRow(const partlist::PartList& list, const std::vector<std::string>& finalPaths) {
  const std::size_t n = finalPaths.size();
  std::vector<std::string> oldKeys;
  std::vector<std::string> finalKeys;
  oldKeys.reserve(n);
  finalKeys.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    oldKeys.push_back(text::ToLower(list.RowPath(static_cast<int>(i), false)));
    finalKeys.push_back(text::ToLower(finalPaths[i]));
  }
  std::unordered_map<std::string_view, int> endings;         // final key -> rows ending there
  std::unordered_map<std::string_view, std::size_t> owners;  // old key -> first row holding it
  endings.reserve(n);
  owners.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    ++endings[finalKeys[i]];
    owners.try_emplace(oldKeys[i], i);
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (endings[finalKeys[i]] > 1)
      return static_cast<int>(i);
    // A part staying where it is meets only itself.
    if (finalKeys[i] == oldKeys[i])
      continue;
    if (const auto owner = owners.find(finalKeys[i]); owner != owners.end() && owner->second != i)
      return static_cast<int>(i);
  }
  return -1;
}

std::string SharedReferenceName(const partlist::PartList& list, const std::vector<std::string>& finalPaths,
                                bool everyRowRewritten) {
  const auto nameKey = [](std::string_view path) {
    const std::size_t separator = text::FindLast(path, '\\');
    return text::ToLower(separator == text::npos ? path : path.substr(separator + 1));
  };
  const std::size_t n = finalPaths.size();
  std::vector<std::string> oldNames;
  std::vector<std::string> finalNames;
  oldNames.reserve(n);
  finalNames.reserve(n);
  std::unordered_map<std::string_view, int> oldCount;
  std::unordered_map<std::string_view, int> finalCount;
  for (std::size_t i = 0; i < n; ++i) {
    oldNames.push_back(text::ToLower(list.Text(static_cast<int>(i), partlist::kPartName)));
    finalNames.push_back(nameKey(finalPaths[i]));
  }
  for (std::size_t i = 0; i < n; ++i) {
    ++oldCount[oldNames[i]];
    ++finalCount[finalNames[i]];
  }
  for (std::size_t i = 0; i < n; ++i) {
    const int row = static_cast<int>(i);
    if (!everyRowRewritten && list.RowPath(row, true).empty())
      continue;
    const auto ending = finalCount.find(oldNames[i]);
    const int othersEnding =
        ending == finalCount.end() ? 0 : ending->second - (finalNames[i] == oldNames[i] ? 1 : 0);
    if (oldCount[oldNames[i]] > 1 || othersEnding > 0)
      return list.Text(row, partlist::kPartName);
  }
  return {};
}

bool IsCaseOnlyRename(std::string_view source, std::string_view target) {
  return text::ToLower(source) == text::ToLower(target) &&
         text::FileNameOf(source) != text::FileNameOf(target);
}

std::unordered_set<std::string> PlannedFiles(const std::vector<std::string>& finalPaths) {
  std::unordered_set<std::string> keys;
  keys.reserve(finalPaths.size());
  for (const std::string& path : finalPaths)
    keys.insert(text::ToLower(path));
  return keys;
}

}  // namespace velmora::operations
