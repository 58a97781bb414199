#include "support/platform_support.h"

#include <stdio.h>

#include <algorithm>

#include "text/codec.h"

namespace velmora::testing {

std::string DriveWindowsRoot(const std::string& hostRoot) {
  std::string root = hostRoot;
  std::replace(root.begin(), root.end(), '/', '\\');
  return text::Utf8ToCp932(root).text;
}

bool HostMapsDrives() {
  return false;
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

Captured RunCadProgram(const std::string& name, const std::string& arguments,
                       const std::string& pathArgument) {
  // The command interpreter takes the whole line in quotes around the quoted program and path.
  const std::string file = name.ends_with(".exe") ? name : name + ".exe";
  const std::string command =
      "\"\"" + CadProgramWindowsPath(file) + "\" " + arguments + " \"" + pathArgument + "\"\"";
  Captured result;
  FILE* pipe = _popen(command.c_str(), "rb");
  if (pipe == nullptr)
    return result;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    result.output.append(buffer, got);
  result.exitCode = _pclose(pipe);
  return result;
}

}  // namespace velmora::testing
