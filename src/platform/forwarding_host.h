#pragma once
// A host that hands every call to another one: decorators (fault injection, timing, a file that
// vanishes) derive from it and override only the calls they change.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"

namespace velmora::platform {

class ForwardingHost : public Host {
 public:
  explicit ForwardingHost(Host& inner) : inner_(&inner) {}

  std::optional<std::string> GetEnv(std::string_view name) override { return inner_->GetEnv(name); }
  std::optional<FileStatus> Stat(std::string_view path) override { return inner_->Stat(path); }
  bool Remove(std::string_view path) override { return inner_->Remove(path); }
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override {
    return inner_->CopyFile(source, destination, failIfExists);
  }
  bool Rename(std::string_view source, std::string_view destination) override {
    return inner_->Rename(source, destination);
  }
  std::unique_ptr<TextStream> Open(std::string_view path, OpenMode mode) override {
    return inner_->Open(path, mode);
  }
  std::unique_ptr<Process> StartBatch(std::string_view commandLine) override {
    return inner_->StartBatch(commandLine);
  }
  WindowsPath ToWindowsPath(std::string_view hostPath) override { return inner_->ToWindowsPath(hostPath); }
  std::optional<std::string> ToHostPath(std::string_view windowsPath) override {
    return inner_->ToHostPath(windowsPath);
  }
  std::optional<FileContent> ReadFile(std::string_view path) override { return inner_->ReadFile(path); }
  bool AppendDurably(std::string_view path, std::string_view bytes) override {
    return inner_->AppendDurably(path, bytes);
  }
  bool CreateFolder(std::string_view path) override { return inner_->CreateFolder(path); }
  std::optional<std::vector<std::string>> ListFolder(std::string_view path) override {
    return inner_->ListFolder(path);
  }
  std::unique_ptr<HeldFile> CreateHeld(std::string_view path) override { return inner_->CreateHeld(path); }
  std::unique_ptr<HeldFile> HoldExisting(std::string_view path) override {
    return inner_->HoldExisting(path);
  }
  bool Flush(std::string_view path) override { return inner_->Flush(path); }

 protected:
  [[nodiscard]] Host& Inner() const { return *inner_; }

 private:
  Host* inner_;
};

}  // namespace velmora::platform
