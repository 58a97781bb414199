// Undoing a run from its journal: the journal is held and checked whole, every file is checked
// before any is touched, and the backups go only once every restored file is on disk. Killed
// half-way, the next undo finds each file either restored or as the run left it, and goes on.

#include <unordered_map>
#include <unordered_set>

#include "journal/journal.h"
#include "journal/journal_folder.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::journal {

struct PreparedUndo::Held {
  std::unique_ptr<platform::HeldFile> file;
  std::string folder;
  std::string id;
  Record record;
  std::vector<std::string> backups;  // names in the folder
};

PreparedUndo::PreparedUndo() = default;
PreparedUndo::~PreparedUndo() = default;
PreparedUndo::PreparedUndo(PreparedUndo&&) noexcept = default;
PreparedUndo& PreparedUndo::operator=(PreparedUndo&&) noexcept = default;

namespace {

std::string Join(std::string_view folder, std::string_view name) {
  return std::string(folder) + "\\" + std::string(name);
}

// One file of the run: its entries, and what is there now.
struct FileWrites {
  std::vector<std::size_t> entries;
  Fingerprint now;
  std::string diskName;  // of the file now there
  bool keep = false;     // what it holds is kept aside before the original comes back
};

std::string Hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string digits(16, '0');
  for (std::size_t i = digits.size(); i-- > 0; value >>= 4)
    digits[i] = kDigits[value & 0x0F];
  return digits;
}

std::vector<FileWrites> ByFile(const Record& record) {
  std::vector<FileWrites> files;
  std::unordered_map<std::string, std::size_t> byKey;
  for (std::size_t i = 0; i < record.entries.size(); ++i) {
    const auto [at, added] = byKey.try_emplace(text::ToLower(record.entries[i].path), files.size());
    if (added)
      files.emplace_back();
    files[at->second].entries.push_back(i);
  }
  return files;
}

UndoResult Refusal(UndoStatus status, std::string file, std::string backup = {}) {
  UndoResult result;
  result.status = status;
  result.file = std::move(file);
  result.backup = std::move(backup);
  return result;
}

// Whether the file holds a state the run could have left it in: what was there before (the write
// never happened, or undo already took it back), the result of one of its writes, or, for a write
// that has no result, the bytes it was to leave. A copy kept and the file gone is an undo cut
// between removing a respelt file and putting the original back.
bool LeftByRun(const Record& record, const FileWrites& file) {
  const Entry& first = record.entries[file.entries.front()];
  const Fingerprint before = first.before == Before::Backup ? first.original : Fingerprint::Absent();
  if (file.now == before || (first.before == Before::Backup && !file.now.present))
    return true;
  for (const std::size_t index : file.entries) {
    const Entry& entry = record.entries[index];
    if (entry.result ? file.now == *entry.result : entry.expected && file.now == *entry.expected)
      return true;
  }
  return false;
}

class Undoer {
 public:
  Undoer(platform::Host& host, const PreparedUndo::Held& held) : host_(&host), held_(&held) {}

  // Everything is checked before anything is touched; a refusal, or nullopt when all is well.
  std::optional<UndoResult> Check() {
    files_ = ByFile(held_->record);
    for (FileWrites& file : files_) {
      const Entry& first = Entries()[file.entries.front()];
      const Entry& last = Entries()[file.entries.back()];
      if (std::optional<platform::FileContent> content = host_->ReadFile(last.path)) {
        file.now = Fingerprint::Of(content->bytes);
        file.diskName = std::move(content->diskName);
      } else if (host_->Stat(last.path)) {
        return Refusal(UndoStatus::Failed, last.path);
      }
      const std::string backup = first.before == Before::Backup ? BackupPath(first) : std::string();
      // A write cut off before its result whose bytes could not be known beforehand (a tool's or
      // the library's): what it left cannot be told from a later change, so it is kept.
      file.keep = !LeftByRun(held_->record, file) && !last.result && !last.expected;
      if (!file.keep && !LeftByRun(held_->record, file))
        return Refusal(UndoStatus::FileChanged, last.path, backup);
      if (!NeedsBackup(file))
        continue;
      const std::optional<platform::FileContent> copy = host_->ReadFile(backup);
      if (!copy)
        return Refusal(UndoStatus::BackupMissing, last.path, backup);
      if (Fingerprint::Of(copy->bytes) != first.original)
        return Refusal(UndoStatus::BackupDamaged, last.path, backup);
    }
    return std::nullopt;
  }

