#include "support/fault_host.h"

namespace velmora::testing {
namespace {

class FaultStream final : public platform::TextStream {
 public:
  FaultStream(FaultHost& host, std::unique_ptr<platform::TextStream> inner, std::string path)
      : host_(&host), inner_(std::move(inner)), path_(std::move(path)) {}

  int Getc() override {
    if (host_->ShouldFail(Call::StreamRead, path_)) {
      readError_ = true;
      return platform::kEof;
    }
    return inner_->Getc();
  }
  bool Eof() const override { return inner_->Eof(); }
  bool Error() const override { return readError_ || writeError_ || inner_->Error(); }
  void Puts(std::string_view text) override {
    if (host_->ShouldFail(Call::StreamWrite, path_))
      writeError_ = true;
    inner_->Puts(text);
  }
  long long Tell() override { return inner_->Tell(); }
  bool Seek(long long offset) override {
    if (host_->ShouldFail(Call::StreamSeek, path_))
      return false;
    return inner_->Seek(offset);
  }
  void Rewind() override {
    readError_ = writeError_ = false;
    inner_->Rewind();
  }
  bool Close() override {
    if (!inner_->IsOpen())
      return true;
    const bool ok = inner_->Close();
    return host_->ShouldFail(Call::StreamClose, path_) ? false : ok;
  }
  bool IsOpen() const override { return inner_->IsOpen(); }

 private:
  FaultHost* host_;
  std::unique_ptr<platform::TextStream> inner_;
  std::string path_;
  bool readError_ = false;
  bool writeError_ = false;
};

class FaultProcess final : public platform::Process {
 public:
  FaultProcess(FaultHost& host, std::unique_ptr<platform::Process> inner, std::string commandLine)
      : host_(&host), inner_(std::move(inner)), commandLine_(std::move(commandLine)) {}
  void Wait() override { inner_->Wait(); }
  void WaitCalling(const std::function<void()>& whileWaiting) override { inner_->WaitCalling(whileWaiting); }
  bool Terminate() override { return inner_->Terminate(); }
  platform::ProcessEnd End() const override { return inner_->End(); }
  bool Ended() override { return inner_->Ended(); }
  bool CloseHandle() override {
    const bool ok = inner_->CloseHandle();
    return host_->ShouldFail(Call::CloseProcess, commandLine_) ? false : ok;
  }

 private:
  FaultHost* host_;
  std::unique_ptr<platform::Process> inner_;
  std::string commandLine_;
};

}  // namespace

void FaultHost::Fail(Call call, std::string pathPart, int nth, bool always) {
  rules_.push_back(Rule{call, std::move(pathPart), nth, always});
}

void FaultHost::FailWith(Call call, std::string pathPart, platform::FileError error) {
  rules_.push_back(Rule{call, std::move(pathPart), 1, false, 0, error});
}

platform::FileError FaultHost::LastError() {
  return lastError_ ? *lastError_ : ForwardingHost::LastError();
}

int FaultHost::Count(Call call) const {
  return counts_[static_cast<int>(call)];
}

bool FaultHost::ShouldFail(Call call, std::string_view path) {
  ++counts_[static_cast<int>(call)];
  bool fail = false;
  for (Rule& rule : rules_) {
    if (rule.call != call)
      continue;
    if (!rule.pathPart.empty() && path.find(rule.pathPart) == std::string_view::npos)
      continue;
    ++rule.seen;
    if (rule.seen == rule.nth || (rule.always && rule.seen > rule.nth)) {
      fail = true;
      if (rule.error != platform::FileError::Unknown)
        lastError_ = rule.error;
    }
  }
  return fail;
}

std::optional<std::string> FaultHost::GetEnv(std::string_view name) {
  if (ShouldFail(Call::GetEnv, name))
    return std::nullopt;
  return Inner().GetEnv(name);
}

std::optional<platform::FileStatus> FaultHost::Stat(std::string_view path) {
  if (ShouldFail(Call::Stat, path))
    return std::nullopt;
  return Inner().Stat(path);
}

bool FaultHost::Remove(std::string_view path) {
  if (ShouldFail(Call::Remove, path))
    return false;
  return Inner().Remove(path);
}

bool FaultHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  if (ShouldFail(Call::CopyFile, destination))
    return false;
  if (trace != nullptr)
    trace->push_back("copy " + std::string(source) + " > " + std::string(destination) +
                     (failIfExists ? " new" : " over"));
  return Inner().CopyFile(source, destination, failIfExists);
}

bool FaultHost::Rename(std::string_view source, std::string_view destination) {
  if (ShouldFail(Call::Rename, destination))
    return false;
  if (trace != nullptr)
    trace->push_back("rename " + std::string(source) + " > " + std::string(destination));
  return Inner().Rename(source, destination);
}

std::unique_ptr<platform::TextStream> FaultHost::Open(std::string_view path, platform::OpenMode mode) {
  if (ShouldFail(Call::Open, path))
    return nullptr;
  auto inner = Inner().Open(path, mode);
  if (!inner)
    return nullptr;
  return std::make_unique<FaultStream>(*this, std::move(inner), std::string(path));
}

std::unique_ptr<platform::Process> FaultHost::StartBatch(std::string_view commandLine) {
  if (ShouldFail(Call::StartBatch, commandLine))
    return nullptr;
  if (trace != nullptr)
    TraceBatch(commandLine);
  auto inner = Inner().StartBatch(commandLine);
  if (!inner)
    return nullptr;
  return std::make_unique<FaultProcess>(*this, std::move(inner), std::string(commandLine));
}

// The batch file's text, CR dropped, as the command line names it (its first, quoted word).
void FaultHost::TraceBatch(std::string_view commandLine) {
  const std::size_t end = commandLine.find('"', 1);
  const std::string batch(commandLine.substr(1, end == std::string_view::npos ? end : end - 1));
  const std::optional<platform::FileContent> content = Inner().ReadFile(batch);
  std::string text = content ? content->bytes : std::string("(unreadable)");
  std::erase(text, '\r');
  trace->push_back("tool " + text);
}

std::optional<platform::FileContent> FaultHost::ReadFile(std::string_view path) {
  if (ShouldFail(Call::ReadFile, path))
    return std::nullopt;
  return Inner().ReadFile(path);
}

bool FaultHost::AppendDurably(std::string_view path, std::string_view bytes) {
  if (ShouldFail(Call::AppendDurably, path))
    return false;
  return Inner().AppendDurably(path, bytes);
}

bool FaultHost::CreateFolder(std::string_view path) {
  if (ShouldFail(Call::CreateFolder, path))
    return false;
  return Inner().CreateFolder(path);
}

std::optional<std::vector<std::string>> FaultHost::ListFolder(std::string_view path) {
  if (ShouldFail(Call::ListFolder, path))
    return std::nullopt;
  return Inner().ListFolder(path);
}

std::unique_ptr<platform::HeldFile> FaultHost::CreateHeld(std::string_view path) {
  if (ShouldFail(Call::CreateHeld, path))
    return nullptr;
  return Inner().CreateHeld(path);
}

bool FaultHost::Flush(std::string_view path) {
  if (ShouldFail(Call::Flush, path))
    return false;
  return Inner().Flush(path);
}

}  // namespace velmora::testing
