#pragma once
// Every run of an outside tool: three work files in TEMP named from the part file and the mode, a
// batch file that calls the tool with its output and error streams redirected, and the judgement of
// the run by those two files. Failures show their message and return Step::Failed.

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"
#include "platform/step.h"
#include "platform/ui.h"
#include "resources/messages/message.h"

namespace velmora::toolrunner {

// What a tool run does: List and Structure only read the part, the others write an edited copy.
enum class ToolMode {
  List,
  Structure,
  ChangeName,
  ChangeComponentFolder,
  LowerFolders,
  LowerNames,
  UpperNames,
  RemoveFolders,
};

struct ToolModeSpelling {
  ToolMode mode;
  std::string_view spelling;  // on the tool's command line and in the work files' names
};

inline constexpr std::array<ToolModeSpelling, 8> kToolModes = {{
    {ToolMode::List, "-list"},
    {ToolMode::Structure, "ugpc"},
    {ToolMode::ChangeName, "-change_name"},
    {ToolMode::ChangeComponentFolder, "-change_comp_dir"},
    {ToolMode::LowerFolders, "-lower_dir"},
    {ToolMode::LowerNames, "-lower_name"},
    {ToolMode::UpperNames, "-upper_name"},
    {ToolMode::RemoveFolders, "-remove_dirs"},
}};

[[nodiscard]] constexpr std::string_view Spelling(ToolMode mode) {
  for (const ToolModeSpelling& entry : kToolModes) {
    if (entry.mode == mode)
      return entry.spelling;
  }
  return {};
}

// One run's files. outFile is for the modes that write; befFile and aftFile name the component a
// change mode edits and what it becomes.
struct ToolCall {
  ToolMode mode;
  std::string_view inFile;
  std::string_view outFile = {};
  std::string_view befFile = {};
  std::string_view aftFile = {};
};

// Why a write failed, as a line (cp932, ending in "\n"); empty when the platform did not say.
[[nodiscard]] std::string ReasonLine(platform::FileError error);

// The batch file's text for one run ("\n" line ends; the stream writes CR LF).
std::string BatchFileText(std::string_view mode, std::string_view toolPath, std::string_view inFile,
                          std::string_view outFile, std::string_view befFile, std::string_view aftFile,
                          std::string_view base);

class WorkFileScope;

// The offer to end a tool that may be hung: made when the user asks to stop after it has run for a
// few seconds, and again a while after each No.
class HangOffer {
 public:
  HangOffer();
  // True when the user chose to end the tool and it has been told to end.
  [[nodiscard]] bool Made(platform::Ui& ui, platform::Process& process, const std::string& toolPath,
                          bool stopAsked);

 private:
  std::chrono::steady_clock::time_point askAt_;
};

// A tool run started and not yet judged.
struct StartedTool {
  std::unique_ptr<platform::Process> process;
  ToolMode mode = ToolMode::List;
  std::string bat;
  std::string txt;
  std::string log;
  HangOffer offer = {};
  bool endedByUser = false;
  bool stopShown = false;  // the stop has been told already: an end by the user adds no message
};

class BatchRunner {
 public:
  // The tool paths are read at the moment of each call, so they may change between runs.
  BatchRunner(platform::Host& host, platform::Ui& ui, const std::string& editToolPath,
              const std::string& pcToolPath);

  // TEMP + "\name" (extension dropped) + the mode's spelling ("ugpc" becomes "-ugpc"). Empty, after its
  // message, when TEMP is unset or empty.
  [[nodiscard]] std::string WorkFileBase(std::string_view partPath, ToolMode mode,
                                         std::string_view messageTail) const;

  // Failed once its message has been shown. A run that fails leaves in TEMP only what a tool wrote
  // as its error, for the user to read; the listing of a run that succeeds is the caller's.
  Step RunTool(const ToolCall& call, std::string_view messageTail) const;

  // The last run failed because the user had its tool ended: a stopped run, not a broken one.
  [[nodiscard]] bool ToolEnded() const { return toolEnded_; }

  // RunTool in two halves, for runs side by side looked after by one thread: StartTool writes the
  // batch file and starts it (nullopt after its message); FinishTool, once the process has ended,
  // releases it and judges the run as RunTool does.
  [[nodiscard]] std::optional<StartedTool> StartTool(const ToolCall& call,
                                                     std::string_view messageTail) const;
  Step FinishTool(StartedTool& started, std::string_view messageTail) const;
  // While a started tool runs: the offer to end it, as RunTool makes it (stopAsked: the user asked
  // to stop the run). True when the tool has been ended at the user's word.
  [[nodiscard]] bool OfferToEnd(StartedTool& started, bool stopAsked) const;
  // Ends a started tool along with one the user chose to end.
  void EndAlong(StartedTool& started) const;

 private:
  friend class WorkFileScope;
  struct WorkFiles {
    std::string bat;
    std::string txt;
    std::string log;
  };
  Step PrepareRun(const ToolCall& call, WorkFiles& files, std::string_view messageTail) const;
  Step EndBatchFile(std::unique_ptr<platform::Process> process, const std::string& toolPath,
                    const std::string& batFile, std::string_view messageTail, bool stopShown = false) const;
  [[nodiscard]] const std::string& ToolPath(ToolMode mode) const;
  Step TakeBatchFile(const WorkFiles& files, std::unique_ptr<platform::TextStream>& bat,
                     std::string_view messageTail) const;
  Step WriteBatchFile(const ToolCall& call, const std::string& base,
                      std::unique_ptr<platform::TextStream> bat, const std::string& batFile,
                      std::string_view messageTail) const;
  Step RunBatchFile(const std::string& toolPath, const std::string& batFile,
                    std::string_view messageTail) const;
  // Waits for the tool, offering once to end it when the user asks to stop a long run.
  void Wait(platform::Process& process, const std::string& toolPath) const;
  void RemoveAll(const WorkFiles& files) const;
  Step JudgeOutput(ToolMode mode, const WorkFiles& files, std::string_view messageTail) const;
  Step FailAt(const msg::Tailed& message, const std::string& path, std::string_view messageTail) const;
  Step FailWithText(const msg::Tailed& message, const std::string& path, std::string_view messageTail) const;

  // The first lines of a tool's output, each ending in "\n"; empty when it cannot be read.
  [[nodiscard]] std::string FirstLines(const std::string& path) const;

  platform::Host* host_;
  platform::Ui* ui_;
  const std::string* editToolPath_;
  const std::string* pcToolPath_;
  mutable WorkFileScope* scope_ = nullptr;
  mutable bool toolEnded_ = false;
};

// The listings a run's tool runs hand to their readers: whatever of them is still in TEMP when the
// scope ends, however the run ended, is removed, so that no run is refused for a file an earlier
// one left. Scopes nest; a listing belongs to the innermost.
class WorkFileScope {
 public:
  explicit WorkFileScope(const BatchRunner& runner);
  ~WorkFileScope();
  WorkFileScope(const WorkFileScope&) = delete;
  WorkFileScope& operator=(const WorkFileScope&) = delete;

 private:
  friend class BatchRunner;
  const BatchRunner* runner_;
  WorkFileScope* outer_;
  std::vector<std::string> files_;
};

}  // namespace velmora::toolrunner
