#include "operations/replacement.h"

#include <optional>
#include <string>

#include "operations/target_plan.h"
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

// A file copied onto itself keeps its spelling (and Windows refuses the copy), so a new spelling of
// the same file is a rename of it, in one atomic step. Nothing at the new spelling, or the source
// itself found there by a lookup that ignores case, is the same file; a host that tells the
// spellings apart may hold a different file there, which is then a file in the way like any other.
bool SameFileOrAbsent(platform::Host& host, std::string_view source, std::string_view target) {
  const std::optional<platform::FileStatus> to = host.Stat(target);
  if (!to)
    return true;
  const std::optional<platform::FileStatus> from = host.Stat(source);
  return from && from->id == to->id;
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
      list.SetText(0, partlist::kEdited, std::string(partlist::kMarkV));
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

namespace {

// Copies (or, for a new spelling of the same file, renames) source to target as the copy mode says,
// then re-saves what is there.
Step PlaceFile(Context& context, std::string_view source, const std::string& target,
               std::string_view messageTail, CopyMode copyMode) {
  const Options& options = context.state.options;
  const bool allowReplaceAll = options.allowReplaceAll != 0;
  const std::string name(text::FileNameOf(source));
  const auto copyFailed = [&] {
    // Said only when the platform said why: the file and the reason.
    const std::string reason = toolrunner::ReasonLine(context.host.LastError());
    context.ui.ShowMessage(reason.empty()
                               ? msg::ReplaceCopyFailed(name, messageTail)
                               : msg::ReplaceCopyFailed(name, target + '\n' + reason, messageTail));
    return Step::Failed;
  };
  const auto resaved = [&] {
    return allowReplaceAll ? ResavePart(context, target, messageTail) : Step::Done;
  };
  const bool renameInPlace =
      IsCaseOnlyRename(source, target) && SameFileOrAbsent(context.host, source, target);
  const auto copy = [&](bool failIfExists) {
    return renameInPlace ? context.host.Rename(source, target)
                         : context.host.CopyFile(source, target, failIfExists);
  };
  // A new folder that is the part's own folder leaves the input part where it is: no copy onto
  // itself (which fails), only the re-save in place.
  const bool sameFile = text::ToLower(source) == text::ToLower(target) && !IsCaseOnlyRename(source, target);
  if (copyMode == CopyMode::Overwrite && sameFile)
    return resaved();
  if (copyMode == CopyMode::Overwrite) {
    if (context.journal.BeforeWrite(target, journal::WriteKind::Overwritten, source) == Step::Failed)
      return Step::Failed;
    return copy(false) ? resaved() : copyFailed();
  }
  const bool present = Exists(context, target);
  // A case-only rename finds its own source at the destination: that is no new file yet.
  if ((!present || renameInPlace) && options.copyMissingFiles != 0) {
    if (context.journal.BeforeWrite(target, journal::WriteKind::Created, source) == Step::Failed)
      return Step::Failed;
    return copy(true) ? resaved() : copyFailed();
  }
  // Already there: re-save it in place rather than copy over it.
  if (present && copyMode == CopyMode::IfMissingElseResave)
    return resaved();
  return Step::Done;
}

}  // namespace

Step ReplacePartFile(Context& context, std::string_view source, std::string_view destination,
                     std::string_view messageTail, CopyMode copyMode, bool closeAll, std::string_view folder,
                     int row) {
  std::string target(destination);
  // Without folder information every part has to live in the input part's folder.
  if (copyMode != CopyMode::Overwrite && context.state.operation == Operation::RemoveAllFolders) {
    const partlist::PartList& list = context.state.partList;
    const std::string& newName = list.Text(row, partlist::kNewPartName);
    target = std::string(folder) + (newName.empty() ? list.Text(row, partlist::kPartName) : newName);
  }

  std::string name;
  if (!target.empty()) {
    name = text::FileNameOf(source);
    if (PlaceFile(context, source, target, messageTail, copyMode) == Step::Failed)
      return Step::Failed;
  } else if (copyMode == CopyMode::IfMissingElseResave && context.state.options.allowReplaceAll != 0) {
    if (ResavePart(context, source, messageTail) == Step::Failed)
      return Step::Failed;
  }

  if (closeAll && !context.cad.PartCloseAll()) {
    context.ui.ShowMessage(msg::kReplaceCloseAllFailed(name, messageTail));
    return Step::Failed;
  }
  return Step::Done;
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
