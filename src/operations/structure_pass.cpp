#include "operations/structure_pass.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "operations/target_plan.h"
#include "partlist/marks.h"
#include "resources/messages/operations.h"
#include "resources/messages/runner.h"
#include "resources/messages/structure.h"
#include "text/codec.h"
#include "text/file_name.h"
#include "text/mbstring.h"
#include "toolrunner/listing_reader.h"

namespace velmora::operations {

namespace {

using partlist::PartList;

// The entries of one "-list" listing, read only as far as a lookup needs: a path found early never
// makes the rest of the file be read, and no entry is read twice.
class TargetListing {
 public:
  TargetListing(platform::Ui& ui, platform::TextStream& file, std::string_view messageTail)
      : reader_(ui), file_(&file), tail_(messageTail) {}

  enum class Lookup { Found, Missing, Failed };

  Lookup Find(std::string_view path) {
    const std::string key = text::ToLower(path);
    if (seen_.contains(key))
      return Lookup::Found;
    while (!ended_) {
      const toolrunner::ListingReader::Read read = reader_.ReadListingLine(*file_, tail_);
      if (read == toolrunner::ListingReader::Read::Failed)
        return Lookup::Failed;
      if (read == toolrunner::ListingReader::Read::End) {
        ended_ = true;
        break;
      }
      std::string entry = text::ToLower(reader_.Folder() + reader_.Name());
      const bool match = entry == key;
      seen_.insert(std::move(entry));
      if (match)
        return Lookup::Found;
    }
    return Lookup::Missing;
  }

 private:
  toolrunner::ListingReader reader_;
  platform::TextStream* file_;
  std::string tail_;
  std::unordered_set<std::string> seen_;
  bool ended_ = false;
};

// The checks of a pass that writes nothing, made from the tree of the whole listing and the rows'
// final paths once the reader has accepted every line: the marks, and in the check the refusals,
// line by line in the listing's order. Only a changed part's existing file is looked at again.
class Checker {
 public:
  Checker(Context& context, platform::TextStream& listing, PassMode passMode, std::string_view messageTail,
          std::string_view inputFolder, const StructureTree& tree)
      : context_(context),
        list_(context.state.partList),
        listing_(listing),
        lines_(tree.lines),
        passMode_(passMode),
        tail_(messageTail),
        inputKey_(text::ToLower(context.state.inputPartPath)),
        finalPaths_(FinalPaths(context.state, inputFolder)) {}

  Step Run() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const int row = lines_[i].row;
      const bool isInput = text::ToLower(list_.RowPath(row, false)) == inputKey_;
      if ((isInput ? InputLine(row) : OtherLine(i)) == Step::Failed)
        return Step::Failed;
    }
    return Step::Done;
  }

 private:
  [[nodiscard]] bool Exists(const std::string& path) const { return context_.host.Stat(path).has_value(); }
  [[nodiscard]] bool OverwriteAll() const { return context_.state.options.overwriteAll != 0; }
  [[nodiscard]] bool RemovingFolders() const {
    return context_.state.operation == Operation::RemoveAllFolders;
  }
  [[nodiscard]] const std::string& FinalPath(int row) const {
    return finalPaths_[static_cast<std::size_t>(row)];
  }
  void Show(const std::string& text) const { context_.ui.ShowMessage(text); }

  // The failure protocol of a pass: the listing and the file held with it closed.
  Step Fail(const msg::Tailed& message) {
    Show(message(tail_));
    return Failed();
  }
  Step Failed() {
    if (listing_.IsOpen() && !listing_.Close())
      Show(msg::kPcCloseFailedNoTail());
    if (held_ != nullptr && held_->IsOpen() && !held_->Close())
      Show(msg::kListTextCloseFailed());
    held_ = nullptr;
    return Step::Failed;
  }

  Step InputLine(int row) {
    const std::string newPath = list_.RowPath(row, true);
    if (!newPath.empty())
      list_.SetMark(row, partlist::kEdited, partlist::Mark::V);
    if (passMode_ == PassMode::Check && !OverwriteAll()) {
      if (!newPath.empty() && Exists(newPath))
        return Fail(msg::kInputPartNewFileExists);
      if (newPath.empty())
        return Fail(msg::kInputPartExists);
    }
    return Step::Done;
  }

  Step OtherLine(std::size_t index) {
    const int row = lines_[index].row;
    const std::string oldPath = list_.RowPath(row, false);
    const std::string newPath = list_.RowPath(row, true);
    if (passMode_ == PassMode::Check && OverwriteCheck(oldPath, newPath, false, row) == Step::Failed)
      return Failed();
    if (newPath.empty())
      return Step::Done;
    if (AncestorWalk(index) == Step::Failed)
      return Step::Failed;
    return ExistingTargetCheck(index, newPath);
  }

