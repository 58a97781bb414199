#include "journal/journal.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "resources/messages/journal.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::journal {
namespace {

constexpr std::string_view kFolderName = "velmora-journal";
constexpr std::string_view kJournalExtension = ".jnl";
constexpr std::size_t kIdDigits = 8;

bool IsId(std::string_view text) {
  return text.size() == kIdDigits &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The ids of the journals in the folder, oldest first (fixed width: text order is number order).
std::vector<std::string> JournalIds(const std::vector<std::string>& names) {
  std::vector<std::string> ids;
  for (const std::string& name : names) {
    const std::string_view view = name;
    if (view.ends_with(kJournalExtension) && IsId(view.substr(0, view.size() - kJournalExtension.size())))
      ids.emplace_back(view.substr(0, kIdDigits));
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::string NextId(const std::vector<std::string>& ids) {
  const unsigned long long next = ids.empty() ? 1 : std::stoull(ids.back()) + 1;
  std::string id = std::to_string(next);
  if (id.size() < kIdDigits)
    id.insert(0, kIdDigits - id.size(), '0');
  return id;
}

// A backup "<id>-<n>.bak" belongs to the journal <id>.
std::string_view OwnerId(std::string_view name) {
  if (name.size() > kIdDigits && name[kIdDigits] == '-' && IsId(name.substr(0, kIdDigits)))
    return name.substr(0, kIdDigits);
  return {};
}

}  // namespace

std::optional<std::string> Journal::Folder() const {
  std::optional<std::string> temp = host_->GetEnv("TEMP");
  if (!temp || temp->empty())
    return std::nullopt;
  if (text::FindLast(*temp, '\\') + 1 == temp->size())
    temp->pop_back();
  return *temp + "\\" + std::string(kFolderName);
}

void Journal::Begin(Plan plan) {
  End();
  active_ = true;
  plan_ = std::move(plan);
}

bool Journal::Open() {
  const std::optional<std::string> folder = Folder();
  if (!folder || !host_->CreateFolder(*folder))
    return false;
  const std::optional<std::vector<std::string>> names = host_->ListFolder(*folder);
  if (!names)
    return false;
  folder_ = *folder;
  const std::vector<std::string> ids = JournalIds(*names);
  id_ = NextId(ids);

  // With this run's, kKeptRuns remain. The journal goes first, so a removal cut short never leaves
  // a journal whose copies are gone; copies without a journal go too.
  const std::size_t drop = ids.size() >= kKeptRuns ? ids.size() - (kKeptRuns - 1) : 0;
  for (std::size_t i = 0; i < drop; ++i)
    host_->Remove(folder_ + "\\" + ids[i] + std::string(kJournalExtension));
  const std::unordered_set<std::string> kept(ids.begin() + static_cast<std::ptrdiff_t>(drop), ids.end());
  for (const std::string& name : *names) {
    const std::string_view owner = OwnerId(name);
    if (!owner.empty() && !kept.contains(std::string(owner)))
      host_->Remove(folder_ + "\\" + name);
  }
  file_ = folder_ + "\\" + id_ + std::string(kJournalExtension);
  return true;
}

Step Journal::Fail() {
  return ShowFailure(*ui_, msg::kJournalWriteFailed());
}

// The result line of the write before this point, or "" when there is none to record.
std::string Journal::PendingResult() {
  if (!pending_)
    return {};
  const Pending pending = std::move(*pending_);
  pending_.reset();
  if (const std::optional<platform::FileContent> content = host_->ReadFile(pending.path))
    return ResultLine(pending.index, Fingerprint::Of(content->bytes));
  // There but unreadable: no result, so undo takes whatever is there as the run's.
  if (host_->Stat(pending.path))
    return {};
  return ResultLine(pending.index, Fingerprint::Absent());
}

Step Journal::BeforeWrite(std::string_view path, WriteKind kind) {
  if (!active_)
    return Step::Done;
  std::string lines;
  if (file_.empty()) {
    if (!Open())
      return Fail();
    lines = PlanLines(plan_);
  } else {
    lines = PendingResult();
  }

  Entry entry;
  entry.kind = kind;
  entry.path = std::string(path);
  std::string key = text::ToLower(path);
  if (touched_.contains(key)) {
    entry.before = Before::Again;
  } else if (std::optional<platform::FileContent> content = host_->ReadFile(path)) {
    entry.before = Before::Backup;
    entry.backupName = id_ + "-" + std::to_string(++backups_) + ".bak";
    entry.original = Fingerprint::Of(content->bytes);
    entry.diskName = std::move(content->diskName);
    if (!host_->AppendDurably(folder_ + "\\" + entry.backupName, content->bytes))
      return Fail();
  } else if (host_->Stat(path)) {
    return Fail();  // there, but no copy can be kept
  } else {
    entry.before = Before::Absent;
  }
  lines += EntryLine(entry);
  if (!host_->AppendDurably(file_, lines))
    return Fail();
  touched_.insert(std::move(key));
  pending_ = Pending{entries_++, entry.path};
  return Step::Done;
}

void Journal::End() {
  // A result that cannot be added only makes undo take what it finds at that file as the run's.
  if (!file_.empty())
    static_cast<void>(host_->AppendDurably(file_, PendingResult() + EndLine()));
  active_ = false;
  plan_ = Plan();
  folder_.clear();
  id_.clear();
  file_.clear();
  entries_ = 0;
  backups_ = 0;
  touched_.clear();
  pending_.reset();
}

UndoResult Journal::UndoLast() {
  const std::optional<std::string> folder = Folder();
  const std::optional<std::vector<std::string>> names = folder ? host_->ListFolder(*folder) : std::nullopt;
  if (!names)
    return {};
  std::vector<std::string> ids = JournalIds(*names);
  const auto removeJournal = [&](const std::string& id) {
    host_->Remove(*folder + "\\" + id + std::string(kJournalExtension));
    for (const std::string& name : *names) {
      if (OwnerId(name) == id)
        host_->Remove(*folder + "\\" + name);
    }
  };

  for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
    const std::optional<platform::FileContent> content =
        host_->ReadFile(*folder + "\\" + *id + std::string(kJournalExtension));
    const std::optional<Record> record = content ? ParseRecord(content->bytes) : std::nullopt;
    // Cut before its first write was recorded: that run wrote nothing.
    if (!record || record->entries.empty()) {
      removeJournal(*id);
      continue;
    }
    const std::vector<Entry>& entries = record->entries;

    // One undo per file: back to what its first entry found, checked against what its last left.
    struct FileWrites {
      std::size_t first;
      std::size_t last;
      Fingerprint now;
      std::string diskName;  // of the file now there
    };
    std::vector<FileWrites> files;
    std::unordered_map<std::string, std::size_t> byKey;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const auto [at, added] = byKey.try_emplace(text::ToLower(entries[i].path), files.size());
      if (added)
        files.push_back(FileWrites{i, i, {}, {}});
      else
        files[at->second].last = i;
    }

    // Everything is checked before anything is touched. A file is the run's when it holds what the
    // run's last write to it left; when it holds what was there before (undone already, or the
    // write never happened); when a copy was kept and it is gone (an undo cut short); or when the
    // run ended inside that write, as it left no result.
    for (FileWrites& file : files) {
      const Entry& first = entries[file.first];
      const Entry& last = entries[file.last];
      if (std::optional<platform::FileContent> content = host_->ReadFile(last.path)) {
        file.now = Fingerprint::Of(content->bytes);
        file.diskName = std::move(content->diskName);
      } else if (host_->Stat(last.path)) {
        return UndoResult{UndoStatus::Failed, {}, last.path};
      }
      const Fingerprint& now = file.now;
      const Fingerprint before = first.before == Before::Backup ? first.original : Fingerprint::Absent();
      const bool runs = !last.result || now == *last.result || now == before ||
                        (first.before == Before::Backup && !now.present);
      if (!runs)
        return UndoResult{UndoStatus::FileChanged, {}, last.path};
    }

    for (auto file = files.rbegin(); file != files.rend(); ++file) {
      const Entry& first = entries[file->first];
      const Entry& last = entries[file->last];
      if (first.before != Before::Backup) {
        if (file->now.present && !host_->Remove(last.path))
          return UndoResult{UndoStatus::Failed, {}, last.path};
        continue;
      }
      // Back under the spelling it had: a name whose case the run changed is replaced, not copied
      // over, as a copy onto a file keeps that file's spelling.
      bool present = file->now.present;
      if (present && file->diskName == first.diskName && file->now == first.original)
        continue;
      if (present && file->diskName != first.diskName) {
        if (!host_->Remove(last.path))
          return UndoResult{UndoStatus::Failed, {}, last.path};
        present = false;
      }
      const std::string original = std::string(text::FolderOf(first.path)) + first.diskName;
      if (!host_->CopyFile(*folder + "\\" + first.backupName, original, !present))
        return UndoResult{UndoStatus::Failed, {}, original};
    }
    removeJournal(*id);
    return UndoResult{UndoStatus::Undone, record->plan.inputPart, {}};
  }
  return {};
}

}  // namespace velmora::journal
