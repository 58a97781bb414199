#include "platform/ufun_library.h"

#include <errno.h>

#include <algorithm>
#include <string>

#include "ufun.h"

namespace velmora::platform {

// Linked at build time: nothing to look up.
struct UfunLibrary::Entries {
  std::string missing;
};

UfunLibrary::UfunLibrary() : entries_(std::make_unique<Entries>()) {}

UfunLibrary::~UfunLibrary() = default;

bool UfunLibrary::Loaded() const {
  return true;
}

const std::string& UfunLibrary::Missing() const {
  return entries_->missing;
}

bool UfunLibrary::Initialize() {
  return UF_initialize() == 0;
}

bool UfunLibrary::Terminate() {
  return UF_terminate() == 0;
}

std::optional<AssemOptions> UfunLibrary::AskAssemOptions() {
  uf_assem_options_t raw{};
  if (UF_ASSEM_ask_assem_options(&raw) != 0)
    return std::nullopt;
  AssemOptions options;
  std::copy(std::begin(raw.values), std::end(raw.values), options.values.begin());
  return options;
}

bool UfunLibrary::SetAssemOptions(const AssemOptions& options) {
  uf_assem_options_t raw{};
  std::copy(options.values.begin(), options.values.end(), std::begin(raw.values));
  return UF_ASSEM_set_assem_options(&raw) == 0;
}

bool UfunLibrary::PartOpen(std::string_view path) {
  const std::string terminated(path);
  uf_tag_t part = 0;
  uf_load_status_t status{};
  return UF_PART_open(terminated.c_str(), &part, &status) == 0;
}

bool UfunLibrary::PartSave() {
  errno = 0;  // so that a failure's reason is the library's own
  return UF_PART_save() == 0;
}

bool UfunLibrary::PartCloseAll() {
  return UF_PART_close_all() == 0;
}

}  // namespace velmora::platform
