#pragma once
// The names in the journal folder: "<id>.jnl" the journal, "<id>-<n>.bak" its backups, "<id>.end"
// the mark of a run that ended. Ids are fixed-width numbers, so text order is number order.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::journal::folder {

inline constexpr std::string_view kFolderName = "velmora-journal";
inline constexpr std::string_view kJournal = ".jnl";
inline constexpr std::string_view kEndMark = ".end";
inline constexpr std::string_view kHeldTemporary = ".held-";

// The id a journal, backup or end mark belongs to; empty for other names.
std::string_view OwnerId(std::string_view name);
// The journals' ids, oldest first.
std::vector<std::string> JournalIds(const std::vector<std::string>& names);
// One past the highest id any name carries.
std::string NextId(const std::vector<std::string>& names);
// The names of the backups of the journal id.
std::vector<std::string> BackupsOf(const std::vector<std::string>& names, std::string_view id);

}  // namespace velmora::journal::folder
