#pragma once
// A host for the benchmarks: forwards every call and adds up where the time went, so that a run
// can be split into the tool processes, file copies and status queries, and the program's own work.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/cad_library.h"
#include "platform/forwarding_host.h"
#include "platform/host.h"

namespace velmora::bench {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start);

class TimingHost final : public platform::ForwardingHost {
 public:
  explicit TimingHost(platform::Host& inner) : ForwardingHost(inner) {}

  // From starting a batch file to the end of its process.
  double toolSeconds = 0;
  int runs = 0;
  double copySeconds = 0;
  int copies = 0;
  double statSeconds = 0;
  int stats = 0;
  double openSeconds = 0;

  void Reset();

  std::optional<platform::FileStatus> Stat(std::string_view path) override;
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override;
  std::unique_ptr<platform::TextStream> Open(std::string_view path, platform::OpenMode mode) override;
  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override;
};

// The same for the CAD library: the time spent inside its calls.
class TimingCad final : public platform::CadLibrary {
 public:
  explicit TimingCad(platform::CadLibrary& inner) : inner_(&inner) {}

  double seconds = 0;
  int calls = 0;

  void Reset() {
    seconds = 0;
    calls = 0;
  }

  bool Initialize() override { return inner_->Initialize(); }
  bool Terminate() override { return inner_->Terminate(); }
  std::optional<platform::AssemOptions> AskAssemOptions() override;
  bool SetAssemOptions(const platform::AssemOptions& options) override;
  bool PartOpen(std::string_view path) override;
  bool PartSave() override;
  bool PartCloseAll() override;

 private:
  template <typename Call>
  auto Timed(Call call) {
    const auto start = Clock::now();
    auto result = call();
    seconds += Since(start);
    ++calls;
    return result;
  }

  platform::CadLibrary* inner_;
};

}  // namespace velmora::bench
