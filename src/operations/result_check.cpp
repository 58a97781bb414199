#include "operations/result_check.h"

#include <memory>

#include "partlist/marks.h"
#include "resources/messages/runner.h"
#include "resources/messages/structure.h"
#include "text/file_name.h"
#include "text/mbstring.h"
#include "toolrunner/listing_reader.h"

namespace velmora::operations {
namespace {

// The listing shows a reference without a folder with its parent's folder, and so, at the top,
// with the folder of the input part as the listing was given it (topFolder).
bool SpeltAsIntended(IntendedSpelling spelling, std::string_view folder, std::string_view name,
                     std::string_view topFolder) {
  switch (spelling) {
    case IntendedSpelling::Any:
      return true;
    case IntendedSpelling::LowerNames:
      return text::ToLower(name) == name;
    case IntendedSpelling::UpperNames:
      return text::ToUpper(name) == name;
    case IntendedSpelling::LowerFolders:
      return text::ToLower(folder) == folder || folder == topFolder;
    case IntendedSpelling::NoFolders:
      return folder == topFolder;
  }
  return true;
}

// Judges one listed file of the result into faults.
class ResultJudge {
 public:
  ResultJudge(Context* context, std::string_view resultInputPath,
              const std::unordered_set<std::string>& planned, IntendedSpelling spelling)
      : context_(context),
        planned_(&planned),
        spelling_(spelling),
        topFolder_(text::FolderOf(resultInputPath)) {}

  // The input part itself is spelt as it was given, not as a reference: no spelling to judge.
  void Judge(std::string_view folder, std::string_view name, bool present, bool isReference) {
    std::string path = std::string(folder) + std::string(name);
    if (!present || !planned_->contains(text::ToLower(path)) ||
        (context_ != nullptr && !context_->host.Stat(path)))
      faults_.unresolved.push_back(std::move(path));
    else if (isReference && !SpeltAsIntended(spelling_, folder, name, topFolder_))
      faults_.misspelt.push_back(std::move(path));
  }
  ResultFaults Take() { return std::move(faults_); }

 private:
  Context* context_;  // nullptr: presence is told by the caller alone
  const std::unordered_set<std::string>* planned_;
  IntendedSpelling spelling_;
  std::string topFolder_;
  ResultFaults faults_;
};

}  // namespace

IntendedSpelling SpellingOf(Operation operation, bool inputPartOnly) {
  if (inputPartOnly)
    return IntendedSpelling::Any;
  switch (operation) {
    case Operation::LowerAllFolders:
      return IntendedSpelling::LowerFolders;
    case Operation::LowerAllParts:
      return IntendedSpelling::LowerNames;
    case Operation::UpperAllParts:
      return IntendedSpelling::UpperNames;
    case Operation::RemoveAllFolders:
      return IntendedSpelling::NoFolders;
    case Operation::Inspect:
    case Operation::Change:
      break;
  }
  return IntendedSpelling::Any;
}

std::optional<ResultFaults> CheckResultAfterRun(Context& context, std::string_view resultInputPath,
                                                const std::unordered_set<std::string>& planned,
                                                IntendedSpelling spelling, std::string_view messageTail) {
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
  ResultJudge judge(&context, resultInputPath, planned, spelling);
  // The first entry is the part itself, spelt as it was given to the tool.
  bool first = true;
  while (!file->Eof()) {
    // A bad line: the reader has shown it and closed the file, which stays for the user.
    const toolrunner::ListingReader::Read read = reader.ReadListingLine(*file, messageTail);
    if (read == toolrunner::ListingReader::Read::Failed)
      return std::nullopt;
    if (read == toolrunner::ListingReader::Read::End)
      break;
    judge.Judge(reader.Folder(), reader.Name(), true, !first);
    first = false;
  }
  if (!file->Close())
    return fail(msg::kTargetListCloseFailed);
  if (!context.host.Remove(listPath))
    return fail(msg::kTextRemoveFailed);
  return judge.Take();
}

ResultFaults CheckResultInList(const partlist::PartList& list, std::string_view resultInputPath,
                               const std::unordered_set<std::string>& planned, IntendedSpelling spelling) {
  ResultJudge judge(nullptr, resultInputPath, planned, spelling);
  const std::string inputKey = text::ToLower(resultInputPath);
  for (int row = 0; row < list.RowCount(); ++row)
    judge.Judge(list.Text(row, partlist::kFolderName), list.Text(row, partlist::kPartName),
                list.MarkAt(row, partlist::kBefore) == partlist::Mark::Circle,
                text::ToLower(list.RowPath(row, false)) != inputKey);
  return judge.Take();
}

}  // namespace velmora::operations
