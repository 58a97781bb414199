#include "toolrunner/batch_runner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "resources/messages/operations.h"
#include "resources/messages/runner.h"
#include "resources/messages/tails.h"
#include "text/mbstring.h"

namespace velmora::toolrunner {
namespace {

constexpr std::string_view kModeList = Spelling(ToolMode::List);
constexpr std::string_view kModePc = Spelling(ToolMode::Structure);
constexpr std::string_view kModeChangeName = Spelling(ToolMode::ChangeName);
constexpr std::string_view kModeChangeDir = Spelling(ToolMode::ChangeComponentFolder);

bool ReadsOutput(std::string_view mode) {
  return mode == kModeList || mode == kModePc;
}
bool NamesComponent(std::string_view mode) {
  return mode == kModeChangeName || mode == kModeChangeDir;
}

// The interpreter expands %NAME% inside a "set" line too, so a "%" in a path would change the file
// named; "%%" comes back as one "%".
std::string Escaped(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    out += c;
    if (c == '%')
      out += '%';
  }
  return out;
}

std::string SetLine(std::string_view name, std::string_view value, std::string_view suffix = {}) {
  std::string line = "set ";
  line += name;
  line += "=\"";
  line += Escaped(value);
  line += suffix;
  line += "\"\n";
  return line;
}

std::string CommandLine(std::string_view mode) {
  if (mode == kModeList)
    return "%exe_file% %in_file% -list 1>%txt_file% 2>%log_file%\n";
  if (mode == kModePc)
    return "%exe_file% -a -s1 %in_file% 1>%txt_file% 2>%log_file%\n";
  std::string line = "%exe_file% %in_file% -o %out_file% ";
  line += mode;
  // Two blanks before "1>" for the change modes: one closes the component pair, one opens the
  // redirections.
  if (NamesComponent(mode))
    line += " %bef_file% %aft_file% ";
  line += " 1>%txt_file% 2>%log_file%\n";
  return line;
}

// At most this many lines of a tool's output go into a message, each cut to a readable width.
constexpr int kShownLines = 5;
constexpr std::size_t kShownLineBytes = 160;

// A line cut after `limit` bytes without splitting a double-byte character.
void CutLine(std::string& line, std::size_t limit) {
  std::size_t end = 0;
  while (end < line.size()) {
    const std::size_t next = end + (text::IsLeadByte(static_cast<unsigned char>(line[end])) ? 2 : 1);
    if (next > limit)
      break;
    end = next;
  }
  if (end < line.size())
    line.resize(end);
}

// A tool that has run this long when the user asks to stop may be hung: offer to end it.
constexpr auto kLongToolRun = std::chrono::seconds(3);
constexpr auto kAskAgainAfter = std::chrono::seconds(10);

// The code of a crash as the platform writes it: a signal's number, an exception code in hex.
std::string CrashMessage(const platform::ProcessEnd& end, const std::string& toolPath,
                         std::string_view messageTail) {
  if (end.crash == platform::Crash::Signal)
    return msg::kToolKilledBySignal(toolPath, std::to_string(end.code), messageTail);
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(end.code));
  return msg::kToolCrashedWithCode(toolPath, code, messageTail);
}

}  // namespace

std::string ReasonLine(platform::FileError error) {
  switch (error) {
    case platform::FileError::DiskFull:
      return msg::kReasonDiskFull() + '\n';
    case platform::FileError::AccessDenied:
      return msg::kReasonAccessDenied() + '\n';
    case platform::FileError::Unknown:
      break;
  }
  return {};
}

std::string BatchFileText(std::string_view mode, std::string_view toolPath, std::string_view inFile,
                          std::string_view outFile, std::string_view befFile, std::string_view aftFile,
                          std::string_view base) {
  std::string text = "@echo on\nsetlocal\n";
  text += SetLine("exe_file", toolPath);
  text += SetLine("in_file", inFile);
  if (!ReadsOutput(mode))
    text += SetLine("out_file", outFile);
  if (NamesComponent(mode)) {
    text += SetLine("bef_file", befFile);
    text += SetLine("aft_file", aftFile);
  }
  text += SetLine("txt_file", base, ".txt");
  text += SetLine("log_file", base, ".log");
  text += CommandLine(mode);
  text += "endlocal\nexit\n";
  return text;
}

BatchRunner::BatchRunner(platform::Host& host, platform::Ui& ui, const std::string& editToolPath,
                         const std::string& pcToolPath)
    : host_(&host), ui_(&ui), editToolPath_(&editToolPath), pcToolPath_(&pcToolPath) {}

