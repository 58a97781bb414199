#include "platform/batch/interpreter.h"

#include <array>

#include "text/codec.h"
#include "text/mbstring.h"

extern char** environ;

namespace velmora::platform::batch {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  return text;
}

std::string_view Trim(std::string_view text) {
  text = TrimLeft(text);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool IsLead(std::string_view text, std::size_t i) {
  return text::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
}

// Characters that would make the Windows interpreter pipe, chain or redirect: never run.
bool IsOperator(char c) {
  return c == '&' || c == '|' || c == '<' || c == '>' || c == '^';
}

bool HasOperatorOutsideQuotes(std::string_view text) {
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLead(text, i)) {
      ++i;
    } else if (text[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && IsOperator(text[i])) {
      return true;
    }
  }
  return false;
}

// The interpreter's own commands, which this one does not have: never taken for a program.
bool IsInternalCommand(std::string_view word) {
  static constexpr std::array<std::string_view, 36> kInternal = {
      "assoc", "break",  "call",  "cd",    "chdir", "cls",   "color",  "copy",  "date",
      "del",   "dir",    "echo",  "erase", "for",   "ftype", "goto",   "if",    "md",
      "mkdir", "mklink", "move",  "path",  "pause", "popd",  "prompt", "pushd", "rd",
      "ren",   "rename", "rmdir", "shift", "start", "time",  "title",  "type",  "vol"};
  const std::string lower = text::ToLower(word);
  for (const std::string_view name : kInternal) {
    if (lower == name)
      return true;
  }
  return false;
}

// One word up to an unquoted blank, starting at i; false when it holds an operator.
bool ReadWord(std::string_view text, std::size_t& i, std::string& word) {
  bool quoted = false;
  while (i < text.size() && (quoted || !IsBlank(text[i]))) {
    if (IsLead(text, i)) {
      word += text.substr(i, 2);
      i += 2;
      continue;
    }
    if (text[i] == '"')
      quoted = !quoted;
    else if (!quoted && IsOperator(text[i]))
      return false;
    word += text[i++];
  }
  return true;
}

std::string Unquoted(std::string_view word) {
  std::string out;
  for (const char c : word) {
    if (c != '"')
      out += c;
  }
  return out;
}

bool ParseCommand(std::string_view text, Command& command) {
  bool haveProgram = false;
  std::string rest;
  std::size_t i = 0;
  for (;;) {
    while (i < text.size() && IsBlank(text[i]))
      ++i;
    if (i == text.size())
      break;
    if ((text[i] == '1' || text[i] == '2') && i + 1 < text.size() && text[i + 1] == '>') {
      std::string& target = text[i] == '1' ? command.output : command.error;
      i += 2;
      while (i < text.size() && IsBlank(text[i]))
        ++i;
      std::string word;
      if (!ReadWord(text, i, word))
        return false;  // ">>", "2>&1" and the like
      target = Unquoted(word);
      if (target.empty())
        return false;
      continue;
    }
    std::string word;
    if (!ReadWord(text, i, word))
      return false;
    if (!haveProgram) {
      command.program = Unquoted(word);
      haveProgram = true;
    } else {
      rest += word;
      rest += ' ';
    }
  }
  if (!haveProgram || command.program.empty() || IsInternalCommand(command.program))
    return false;
  command.arguments = SplitArguments(rest);
  return true;
}

// Carries out a line that only changes the interpreter's own state. False for a command to run or
// a line that is refused.
bool ApplyControlLine(const Line& line, Environment& env, bool& echo) {
  switch (line.kind) {
    case LineKind::EchoOn:
      echo = true;
      return true;
    case LineKind::EchoOff:
      echo = false;
      return true;
    case LineKind::Setlocal:
      env.Push();
      return true;
    case LineKind::Endlocal:
      env.Pop();
      return true;
    case LineKind::Set:
      env.Set(line.name, line.value);
      return true;
    case LineKind::Blank:
    case LineKind::Comment:
      return true;
    case LineKind::Exit:
    case LineKind::Command:
    case LineKind::Unsupported:
      return false;
  }
  return false;
}

// Where a file's lines stand while the rest of it is looked ahead at.
struct Lookahead {
  bool inert = true;
  std::vector<std::string> echoes;
};

Lookahead LookAhead(const std::vector<std::string_view>& lines, std::size_t from, const Environment& env,
                    bool echo) {
  Lookahead result;
  Environment sim = env;
  for (std::size_t k = from; k < lines.size(); ++k) {
    const Line line = ParseLine(Expand(lines[k], sim));
    if (line.kind == LineKind::Blank)
      continue;
    if (echo && !line.quiet)
      result.echoes.push_back(line.text);
    if (line.kind == LineKind::Exit)
      return result;
    if (!ApplyControlLine(line, sim, echo)) {
      result.inert = false;
      return result;
    }
  }
  return result;
}

}  // namespace

Environment Environment::FromProcess() {
  Environment env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text = *entry;
    const std::size_t equals = text.find('=');
    if (equals == 0 || equals == std::string_view::npos)
      continue;
    const std::string_view name = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);
    text::CodecResult converted = text::Utf8ToCp932(value);
    Variable& variable = env.vars_[text::ToUpper(name)];
    variable.name = std::string(name);
    variable.hostBytes = !converted.ok;
    variable.value = converted.ok ? std::move(converted.text) : std::string(value);
  }
  return env;
}

