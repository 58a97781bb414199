#pragma once
// Reads the part files of an assembly by their Windows paths, each file once however often it is
// used (shared sub-assemblies are common, and the tools must stay linear in the assembly's size).

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "cad/part/part_file.h"
#include "platform/win_path.h"

namespace velmora::cad {

struct LoadedPart {
  ReadStatus status = ReadStatus::Missing;
  Part part;
  std::string error;     // ASCII reason when not Ok
  std::string hostPath;  // empty when the path has no host mapping
};

class PartSource {
 public:
  explicit PartSource(platform::PathMap map);

  // The part at a Windows path (cp932). A path with no host mapping (unknown drive, no network
  // root) is a missing file, as it is on Windows. The reference stays valid while the source lives.
  const LoadedPart& Load(std::string_view windowsPath);

  const platform::PathMap& Paths() const { return map_; }

 private:
  platform::PathMap map_;
  std::unordered_map<std::string, std::unique_ptr<LoadedPart>> loaded_;
};

}  // namespace velmora::cad
