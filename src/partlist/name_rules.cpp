#include "partlist/name_rules.h"

#include "text/mbstring.h"

namespace velmora::partlist {

NameVerdict ValidateNewPartName(std::optional<std::string_view> text) {
  if (!text || text->empty())
    return NameVerdict::Accept;
  const std::string_view name = *text;
  const std::size_t dot = text::FindLast(name, '.');
  if (dot == text::npos || dot == 0)
    return NameVerdict::NoExtension;
  if (text::ToLower(name.substr(dot + 1)) != "prt")
    return NameVerdict::NotPrt;
  if (text::Contains(name, ':') || text::Contains(name, '\\'))
    return NameVerdict::HasSeparator;
  return NameVerdict::Accept;
}

}  // namespace velmora::partlist