  // Newest first; each file on disk before the next. nullopt when all are back.
  std::optional<UndoResult> Restore() {
    for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
      const Entry& last = Entries()[file->entries.back()];
      if (file->keep && !Keep(*file))
        return Refusal(UndoStatus::Failed, last.path);
      const std::optional<std::string> failed = RestoreFile(*file);
      if (failed)
        return Refusal(UndoStatus::Failed, *failed);
      if (!host_->Flush(last.path))
        return Refusal(UndoStatus::Failed, last.path);
    }
    return std::nullopt;
  }

  [[nodiscard]] const std::vector<std::pair<std::string, std::string>>& Kept() const { return kept_; }

 private:
  [[nodiscard]] const std::vector<Entry>& Entries() const { return held_->record.entries; }

  // A copy beside the journal, named by its checksum so that an undo resumed finds it made; on
  // disk before the file is touched.
  bool Keep(const FileWrites& file) {
    const Entry& last = Entries()[file.entries.back()];
    const std::string kept =
        Join(held_->folder, held_->id + "-kept-" + Hex(file.now.hash) + "-" + file.diskName);
    const std::optional<platform::FileContent> there = host_->ReadFile(kept);
    if (!(there && Fingerprint::Of(there->bytes) == file.now) &&
        (!host_->CopyFile(last.path, kept, false) || !host_->Flush(kept)))
      return false;
    kept_.emplace_back(last.path, kept);
    return true;
  }
  [[nodiscard]] std::string BackupPath(const Entry& first) const {
    return Join(held_->folder, first.backupName);
  }

  [[nodiscard]] bool NeedsBackup(const FileWrites& file) const {
    const Entry& first = Entries()[file.entries.front()];
    return first.before == Before::Backup && !(file.now == first.original && file.diskName == first.diskName);
  }

  // The path that failed, or nullopt. Back under the spelling it had: a name whose case the run
  // changed is replaced, not copied over, as a copy onto a file keeps that file's spelling.
  std::optional<std::string> RestoreFile(const FileWrites& file) {
    const Entry& first = Entries()[file.entries.front()];
    const Entry& last = Entries()[file.entries.back()];
    if (first.before != Before::Backup) {
      if (file.now.present && !host_->Remove(last.path))
        return last.path;
      return std::nullopt;
    }
    if (!NeedsBackup(file))
      return std::nullopt;
    bool present = file.now.present;
    if (present && file.diskName != first.diskName) {
      if (!host_->Remove(last.path))
        return last.path;
      present = false;
    }
    const std::string original = std::string(text::FolderOf(first.path)) + first.diskName;
    if (!host_->CopyFile(BackupPath(first), original, !present) || !host_->Flush(original))
      return original;
    return std::nullopt;
  }

  platform::Host* host_;
  const PreparedUndo::Held* held_;
  std::vector<FileWrites> files_;
  std::vector<std::pair<std::string, std::string>> kept_;
};

RunSummary Summary(const Record& record) {
  std::unordered_set<std::string> paths;
  for (const Entry& entry : record.entries)
    paths.insert(text::ToLower(entry.path));
  return RunSummary{record.plan, paths.size(), record.ended};
}

// Damaged: it does not read to its end, its end mark does not match it, or a backup of its id is
// named by no entry. A mark cut while it was written (a full disk, a power cut: empty, or the start
// of the mark) is no mark, as for a run that ended just before writing it.
bool Damaged(platform::Host& host, const PreparedUndo::Held& held, const std::optional<std::string>& bytes) {
  if (!bytes)
    return true;
  const std::optional<Record> record = ParseRecord(*bytes);
  if (!record)
    return true;
  const std::string mark = Join(held.folder, held.id + std::string(folder::kEndMark));
  if (const std::optional<platform::FileContent> content = host.ReadFile(mark);
      content && !MatchesEndMark(content->bytes, *bytes) && !EndMark(*bytes).starts_with(content->bytes))
    return true;
  std::unordered_set<std::string> named;
  for (const Entry& entry : record->entries) {
    if (entry.before == Before::Backup)
      named.insert(text::ToLower(entry.backupName));
  }
  for (const std::string& backup : held.backups) {
    if (!named.contains(text::ToLower(backup)))
      return true;
  }
  return false;
}

