#include "memory_host.h"

#include <functional>

namespace velmora::testing {
namespace {

class MemoryStream final : public platform::TextStream {
 public:
  // Reading: over a copy of the bytes. Writing: into target, which outlives the stream.
  explicit MemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}
  explicit MemoryStream(std::string* target) : target_(target) {}

  int Getc() override {
    if (!open_ || target_ != nullptr) {
      error_ = true;
      return platform::kEof;
    }
    if (position_ + 1 < bytes_.size() && bytes_[position_] == '\r' && bytes_[position_ + 1] == '\n')
      ++position_;
    if (position_ >= bytes_.size()) {
      eof_ = true;
      return platform::kEof;
    }
    return static_cast<unsigned char>(bytes_[position_++]);
  }
  bool Eof() const override { return eof_; }
  bool Error() const override { return error_; }
  void Puts(std::string_view text) override {
    if (!open_ || target_ == nullptr) {
      error_ = true;
      return;
    }
    for (const char c : text) {
      if (c == '\n')
        *target_ += '\r';
      *target_ += c;
    }
  }
  long long Tell() override { return static_cast<long long>(position_); }
  bool Seek(long long offset) override {
    position_ = static_cast<std::size_t>(offset);
    eof_ = false;
    return true;
  }
  void Rewind() override {
    position_ = 0;
    eof_ = error_ = false;
  }
  bool Close() override {
    open_ = false;
    return true;
  }
  bool IsOpen() const override { return open_; }

 private:
  std::string bytes_;
  std::string* target_ = nullptr;
  std::size_t position_ = 0;
  bool open_ = true;
  bool eof_ = false;
  bool error_ = false;
};

class MemoryProcess final : public platform::Process {
 public:
  void Wait() override {}
  bool CloseHandle() override { return true; }
};

}  // namespace

std::optional<std::string> MemoryHost::GetEnv(std::string_view name) {
  const auto it = env.find(std::string(name));
  if (it == env.end())
    return std::nullopt;
  return it->second;
}

std::optional<platform::FileStatus> MemoryHost::Stat(std::string_view path) {
  if (folders.contains(std::string(path)))
    return platform::FileStatus{0, true, {}};
  const auto it = files.find(std::string(path));
  if (it == files.end())
    return std::nullopt;
  // Each key is a file of its own.
  return platform::FileStatus{it->second.size(), false,
                              platform::FileId{1, std::hash<std::string>{}(it->first)}};
}

bool MemoryHost::Remove(std::string_view path) {
  return files.erase(std::string(path)) == 1;
}

bool MemoryHost::CopyFile(std::string_view source, std::string_view destination, bool failIfExists) {
  const auto it = files.find(std::string(source));
  if (it == files.end() || (failIfExists && files.count(std::string(destination))))
    return false;
  files[std::string(destination)] = it->second;
  return true;
}

bool MemoryHost::Rename(std::string_view source, std::string_view destination) {
  const auto it = files.find(std::string(source));
  if (it == files.end() || files.count(std::string(destination)))
    return false;
  std::string bytes = std::move(it->second);
  files.erase(it);
  files[std::string(destination)] = std::move(bytes);
  return true;
}

std::unique_ptr<platform::TextStream> MemoryHost::Open(std::string_view path, platform::OpenMode mode) {
  if (mode == platform::OpenMode::WriteText) {
    std::string& target = files[std::string(path)];
    target.clear();
    return std::make_unique<MemoryStream>(&target);
  }
  const auto it = files.find(std::string(path));
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
