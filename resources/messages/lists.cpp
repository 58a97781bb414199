// The messages that list several paths or records.

#include "resources/messages/captions.h"
#include "resources/messages/session.h"
#include "text/mbstring.h"

namespace velmora::msg {

namespace {

std::string RunFinishedWithPaths(std::string_view head, const std::vector<std::string>& paths) {
  constexpr std::size_t kPathsShown = 5;
  std::string message = Text(head)();
  for (std::size_t i = 0; i < paths.size() && i < kPathsShown; ++i)
    message += "\n" + paths[i];
  return message + Text(kRunFinishedCheckResult)();
}

}  // namespace

std::string RunFinishedWithMissing(const std::vector<std::string>& paths) {
  return RunFinishedWithPaths(kRunFinishedWithMissing, paths);
}

std::string RunFinishedMisspelt(const std::vector<std::string>& paths) {
  return RunFinishedWithPaths(kRunFinishedMisspelt, paths);
}

std::string ImportIssues(const std::vector<std::string>& lines, bool refused) {
  constexpr std::size_t kLinesShown = 20;
  std::string message = Text(kImportIssuesHead)();
  for (std::size_t i = 0; i < lines.size() && i < kLinesShown; ++i)
    message += "\n" + lines[i];
  if (lines.size() > kLinesShown)
    message += "\n" + kImportMoreIssues(text::FormatInt(static_cast<int>(lines.size() - kLinesShown)));
  return message + Text(refused ? kImportRefusedTail : kImportPartlyTail)();
}

}  // namespace velmora::msg
