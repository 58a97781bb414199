#include "operations/list_building.h"

#include <memory>
#include <string>
#include <utility>

#include "partlist/marks.h"
#include "partlist/part_row.h"
#include "resources/messages/operations.h"
#include "resources/messages/tails.h"
#include "toolrunner/listing_reader.h"

namespace velmora::operations {
namespace {}  // namespace

Step CheckInputs(Context& context, std::string_view messageTail) {
  struct Input {
    const std::string& path;
    msg::Tailed notChosen;
    msg::Tailed notFound;
  };
  const DialogState& state = context.state;
  const Input inputs[] = {
      {state.editToolPath, msg::kEditToolNotChosen, msg::kEditToolNotFound},
      {state.pcToolPath, msg::kPcToolNotChosen, msg::kPcToolNotFound},
      {state.inputPartPath, msg::kInputPartNotChosen, msg::kInputPartNotFound},
  };
  // Every emptiness test comes before any existence test.
  for (const Input& input : inputs) {
    if (input.path.empty()) {
      context.ui.ShowMessage(input.notChosen(messageTail));
      return Step::Failed;
    }
  }
  for (const Input& input : inputs) {
    if (!context.host.Stat(input.path)) {
      context.ui.ShowMessage(input.notFound(messageTail));
      return Step::Failed;
    }
  }
  return Step::Done;
}

Step BuildPartList(Context& context) {
  DialogState& state = context.state;
  const std::string inputPart = state.inputPartPath;
  // A list that cannot be built stays empty rather than showing the previous assembly.
  state.partList.DeleteAllRows();

  const std::string tail = msg::kTailListNotBuilt();
  if (CheckInputs(context, tail) == Step::Failed)
    return Step::Failed;
  const toolrunner::WorkFileScope workFiles(context.runner);
  if (context.runner.RunTool({.mode = toolrunner::ToolMode::List, .inFile = inputPart}, tail) == Step::Failed)
    return Step::Failed;
  const std::string base = context.runner.WorkFileBase(inputPart, toolrunner::ToolMode::List, tail);
  if (base.empty())
    return Step::Failed;

  const std::string listingPath = base + ".txt";
  std::unique_ptr<platform::TextStream> stream = context.host.Open(listingPath, platform::OpenMode::ReadText);
  if (!stream) {
    context.ui.ShowMessage(msg::kListTextOpenFailed());
    return Step::Failed;
  }

  toolrunner::ListingReader reader(context.ui);
  const std::string readTail = msg::kTailListIncomplete();
  for (int n = 0; !stream->Eof(); ++n) {
    // On a bad line the reader has closed the stream; the rows so far stay.
    const toolrunner::ListingReader::Read read = reader.ReadListingLine(*stream, readTail);
    if (read == toolrunner::ListingReader::Read::Failed)
      return Step::Failed;
    if (read == toolrunner::ListingReader::Read::End)
      break;
    partlist::PartRow row;
    row.partName = reader.Name();
    row.folderName = reader.Folder();
    const bool exists = context.host.Stat(row.folderName + row.partName).has_value();
    row.before = std::string(exists ? partlist::kMarkCircle : partlist::kMarkX);
    row.itemData = n;
    state.partList.InsertRow(n, std::move(row));
  }

  if (!stream->Close()) {
    context.ui.ShowMessage(msg::kListTextCloseFailed());
    return Step::Failed;
  }
  if (!context.host.Remove(listingPath)) {
    context.ui.ShowMessage(msg::kListTextRemoveFailed());
    return Step::Failed;
  }

  state.partList.ResetSortDirections();
  // The check boxes keep what the user set; only the operation choice returns to inspect.
  context.ui.ExchangeData(true);
  state.operation = Operation::Inspect;
  context.ui.ExchangeData(false);
  return Step::Done;
}

}  // namespace velmora::operations
