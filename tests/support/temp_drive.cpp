#include "support/temp_drive.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/platform_support.h"
#include "text/codec.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kVariables[4] = {"VELMORA_DRIVES", "TEMP", "UGII_ROOT_DIR", "VELMORA_UNC_ROOT"};

std::string Backslashed(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

// Host paths are UTF-8 on every platform.
fs::path HostFs(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

TempDrive::TempDrive() {
  hostRoot_ = MakeDriveFolder();
  for (int i = 0; i < 4; ++i) {
    if (const char* value = getenv(kVariables[i])) {
      hadEnv_[i] = true;
      savedEnv_[i] = value;
    }
  }
  setenv("VELMORA_DRIVES", ("D=" + hostRoot_).c_str(), 1);
  setenv("TEMP", "D:\\temp", 1);
  setenv("UGII_ROOT_DIR", CadRootVariable().c_str(), 1);
  unsetenv("VELMORA_UNC_ROOT");
  fs::create_directories(HostFs(Host("temp")));
}

TempDrive::~TempDrive() {
  for (int i = 0; i < 4; ++i) {
    if (hadEnv_[i]) {
      setenv(kVariables[i], savedEnv_[i].c_str(), 1);
    } else {
      unsetenv(kVariables[i]);
    }
  }
  RemoveDriveFolder(hostRoot_);
}

std::string TempDrive::Host(std::string_view relative) const {
  return relative.empty() ? hostRoot_ : hostRoot_ + "/" + std::string(relative);
}

std::string TempDrive::Win(std::string_view relative) const {
  return text::Cp932("D:\\" + Backslashed(relative));
}

std::string TempDrive::EditTool() const {
  return CadProgramWindowsPath("ug_edit_part_names.exe");
}

std::string TempDrive::PcTool() const {
  return CadProgramWindowsPath("ugpc.exe");
}

void TempDrive::WriteFile(std::string_view relative, std::string_view bytes) const {
  const fs::path path = HostFs(Host(relative));
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDrive::ReadFile(std::string_view relative) const {
  std::ifstream in(HostFs(Host(relative)), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool TempDrive::Exists(std::string_view relative) const {
  return fs::exists(HostFs(Host(relative)));
}

std::vector<std::string> TempDrive::TempFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(HostFs(Host("temp")))) {
    if (entry.is_directory())
      continue;
    const std::u8string name = entry.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TempDrive::MakeAssembly(std::string_view relativeFolder, std::string_view arguments) const {
  const std::string folder = Host(relativeFolder);
  fs::create_directories(HostFs(folder));
  std::string output = RunCadProgram("make-assembly", std::string(arguments), folder).output;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
    output.pop_back();
  return output;
}

}  // namespace velmora::testing
