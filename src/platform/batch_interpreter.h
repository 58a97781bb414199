#pragma once
// Where the batch interpreter (velmora-batch) is: named by VELMORA_BATCH, else found from the
// program's own executable, beside it in a build and under ../lib/velmora once installed.

#include <string>
#include <string_view>

namespace velmora::platform {

// The interpreter for programExe (a host path). When none is there, the installed place, so that a
// failure names where it was expected.
[[nodiscard]] std::string FindBatchInterpreter(std::string_view programExe);
// The same for the running program.
[[nodiscard]] std::string FindBatchInterpreter();

[[nodiscard]] bool IsExecutableFile(const std::string& path);

}  // namespace velmora::platform
