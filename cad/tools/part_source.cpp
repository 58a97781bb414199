#include "cad/tools/part_source.h"

#include "cad/part/win_name.h"

namespace velmora::cad {

PartSource::PartSource(platform::PathMap map) : map_(std::move(map)) {}

const LoadedPart& PartSource::Load(std::string_view windowsPath) {
  auto [slot, inserted] = loaded_.try_emplace(FileKey(windowsPath));
  if (!inserted)
    return *slot->second;
  slot->second = std::make_unique<LoadedPart>();
  LoadedPart& loaded = *slot->second;
  const std::optional<std::string> host = map_.ToHost(windowsPath);
  if (!host) {
    loaded.status = ReadStatus::Missing;
    loaded.error = "no such drive or network path";
    return loaded;
  }
  loaded.hostPath = *host;
  ReadResult read = ReadPartFile(*host);
  loaded.status = read.status;
  loaded.part = std::move(read.part);
  loaded.error = std::move(read.error);
  return loaded;
}

}  // namespace velmora::cad
