#pragma once
// A host that forwards to another and makes chosen calls fail, so every failure path of the program
// can be reached. A rule matches a call kind, optionally only for paths that contain a piece of text
// (cp932), and fires on the nth matching call (1 = the first) and, with `always`, on every later one.

#include <memory>
#include <string>
#include <vector>

#include "platform/forwarding_host.h"
#include "platform/host.h"

namespace velmora::testing {

enum class Call {
  GetEnv,
  Stat,
  Remove,
  CopyFile,
  Rename,
  Open,
  StartBatch,
  CloseProcess,  // Process::CloseHandle
  StreamWrite,   // Puts sets the error indicator
  StreamRead,    // Getc fails with the error indicator
  StreamSeek,
  StreamClose,
  ReadFile,
  AppendDurably,
  CreateFolder,
  ListFolder,
  CreateHeld,
  Flush,
  kCount,
};

class FaultHost : public platform::ForwardingHost {
 public:
  explicit FaultHost(platform::Host& inner) : ForwardingHost(inner) {}

  void Fail(Call call, std::string pathPart = {}, int nth = 1, bool always = false);
  // The same, with the platform's error the failure leaves.
  void FailWith(Call call, std::string pathPart, platform::FileError error);
  // The platform's error as if a call (a CAD library call, say) had just left it.
  void SetLastError(platform::FileError error) { lastError_ = error; }
  platform::FileError LastError() override;
  void Clear() { rules_.clear(); }
  // How often a call kind was made (matching any path).
  int Count(Call call) const;

  std::optional<std::string> GetEnv(std::string_view name) override;
  std::optional<platform::FileStatus> Stat(std::string_view path) override;
  bool Remove(std::string_view path) override;
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override;
  bool Rename(std::string_view source, std::string_view destination) override;
  std::unique_ptr<platform::TextStream> Open(std::string_view path, platform::OpenMode mode) override;
  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override;
  std::optional<platform::FileContent> ReadFile(std::string_view path) override;
  bool AppendDurably(std::string_view path, std::string_view bytes) override;
  bool CreateFolder(std::string_view path) override;
  std::optional<std::vector<std::string>> ListFolder(std::string_view path) override;
  std::unique_ptr<platform::HeldFile> CreateHeld(std::string_view path) override;
  bool Flush(std::string_view path) override;

  // When set, every copy, rename and batch start (with the batch file's text) is appended in order.
  std::vector<std::string>* trace = nullptr;

  // Used by the wrapped streams and processes.
  bool ShouldFail(Call call, std::string_view path);

 private:
  struct Rule {
    Call call;
    std::string pathPart;
    int nth;
    bool always;
    int seen = 0;
    platform::FileError error = platform::FileError::Unknown;
  };
  void TraceBatch(std::string_view commandLine);

  std::vector<Rule> rules_;
  std::optional<platform::FileError> lastError_;
  int counts_[static_cast<int>(Call::kCount)] = {};
};

}  // namespace velmora::testing
