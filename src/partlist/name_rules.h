#pragma once

#include <optional>
#include <string_view>

namespace velmora::partlist {

enum class NameVerdict {
  Accept,
  NoExtension,   // no "." or only at position 0
  NotPrt,        // the text after the last "." is not "prt" in any case
  HasSeparator,  // a ":" or "\" somewhere
};

// The rule for a name typed into column 0. nullopt is a cancelled edit; empty text is accepted.
NameVerdict ValidateNewPartName(std::optional<std::string_view> text);

}  // namespace velmora::partlist
