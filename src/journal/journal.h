#pragma once
// The journal of a run that writes, kept in a folder of the program's under TEMP: the plan, then
// one entry before each write, each on disk before the write it describes, and the write's result
// once the written file is on disk. Before an existing file is first written, a copy of it is kept
// beside the journal. Each run has a journal of its own, held while it runs; undo goes back through
// the journals newest first, refuses a damaged one whole and never overwrites a file that has
// changed since the run.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "journal/journal_file.h"
#include "platform/host.h"
#include "platform/step.h"
#include "platform/ui.h"

namespace velmora::journal {

// The journals kept; a run beyond them removes the oldest.
inline constexpr std::size_t kKeptRuns = 10;

enum class UndoStatus {
  Ready,          // PrepareUndo: the run can be undone
  Undone,         // Carry: it has been
  NothingToUndo,  //
  RunInProgress,  // another process is running (or undoing) a run
  Damaged,        // folder: the journal folder; nothing touched
  FileChanged,    // file, and backup where one was kept: changed since the run
  BackupMissing,  // file, backup
  BackupDamaged,  // file, backup
  Failed,         // file: it could not be read, restored or removed
};

// What a run was, for the question before undoing it and the notice at start.
struct RunSummary {
  Plan plan;
  std::size_t files = 0;  // files it wrote
  bool ended = false;
};

struct UndoResult {
  UndoStatus status = UndoStatus::NothingToUndo;
  std::string inputPart;  // Undone: the input part before that run
  std::string file;       // Windows paths, cp932
  std::string backup;
  std::string folder;
  // Undone: files whose last write left no result and cannot be told from a later change; what
  // they held was kept at the second path before the original came back.
  std::vector<std::pair<std::string, std::string>> kept;
};

// A run chosen to be undone, its journal held until this is destroyed or carried out.
class PreparedUndo {
 public:
  PreparedUndo();
  ~PreparedUndo();
  PreparedUndo(PreparedUndo&&) noexcept;
  PreparedUndo& operator=(PreparedUndo&&) noexcept;

  UndoResult result;  // Ready, or why not
  RunSummary run;     // Ready: the run

  struct Held;  // the held journal and its record, known only where undo is done

 private:
  friend class Journal;
  std::unique_ptr<Held> held_;
};

class Journal {
 public:
  Journal(platform::Host& host, platform::Ui& ui);
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // A run starts; nothing reaches the disk until its first write.
  void Begin(Plan plan);
  // Right before a write to path, after the result of every write still pending is recorded.
  // source: a file whose bytes the write will leave at path (a copy), when there is one. Failed
  // when the journal could not be written (its message has been shown): the write must not
  // happen. Outside a run it does nothing.
  Step BeforeWrite(std::string_view path, WriteKind kind, std::string_view source = {});
  // The same for a write that may run beside others: their results are not taken here.
  Step BeforeConcurrentWrite(std::string_view path, WriteKind kind, std::string_view source = {});
  // The write begun for path has ended: the file is brought to the disk and its result recorded.
  Step AfterWrite(std::string_view path);
  // The run is over, finished or stopped: every pending result is recorded and the journal marked
  // as ended.
  void End();
  // A write of the run under way has been entered: the disk may differ from before it.
  [[nodiscard]] bool Wrote() const { return entries_ > 0; }

  // The newest run still kept, checked and held; or why it cannot be undone.
  [[nodiscard]] PreparedUndo PrepareUndo();
  // Undoes a Ready run and removes its journal; the files are checked again first.
  [[nodiscard]] UndoResult Carry(PreparedUndo& prepared);
  // PrepareUndo and Carry without a question.
  [[nodiscard]] UndoResult UndoLast();

  // Runs that did not end (killed, power cut) and that no live process holds, oldest first.
  [[nodiscard]] std::vector<RunSummary> InterruptedRuns();

 private:
  struct Pending {
    std::size_t index;
    std::string path;
  };

  [[nodiscard]] std::optional<std::string> Folder() const;
  bool Open();
  void Tidy(const std::vector<std::string>& names);
  Step Entered(std::string_view path, WriteKind kind, std::string_view source);
  [[nodiscard]] std::optional<std::string> ResultLines(bool all, std::string_view path);
  bool Append(std::string_view lines);
  Step Fail();

  platform::Host* host_;
  platform::Ui* ui_;
  bool active_ = false;
  Plan plan_;
  std::string folder_;
  std::string id_;
  std::unique_ptr<platform::HeldFile> file_;  // null until the first write
  std::string written_;                       // what the journal holds, for its end mark
  bool broken_ = false;                       // an append failed
  std::size_t entries_ = 0;
  std::size_t backups_ = 0;
  std::unordered_set<std::string> touched_;  // lower-cased paths written in this run
  std::vector<Pending> pending_;
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
