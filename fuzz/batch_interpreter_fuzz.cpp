// Feeds arbitrary bytes to the batch interpreter as a batch file. Nothing is ever started: the shell
// only checks what it is handed. Also checks that any arguments, quoted as the program would quote
// them, reach the tool unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/batch/interpreter.h"
#include "text/mbstring.h"

namespace {

using namespace velmora::platform::batch;

class CheckingShell final : public Shell {
 public:
  void Echo(std::string_view) override {}
  void Unsupported(int number, std::string_view) override {
    if (number < 1)
      std::abort();
  }
  void Run(const Command& command, const Environment&, bool, const std::vector<std::string>&) override {
    // A program name never carries a quote, and a redirection never names nothing.
    if (command.program.empty() || command.program.find('"') != std::string::npos)
      std::abort();
    if (command.output.find('"') != std::string::npos || command.error.find('"') != std::string::npos)
      std::abort();
  }
};

// Every lead byte has a proper second byte after it: text the program can produce.
bool IsWellFormed(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!velmora::text::IsLeadByte(static_cast<unsigned char>(text[i])))
      continue;
    if (i + 1 == text.size())
      return false;
    const unsigned char trail = static_cast<unsigned char>(text[++i]);
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
      return false;
  }
  return true;
}

// The C runtime's quoting: the inverse of its split.
std::string Quote(std::string_view argument) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (std::size_t i = 0; i < argument.size(); ++i) {
    const char c = argument[i];
    if (velmora::text::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < argument.size()) {
      out += argument.substr(i, 2);
      ++i;
      backslashes = 0;
    } else if (c == '\\') {
      out += c;
      ++backslashes;
    } else if (c == '"') {
      out.append(backslashes + 1, '\\');
      out += c;
      backslashes = 0;
    } else {
      out += c;
      backslashes = 0;
    }
  }
  out.append(backslashes, '\\');
  return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  Environment env;
  env.Set("exe_file", "\"C:\\t.exe\"");
  CheckingShell shell;
  RunScript(bytes, env, shell);

  // Arguments separated by NUL bytes, quoted and split again.
  std::vector<std::string> arguments;
  std::size_t start = 0;
  while (start <= size) {
    std::size_t end = bytes.find('\0', start);
    if (end == std::string_view::npos)
      end = size;
    arguments.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  std::string line;
  for (const std::string& argument : arguments) {
    if (!IsWellFormed(argument))
      return 0;
    line += Quote(argument) + " ";
  }
  if (SplitArguments(line) != arguments)
    std::abort();
  return 0;
}
