#include "timing_host.h"

namespace velmora::bench {
namespace {

// The wait belongs to the tool's time as much as the start does.
class TimedProcess final : public platform::Process {
 public:
  TimedProcess(std::unique_ptr<platform::Process> inner, double& seconds)
      : inner_(std::move(inner)), seconds_(&seconds) {}
  void Wait() override {
    const auto start = Clock::now();
    inner_->Wait();
    *seconds_ += Since(start);
  }
  void WaitCalling(const std::function<void()>& whileWaiting) override {
    const auto start = Clock::now();
    inner_->WaitCalling(whileWaiting);
    *seconds_ += Since(start);
  }
  bool Terminate() override { return inner_->Terminate(); }
  platform::ProcessEnd End() const override { return inner_->End(); }
  bool CloseHandle() override { return inner_->CloseHandle(); }

 private:
  std::unique_ptr<platform::Process> inner_;
  double* seconds_;
};

}  // namespace

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void TimingHost::Reset() {
  toolSeconds = copySeconds = statSeconds = openSeconds = 0;
  runs = copies = stats = 0;
}

std::optional<platform::FileStatus> TimingHost::Stat(std::string_view path) {
  const auto start = Clock::now();
  auto status = Inner().Stat(path);
  statSeconds += Since(start);
  ++stats;
  return status;
}

bool TimingHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  const auto start = Clock::now();
  const bool ok = Inner().CopyFile(source, destination, failIfExists);
  copySeconds += Since(start);
  ++copies;
  return ok;
}

std::unique_ptr<platform::TextStream> TimingHost::Open(std::string_view path, platform::OpenMode mode) {
  const auto start = Clock::now();
  auto stream = Inner().Open(path, mode);
  openSeconds += Since(start);
  return stream;
}

std::unique_ptr<platform::Process> TimingHost::StartBatch(std::string_view commandLine) {
  const auto start = Clock::now();
  std::unique_ptr<platform::Process> process = Inner().StartBatch(commandLine);
  toolSeconds += Since(start);
  ++runs;
  if (!process)
    return nullptr;
  return std::make_unique<TimedProcess>(std::move(process), toolSeconds);
}

std::optional<platform::AssemOptions> TimingCad::AskAssemOptions() {
  return Timed([&] { return inner_->AskAssemOptions(); });
}

bool TimingCad::SetAssemOptions(const platform::AssemOptions& options) {
  return Timed([&] { return inner_->SetAssemOptions(options); });
}

bool TimingCad::PartOpen(std::string_view path) {
  return Timed([&] { return inner_->PartOpen(path); });
}

bool TimingCad::PartSave() {
  return Timed([&] { return inner_->PartSave(); });
}

bool TimingCad::PartCloseAll() {
  return Timed([&] { return inner_->PartCloseAll(); });
}

}  // namespace velmora::bench
