#pragma once
// The site's CAD library: libufun linked in on Linux (found through the library path first, so a
// site's bridge wins), libufun.dll loaded at start from the program's search path on Windows.

#include <memory>
#include <string>

#include "platform/cad_library.h"

namespace velmora::platform {

class UfunLibrary final : public CadLibrary {
 public:
  UfunLibrary();
  ~UfunLibrary() override;
  UfunLibrary(const UfunLibrary&) = delete;
  UfunLibrary& operator=(const UfunLibrary&) = delete;

  // False when the library could not be loaded; every call then fails.
  [[nodiscard]] bool Loaded() const;
  // What was not found, for the message (cp932), when not loaded.
  [[nodiscard]] const std::string& Missing() const;

  bool Initialize() override;
  bool Terminate() override;
  std::optional<AssemOptions> AskAssemOptions() override;
  bool SetAssemOptions(const AssemOptions& options) override;
  bool PartOpen(std::string_view path) override;
  bool PartSave() override;
  bool PartCloseAll() override;

 private:
  struct Entries;
  std::unique_ptr<Entries> entries_;
};

}  // namespace velmora::platform
