#pragma once
// What the test support does differently per platform: where a temporary drive is seen from the
// program, and starting a stand-in program to read what it prints.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {

// A fresh, empty folder for a TempDrive, as a host path (UTF-8, "/"), and its removal. On Linux a
// new temporary folder the host maps as D:. On Windows D: itself, a drive set aside for the tests
// (its root holds the file velmora-test-drive, so no other drive is ever emptied); tests that use
// it run one at a time.
std::string MakeDriveFolder();
void RemoveDriveFolder(const std::string& hostRoot);
// UGII_ROOT_DIR for the stand-in installation, with its final separator.
std::string CadRootVariable();
// The Windows form of a program in the stand-in installation.
std::string CadProgramWindowsPath(const std::string& name);

// A path in the real host's own form (what its ToHostPath gives: UTF-8 on Linux, the code page on
// Windows) as a file system path.
std::filesystem::path FromHostForm(const std::string& hostPath);

// Wine, which differs from Windows in a few known ways (a case-only rename keeps the old
// spelling; a "%" in a batch variable is expanded again).
bool RunningUnderWine();

struct Captured {
  int exitCode = -1;
  std::string output;  // standard output
};
// What a program started with popen prints, to its end.
inline std::string ReadToEnd(FILE* pipe) {
  std::string out;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, got);
  return out;
}

// Runs a program of the stand-in installation with plain arguments and one path argument.
Captured RunCadProgram(const std::string& name, const std::string& arguments,
                       const std::string& pathArgument);

// Runs a built program (its host path) with the words given (UTF-8; on Windows they reach it in the
// code page) and "NAME=value" entries added to its environment; its input is empty and no stream is
// a terminal (on Windows it has no console). Its standard output and error go to the host files out
// and err (UTF-8 paths). Its exit status, or -1.
int RunProgram(const std::string& program, const std::vector<std::string>& words,
               const std::vector<std::string>& environment, const std::string& out, const std::string& err);

}  // namespace velmora::testing
