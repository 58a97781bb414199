// velmora-batch FILE: runs a batch file written by the program, as the Windows interpreter would.
// Kept lean on purpose: it sits between the program and every tool run.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

#include "platform/batch/interpreter.h"
#include "platform/posix_file.h"
#include "platform/win_path.h"
#include "resources/messages/platform.h"

namespace velmora::platform::batch {
namespace {

void Complain(int fd, const msg::BeforeName& message, std::string_view what) {
  WriteAll(fd, msg::BatchComplaint(message, what));
}

std::optional<std::string> ReadFile(const char* path) {
  const FileDescriptor fd(open(path, O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0)
    return std::nullopt;
  std::string content;
  if (!ReadToEnd(fd.Get(), content))
    return std::nullopt;
  return content;
}

class ProcessShell final : public Shell {
 public:
  ProcessShell() : paths_(PathMap::FromEnvironment()) {}

  void Echo(std::string_view text) override { WriteAll(1, std::string(text) + "\n"); }

  void Unsupported(int number, std::string_view text) override {
    WriteAll(2, msg::BatchUnsupported(number, text));
  }

  void Run(const Command& command, const Environment& env, bool last,
           const std::vector<std::string>& echoes) override {
    FileDescriptor output;
    FileDescriptor error;
    if (!Redirect(command.output, output) || !Redirect(command.error, error))
      return;
    const int errorFd = error.Get() >= 0 ? error.Get() : 2;

    const std::optional<std::string> program = paths_.ToHost(command.program);
    struct stat st;
    if (!program || stat(program->c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        access(program->c_str(), X_OK) != 0) {
      Complain(errorFd, msg::kBatchCannotRun, command.program);
      return;
    }

    std::vector<std::string> arguments;
    arguments.push_back(*program);
    arguments.insert(arguments.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments)
      argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables = env.ForProcess();
    std::vector<char*> envp;
    envp.reserve(variables.size() + 1);
    for (std::string& variable : variables)
      envp.push_back(variable.data());
    envp.push_back(nullptr);

    // After a crash this process must live on to pass it on.
    if (last && crashSignal_ == 0 && HandOver(command, output, error, argv, envp, echoes))
      return;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output.Get() >= 0)
      posix_spawn_file_actions_adddup2(&actions, output.Get(), 1);
    if (error.Get() >= 0)
      posix_spawn_file_actions_adddup2(&actions, error.Get(), 2);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
      Complain(errorFd, msg::kBatchCannotRun, command.program);
      return;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
      crashSignal_ = WTERMSIG(status);
  }

  // The signal a command this shell ran died of, 0 when none did.
  [[nodiscard]] int CrashSignal() const { return crashSignal_; }

 private:
  // Opens a redirection target; an empty target means none. False (after saying so) when it
  // cannot be opened: the command is then not run, as on Windows.
  bool Redirect(const std::string& target, FileDescriptor& fd) {
    if (target.empty())
      return true;
    const std::optional<std::string> host = paths_.ToHost(target);
    if (host)
      fd = FileDescriptor(open(host->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.Get() < 0) {
      Complain(2, msg::kBatchCannotRedirect, target);
      return false;
    }
    return true;
  }

  static bool Install(const FileDescriptor& fd, int target) {
    return fd.Get() < 0 || dup2(fd.Get(), target) >= 0;
  }

  // Nothing after this command matters: the tool takes over this process instead of costing a
  // second one. True when the command was dealt with (it only comes back when the tool could not
  // be started); false when the hand-over could not even be tried.
  bool HandOver(const Command& command, const FileDescriptor& output, const FileDescriptor& error,
                std::vector<char*>& argv, std::vector<char*>& envp, const std::vector<std::string>& echoes) {
    const FileDescriptor savedOut(fcntl(1, F_DUPFD_CLOEXEC, 3));
    const FileDescriptor savedErr(fcntl(2, F_DUPFD_CLOEXEC, 3));
    if (savedOut.Get() < 0 || savedErr.Get() < 0)
      return false;
    for (const std::string& echo : echoes)
      Echo(echo);
    if (Install(output, 1) && Install(error, 2)) {
      execve(argv[0], argv.data(), envp.data());
      Complain(2, msg::kBatchCannotRun, command.program);
    }
    dup2(savedOut.Get(), 1);
    dup2(savedErr.Get(), 2);
    return true;
  }

  PathMap paths_;
  int crashSignal_ = 0;
};

// The batch file runs on to its end, as on Windows; then the interpreter dies of the tool's signal,
// so that the program sees the crash as it sees one of a tool that took over this process.
void DieOf(int signal) {
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  ::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(signal);
  _exit(128 + signal);
}

}  // namespace
}  // namespace velmora::platform::batch

int main(int argc, char** argv) {
  using namespace velmora;
  if (argc != 2) {
    platform::batch::Complain(2, msg::kBatchCannotRead, "");
    return 1;
  }
  // A program that dies leaves no tool running on: the tool that takes over this process dies with
  // it.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // Standard streams that came closed would be taken by the first files opened.
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", O_RDWR) != fd)
      return 1;
  }
  const std::optional<std::string> file = platform::batch::ReadFile(argv[1]);
  if (!file) {
    platform::batch::Complain(2, msg::kBatchCannotRead, argv[1]);
    return 1;
  }
  platform::batch::Environment env = platform::batch::Environment::FromProcess();
  platform::batch::ProcessShell shell;
  platform::batch::RunScript(*file, env, shell);
  if (shell.CrashSignal() != 0)
    platform::batch::DieOf(shell.CrashSignal());
  return 0;
}
