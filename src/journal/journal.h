#pragma once
// The journal of a run that writes, kept in a folder of the program's under TEMP: the plan, then
// one entry before each write, each on disk before the write it describes. Before an existing file
// is first written, a copy of it is kept beside the journal. Undo goes back through the journals
// newest first and never overwrites a file that has changed since the run.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "journal/journal_file.h"
#include "platform/host.h"
#include "platform/step.h"
#include "platform/ui.h"

namespace velmora::journal {

// The journals kept; a run beyond them removes the oldest.
inline constexpr std::size_t kKeptRuns = 10;

enum class UndoStatus { Undone, NothingToUndo, FileChanged, Failed };

struct UndoResult {
  UndoStatus status = UndoStatus::NothingToUndo;
  std::string inputPart;  // Undone: the input part before that run
  std::string file;       // FileChanged, Failed: the file (Windows path, cp932)
};

class Journal {
 public:
  Journal(platform::Host& host, platform::Ui& ui) : host_(&host), ui_(&ui) {}
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // A run starts; nothing reaches the disk until its first write.
  void Begin(Plan plan);
  // Right before a write to path. True when the journal could not be written (its message has
  // been shown): the write must not happen. Outside a run it does nothing.
  Step BeforeWrite(std::string_view path, WriteKind kind);
  // The run is over, finished or stopped: the last write's result is recorded.
  void End();

  // Undoes the newest run still kept and removes its journal.
  [[nodiscard]] UndoResult UndoLast();

 private:
  struct Pending {
    std::size_t index;
    std::string path;
  };

  std::optional<std::string> Folder() const;
  bool Open();
  std::string PendingResult();
  Step Fail();

  platform::Host* host_;
  platform::Ui* ui_;
  bool active_ = false;
  Plan plan_;
  std::string folder_;
  std::string id_;
  std::string file_;  // empty until the first write
  std::size_t entries_ = 0;
  std::size_t backups_ = 0;
  std::unordered_set<std::string> touched_;  // lower-cased paths written in this run
  std::optional<Pending> pending_;
};

// Begin and, on every way out, End.
class RunScope {
 public:
  RunScope(Journal& journal, Plan plan) : journal_(&journal) { journal.Begin(std::move(plan)); }
  ~RunScope() { journal_->End(); }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  Journal* journal_;
};

}  // namespace velmora::journal
