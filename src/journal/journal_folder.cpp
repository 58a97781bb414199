#include "journal/journal_folder.h"

#include <algorithm>

namespace velmora::journal::folder {
namespace {

constexpr std::size_t kIdDigits = 8;

bool IsId(std::string_view text) {
  return text.size() == kIdDigits &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string_view OwnerId(std::string_view name) {
  if (name.size() <= kIdDigits || !IsId(name.substr(0, kIdDigits)))
    return {};
  const std::string_view rest = name.substr(kIdDigits);
  if (rest == kJournal || rest == kEndMark || (rest.starts_with('-') && rest.ends_with(".bak")))
    return name.substr(0, kIdDigits);
  return {};
}

std::vector<std::string> JournalIds(const std::vector<std::string>& names) {
  std::vector<std::string> ids;
  for (const std::string& name : names) {
    const std::string_view id = OwnerId(name);
    if (!id.empty() && std::string_view(name).substr(id.size()) == kJournal)
      ids.emplace_back(id);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::string NextId(const std::vector<std::string>& names) {
  unsigned long long highest = 0;
  for (const std::string& name : names) {
    if (const std::string_view id = OwnerId(name); !id.empty())
      highest = std::max(highest, std::stoull(std::string(id)));
  }
  std::string id = std::to_string(highest + 1);
  if (id.size() < kIdDigits)
    id.insert(0, kIdDigits - id.size(), '0');
  return id;
}

std::vector<std::string> BackupsOf(const std::vector<std::string>& names, std::string_view id) {
  std::vector<std::string> backups;
  for (const std::string& name : names) {
    if (OwnerId(name) == id && std::string_view(name).ends_with(".bak"))
      backups.push_back(name);
  }
  return backups;
}

}  // namespace velmora::journal::folder
