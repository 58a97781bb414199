#include "cli/write_log.h"

#include <deque>
#include <filesystem>
#include <map>

#include "journal/journal_file.h"
#include "platform/forwarding_host.h"
#include "text/codec.h"
#include "text/csv.h"

namespace velmora::cli {
namespace {

// A held file whose appended bytes are kept as well: the journal of a run is the file it holds.
class CapturedFile final : public platform::HeldFile {
 public:
  CapturedFile(std::unique_ptr<platform::HeldFile> inner, std::string& bytes)
      : inner_(std::move(inner)), bytes_(&bytes) {}
  bool AppendDurably(std::string_view bytes) override {
    const bool appended = inner_->AppendDurably(bytes);
    if (appended)
      bytes_->append(bytes);
    return appended;
  }
  std::optional<std::string> ReadAll() override { return inner_->ReadAll(); }

 private:
  std::unique_ptr<platform::HeldFile> inner_;
  std::string* bytes_;
};

std::string_view Action(journal::WriteKind kind, bool copied) {
  switch (kind) {
    case journal::WriteKind::Created:
    case journal::WriteKind::Overwritten:
      return copied ? "copied" : "written";
    case journal::WriteKind::Rewritten:
      return "edited";
    case journal::WriteKind::Resaved:
      return "re-saved";
  }
  return "written";
}

}  // namespace

class RunLog::Watching final : public platform::ForwardingHost {
 public:
  using ForwardingHost::ForwardingHost;

  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override {
    const bool copied = Inner().CopyFile(source, destination, failIfExists);
    if (copied)
      sources[std::string(destination)] = std::string(source);
    return copied;
  }
  std::unique_ptr<platform::HeldFile> CreateHeld(std::string_view path) override {
    std::unique_ptr<platform::HeldFile> held = Inner().CreateHeld(path);
    if (!held)
      return held;
    held_.emplace_back();
    return std::make_unique<CapturedFile>(std::move(held), held_.back());
  }

  std::map<std::string, std::string> sources;  // destination → source, as copied
  [[nodiscard]] const std::deque<std::string>& HeldBytes() const { return held_; }

 private:
  // A deque's elements stay put as more are added; a vector's would move under the captures.
  std::deque<std::string> held_;
};

RunLog::RunLog(platform::Host& host, const std::string& logPath)
    : host_(std::make_unique<Watching>(host)),
      out_(std::filesystem::path(std::u8string(logPath.begin(), logPath.end())),
           std::ios::binary | std::ios::trunc) {}

RunLog::~RunLog() = default;

bool RunLog::Opened() const {
  return out_.is_open() && out_.good();
}

platform::Host& RunLog::Host() {
  return *host_;
}

void RunLog::Write() {
  out_ << text::FormatCsvRecord({"action", "path", "source", "result"}) << '\n';
  for (const std::string& bytes : host_->HeldBytes()) {
    const std::optional<journal::Record> record = journal::ParseRecord(bytes);
    if (!record)
      continue;
    for (const journal::Entry& entry : record->entries) {
      const auto source = host_->sources.find(entry.path);
      const bool copied = source != host_->sources.end() && entry.kind != journal::WriteKind::Rewritten &&
                          entry.kind != journal::WriteKind::Resaved;
      out_ << text::FormatCsvRecord({std::string(Action(entry.kind, copied)), text::ToDisplayUtf8(entry.path),
                                     copied ? text::ToDisplayUtf8(source->second) : std::string(),
                                     entry.result ? "done" : "cut"})
           << '\n';
    }
  }
  out_.flush();
}

}  // namespace velmora::cli
