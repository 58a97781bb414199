#include "support/memory_host.h"

#include <functional>

#include "support/memory_stream.h"
#include "text/mbstring.h"

namespace velmora::testing {
namespace {

class MemoryProcess final : public platform::Process {
 public:
  void Wait() override {}
  bool CloseHandle() override { return true; }
};

}  // namespace

bool IgnoringCase::operator()(std::string_view a, std::string_view b) const {
  return text::ToLower(a) < text::ToLower(b);
}

std::optional<std::string> MemoryHost::GetEnv(std::string_view name) {
  const auto it = env.find(name);
  if (it == env.end())
    return std::nullopt;
  return it->second;
}

std::optional<platform::FileStatus> MemoryHost::Stat(std::string_view path) {
  if (folders.contains(path))
    return platform::FileStatus{0, true, {}};
  const auto it = files.find(path);
  if (it == files.end())
    return std::nullopt;
  // Each key is a file of its own.
  return platform::FileStatus{it->second.size(), false,
                              platform::FileId{1, std::hash<std::string>{}(text::ToLower(it->first))}};
}

bool MemoryHost::Remove(std::string_view path) {
  const auto it = files.find(path);
  if (it == files.end())
    return false;
  files.erase(it);
  return true;
}

bool MemoryHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  const auto it = files.find(source);
  if (it == files.end() || (failIfExists && files.contains(destination)))
    return false;
  files[std::string(destination)] = it->second;
  return true;
}

bool MemoryHost::Rename(std::string_view source, std::string_view destination) {
  const auto it = files.find(source);
  if (it == files.end())
    return false;
  // A change of case only renames the file itself.
  const auto existing = files.find(destination);
  if (existing != files.end() && existing != it)
    return false;
  std::string bytes = std::move(it->second);
  files.erase(it);
  files[std::string(destination)] = std::move(bytes);
  return true;
}

std::unique_ptr<platform::TextStream> MemoryHost::Open(std::string_view path, platform::OpenMode mode) {
  if (mode == platform::OpenMode::CreateText && files.contains(std::string(path)))
    return nullptr;
  if (mode == platform::OpenMode::WriteText || mode == platform::OpenMode::CreateText) {
    std::string& target = files[std::string(path)];
    target.clear();
    return std::make_unique<MemoryStream>(&target);
  }
  const auto it = files.find(path);
  if (it == files.end())
    return nullptr;
  return std::make_unique<MemoryStream>(it->second);
}

std::unique_ptr<platform::Process> MemoryHost::StartBatch(std::string_view commandLine) {
  started.emplace_back(commandLine);
  if (onRun)
    onRun(*this);
  return std::make_unique<MemoryProcess>();
}

std::unique_ptr<platform::TextStream> MemoryReadStream(std::string bytes) {
  return std::make_unique<MemoryStream>(std::move(bytes));
}

}  // namespace velmora::testing
