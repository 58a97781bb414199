// The CAD library on Windows: libufun.dll loaded at start, so that a missing one is reported in
// the program's own words rather than by the loader ending the process.

#include <errno.h>
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/ufun_library.h"
#include "ufun.h"

namespace velmora::platform {
namespace {

constexpr const char* kLibraryName = "libufun.dll";

template <typename Function>
Function* Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

struct UfunLibrary::Entries {
  HMODULE module = nullptr;
  std::string missing;
  decltype(&UF_initialize) initialize = nullptr;
  decltype(&UF_terminate) terminate = nullptr;
  decltype(&UF_PART_open) open = nullptr;
  decltype(&UF_PART_save) save = nullptr;
  decltype(&UF_PART_close_all) closeAll = nullptr;
  decltype(&UF_ASSEM_ask_assem_options) askOptions = nullptr;
  decltype(&UF_ASSEM_set_assem_options) setOptions = nullptr;

  bool Complete() const {
    return initialize && terminate && open && save && closeAll && askOptions && setOptions;
  }
};

// The search path first, as the CAD system's own programs find it; then the installation folder.
UfunLibrary::UfunLibrary() : entries_(std::make_unique<Entries>()) {
  Entries& e = *entries_;
  e.module = LoadLibraryA(kLibraryName);
  if (e.module == nullptr) {
    if (const char* root = getenv("UGII_ROOT_DIR"); root != nullptr && root[0] != '\0')
      e.module = LoadLibraryA((std::string(root) + kLibraryName).c_str());
  }
  if (e.module == nullptr) {
    e.missing = kLibraryName;
    return;
  }
  e.initialize = Entry<int()>(e.module, "UF_initialize");
  e.terminate = Entry<int()>(e.module, "UF_terminate");
  e.open = Entry<int(const char*, uf_tag_t*, uf_load_status_t*)>(e.module, "UF_PART_open");
  e.save = Entry<int()>(e.module, "UF_PART_save");
  e.closeAll = Entry<int()>(e.module, "UF_PART_close_all");
  e.askOptions = Entry<int(uf_assem_options_t*)>(e.module, "UF_ASSEM_ask_assem_options");
  e.setOptions = Entry<int(const uf_assem_options_t*)>(e.module, "UF_ASSEM_set_assem_options");
  if (!e.Complete())
    e.missing = kLibraryName;
}

UfunLibrary::~UfunLibrary() {
  if (entries_->module != nullptr)
    FreeLibrary(entries_->module);
}

bool UfunLibrary::Loaded() const {
  return entries_->missing.empty();
}

const std::string& UfunLibrary::Missing() const {
  return entries_->missing;
}

bool UfunLibrary::Initialize() {
  return Loaded() && entries_->initialize() == 0;
}

bool UfunLibrary::Terminate() {
  return Loaded() && entries_->terminate() == 0;
}

std::optional<AssemOptions> UfunLibrary::AskAssemOptions() {
  uf_assem_options_t raw{};
  if (!Loaded() || entries_->askOptions(&raw) != 0)
    return std::nullopt;
  AssemOptions options;
  std::copy(std::begin(raw.values), std::end(raw.values), options.values.begin());
  return options;
}

bool UfunLibrary::SetAssemOptions(const AssemOptions& options) {
  uf_assem_options_t raw{};
  std::copy(options.values.begin(), options.values.end(), std::begin(raw.values));
  return Loaded() && entries_->setOptions(&raw) == 0;
}

bool UfunLibrary::PartOpen(std::string_view path) {
  const std::string terminated(path);
  uf_tag_t part = 0;
  uf_load_status_t status{};
  return Loaded() && entries_->open(terminated.c_str(), &part, &status) == 0;
}

bool UfunLibrary::PartSave() {
  SetLastError(0);  // so that a failure's reason is the library's own
  errno = 0;
  return Loaded() && entries_->save() == 0;
}

bool UfunLibrary::PartCloseAll() {
  return Loaded() && entries_->closeAll() == 0;
}

}  // namespace velmora::platform
