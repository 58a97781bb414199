#pragma once
// A run worked out before it is carried out: from the structure listing, read once into a tree of
// lines, and the rows' final paths, the ordered list of everything the run does to the disk and
// the CAD library. Making the plan writes nothing and shows nothing.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/journal_file.h"
#include "operations/context.h"
#include "operations/dialog_state.h"
#include "operations/modes.h"
#include "platform/text_stream.h"
#include "toolrunner/batch_runner.h"

namespace velmora::operations {

// The listing's lines in order. parent is the index of the line a line hangs under (-1 for the
// first), level its indentation.
struct StructureTree {
  struct Line {
    int row = -1;
    int level = 0;
    int parent = -1;
  };
  std::vector<Line> lines;
  std::vector<int> lastAtLevel;  // the index of the last line added at each level

  // A line read after the others: it hangs under the last line one level up.
  void Add(int row, int level);
};

// Reads the listing once, through the reader every pass uses: a pass that writes nothing numbers
// the rows, the change takes the numbers the check pass gave them. nullopt when the reader refused
// it (after its message; the listing is then closed).
std::optional<StructureTree> ReadStructureTree(Context& context, platform::TextStream& listing,
                                               std::string_view messageTail,
                                               PassMode passMode = PassMode::Perform);

enum class ActionKind {
  Copy,           // source to path, a file at path replaced unless failIfExists
  Rename,         // a new spelling of the same file: source becomes path
  ReferenceEdit,  // the edit tool rewrites one component reference of path in place
  BulkEdit,       // the edit tool runs a bulk option on source, writing path
  Resave,         // path opened and saved through the library (the load options set first)
  CloseAll,       // every part the library holds closed
};

struct Action {
  ActionKind kind = ActionKind::CloseAll;
  std::string path;    // the file written; empty for CloseAll
  std::string source;  // Copy, Rename: where from; BulkEdit: the file read; CloseAll: the file placed
  bool failIfExists = false;
  journal::WriteKind journalKind = journal::WriteKind::Rewritten;  // recorded before the write
  toolrunner::ToolMode mode = toolrunner::ToolMode::ChangeName;    // ReferenceEdit, BulkEdit
  std::string befFile;                                             // ReferenceEdit: the component named
  std::string aftFile;                                             // ReferenceEdit: its new name or folder
  int row = -1;  // the row whose line or bulk run the action belongs to; -1 for CloseAll
  bool operator==(const Action&) const = default;
};

struct PlanInput {
  const DialogState& state;
  std::string_view inputFolder;  // the input part's folder after the run, with its final "\"
  const StructureTree& tree;     // unused for a list of one row
  // Whether a file is at a path before the run (a lookup that ignores case, as Windows does).
  std::function<bool(std::string_view)> existsAtStart;
  // Whether a new spelling of a file finds nothing or that file itself; unset: always, as on
  // Windows. A host that tells spellings apart may hold another file there.
  std::function<bool(std::string_view, std::string_view)> sameFileOrAbsent = {};
};

// A point between two files, before the action at index `before` (the plan's size: after the
// last): the progress moves on, by a step unless the row's file was met before, and the user may
// stop the run there.
struct ProgressPoint {
  std::size_t before = 0;
  int row = -1;
  bool newStep = true;
};

struct PlannedRun {
  std::vector<Action> actions;
  std::vector<ProgressPoint> points;
  // Where the bulk runs begin, after the change: their first action and their first point.
  std::size_t bulkAction = 0;
  std::size_t bulkPoint = 0;
};

// Whether the change reads the structure: a list of two rows or more with a new path, or without
// folder information, when every part is gathered in the input part's folder.
[[nodiscard]] bool WalksStructure(const DialogState& state);

// What the change and bulk passes do, in their order, once their checks have passed and when
// every step succeeds.
PlannedRun PlanRun(const PlanInput& input);
std::vector<Action> MakeRunPlan(const PlanInput& input);

// Parts of a plan for a step run on its own: one part file brought to its new place (the run's
// rules for the copy mode and the options; input.inputFolder is where a part goes without folder
// information), and the bulk run on one row.
struct Placement {
  std::string_view source;
  std::string_view destination;
  CopyMode copyMode = CopyMode::Overwrite;
  bool closeAll = false;
  int row = 0;
};
std::vector<Action> PlanPlacement(const PlanInput& input, const Placement& placement);
std::vector<Action> PlanBulkRow(const PlanInput& input, int row);

}  // namespace velmora::operations
