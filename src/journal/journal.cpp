#include "journal/journal.h"

#include <algorithm>
#include <chrono>

#include "journal/journal_folder.h"
#include "resources/messages/journal.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::journal {
namespace {

// Journals taken by other runs between listing the folder and creating one.
constexpr int kCreateAttempts = 64;

std::string Join(std::string_view folder, std::string_view name) {
  return std::string(folder) + "\\" + std::string(name);
}

}  // namespace

Journal::Journal(platform::Host& host, platform::Ui& ui) : host_(&host), ui_(&ui) {}

Journal::~Journal() = default;

std::optional<std::string> Journal::Folder() const {
  std::optional<std::string> temp = host_->GetEnv("TEMP");
  if (!temp || temp->empty())
    return std::nullopt;
  if (text::FindLast(*temp, '\\') + 1 == temp->size())
    temp->pop_back();
  return Join(*temp, folder::kFolderName);
}

void Journal::Begin(Plan plan) {
  End();
  active_ = true;
  plan_ = std::move(plan);
  if (plan_.when == 0)
    plan_.when =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
}

// A number no name in the folder carries yet, taken by creating its journal: the create fails when
// another run took it first, and the next number is tried.
bool Journal::Open() {
  const std::optional<std::string> folder = Folder();
  if (!folder || !host_->CreateFolder(*folder))
    return false;
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const std::optional<std::vector<std::string>> names = host_->ListFolder(*folder);
    if (!names)
      return false;
    const std::string id = folder::NextId(*names);
    std::unique_ptr<platform::HeldFile> file =
        host_->CreateHeld(Join(*folder, id + std::string(folder::kJournal)));
    if (!file)
      continue;
    folder_ = *folder;
    id_ = id;
    file_ = std::move(file);
    Tidy(*names);
    return Append(PlanLines(plan_));
  }
  return false;
}

// With this run's, kKeptRuns remain; a journal another process holds is left alone. The journal
// goes first, so a removal cut short leaves copies without a journal, never a journal without its
// copies; those, and a temporary file of a create cut short, go too.
void Journal::Tidy(const std::vector<std::string>& names) {
  const std::vector<std::string> ids = folder::JournalIds(names);
  std::size_t drop = ids.size() >= kKeptRuns ? ids.size() - (kKeptRuns - 1) : 0;
  for (std::size_t i = 0; i < ids.size() && drop > 0; ++i) {
    const std::string journal = Join(folder_, ids[i] + std::string(folder::kJournal));
    if (const std::unique_ptr<platform::HeldFile> held = host_->HoldExisting(journal)) {
      host_->Remove(journal);
      --drop;
    }
  }
  for (const std::string& name : names) {
    const std::string_view owner = folder::OwnerId(name);
    const std::string path = Join(folder_, name);
    if (!owner.empty() && std::string_view(name).substr(owner.size()) != folder::kJournal) {
      if (!host_->Stat(Join(folder_, std::string(owner) + std::string(folder::kJournal))))
        host_->Remove(path);
    } else if (name.starts_with(folder::kHeldTemporary)) {
      if (const std::unique_ptr<platform::HeldFile> held = host_->HoldExisting(path))
        host_->Remove(path);
    }
  }
}

// After a failed append the file may hold part of it: nothing more goes in, so that what is there
// still reads as a run cut off.
bool Journal::Append(std::string_view lines) {
  if (broken_)
    return false;
  if (lines.empty())
    return true;
  if (!file_->AppendDurably(lines)) {
    broken_ = true;
    return false;
  }
  written_ += lines;
  return true;
}

Step Journal::Fail() {
  return ShowFailure(*ui_, msg::kJournalWriteFailed());
}

// The result lines of the pending writes (all, or the one to path), each file brought to the disk
// first; nullopt when one cannot be told.
std::optional<std::string> Journal::ResultLines(bool all, std::string_view path) {
  std::string lines;
  const std::string key = all ? std::string() : text::ToLower(path);
  std::vector<Pending> left;
  for (Pending& pending : pending_) {
    if (!all && text::ToLower(pending.path) != key) {
      left.push_back(std::move(pending));
      continue;
    }
    if (!host_->Flush(pending.path))
      return std::nullopt;
    if (const std::optional<platform::FileContent> content = host_->ReadFile(pending.path))
      lines += ResultLine(pending.index, Fingerprint::Of(content->bytes));
    else if (host_->Stat(pending.path))
      return std::nullopt;
    else
      lines += ResultLine(pending.index, Fingerprint::Absent());
  }
  pending_ = std::move(left);
  return lines;
}

Step Journal::BeforeWrite(std::string_view path, WriteKind kind, std::string_view source) {
  if (!active_ || !file_)
    return BeforeConcurrentWrite(path, kind, source);
  const std::optional<std::string> results = ResultLines(true, {});
  if (!results || !Append(*results))
    return Fail();
  return Entered(path, kind, source);
}

Step Journal::BeforeConcurrentWrite(std::string_view path, WriteKind kind, std::string_view source) {
  if (!active_)
    return Step::Done;
  if (!file_ && !Open())
    return Fail();
  return Entered(path, kind, source);
}

// The entry goes to disk before the copy it names, so every backup has its entry; both are on disk
// before the write.
Step Journal::Entered(std::string_view path, WriteKind kind, std::string_view source) {
  Entry entry;
  entry.kind = kind;
  entry.path = std::string(path);
  if (!source.empty()) {
    if (const std::optional<platform::FileContent> from = host_->ReadFile(source))
      entry.expected = Fingerprint::Of(from->bytes);
  }
  std::string key = text::ToLower(path);
  std::optional<platform::FileContent> content;
  if (touched_.contains(key)) {
    entry.before = Before::Again;
  } else if ((content = host_->ReadFile(path))) {
    entry.before = Before::Backup;
    entry.backupName = id_ + "-" + std::to_string(++backups_) + ".bak";
    entry.original = Fingerprint::Of(content->bytes);
    entry.diskName = std::move(content->diskName);
  } else if (host_->Stat(path)) {
    return Fail();  // there, but no copy can be kept
  } else {
    entry.before = Before::Absent;
  }
  if (!Append(EntryLine(entries_, entry)))
    return Fail();
  if (content && !host_->AppendDurably(Join(folder_, entry.backupName), content->bytes))
    return Fail();
  touched_.insert(std::move(key));
  pending_.push_back(Pending{entries_++, entry.path});
  return Step::Done;
}

Step Journal::AfterWrite(std::string_view path) {
  if (!active_ || !file_)
    return Step::Done;
  const std::optional<std::string> results = ResultLines(false, path);
  if (!results || !Append(*results))
    return Fail();
  return Step::Done;
}

void Journal::End() {
  // A result that cannot be told leaves its entry without one: undo then takes the file back only
  // when it still holds what was there before.
  if (file_) {
    const std::optional<std::string> results = ResultLines(true, {});
    if (Append(results.value_or(std::string()) + EndLine()))
      static_cast<void>(
          host_->AppendDurably(Join(folder_, id_ + std::string(folder::kEndMark)), EndMark(written_)));
  }
  active_ = false;
  plan_ = Plan();
  folder_.clear();
  id_.clear();
  file_.reset();
  broken_ = false;
  written_.clear();
  entries_ = 0;
  backups_ = 0;
  touched_.clear();
  pending_.clear();
}

}  // namespace velmora::journal
