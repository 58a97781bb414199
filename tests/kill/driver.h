#pragma once
// What the tests that run the dialog in processes of their own share: the run driver started in a
// session of its own (killed or waited for whole), run to its end, and the part files below a
// folder.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
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
inline std::map<std::string, std::string> Parts(const fs::path& root,
                                                const velmora::testing::TempDrive& drive) {
  std::map<std::string, std::string> parts;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file() && IsPartName(entry.path())) {
      const std::string relative = fs::relative(entry.path(), drive.HostRoot()).string();
      parts[fs::relative(entry.path(), root).string()] = drive.ReadFile(relative);
    }
  }
  return parts;
}

// Whether a process of the session is still there. A tool run has a process group of its own,
// but stays in the session of the driver that started it.
inline bool SessionAlive(pid_t session) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
      continue;
    FILE* stat = fopen((entry.path() / "stat").c_str(), "r");
    if (stat == nullptr)
      continue;
    char line[1024];
    const bool read = fgets(line, sizeof line, stat) != nullptr;
    fclose(stat);
    // pid (comm) state ppid pgrp session: the name may hold blanks, so count from its ")".
    const char* close = read ? strrchr(line, ')') : nullptr;
    int parent = 0;
    int group = 0;
    int its = 0;
    char state = 0;
    if (close != nullptr && sscanf(close + 1, " %c %d %d %d", &state, &parent, &group, &its) == 4 &&
        its == session && state != 'Z')
      return true;
  }
  return false;
}

// The driver leads a session of its own: it and everything it started are killed or waited for
// together.
class Driver {
 public:
  Driver(std::string_view mode, const std::string& input) {
    // The child would flush a copy of anything still buffered.
    fflush(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      setsid();
      if (freopen("/dev/null", "w", stdout) == nullptr)
        _exit(3);
      execl(VELMORA_RUN_DRIVER, VELMORA_RUN_DRIVER, std::string(mode).c_str(), input.c_str(), nullptr);
      _exit(3);
    }
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
    kill(pid_, SIGKILL);  // before its setsid the group is not there yet
    if (!ended)
      waitpid(pid_, &status_, 0);
    // The session's other members die with the driver and are reaped elsewhere; none may still be
    // writing when files are read.
    for (int i = 0; i < 2000 && SessionAlive(pid_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_FALSE(SessionAlive(pid_)) << "a process of the killed run lives on";
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