void RemoveJournal(platform::Host& host, const PreparedUndo::Held& held) {
  for (const std::string& backup : held.backups)
    host.Remove(Join(held.folder, backup));
  host.Remove(Join(held.folder, held.id + std::string(folder::kEndMark)));
  const std::string journal = Join(held.folder, held.id + std::string(folder::kJournal));
  host.Remove(journal);
  static_cast<void>(host.Flush(journal));
}

}  // namespace

PreparedUndo Journal::PrepareUndo() {
  PreparedUndo prepared;
  const std::optional<std::string> folder = Folder();
  const std::optional<std::vector<std::string>> names = folder ? host_->ListFolder(*folder) : std::nullopt;
  if (!names)
    return prepared;
  const std::vector<std::string> ids = folder::JournalIds(*names);
  // Nothing is undone while another process runs: its files may be any run's.
  std::vector<std::unique_ptr<platform::HeldFile>> held;
  for (const std::string& id : ids) {
    const std::string journal = Join(*folder, id + std::string(folder::kJournal));
    held.push_back(host_->HoldExisting(journal));
    if (!held.back() && host_->Stat(journal)) {
      prepared.result = Refusal(UndoStatus::RunInProgress, {});
      return prepared;
    }
  }
  for (std::size_t i = ids.size(); i-- > 0;) {
    if (!held[i])
      continue;
    auto work = std::make_unique<PreparedUndo::Held>();
    work->folder = *folder;
    work->id = ids[i];
    work->backups = folder::BackupsOf(*names, ids[i]);
    const std::optional<std::string> bytes = held[i]->ReadAll();
    work->file = std::move(held[i]);
    if (Damaged(*host_, *work, bytes)) {
      prepared.result = Refusal(UndoStatus::Damaged, {});
      prepared.result.folder = *folder;
      return prepared;
    }
    work->record = *ParseRecord(*bytes);
    // Ended or cut before its first write: that run wrote nothing.
    if (work->record.entries.empty() && work->backups.empty()) {
      RemoveJournal(*host_, *work);
      continue;
    }
    Undoer undoer(*host_, *work);
    if (std::optional<UndoResult> refusal = undoer.Check()) {
      prepared.result = std::move(*refusal);
      return prepared;
    }
    prepared.result.status = UndoStatus::Ready;
    prepared.run = Summary(work->record);
    prepared.held_ = std::move(work);
    return prepared;
  }
  return prepared;
}

UndoResult Journal::Carry(PreparedUndo& prepared) {
  if (prepared.result.status != UndoStatus::Ready || !prepared.held_)
    return prepared.result;
  const PreparedUndo::Held& held = *prepared.held_;
  Undoer undoer(*host_, held);
  if (std::optional<UndoResult> refusal = undoer.Check())
    return *refusal;
  if (std::optional<UndoResult> failed = undoer.Restore())
    return *failed;
  RemoveJournal(*host_, held);
  UndoResult result;
  result.status = UndoStatus::Undone;
  result.inputPart = held.record.plan.inputPart;
  result.kept = undoer.Kept();
  prepared.held_.reset();
  prepared.result = result;
  return result;
}

UndoResult Journal::UndoLast() {
  PreparedUndo prepared = PrepareUndo();
  return Carry(prepared);
}

std::vector<RunSummary> Journal::InterruptedRuns() {
  std::vector<RunSummary> runs;
  const std::optional<std::string> folder = Folder();
  const std::optional<std::vector<std::string>> names = folder ? host_->ListFolder(*folder) : std::nullopt;
  if (!names)
    return runs;
  for (const std::string& id : folder::JournalIds(*names)) {
    const std::unique_ptr<platform::HeldFile> held =
        host_->HoldExisting(Join(*folder, id + std::string(folder::kJournal)));
    const std::optional<std::string> bytes = held ? held->ReadAll() : std::nullopt;
    const std::optional<Record> record = bytes ? ParseRecord(*bytes) : std::nullopt;
    if (record && !record->ended && !record->entries.empty())
      runs.push_back(Summary(*record));
  }
  return runs;
}

}  // namespace velmora::journal
