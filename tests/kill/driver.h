#pragma once
// What the tests that run the dialog in processes of their own share: the run driver started in a
// process group of its own (killed or waited for whole), run to its end, and the part files below a
// folder.

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <thread>

#include "support/temp_drive.h"

namespace velmora::test {

namespace fs = std::filesystem;

inline unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const char* value = getenv(name);
  return value != nullptr && value[0] != '\0' ? std::stoul(value) : fallback;
}

inline bool IsPartName(const fs::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension)
    c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return extension == ".prt";
}

// Every *.prt below the folder (relative path, as spelt) to its bytes.
inline std::map<std::string, std::string> Parts(const fs::path& root, const velmora::testing::TempDrive& drive) {
  std::map<std::string, std::string> parts;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file() && IsPartName(entry.path())) {
      const std::string relative = fs::relative(entry.path(), drive.HostRoot()).string();
      parts[fs::relative(entry.path(), root).string()] = drive.ReadFile(relative);
    }
  }
  return parts;
}

// The driver's process and everything it started share one group, killed or waited for together.
class Driver {
 public:
  Driver(std::string_view mode, const std::string& input) {
    // The child would flush a copy of anything still buffered.
    fflush(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      if (freopen("/dev/null", "w", stdout) == nullptr)
        _exit(3);
      execl(VELMORA_RUN_DRIVER, VELMORA_RUN_DRIVER, std::string(mode).c_str(), input.c_str(), nullptr);
      _exit(3);
    }
    setpgid(pid_, pid_);
  }
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  ~Driver() {
    if (pid_ > 0)
      Kill();
  }

  // Waits for it to end by itself.
  void Wait() {
    waitpid(pid_, &status_, 0);
    pid_ = -1;
  }

  // True when it had already ended by itself.
  bool Kill() {
    const bool ended = waitpid(pid_, &status_, WNOHANG) == pid_;
    kill(-pid_, SIGKILL);
    if (!ended)
      waitpid(pid_, &status_, 0);
    // The group's other members are reaped elsewhere; none may still be writing when files are read.
    for (int i = 0; i < 2000 && kill(-pid_, 0) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    pid_ = -1;
    return ended;
  }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

// Runs the driver to its end; its output.
inline std::string RunToEnd(std::string_view mode, const std::string& input) {
  const std::string command = std::string(VELMORA_RUN_DRIVER) + " " + std::string(mode) + " '" + input + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr)
    return {};
  std::string output;
  char buffer[4096];
  while (const std::size_t got = fread(buffer, 1, sizeof buffer, pipe))
    output.append(buffer, got);
  pclose(pipe);
  return output;
}

}  // namespace velmora::test
