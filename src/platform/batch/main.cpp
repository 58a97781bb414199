// velmora-batch FILE: runs a batch file written by the program, as the Windows interpreter would.
// Kept lean on purpose: it sits between the program and every tool run.

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

#include "platform/batch/interpreter.h"
#include "platform/win_path.h"
#include "resources/messages/platform.h"
#include "text/codec.h"

namespace velmora::platform::batch {
namespace {

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

void Complain(int fd, std::string_view message, std::string_view what) {
  WriteAll(fd, text::Cp932(msg::kBatchPrefix) + text::Cp932(message) + std::string(what) + "\n");
}

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }

 private:
  int fd_ = -1;
};

std::optional<std::string> ReadFile(const char* path) {
  const Descriptor fd(open(path, O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0)
    return std::nullopt;
  std::string content;
  char buffer[16 * 1024];
  for (;;) {
    const ssize_t got = read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      return content;
    content.append(buffer, static_cast<std::size_t>(got));
  }
}

class ProcessShell final : public Shell {
 public:
  ProcessShell() : paths_(PathMap::FromEnvironment()) {}

  void Echo(std::string_view text) override { WriteAll(1, std::string(text) + "\n"); }

  void Unsupported(int number, std::string_view text) override {
    WriteAll(2, text::Cp932(msg::kBatchPrefix) + std::to_string(number) + text::Cp932(msg::kBatchLine) +
                    text::Cp932(msg::kBatchUnsupported) + std::string(text) + "\n");
  }

  void Run(const Command& command, const Environment& env, bool last,
           const std::vector<std::string>& echoes) override {
    Descriptor output;
    Descriptor error;
    if (!Redirect(command.output, output) || !Redirect(command.error, error))
      return;
    const int errorFd = error.get() >= 0 ? error.get() : 2;

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
    for (std::string& argument : arguments)
      argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables = env.ForProcess();
    std::vector<char*> envp;
    for (std::string& variable : variables)
      envp.push_back(variable.data());
    envp.push_back(nullptr);

    if (last && HandOver(command, output, error, argv, envp, echoes))
      return;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output.get() >= 0)
      posix_spawn_file_actions_adddup2(&actions, output.get(), 1);
    if (error.get() >= 0)
      posix_spawn_file_actions_adddup2(&actions, error.get(), 2);
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
  }

 private:
  // Opens a redirection target; an empty target means none. False (after saying so) when it
  // cannot be opened: the command is then not run, as on Windows.
  bool Redirect(const std::string& target, Descriptor& fd) {
    if (target.empty())
      return true;
    const std::optional<std::string> host = paths_.ToHost(target);
    if (host)
      fd = Descriptor(open(host->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
      Complain(2, msg::kBatchCannotRedirect, target);
      return false;
    }
    return true;
  }

  static bool Install(const Descriptor& fd, int target) {
    return fd.get() < 0 || dup2(fd.get(), target) >= 0;
  }

  // Nothing after this command matters: the tool takes over this process instead of costing a
  // second one. True when the command was dealt with (it only comes back when the tool could not
  // be started); false when the hand-over could not even be tried.
  bool HandOver(const Command& command, const Descriptor& output, const Descriptor& error,
                std::vector<char*>& argv, std::vector<char*>& envp, const std::vector<std::string>& echoes) {
    const Descriptor savedOut(fcntl(1, F_DUPFD_CLOEXEC, 3));
    const Descriptor savedErr(fcntl(2, F_DUPFD_CLOEXEC, 3));
    if (savedOut.get() < 0 || savedErr.get() < 0)
      return false;
    for (const std::string& echo : echoes)
      Echo(echo);
    if (Install(output, 1) && Install(error, 2)) {
      execve(argv[0], argv.data(), envp.data());
      Complain(2, msg::kBatchCannotRun, command.program);
    }
    dup2(savedOut.get(), 1);
    dup2(savedErr.get(), 2);
    return true;
  }

  PathMap paths_;
};

}  // namespace
}  // namespace velmora::platform::batch

int main(int argc, char** argv) {
  using namespace velmora;
  if (argc != 2) {
    platform::batch::Complain(2, msg::kBatchCannotRead, "");
    return 1;
  }
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
  return 0;
}
