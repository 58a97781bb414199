#include "support/temp_drive.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

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

}  // namespace

TempDrive::TempDrive() {
  std::string pattern = (fs::temp_directory_path() / "velmora-drive-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    abort();
  hostRoot_ = pattern;
  for (int i = 0; i < 4; ++i) {
    if (const char* value = getenv(kVariables[i])) {
      hadEnv_[i] = true;
      savedEnv_[i] = value;
    }
  }
  setenv("VELMORA_DRIVES", ("D=" + hostRoot_).c_str(), 1);
  setenv("TEMP", "D:\\temp", 1);
  setenv("UGII_ROOT_DIR", (std::string(VELMORA_CAD_DIR) + "/").c_str(), 1);
  unsetenv("VELMORA_UNC_ROOT");
  fs::create_directories(Host("temp"));
}

TempDrive::~TempDrive() {
  for (int i = 0; i < 4; ++i) {
    if (hadEnv_[i]) {
      setenv(kVariables[i], savedEnv_[i].c_str(), 1);
    } else {
      unsetenv(kVariables[i]);
    }
  }
  std::error_code ignored;
  fs::remove_all(hostRoot_, ignored);
}

std::string TempDrive::Host(std::string_view relative) const {
  return relative.empty() ? hostRoot_ : hostRoot_ + "/" + std::string(relative);
}

std::string TempDrive::Win(std::string_view relative) const {
  return text::Cp932("D:\\" + Backslashed(relative));
}

std::string TempDrive::EditTool() const {
  return "Z:" + Backslashed(VELMORA_CAD_DIR) + "\\ug_edit_part_names.exe";
}

std::string TempDrive::PcTool() const {
  return "Z:" + Backslashed(VELMORA_CAD_DIR) + "\\ugpc.exe";
}

void TempDrive::WriteFile(std::string_view relative, std::string_view bytes) const {
  const fs::path path = Host(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDrive::ReadFile(std::string_view relative) const {
  std::ifstream in(Host(relative), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool TempDrive::Exists(std::string_view relative) const {
  return fs::exists(Host(relative));
}

std::vector<std::string> TempDrive::TempFiles() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Host("temp"))) {
    if (!entry.is_directory())
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TempDrive::MakeAssembly(std::string_view relativeFolder, std::string_view arguments) const {
  const std::string folder = Host(relativeFolder);
  fs::create_directories(folder);
  const std::string command =
      std::string(VELMORA_CAD_DIR) + "/make-assembly " + std::string(arguments) + " '" + folder + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr)
    return {};
  std::string output;
  char buffer[4096];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    output.append(buffer, got);
  pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
    output.pop_back();
  return output;
}

}  // namespace velmora::testing
