#include "support/platform_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>

namespace velmora::testing {
namespace {

std::string Quoted(std::string_view word) {
  std::string quoted = "'";
  for (const char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string MakeDriveFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-drive-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    abort();
  return pattern;
}

void RemoveDriveFolder(const std::string& hostRoot) {
  std::error_code ignored;
  std::filesystem::remove_all(hostRoot, ignored);
}

std::filesystem::path FromHostForm(const std::string& hostPath) {
  return std::filesystem::path(hostPath);
}

std::string CadRootVariable() {
  return std::string(VELMORA_CAD_DIR) + "/";
}

std::string CadProgramWindowsPath(const std::string& name) {
  std::string folder = VELMORA_CAD_DIR;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return "Z:" + folder + "\\" + name;
}

bool RunningUnderWine() {
  return false;
}

Captured RunCadProgram(const std::string& name, const std::string& arguments,
                       const std::string& pathArgument) {
  const std::string command =
      std::string(VELMORA_CAD_DIR) + "/" + name + " " + arguments + " '" + pathArgument + "'";
  Captured result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr)
    return result;
  result.output = ReadToEnd(pipe);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

int RunProgram(const std::string& program, const std::vector<std::string>& words,
               const std::vector<std::string>& environment, const std::string& out, const std::string& err) {
  std::string command = "env";
  for (const std::string& entry : environment)
    command += " " + Quoted(entry);
  command += " " + Quoted(program);
  for (const std::string& word : words)
    command += " " + Quoted(word);
  command += " >" + Quoted(out) + " 2>" + Quoted(err) + " </dev/null";
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace velmora::testing
