#pragma once
// Renaming many rows at once: a rule (prefix, suffix, find and replace, a counter, a case change)
// turns each selected row's part name into a new name, and every result is checked as a typed
// name would be, and against every other row's target, before anything is applied.

#include <string>
#include <string_view>
#include <vector>

#include "partlist/name_rules.h"
#include "partlist/part_list.h"

namespace velmora::partlist {

enum class CaseChange { Keep, Upper, Lower };

// Every text is cp932.
struct NamingRule {
  // When set, the whole new name; its first run of "#" takes the counter, zero-padded to the
  // run's length ("A-###.prt" gives A-001.prt, A-002.prt, ...).
  std::string pattern = {};
  long long start = 1;
  long long step = 1;
  // Replaced wherever it occurs in the name before its extension; nothing when empty.
  std::string find = {};
  std::string replaceWith = {};
  bool matchCase = false;
  std::string prefix = {};
  std::string suffix = {};  // goes before the extension
  CaseChange caseChange = CaseChange::Keep;
};

enum class RenameProblem {
  None,
  CounterOverflow,  // the counter is negative or has more digits than its "#" run
  InvalidName,      // refused by ValidateNewPartName; `verdict` says why
  Collision,        // same target folder and name as `otherRow`, ignoring case
};

struct RenameEntry {
  int row = -1;
  std::string oldName;  // the row's part name
  std::string newName;
  RenameProblem problem = RenameProblem::None;
  NameVerdict verdict = NameVerdict::Accept;
  int otherRow = -1;
};

struct RenamePlan {
  std::vector<RenameEntry> entries;  // the selected rows, top to bottom
  int firstProblem = -1;             // index into entries; -1 when every entry can be applied
};

// The new name of one part name; `counter` is the rule's start + position × step. Sets
// `overflow` when the counter does not fit its "#" run.
[[nodiscard]] std::string RenamedPart(const NamingRule& rule, std::string_view name, long long counter,
                                      bool& overflow);

// The rule over the selected rows of the list. Linear in the number of rows.
[[nodiscard]] RenamePlan PlanRenames(const PartList& list, const NamingRule& rule);

}  // namespace velmora::partlist
