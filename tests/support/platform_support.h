#pragma once
// What the test support does differently per platform: where a temporary drive is seen from the
// program, and starting a stand-in program to read what it prints.

#include <string>

namespace velmora::testing {

// The Windows form (cp932) of the folder a TempDrive made: "D:" where the host maps it as that
// drive, the folder's own path where paths are the platform's.
std::string DriveWindowsRoot(const std::string& hostRoot);
// Whether the host maps drives (VELMORA_DRIVES); tests of the mapping itself need it.
bool HostMapsDrives();
// UGII_ROOT_DIR for the stand-in installation, with its final separator.
std::string CadRootVariable();
// The Windows form of a program in the stand-in installation.
std::string CadProgramWindowsPath(const std::string& name);

struct Captured {
  int exitCode = -1;
  std::string output;  // standard output
};
// Runs a program of the stand-in installation with plain arguments and one path argument.
Captured RunCadProgram(const std::string& name, const std::string& arguments,
                       const std::string& pathArgument);

}  // namespace velmora::testing
