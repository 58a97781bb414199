#include "platform/batch_interpreter.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

std::string FindBatchInterpreter(std::string_view programExe) {
  if (const char* chosen = getenv("VELMORA_BATCH"); chosen != nullptr && chosen[0] != '\0')
    return chosen;
  const std::size_t slash = programExe.rfind('/');
  const std::string folder(slash == std::string_view::npos ? std::string_view(".")
                                                           : programExe.substr(0, slash));
  std::string beside = folder + "/velmora-batch";
  if (IsExecutableFile(beside))
    return beside;
  return folder + "/../lib/velmora/velmora-batch";
}

std::string FindBatchInterpreter() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  return FindBatchInterpreter(length > 0 ? std::string_view(self, static_cast<std::size_t>(length))
                                         : std::string_view());
}

}  // namespace velmora::platform
