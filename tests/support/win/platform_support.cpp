#include "support/platform_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "text/codec.h"

namespace velmora::testing {

namespace {

constexpr const char* kMarker = "velmora-test-drive";

void EmptyDrive() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("D:\\", ignored))
    if (entry.path().filename() != kMarker)
      std::filesystem::remove_all(entry.path(), ignored);
}

}  // namespace

std::string MakeDriveFolder() {
  if (!std::filesystem::exists(std::string("D:\\") + kMarker)) {
    fprintf(stderr, "D: is not the tests' drive (no D:\\%s)\n", kMarker);
    abort();
  }
  EmptyDrive();
  return "D:";
}

void RemoveDriveFolder(const std::string&) {
  EmptyDrive();
}

// The narrow API reads paths in the code page; the C++ library's narrow paths are UTF-8.
std::filesystem::path FromHostForm(const std::string& hostPath) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, hostPath.data(), static_cast<int>(hostPath.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, hostPath.data(), static_cast<int>(hostPath.size()), wide.data(), length);
  return std::filesystem::path(wide);
}

// The installation is built on the Linux side of Wine, seen through Z:.
std::string CadRootVariable() {
  return CadProgramWindowsPath("");
}

std::string CadProgramWindowsPath(const std::string& name) {
  std::string folder = VELMORA_CAD_DIR;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return "Z:" + folder + "\\" + name;
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

Captured RunCadProgram(const std::string& name, const std::string& arguments,
                       const std::string& pathArgument) {
  // The command interpreter takes the whole line in quotes around the quoted program and path.
  const std::string file = name.ends_with(".exe") ? name : name + ".exe";
  const std::string command =
      "\"\"" + CadProgramWindowsPath(file) + "\" " + arguments + " \"" + pathArgument + "\"\"";
  // Wine's command interpreter now and then fails to start a program on a busy machine ("Can't
  // recognize ... as an internal or external command"): nothing ran, so it is tried again. A
  // program that really fails fails every time.
  Captured result;
  for (int attempt = 0; attempt < 3; ++attempt) {
    result = Captured();
    FILE* pipe = _popen(command.c_str(), "rb");
    if (pipe == nullptr)
      return result;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
      result.output.append(buffer, got);
    result.exitCode = _pclose(pipe);
    if (result.exitCode == 0 || !result.output.empty() || !RunningUnderWine())
      break;
    Sleep(100);
  }
  return result;
}

}  // namespace velmora::testing
