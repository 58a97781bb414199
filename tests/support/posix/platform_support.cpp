#include "support/platform_support.h"

#include <stdio.h>
#include <sys/wait.h>

#include <algorithm>

namespace velmora::testing {

std::string DriveWindowsRoot(const std::string&) {
  return "D:";
}

bool HostMapsDrives() {
  return true;
}

std::string CadRootVariable() {
  return std::string(VELMORA_CAD_DIR) + "/";
}

std::string CadProgramWindowsPath(const std::string& name) {
  std::string folder = VELMORA_CAD_DIR;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return "Z:" + folder + "\\" + name;
}

Captured RunCadProgram(const std::string& name, const std::string& arguments,
                       const std::string& pathArgument) {
  const std::string command =
      std::string(VELMORA_CAD_DIR) + "/" + name + " " + arguments + " '" + pathArgument + "'";
  Captured result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr)
    return result;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    result.output.append(buffer, got);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace velmora::testing
