#pragma once
// What a part name or a folder must be to name a file on the systems the tools run on. Every check
// steps over whole cp932 characters.

#include <cstddef>
#include <optional>
#include <string_view>

namespace velmora::partlist {

// The longest full path a file may have (the platform's limit less the terminating NUL).
inline constexpr std::size_t kMaxPathBytes = 259;

enum class NameVerdict {
  Accept,
  NoExtension,         // no "." or only at position 0
  NotPrt,              // the text after the last "." is not "prt" in any case
  HasSeparator,        // a ":" or "\" somewhere
  ForbiddenCharacter,  // < > " / | ? * or a control character
  ReservedName,        // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension
  Blank,               // a blank (ASCII or ideographic) at the start, or before the extension
  TooLong,             // folder + name longer than kMaxPathBytes
};

// The rule for a name typed into column 0. nullopt is a cancelled edit; empty text is accepted.
// folder (ending in "\") is where the file will be; it only counts for the length.
NameVerdict ValidateNewPartName(std::optional<std::string_view> text, std::string_view folder = {});

enum class FolderVerdict {
  Accept,
  ForbiddenName,  // a component holds a forbidden character or is a reserved name
  TooLong,        // with a name that goes into it, longer than kMaxPathBytes
};

// A folder as chosen for new files (drive or network root first, ending in "\"), checked with the
// longest name that will go into it.
FolderVerdict ValidateNewFolder(std::string_view folder, std::size_t longestName);

// The single-name rules, for callers that check a file or folder name of their own.
bool HasForbiddenCharacter(std::string_view name);
bool IsReservedName(std::string_view name);

}  // namespace velmora::partlist
