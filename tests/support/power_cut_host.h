#pragma once
// A host that models the disk below a folder as a crash leaves it: what was written reaches the
// disk only once flushed (Flush, AppendDurably, a held file's appends), and at a chosen call the
// power goes: that call and every later write fails, and DropUnflushed then puts every file back to
// what had reached the disk, dropping the unflushed writes, copies and renames (a tool's and the
// library's writes too, which never pass through the host). Removals count as on disk at once, the
// harsher order for a program that must not remove what it has not yet made durable. A flush also
// makes its folder's names durable: a name not flushed itself survives with no data.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/forwarding_host.h"

namespace velmora::testing {

class PowerCutHost : public platform::ForwardingHost {
 public:
  // What is below root (a host path, UTF-8) now counts as on disk.
  PowerCutHost(platform::Host& inner, const std::string& root);

  // The nth write-like call (1 = the first) finds the power gone; 0: it never goes.
  void CutAt(long long nth) { cutAt_ = nth; }
  [[nodiscard]] long long Calls() const { return calls_; }
  [[nodiscard]] bool Cut() const { return cut_; }
  void DropUnflushed();

  bool Remove(std::string_view path) override;
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override;
  bool Rename(std::string_view source, std::string_view destination) override;
  std::unique_ptr<platform::TextStream> Open(std::string_view path, platform::OpenMode mode) override;
  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override;
  bool AppendDurably(std::string_view path, std::string_view bytes) override;
  std::unique_ptr<platform::HeldFile> CreateHeld(std::string_view path) override;
  std::unique_ptr<platform::HeldFile> HoldExisting(std::string_view path) override;
  bool Flush(std::string_view path) override;

  // For the held files it hands out.
  bool PowerGone();
  void OnDisk(std::string_view path);
  void AppendedOnDisk(std::string_view path, std::string_view bytes);

 private:
  [[nodiscard]] std::filesystem::path HostPathOf(std::string_view windowsPath);
  void NamesOnDisk(const std::filesystem::path& folder);

  std::filesystem::path root_;
  std::map<std::filesystem::path, std::string> disk_;  // file to bytes, as on disk
  long long cutAt_ = 0;
  long long calls_ = 0;
  bool cut_ = false;
};

}  // namespace velmora::testing