std::string BatchRunner::WorkFileBase(std::string_view partPath, ToolMode mode,
                                      std::string_view messageTail) const {
  const std::optional<std::string> temp = host_->GetEnv("TEMP");
  if (!temp || temp->empty()) {
    ui_->ShowMessage(msg::kTempNotSet(messageTail));
    return {};
  }
  // Said here, before any work file is tried: otherwise the first failure would be about the batch
  // file, which names neither TEMP nor the folder.
  if (const std::optional<platform::FileStatus> folder = host_->Stat(*temp); !folder || !folder->directory) {
    ui_->ShowMessage(msg::kTempFolderMissing.WithLines(*temp + '\n', messageTail));
    return {};
  }
  // From the last "\" (kept: it separates the piece from TEMP) up to the last ".". A missing
  // character counts as position -1; the files of earlier runs were named that way too.
  const auto position = [](std::size_t found) {
    return found == text::npos ? -1LL : static_cast<long long>(found);
  };
  const long long dot = position(text::FindLast(partPath, '.'));
  const long long slash = position(text::FindLast(partPath, '\\'));
  const long long size = static_cast<long long>(partPath.size());
  const long long start = std::min(std::max(slash, 0LL), size);
  const long long length = std::min(std::max(dot - slash, 0LL), size - start);
  std::string base = *temp;
  base += partPath.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
  if (mode == ToolMode::Structure)
    base += '-';
  base += Spelling(mode);
  return base;
}

Step BatchRunner::RunTool(const ToolCall& call, std::string_view messageTail) const {
  toolEnded_ = false;
  WorkFiles files;
  if (PrepareRun(call, files, messageTail) == Step::Failed)
    return Step::Failed;
  if (RunBatchFile(ToolPath(call.mode), files.bat, messageTail) == Step::Failed) {
    RemoveAll(files);
    return Step::Failed;
  }
  return JudgeOutput(call.mode, files, messageTail);
}

std::optional<StartedTool> BatchRunner::StartTool(const ToolCall& call, std::string_view messageTail) const {
  WorkFiles files;
  if (PrepareRun(call, files, messageTail) == Step::Failed)
    return std::nullopt;
  StartedTool started{host_->StartBatch("\"" + files.bat + "\""), call.mode, files.bat, files.txt, files.log};
  if (!started.process) {
    RemoveAll(files);
    static_cast<void>(ShowFailure(*ui_, msg::kBatchStartFailed(messageTail)));
    return std::nullopt;
  }
  return started;
}

Step BatchRunner::FinishTool(StartedTool& started, std::string_view messageTail) const {
  toolEnded_ = started.endedByUser;
  started.process->Wait();
  const WorkFiles files{started.bat, started.txt, started.log};
  if (EndBatchFile(std::move(started.process), ToolPath(started.mode), files.bat, messageTail,
                   started.stopShown) == Step::Failed) {
    RemoveAll(files);
    return Step::Failed;
  }
  return JudgeOutput(started.mode, files, messageTail);
}

bool BatchRunner::OfferToEnd(StartedTool& started, bool stopAsked) const {
  if (!started.endedByUser && started.offer.Made(*ui_, *started.process, ToolPath(started.mode), stopAsked))
    started.endedByUser = true;
  return started.endedByUser;
}

void BatchRunner::EndAlong(StartedTool& started) const {
  if (!started.endedByUser && started.process->Terminate())
    started.endedByUser = true;
}

const std::string& BatchRunner::ToolPath(ToolMode mode) const {
  return mode == ToolMode::Structure ? *pcToolPath_ : *editToolPath_;
}

// The work files' names, none of them left by an earlier run, and the batch file written.
Step BatchRunner::PrepareRun(const ToolCall& call, WorkFiles& files, std::string_view messageTail) const {
  const std::string base = WorkFileBase(call.inFile, call.mode, messageTail);
  if (base.empty())
    return Step::Failed;
  files = {base + ".bat", base + ".txt", base + ".log"};

  // A file left by an earlier run is the user's to look at: never overwrite it.
  if (host_->Stat(files.txt))
    return FailAt(msg::kTextFileExists, files.txt, messageTail);
  if (host_->Stat(files.log))
    return FailAt(msg::kLogFileExists, files.log, messageTail);
  if (host_->Stat(files.bat))
    return FailAt(msg::kBatchFileExists, files.bat, messageTail);
  std::unique_ptr<platform::TextStream> bat;
  if (TakeBatchFile(files, bat, messageTail) == Step::Failed)
    return Step::Failed;

  // From here on, whatever is at the three names was made by this run.
  if (WriteBatchFile(call, base, std::move(bat), files.bat, messageTail) == Step::Failed) {
    RemoveAll(files);
    return Step::Failed;
  }
  return Step::Done;
}

