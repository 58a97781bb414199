#pragma once
// The CAD library as the program calls it: one implementation per platform over the site's
// library, and test decorators that make a chosen call fail. Paths are Windows paths (cp932).

#include <array>
#include <optional>
#include <string_view>

namespace velmora::platform {

// The library's assembly load options, an opaque record the program changes a few fields of.
struct AssemOptions {
  std::array<int, 32> values{};
};

class CadLibrary {
 public:
  virtual ~CadLibrary() = default;

  // Each call: true on success.
  [[nodiscard]] virtual bool Initialize() = 0;
  [[nodiscard]] virtual bool Terminate() = 0;
  // nullopt when the library refused.
  [[nodiscard]] virtual std::optional<AssemOptions> AskAssemOptions() = 0;
  [[nodiscard]] virtual bool SetAssemOptions(const AssemOptions& options) = 0;
  [[nodiscard]] virtual bool PartOpen(std::string_view path) = 0;
  // Saves the part opened last.
  [[nodiscard]] virtual bool PartSave() = 0;
  [[nodiscard]] virtual bool PartCloseAll() = 0;
};

// The library's session: Open initialises, Close terminates. A session still open when this goes
// away is terminated, so no path out of a window or a test leaves the library initialised.
class CadSession {
 public:
  explicit CadSession(CadLibrary& library) : library_(&library) {}
  ~CadSession();
  CadSession(const CadSession&) = delete;
  CadSession& operator=(const CadSession&) = delete;

  [[nodiscard]] bool Open();
  // Terminates; the session counts as closed whatever the library answers.
  [[nodiscard]] bool Close();
  [[nodiscard]] bool IsOpen() const { return open_; }

 private:
  CadLibrary* library_;
  bool open_ = false;
};

}  // namespace velmora::platform
