#pragma once
// Every run of an outside tool: three work files in TEMP named from the part file and the mode, a
// batch file that calls the tool with its output and error streams redirected, and the judgement of
// the run by those two files. Failures show their message and return true.

#include <string>
#include <string_view>

#include "platform/host.h"
#include "platform/ui.h"

namespace velmora::toolrunner {

// The batch file's text for one run ("\n" line ends; the stream writes CR LF).
std::string BatchFileText(std::string_view mode, std::string_view toolPath, std::string_view inFile,
                          std::string_view outFile, std::string_view befFile, std::string_view aftFile,
                          std::string_view base);

class BatchRunner {
 public:
  // The tool paths are read at the moment of each call, so they may change between runs.
  BatchRunner(platform::Host& host, platform::Ui& ui, const std::string& editToolPath,
              const std::string& pcToolPath);

  // TEMP + "\name" (extension dropped) + tag ("ugpc" becomes "-ugpc"). Empty, after its message,
  // when TEMP is unset or empty.
  [[nodiscard]] std::string WorkFileBase(std::string_view partPath, std::string_view tag,
                                         std::string_view messageTail) const;

  // True when the run failed (the message has been shown).
  [[nodiscard]] bool RunTool(std::string_view mode, std::string_view messageTail, std::string_view inFile,
                             std::string_view outFile, std::string_view befFile,
                             std::string_view aftFile) const;

 private:
  // The first lines of a tool's output, each ending in "\n"; empty when it cannot be read.
  [[nodiscard]] std::string FirstLines(const std::string& path) const;

  platform::Host* host_;
  platform::Ui* ui_;
  const std::string* editToolPath_;
  const std::string* pcToolPath_;
};

}  // namespace velmora::toolrunner
