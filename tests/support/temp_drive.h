#pragma once
// A fresh host folder mapped as drive D: (on Windows the tests' own drive D:), with TEMP (D:\temp) and
// UGII_ROOT_DIR (the stand-in CAD installation) set for this process and every tool it starts.
// Removed again on destruction.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

class TempDrive {
 public:
  TempDrive();
  ~TempDrive();
  TempDrive(const TempDrive&) = delete;
  TempDrive& operator=(const TempDrive&) = delete;

  // The host folder (UTF-8) behind D:\.
  const std::string& HostRoot() const { return hostRoot_; }
  // The host path of a path below the drive, given in UTF-8 with "/" ("work/top.prt").
  std::string Host(std::string_view relative) const;
  // The Windows path (cp932) of the same: D:\work\top.prt.
  std::string Win(std::string_view relative) const;
  // The Windows form (cp932) of TEMP and of the stand-in tools.
  std::string Temp() const { return Win("temp"); }
  std::string EditTool() const;
  std::string PcTool() const;

  // Writes a host file (bytes as given), creating folders.
  void WriteFile(std::string_view relative, std::string_view bytes) const;
  std::string ReadFile(std::string_view relative) const;
  bool Exists(std::string_view relative) const;
  // Names (UTF-8) of the files in TEMP, sorted; folders (the run journals') are left out.
  std::vector<std::string> TempFiles() const;

  // Runs the stand-in make-assembly into a folder below the drive and returns the input part's
  // Windows path (cp932). `arguments` are extra options, such as "--parts 20 --missing 2".
  std::string MakeAssembly(std::string_view relativeFolder, std::string_view arguments) const;

 private:
  std::string hostRoot_;
  std::string savedEnv_[4];
  bool hadEnv_[4] = {};
};

}  // namespace velmora::testing