  // Every part above a changed one is rewritten: marked, and in the check its file in the way
  // refused.
  Step AncestorWalk(std::size_t index) {
    for (int up = lines_[index].parent; up >= 0; up = lines_[static_cast<std::size_t>(up)].parent) {
      const int ancestor = lines_[static_cast<std::size_t>(up)].row;
      if (list_.MarkAt(ancestor, partlist::kEdited) != partlist::Mark::X)
        list_.SetMark(ancestor, partlist::kEdited, partlist::Mark::V);
      if (passMode_ == PassMode::Check &&
          OverwriteCheck(list_.RowPath(ancestor, false), list_.RowPath(ancestor, true), true, ancestor) ==
              Step::Failed)
        return Failed();
    }
    return Step::Done;
  }
  // May the pass write at new (or at old, in place, when new is empty)? Shows its own message.
  Step OverwriteCheck(const std::string& oldPath, const std::string& newPath, bool ancestor, int row) {
    if (RemovingFolders()) {
      if (ancestor)
        return Step::Done;
      const std::string& gathered = FinalPath(row);
      // A part already in the input part's folder is used where it is: no file in the way, but
      // rewritten in place, which needs overwriteAll like every other write in place.
      if (text::ToLower(gathered) == text::ToLower(oldPath)) {
        if (OverwriteAll())
          return Step::Done;
        Show(msg::OverwriteOld(text::FileNameOf(oldPath), tail_));
        return Step::Failed;
      }
      if (Exists(gathered)) {
        Show(msg::RemoveAllTargetExists(text::FileNameOf(gathered)));
        return Step::Failed;
      }
      return Step::Done;
    }
    if (OverwriteAll() || (!ancestor && context_.state.operation == Operation::Change))
      return Step::Done;
    if (!newPath.empty()) {
      if (!Exists(newPath))
        return Step::Done;
      Show(msg::OverwriteNew(text::FileNameOf(newPath), tail_));
      return Step::Failed;
    }
    Show(msg::OverwriteOld(text::FileNameOf(oldPath), tail_));
    return Step::Failed;
  }

  // A changed part's new file that already exists is kept when it refers to every component listed
  // under the part; each one it does not refer to is marked.
  Step ExistingTargetCheck(std::size_t index, const std::string& newPath) {
    const std::string base = context_.runner.WorkFileBase(newPath, toolrunner::ToolMode::List, tail_);
    if (base.empty())
      return Failed();
    if (!Exists(newPath))
      return Step::Done;
    if (context_.runner.RunTool({.mode = toolrunner::ToolMode::List, .inFile = newPath}, tail_) ==
        Step::Failed)
      return Failed();
    const std::string listPath = base + ".txt";
    const std::unique_ptr<platform::TextStream> file =
        context_.host.Open(listPath, platform::OpenMode::ReadText);
    if (!file)
      return Fail(msg::kTargetListOpenFailed);
    held_ = file.get();
    TargetListing listing(context_.ui, *file, tail_);
    int firstLacking = -1;
    const int level = lines_[index].level;
    for (std::size_t i = index + 1; i < lines_.size() && lines_[i].level > level; ++i) {
      const int descendant = lines_[i].row;
      const TargetListing::Lookup found = listing.Find(list_.RowPath(descendant, false));
      if (found == TargetListing::Lookup::Failed) {
        static_cast<void>(Failed());
        // This pass writes nothing, so nothing of it may block the next run.
        static_cast<void>(context_.host.Remove(listPath));
        return Step::Failed;
      }
      if (found == TargetListing::Lookup::Missing) {
        list_.SetMark(descendant, partlist::kEdited, partlist::Mark::X);
        if (firstLacking < 0)
          firstLacking = descendant;
      }
    }
    held_ = nullptr;
    if (!file->Close())
      return Fail(msg::kTargetListCloseFailed);
    if (!context_.host.Remove(listPath))
      return Fail(msg::kTextRemoveFailed);
    // Used as it is, such a file would take the renamed part's place and silently drop the
    // components it lacks from the assembly. Inspecting only marks them. Gathering without folder
    // information uses no file there (one in the input part's folder is refused as in the way).
    if (passMode_ == PassMode::Check && firstLacking >= 0 && !RemovingFolders()) {
      Show(msg::kTargetLacksComponent(text::FileNameOf(newPath),
                                      list_.Text(firstLacking, partlist::kPartName), tail_));
      return Failed();
    }
    return Step::Done;
  }

  Context& context_;
  PartList& list_;
  platform::TextStream& listing_;
  const std::vector<StructureTree::Line>& lines_;
  const PassMode passMode_;
  const std::string tail_;
  const std::string inputKey_;
  const std::vector<std::string> finalPaths_;
  platform::TextStream* held_ = nullptr;  // the existing target's listing while it is read
};

}  // namespace

Step StructurePass(Context& context, platform::TextStream& stream, PassMode passMode,
                   std::string_view messageTail, std::string_view inputFolder, StructureTree* tree) {
  std::optional<StructureTree> read = ReadStructureTree(context, stream, messageTail, passMode);
  if (!read || Checker(context, stream, passMode, messageTail, inputFolder, *read).Run() == Step::Failed)
    return Step::Failed;
  if (tree != nullptr)
    *tree = std::move(*read);
  return Step::Done;
}

Step CheckingStructurePass(Context& context, platform::TextStream& stream, std::string_view listingPath,
                           PassMode passMode, std::string_view messageTail, std::string_view inputFolder,
                           StructureTree* tree) {
  if (StructurePass(context, stream, passMode, messageTail, inputFolder, tree) == Step::Done)
    return Step::Done;
  // The failure has been shown; a listing that cannot be removed is named by the next run's refusal.
  static_cast<void>(context.host.Remove(listingPath));
  return Step::Failed;
}

}  // namespace velmora::operations