// The batch file is made only where nothing is, so that of two programs sharing TEMP one gets the
// names; the other stops as for a file in the way and touches none of the three. A tool of the
// other program that ended just before leaves its output to be read: that stops this one too.
Step BatchRunner::TakeBatchFile(const WorkFiles& files, std::unique_ptr<platform::TextStream>& bat,
                                std::string_view messageTail) const {
  bat = host_->Open(files.bat, platform::OpenMode::CreateText);
  // A refusal or a full disk is told by the writing that follows, from the platform's error.
  if (!bat)
    return host_->LastError() == platform::FileError::Unknown && host_->Stat(files.bat)
               ? FailAt(msg::kBatchFileExists, files.bat, messageTail)
               : Step::Done;
  const bool text = host_->Stat(files.txt).has_value();
  if (!text && !host_->Stat(files.log))
    return Step::Done;
  static_cast<void>(bat->Close());
  bat.reset();
  static_cast<void>(host_->Remove(files.bat));
  return text ? FailAt(msg::kTextFileExists, files.txt, messageTail)
              : FailAt(msg::kLogFileExists, files.log, messageTail);
}

void BatchRunner::RemoveAll(const WorkFiles& files) const {
  for (const std::string* file : {&files.bat, &files.txt, &files.log}) {
    if (host_->Stat(*file))
      static_cast<void>(host_->Remove(*file));
  }
}

Step BatchRunner::WriteBatchFile(const ToolCall& call, const std::string& base,
                                 std::unique_ptr<platform::TextStream> bat, const std::string& batFile,
                                 std::string_view messageTail) const {
  if (!bat) {
    // Refused or full: no file at all can be made there, and TEMP is what the user has to change.
    const std::string reason = ReasonLine(host_->LastError());
    if (!reason.empty())
      return ShowFailure(*ui_, msg::kTempNotWritable.WithLines(
                                   host_->GetEnv("TEMP").value_or("") + '\n' + reason, messageTail));
    return ShowFailure(*ui_, msg::kBatchOpenFailed(messageTail));
  }
  const std::string content = BatchFileText(Spelling(call.mode), ToolPath(call.mode), call.inFile,
                                            call.outFile, call.befFile, call.aftFile, base);
  for (std::size_t begin = 0; begin < content.size();) {
    const std::size_t lineEnd = content.find('\n', begin);
    const std::size_t end = lineEnd == std::string::npos ? content.size() : lineEnd + 1;
    bat->Puts(std::string_view(content).substr(begin, end - begin));
    begin = end;
  }
  if (bat->Error()) {
    const std::string reason = ReasonLine(host_->LastError());
    const Step failed = ShowFailure(
        *ui_, reason.empty() ? msg::kBatchWriteError(messageTail)
                             : msg::kBatchWriteError.WithLines(batFile + '\n' + reason, messageTail));
    if (!bat->Close())
      ui_->ShowMessage(msg::kBatchCloseFailed());
    return failed;
  }
  // The last of the content reaches the disk only here: a full disk shows first at the close.
  if (!bat->Close()) {
    const std::string reason = ReasonLine(host_->LastError());
    return ShowFailure(*ui_, reason.empty() ? msg::BatchCloseFailed(messageTail)
                                            : msg::BatchCloseFailed(batFile + '\n' + reason, messageTail));
  }
  return Step::Done;
}

Step BatchRunner::RunBatchFile(const std::string& toolPath, const std::string& batFile,
                               std::string_view messageTail) const {
  std::unique_ptr<platform::Process> process = host_->StartBatch("\"" + batFile + "\"");
  if (!process)
    return ShowFailure(*ui_, msg::kBatchStartFailed(messageTail));
  Wait(*process, toolPath);
  return EndBatchFile(std::move(process), toolPath, batFile, messageTail);
}

// The ended process released, then its batch file removed; a tool the user had ended, or one that
// crashed, fails the run whatever its files hold.
Step BatchRunner::EndBatchFile(std::unique_ptr<platform::Process> process, const std::string& toolPath,
                               const std::string& batFile, std::string_view messageTail,
                               bool stopShown) const {
  const platform::ProcessEnd end = process->End();
  const bool closed = process->CloseHandle();
  process.reset();
  if (!closed)
    return ShowFailure(*ui_, msg::kBatchHandleCloseFailed(messageTail));
  if (!host_->Remove(batFile))
    return ShowFailure(*ui_, msg::kBatchRemoveFailed(messageTail));
  if (toolEnded_)
    return stopShown ? Step::Failed : ShowFailure(*ui_, msg::kRunCancelled(messageTail));
  if (end.crash != platform::Crash::None)
    return ShowFailure(*ui_, CrashMessage(end, toolPath, messageTail));
  return Step::Done;
}