const std::string* Environment::Find(std::string_view name) const {
  const auto it = vars_.find(text::ToUpper(name));
  return it == vars_.end() ? nullptr : &it->second.value;
}

void Environment::Set(std::string_view name, std::string_view value) {
  const std::string key = text::ToUpper(name);
  if (value.empty()) {
    vars_.erase(key);
    return;
  }
  vars_[key] = Variable{std::string(name), std::string(value), false};
}

void Environment::Push() {
  saved_.push_back(vars_);
}

void Environment::Pop() {
  if (saved_.empty())
    return;
  vars_ = std::move(saved_.back());
  saved_.pop_back();
}

std::vector<std::string> Environment::ForProcess() const {
  std::vector<std::string> out;
  out.reserve(vars_.size());
  for (const auto& [key, variable] : vars_) {
    const text::CodecResult utf8 =
        variable.hostBytes ? text::CodecResult{} : text::Cp932ToUtf8(variable.value);
    out.push_back(variable.name + "=" + (utf8.ok ? utf8.text : variable.value));
  }
  return out;
}

std::string Expand(std::string_view line, const Environment& env) {
  std::string out;
  out.reserve(line.size());
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] != '%') {
      out += line[i++];
      continue;
    }
    if (i + 1 < line.size() && line[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    const std::size_t close = line.find('%', i + 1);
    if (close == std::string_view::npos) {
      out += line.substr(i);
      break;
    }
    if (const std::string* value = env.Find(line.substr(i + 1, close - i - 1)))
      out += *value;
    i = close + 1;
  }
  return out;
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
  std::vector<std::string> out;
  std::size_t i = 0;
  const std::size_t n = arguments.size();
  for (;;) {
    while (i < n && IsBlank(arguments[i]))
      ++i;
    if (i == n)
      return out;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(arguments[i]))) {
      const char c = arguments[i];
      if (c == '\\') {
        std::size_t count = 0;
        while (i + count < n && arguments[i + count] == '\\')
          ++count;
        if (i + count < n && arguments[i + count] == '"') {
          arg.append(count / 2, '\\');
          i += count;
          if (count % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(count, '\\');
          i += count;
        }
      } else if (c == '"') {
        if (quoted && i + 1 < n && arguments[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else if (IsLead(arguments, i)) {
        arg += arguments.substr(i, 2);
        i += 2;
      } else {
        arg += c;
        ++i;
      }
    }
    out.push_back(std::move(arg));
  }
}

Line ParseLine(std::string_view expanded) {
  Line line;
  std::string_view text = TrimLeft(expanded);
  if (!text.empty() && text.front() == '@') {
    line.quiet = true;
    text = TrimLeft(text.substr(1));
  }
  line.text = std::string(text);
  if (Trim(text).empty())
    return line;

  std::size_t wordEnd = 0;
  while (wordEnd < text.size() && !IsBlank(text[wordEnd]))
    ++wordEnd;
  const std::string word = text::ToLower(text.substr(0, wordEnd));
  const std::string_view rest = TrimLeft(text.substr(wordEnd));
  const std::string argument = text::ToLower(Trim(rest));

  line.kind = LineKind::Unsupported;
  if (word == "rem" || text.starts_with("::")) {
    line.kind = LineKind::Comment;
  } else if (word == "echo") {
    if (argument == "on")
      line.kind = LineKind::EchoOn;
    else if (argument == "off")
      line.kind = LineKind::EchoOff;
  } else if (word == "setlocal" || word == "endlocal" || word == "exit") {
    if (argument.empty())
      line.kind = word == "setlocal"   ? LineKind::Setlocal
                  : word == "endlocal" ? LineKind::Endlocal
                                       : LineKind::Exit;
  } else if (word == "set") {
    const std::size_t equals = rest.find('=');
    if (equals != std::string_view::npos && equals > 0 &&
        rest.substr(0, equals).find('"') == std::string_view::npos && !HasOperatorOutsideQuotes(rest)) {
      line.kind = LineKind::Set;
      line.name = std::string(rest.substr(0, equals));
      line.value = std::string(rest.substr(equals + 1));
    }
  } else if (ParseCommand(text, line.command)) {
    line.kind = LineKind::Command;
  }
  return line;
}

std::vector<std::string_view> SplitLines(std::string_view file) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? file.size() : end + 1;
    if (end == std::string_view::npos)
      end = file.size();
    std::string_view line = file.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    start = next;
  }
  return lines;
}

void RunScript(std::string_view file, Environment& env, Shell& shell) {
  const std::vector<std::string_view> lines = SplitLines(file);
  bool echo = true;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const Line line = ParseLine(Expand(lines[k], env));
    if (line.kind == LineKind::Blank)
      continue;
    if (echo && !line.quiet)
      shell.Echo(line.text);
    if (line.kind == LineKind::Exit)
      return;
    if (ApplyControlLine(line, env, echo))
      continue;
    if (line.kind == LineKind::Command) {
      const Lookahead rest = LookAhead(lines, k + 1, env, echo);
      shell.Run(line.command, env, rest.inert, rest.echoes);
    } else {
      shell.Unsupported(static_cast<int>(k + 1), line.text);
    }
  }
}

}  // namespace velmora::platform::batch
