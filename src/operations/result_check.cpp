#include "operations/result_check.h"

#include <memory>

#include "partlist/marks.h"
#include "resources/messages/runner.h"
#include "resources/messages/structure.h"
#include "text/mbstring.h"
#include "toolrunner/listing_reader.h"

namespace velmora::operations {

std::optional<std::vector<std::string>> UnresolvedAfterRun(Context& context, std::string_view resultInputPath,
                                                           const std::unordered_set<std::string>& planned,
                                                           std::string_view messageTail) {
  const std::string base =
      context.runner.WorkFileBase(resultInputPath, toolrunner::ToolMode::List, messageTail);
  if (base.empty())
    return std::nullopt;
  if (context.runner.RunTool({.mode = toolrunner::ToolMode::List, .inFile = resultInputPath}, messageTail) ==
      Step::Failed)
    return std::nullopt;
  const std::string listPath = base + ".txt";
  const std::unique_ptr<platform::TextStream> file =
      context.host.Open(listPath, platform::OpenMode::ReadText);
  const auto fail = [&](const msg::Tailed& message) {
    context.ui.ShowMessage(message(messageTail));
    return std::nullopt;
  };
  if (!file)
    return fail(msg::kTargetListOpenFailed);

  toolrunner::ListingReader reader(context.ui);
  std::vector<std::string> unresolved;
  while (!file->Eof()) {
    // A bad line: the reader has shown it and closed the file, which stays for the user.
    const toolrunner::ListingReader::Read read = reader.ReadListingLine(*file, messageTail);
    if (read == toolrunner::ListingReader::Read::Failed)
      return std::nullopt;
    if (read == toolrunner::ListingReader::Read::End)
      break;
    std::string path = reader.Folder() + reader.Name();
    if (!planned.contains(text::ToLower(path)) || !context.host.Stat(path))
      unresolved.push_back(std::move(path));
  }
  if (!file->Close())
    return fail(msg::kTargetListCloseFailed);
  if (!context.host.Remove(listPath))
    return fail(msg::kTextRemoveFailed);
  return unresolved;
}

std::vector<std::string> UnresolvedInList(const partlist::PartList& list,
                                          const std::unordered_set<std::string>& planned) {
  std::vector<std::string> unresolved;
  for (int row = 0; row < list.RowCount(); ++row) {
    std::string path = list.RowPath(row, false);
    if (list.Text(row, partlist::kBefore) != partlist::kMarkCircle || !planned.contains(text::ToLower(path)))
      unresolved.push_back(std::move(path));
  }
  return unresolved;
}

}  // namespace velmora::operations
