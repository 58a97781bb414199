// Windows: the paths are the platform's own. The host form the stand-in's code works on is the same
// path in UTF-8 with "/" between components; nothing else is mapped.

#include <algorithm>

#include "platform/win_path.h"
#include "resources/messages/platform.h"
#include "text/codec.h"

namespace velmora::platform {

class FolderCache {};

PathMap::PathMap(std::map<char, std::string> drives, std::optional<std::string> uncRoot, bool)
    : drives_(std::move(drives)), uncRoot_(std::move(uncRoot)) {}

PathMap PathMap::FromEnvironment() {
  return PathMap({}, std::nullopt, false);
}

std::optional<std::string> PathMap::ToHost(std::string_view windowsPath) const {
  text::CodecResult converted = text::Cp932ToUtf8(windowsPath);
  if (!converted.ok)
    return std::nullopt;
  // After the conversion no trail byte can look like a separator.
  std::replace(converted.text.begin(), converted.text.end(), '\\', '/');
  return std::move(converted.text);
}

std::optional<std::string> PathMap::ToHost(std::string_view windowsPath,
                                           std::optional<Status>& status) const {
  status.reset();
  return ToHost(windowsPath);
}

PathMap::Reverse PathMap::ToWindows(std::string_view hostPath) const {
  Reverse result;
  text::CodecResult converted = text::Utf8ToCp932(hostPath);
  if (!converted.ok) {
    result.reason = msg::kHostNameNotCp932(std::string_view());
    return result;
  }
  // Before the conversion back no "/" can be part of a character.
  std::string utf8Slashes(hostPath);
  std::replace(utf8Slashes.begin(), utf8Slashes.end(), '/', '\\');
  result.ok = true;
  result.windowsPath = text::Utf8ToCp932(utf8Slashes).text;
  return result;
}

std::string PathMap::DrivesVariable() const {
  return {};
}

}  // namespace velmora::platform