HangOffer::HangOffer() : askAt_(std::chrono::steady_clock::now() + kLongToolRun) {}

// Asked once the tool has run a while; after a No, asked again when it still runs much later, so
// that a tool that never ends never leaves the user without a way out.
bool HangOffer::Made(platform::Ui& ui, platform::Process& process, const std::string& toolPath,
                     bool stopAsked) {
  if (!stopAsked || std::chrono::steady_clock::now() < askAt_)
    return false;
  const bool end = ui.AskYesNo(msg::kToolStillRunning(toolPath)) && process.Terminate();
  askAt_ = std::chrono::steady_clock::now() + kAskAgainAfter;
  return end;
}

void BatchRunner::Wait(platform::Process& process, const std::string& toolPath) const {
  HangOffer offer;
  process.WaitCalling([&] {
    ui_->WhileWaiting();
    if (!toolEnded_ && offer.Made(*ui_, process, toolPath, ui_->StopRequested()))
      toolEnded_ = true;
  });
}

// The error stream must be empty; so must the output of a mode that writes a part.
Step BatchRunner::JudgeOutput(ToolMode mode, const WorkFiles& files, std::string_view messageTail) const {
  const std::optional<platform::FileStatus> log = host_->Stat(files.log);
  if (!log) {
    RemoveAll(files);
    return ShowFailure(*ui_, msg::kLogFileMissing(messageTail));
  }
  if (log->size > 0)
    return FailWithText(msg::kLogFileNotEmpty, files.log, messageTail);
  if (!host_->Remove(files.log)) {
    RemoveAll(files);
    return ShowFailure(*ui_, msg::kLogRemoveFailed(messageTail));
  }

  if (ReadsOutput(Spelling(mode))) {
    if (scope_ != nullptr)
      scope_->files_.push_back(files.txt);
    return Step::Done;
  }

  const std::optional<platform::FileStatus> txt = host_->Stat(files.txt);
  if (!txt)
    return ShowFailure(*ui_, msg::kTextFileMissing(messageTail));
  if (txt->size > 0)
    return FailWithText(msg::kTextFileNotEmpty, files.txt, messageTail);
  if (!host_->Remove(files.txt))
    return ShowFailure(*ui_, msg::kTextRemoveFailed(messageTail));
  return Step::Done;
}

// The user has to find the file to read or remove it: name it, and show what a tool wrote.
Step BatchRunner::FailAt(const msg::Tailed& message, const std::string& path,
                         std::string_view messageTail) const {
  ui_->ShowMessage(message.WithLines(path + '\n' + msg::kWorkFileInTheWay() + '\n', messageTail));
  return Step::Failed;
}

Step BatchRunner::FailWithText(const msg::Tailed& message, const std::string& path,
                               std::string_view messageTail) const {
  ui_->ShowMessage(message.WithLines(path + '\n' + FirstLines(path), messageTail));
  return Step::Failed;
}

std::string BatchRunner::FirstLines(const std::string& path) const {
  const std::unique_ptr<platform::TextStream> file = host_->Open(path, platform::OpenMode::ReadText);
  if (!file)
    return {};
  std::string lines;
  std::string line;
  int count = 0;
  for (int c = file->Getc(); c != platform::kEof && count < kShownLines; c = file->Getc()) {
    if (c != '\n') {
      // Only the shown part of a long line is kept.
      if (line.size() <= kShownLineBytes)
        line += static_cast<char>(c);
      continue;
    }
    CutLine(line, kShownLineBytes);
    lines += line + '\n';
    line.clear();
    ++count;
  }
  if (!line.empty() && count < kShownLines) {
    CutLine(line, kShownLineBytes);
    lines += line + '\n';
  }
  return lines;
}

WorkFileScope::WorkFileScope(const BatchRunner& runner) : runner_(&runner), outer_(runner.scope_) {
  runner.scope_ = this;
}

WorkFileScope::~WorkFileScope() {
  runner_->scope_ = outer_;
  for (const std::string& file : files_) {
    if (runner_->host_->Stat(file))
      static_cast<void>(runner_->host_->Remove(file));
  }
}

}  // namespace velmora::toolrunner
