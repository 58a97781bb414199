#include "support/power_cut_host.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/platform_support.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

fs::path Key(const fs::path& path) {
  return path.lexically_normal();
}

// nullopt when the file cannot be read, as a file another handle holds on Windows.
std::optional<std::string> Bytes(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error))
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class CutHeldFile final : public platform::HeldFile {
 public:
  CutHeldFile(PowerCutHost& host, std::unique_ptr<platform::HeldFile> inner, std::string path)
      : host_(&host), inner_(std::move(inner)), path_(std::move(path)) {}

  bool AppendDurably(std::string_view bytes) override {
    if (host_->PowerGone() || !inner_->AppendDurably(bytes))
      return false;
    host_->AppendedOnDisk(path_, bytes);
    return true;
  }
  std::optional<std::string> ReadAll() override { return inner_->ReadAll(); }

 private:
  PowerCutHost* host_;
  std::unique_ptr<platform::HeldFile> inner_;
  std::string path_;
};

}  // namespace

PowerCutHost::PowerCutHost(platform::Host& inner, const std::string& root)
    // Absolute, so that on Windows the names listed below "D:" read as the program spells them.
    : ForwardingHost(inner), root_(Key(fs::absolute(fs::path(std::u8string(root.begin(), root.end()))))) {
  for (const auto& entry : fs::recursive_directory_iterator(root_)) {
    if (const std::optional<std::string> bytes = Bytes(entry.path()))
      disk_[Key(entry.path())] = *bytes;
  }
}

bool PowerCutHost::PowerGone() {
  if (!cut_ && ++calls_ == cutAt_)
    cut_ = true;
  return cut_;
}

fs::path PowerCutHost::HostPathOf(std::string_view windowsPath) {
  return Key(FromHostForm(Inner().ToHostPath(windowsPath).value_or(std::string())));
}

// The file's bytes, and the names of its folder, have reached the disk.
void PowerCutHost::OnDisk(std::string_view path) {
  const fs::path file(HostPathOf(path));
  if (const std::optional<std::string> bytes = Bytes(file))
    disk_[Key(file)] = *bytes;
  NamesOnDisk(file.parent_path());
}

// Taken from what was appended, not read back: on Windows a held file shares no reading, so a
// read through another handle fails, and the journal would count as empty on disk.
void PowerCutHost::AppendedOnDisk(std::string_view path, std::string_view bytes) {
  const fs::path file(HostPathOf(path));
  disk_[Key(file)] += bytes;
  NamesOnDisk(file.parent_path());
}

void PowerCutHost::NamesOnDisk(const fs::path& parent) {
  const fs::path folder = Key(parent);
  for (auto it = disk_.begin(); it != disk_.end();) {
    if (it->first.parent_path() == folder && !fs::exists(it->first))
      it = disk_.erase(it);
    else
      ++it;
  }
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(parent, error)) {
    if (entry.is_regular_file())
      disk_.try_emplace(Key(entry.path()), std::string());
  }
}

void PowerCutHost::DropUnflushed() {
  std::vector<fs::path> present;
  for (const auto& entry : fs::recursive_directory_iterator(root_)) {
    if (entry.is_regular_file())
      present.push_back(entry.path());
  }
  for (const fs::path& path : present) {
    if (!disk_.contains(Key(path)))
      fs::remove(path);
  }
  for (const auto& [path, bytes] : disk_) {
    if (Bytes(path) == bytes)
      continue;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
}

bool PowerCutHost::Remove(std::string_view path) {
  const fs::path file = HostPathOf(path);
  if (PowerGone() || !Inner().Remove(path))
    return false;
  disk_.erase(file);
  return true;
}

bool PowerCutHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  return !PowerGone() && Inner().CopyFile(source, destination, failIfExists);
}

bool PowerCutHost::Rename(std::string_view source, std::string_view destination) {
  return !PowerGone() && Inner().Rename(source, destination);
}

std::unique_ptr<platform::TextStream> PowerCutHost::Open(std::string_view path, platform::OpenMode mode) {
  if (mode != platform::OpenMode::ReadText && PowerGone())
    return nullptr;
  return Inner().Open(path, mode);
}

std::unique_ptr<platform::Process> PowerCutHost::StartBatch(std::string_view commandLine) {
  if (PowerGone())
    return nullptr;
  return Inner().StartBatch(commandLine);
}

bool PowerCutHost::AppendDurably(std::string_view path, std::string_view bytes) {
  if (PowerGone() || !Inner().AppendDurably(path, bytes))
    return false;
  OnDisk(path);
  return true;
}

std::unique_ptr<platform::HeldFile> PowerCutHost::CreateHeld(std::string_view path) {
  if (PowerGone())
    return nullptr;
  std::unique_ptr<platform::HeldFile> held = Inner().CreateHeld(path);
  if (!held)
    return nullptr;
  OnDisk(path);
  return std::make_unique<CutHeldFile>(*this, std::move(held), std::string(path));
}

std::unique_ptr<platform::HeldFile> PowerCutHost::HoldExisting(std::string_view path) {
  std::unique_ptr<platform::HeldFile> held = Inner().HoldExisting(path);
  if (!held)
    return nullptr;
  return std::make_unique<CutHeldFile>(*this, std::move(held), std::string(path));
}

bool PowerCutHost::Flush(std::string_view path) {
  if (PowerGone() || !Inner().Flush(path))
    return false;
  OnDisk(path);
  return true;
}

}  // namespace velmora::testing
