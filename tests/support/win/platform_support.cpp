#include "support/platform_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "text/codec.h"

namespace velmora::testing {

namespace {

constexpr const char* kMarker = "velmora-test-drive";

void EmptyDrive() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("D:\\", ignored))
    if (entry.path().filename() != kMarker)
      std::filesystem::remove_all(entry.path(), ignored);
}

std::wstring Wide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

// One word of a command line as the C runtime splits it again: quoted, a run of backslashes
// doubled where a quote follows it.
std::wstring CommandWord(const std::wstring& word) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : word) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE InheritedFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The entries are set in this process for the child to inherit, and put back as they were after.
class AddedEnvironment {
 public:
  explicit AddedEnvironment(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
      const std::size_t equals = entry.find('=');
      Saved saved{Wide(entry.substr(0, equals)), std::nullopt};
      const DWORD length = GetEnvironmentVariableW(saved.name.c_str(), nullptr, 0);
      if (length > 0) {
        std::wstring value(length, L'\0');
        value.resize(GetEnvironmentVariableW(saved.name.c_str(), value.data(), length));
        saved.value = std::move(value);
      }
      SetEnvironmentVariableW(saved.name.c_str(), Wide(entry.substr(equals + 1)).c_str());
      saved_.push_back(std::move(saved));
    }
  }
  ~AddedEnvironment() {
    for (const Saved& saved : saved_)
      SetEnvironmentVariableW(saved.name.c_str(), saved.value ? saved.value->c_str() : nullptr);
  }
  AddedEnvironment(const AddedEnvironment&) = delete;
  AddedEnvironment& operator=(const AddedEnvironment&) = delete;

 private:
  struct Saved {
    std::wstring name;
    std::optional<std::wstring> value;
  };
  std::vector<Saved> saved_;
};

}  // namespace

std::string MakeDriveFolder() {
  if (!std::filesystem::exists(std::string("D:\\") + kMarker)) {
    fprintf(stderr, "D: is not the tests' drive (no D:\\%s)\n", kMarker);
    abort();
  }
  EmptyDrive();
  return "D:";
}

void RemoveDriveFolder(const std::string&) {
  EmptyDrive();
}

// The narrow API reads paths in the code page; the C++ library's narrow paths are UTF-8.
std::filesystem::path FromHostForm(const std::string& hostPath) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, hostPath.data(), static_cast<int>(hostPath.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, hostPath.data(), static_cast<int>(hostPath.size()), wide.data(), length);
  return std::filesystem::path(wide);
}

// The installation is built on the Linux side of Wine, seen through Z:.
std::string CadRootVariable() {
  return CadProgramWindowsPath("");
}

std::string CadProgramWindowsPath(const std::string& name) {
  std::string folder = VELMORA_CAD_DIR;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return "Z:" + folder + "\\" + name;
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

Captured RunCadProgram(const std::string& name, const std::string& arguments,
                       const std::string& pathArgument) {
  // The command interpreter takes the whole line in quotes around the quoted program and path.
  const std::string file = name.ends_with(".exe") ? name : name + ".exe";
  const std::string command =
      "\"\"" + CadProgramWindowsPath(file) + "\" " + arguments + " \"" + pathArgument + "\"\"";
  // Wine's command interpreter now and then fails to start a program on a busy machine ("Can't
  // recognize ... as an internal or external command"): nothing ran, so it is tried again. A
  // program that really fails fails every time.
  Captured result;
  for (int attempt = 0; attempt < 3; ++attempt) {
    result = Captured();
    FILE* pipe = _popen(command.c_str(), "rb");
    if (pipe == nullptr)
      return result;
    result.output = ReadToEnd(pipe);
    result.exitCode = _pclose(pipe);
    if (result.exitCode == 0 || !result.output.empty() || !RunningUnderWine())
      break;
    Sleep(100);
  }
  return result;
}

// The program is built on the Linux side of Wine, seen through Z:. Its input is a pipe whose
// writing end is closed: empty, and no console (as NUL would count for the C runtime).
int RunProgram(const std::string& program, const std::vector<std::string>& words,
               const std::vector<std::string>& environment, const std::string& out, const std::string& err) {
  std::string windows = program.starts_with("/") ? "Z:" + program : program;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  std::wstring line = CommandWord(Wide(windows));
  for (const std::string& word : words)
    line += L" " + CommandWord(Wide(word));
  const AddedEnvironment added(environment);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE input = nullptr;
  HANDLE feed = nullptr;
  if (!CreatePipe(&input, &feed, &inherit, 0))
    return -1;
  CloseHandle(feed);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = InheritedFile(out);
  startup.hStdError = InheritedFile(err);
  PROCESS_INFORMATION started{};
  int status = -1;
  if (CreateProcessW(Wide(windows).c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &started)) {
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(started.hProcess, &code))
      status = static_cast<int>(code);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
  }
  for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
    CloseHandle(handle);
  return status;
}

}  // namespace velmora::testing
