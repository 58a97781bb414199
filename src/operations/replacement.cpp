#include "operations/replacement.h"

#include <optional>
#include <string>

#include "operations/executor.h"
#include "partlist/marks.h"
#include "partlist/part_row.h"
#include "resources/messages/operations.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::operations {
namespace {

bool Exists(Context& context, std::string_view path) {
  return context.host.Stat(path).has_value();
}

}  // namespace

Step RunSinglePartPass(Context& context, PassMode mode, std::string_view messageTail) {
  partlist::PartList& list = context.state.partList;
  // An empty listing leaves no row to work on.
  if (list.RowCount() == 0)
    return Step::Done;
  const std::string oldPath = list.RowPath(0, false);
  const std::string newPath = list.RowPath(0, true);

  if (mode != PassMode::Perform) {
    list.SetText(0, partlist::kParent, "0");
    list.SetText(0, partlist::kNumber, "1");
    if (!newPath.empty())
      list.SetMark(0, partlist::kEdited, partlist::Mark::V);
  }
  if (mode == PassMode::Inspect)
    return Step::Done;

  if (context.state.options.overwriteAll == 0) {
    if (!newPath.empty() && Exists(context, newPath)) {
      context.ui.ShowMessage(msg::kInputPartNewFileExists(messageTail));
      return Step::Failed;
    }
    // Without a new name or folder the run would write the input part in place.
    if (newPath.empty()) {
      context.ui.ShowMessage(msg::kInputPartExists(messageTail));
      return Step::Failed;
    }
  }
  if (mode == PassMode::Check)
    return Step::Done;
  return ReplacePartFile(context, oldPath, newPath, messageTail, CopyMode::Overwrite, true, "", 0);
}

Step ReplacePartFile(Context& context, std::string_view source, std::string_view destination,
                     std::string_view messageTail, CopyMode copyMode, bool closeAll, std::string_view folder,
                     int row) {
  const StructureTree none;
  return RunActions(context,
                    PlanPlacement(PlanInputOnDisk(context, folder, none), {.source = source,
                                                                           .destination = destination,
                                                                           .copyMode = copyMode,
                                                                           .closeAll = closeAll,
                                                                           .row = row}),
                    messageTail);
}

Step ResavePart(Context& context, std::string_view path, std::string_view messageTail) {
  const std::string name(text::FileNameOf(path));

  std::optional<platform::AssemOptions> options = context.cad.AskAssemOptions();
  if (!options) {
    context.ui.ShowMessage(msg::kResaveAskOptionsFailed(messageTail));
    return Step::Failed;
  }
  // The library's own record; these three fields make the open load what the re-save needs. They
  // stay in force for every later open.
  options->values[0] = 2;
  options->values[8] = 1;
  options->values[10] = 1;
  if (!context.cad.SetAssemOptions(*options)) {
    context.ui.ShowMessage(msg::kResaveSetOptionsFailed(messageTail));
    return Step::Failed;
  }

  if (!context.cad.PartOpen(path)) {
    context.ui.ShowMessage(msg::kResaveOpenFailed(name, messageTail));
    return Step::Failed;
  }
  if (context.journal.BeforeWrite(path, journal::WriteKind::Resaved) == Step::Failed)
    return Step::Failed;
  if (!context.cad.PartSave()) {
    const std::string reason = toolrunner::ReasonLine(context.host.LastError());
    context.ui.ShowMessage(reason.empty() ? msg::kResaveSaveFailed(name, messageTail)
                                          : msg::WithLinesBeforeTail(msg::kResaveSaveFailed(name),
                                                                     std::string(path) + '\n' + reason) +
                                                std::string(messageTail));
    return Step::Failed;
  }
  if (context.journal.AfterWrite(path) == Step::Failed)
    return Step::Failed;
  // The part stays open until a replacement closes all.
  return Step::Done;
}

}  // namespace velmora::operations
