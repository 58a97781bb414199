#include "partlist/naming_rules.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

#include "text/mbstring.h"

namespace velmora::partlist {
namespace {

// The pattern with its first "#" run replaced by the counter.
std::string Numbered(std::string_view pattern, long long counter, bool& overflow) {
  const std::size_t first = text::FindFirst(pattern, '#');
  if (first == text::npos)
    return std::string(pattern);
  std::size_t end = first;
  while (end < pattern.size() && pattern[end] == '#')
    ++end;
  const std::size_t digits = end - first;
  const std::string number = std::to_string(counter);
  // A wider number would break the order the padding gives, so it is refused, not widened; the
  // name is still made, to be shown.
  if (counter < 0 || number.size() > digits)
    overflow = true;
  std::string result(pattern.substr(0, first));
  result.append(digits - std::min(digits, number.size()), '0');
  result += number;
  result += pattern.substr(end);
  return result;
}

std::string Replaced(std::string_view text, const NamingRule& rule) {
  if (rule.find.empty())
    return std::string(text);
  // Lower-casing touches ASCII letters only, so positions in the folded text are those of the
  // original and a trail byte is still never taken for the start of a match.
  const std::string haystack = rule.matchCase ? std::string(text) : text::ToLower(text);
  const std::string needle = rule.matchCase ? rule.find : text::ToLower(rule.find);
  std::string result;
  std::size_t from = 0;
  for (std::size_t at = text::FindFirst(haystack, needle); at != text::npos;
       at = text::FindFirst(haystack, needle, from)) {
    result += text.substr(from, at - from);
    result += rule.replaceWith;
    from = at + needle.size();
  }
  result += text.substr(from);
  return result;
}

}  // namespace

std::string RenamedPart(const NamingRule& rule, std::string_view name, long long counter, bool& overflow) {
  std::string base = rule.pattern.empty() ? std::string(name) : Numbered(rule.pattern, counter, overflow);
  const std::size_t dot = text::FindLast(base, '.');
  const std::size_t stemEnd = dot == text::npos ? base.size() : dot;
  std::string result = rule.prefix;
  result += Replaced(std::string_view(base).substr(0, stemEnd), rule);
  result += rule.suffix;
  result += std::string_view(base).substr(stemEnd);
  switch (rule.caseChange) {
    case CaseChange::Keep:
      return result;
    case CaseChange::Upper:
      return text::ToUpper(result);
    case CaseChange::Lower:
      return text::ToLower(result);
  }
  return result;
}

RenamePlan PlanRenames(const PartList& list, const NamingRule& rule) {
  RenamePlan plan;
  const int rows = list.RowCount();
  std::vector<int> entryOfRow(static_cast<std::size_t>(rows), -1);
  long long counter = rule.start;
  bool counterBroken = false;
  for (int row = list.FirstSelected(); row >= 0; row = list.NextSelected(row)) {
    RenameEntry entry;
    entry.row = row;
    entry.oldName = list.Text(row, kPartName);
    bool overflow = counterBroken;
    entry.newName = RenamedPart(rule, entry.oldName, counter, overflow);
    if (overflow) {
      entry.problem = RenameProblem::CounterOverflow;
    } else {
      entry.verdict = ValidateNewPartName(std::string_view(entry.newName));
      if (entry.verdict != NameVerdict::Accept)
        entry.problem = RenameProblem::InvalidName;
    }
    if (__builtin_add_overflow(counter, rule.step, &counter))
      counterBroken = true;
    entryOfRow[static_cast<std::size_t>(row)] = static_cast<int>(plan.entries.size());
    plan.entries.push_back(std::move(entry));
  }

  // Every row's target after the rule, ignoring case as file names do: the first two rows that
  // share one are enough to tell a clash.
  std::unordered_map<std::string, std::pair<int, int>> targets;
  targets.reserve(static_cast<std::size_t>(rows));
  std::vector<std::string> targetOfEntry(plan.entries.size());
  for (int row = 0; row < rows; ++row) {
    std::string target;
    const int index = entryOfRow[static_cast<std::size_t>(row)];
    if (index >= 0) {
      const std::string& newFolder = list.Text(row, kNewFolderName);
      target = (newFolder.empty() ? list.Text(row, kFolderName) : newFolder) +
               plan.entries[static_cast<std::size_t>(index)].newName;
    } else {
      target = list.RowPath(row, true);
      if (target.empty())
        target = list.RowPath(row, false);
    }
    target = text::ToLower(target);
    auto [slot, inserted] = targets.try_emplace(target, row, -1);
    if (!inserted && slot->second.second < 0)
      slot->second.second = row;
    if (index >= 0)
      targetOfEntry[static_cast<std::size_t>(index)] = std::move(target);
  }
  for (std::size_t index = 0; index < plan.entries.size(); ++index) {
    RenameEntry& entry = plan.entries[index];
    const auto& [first, second] = targets.at(targetOfEntry[index]);
    if (entry.problem == RenameProblem::None && second >= 0) {
      entry.problem = RenameProblem::Collision;
      entry.otherRow = first == entry.row ? second : first;
    }
    if (entry.problem != RenameProblem::None && plan.firstProblem < 0)
      plan.firstProblem = static_cast<int>(index);
  }
  return plan;
}

}  // namespace velmora::partlist
