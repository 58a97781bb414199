#include "cad/tools/commands.h"

#include <errno.h>

#include <unordered_set>
#include <vector>

#include "cad/part/win_name.h"
#include "platform/posix_file.h"
#include "text/codec.h"
#include "text/mbstring.h"

namespace velmora::cad {
namespace {

// A listing larger than this is an assembly gone wrong (sharing that multiplies the uses), not one
// to print.
constexpr std::size_t kMaxStructureBytes = std::size_t{512} * 1024 * 1024;

struct Frame {
  const Part* part;
  std::string folder;  // the folder an empty reference folder stands for
  std::size_t next = 0;
  std::string key;  // FileKey of the part's path, for the cycle check
};

CommandResult Failed(std::string message) {
  CommandResult result;
  result.error = std::move(message);
  return result;
}

std::string ReadProblem(std::string_view path, const LoadedPart& loaded) {
  return "cannot read " + std::string(path) + ": " + loaded.error;
}

// The input part, which must exist and be a well-formed part.
const LoadedPart& LoadInput(PartSource& source, std::string_view path, CommandResult& failure) {
  const LoadedPart& loaded = source.Load(path);
  if (loaded.status != ReadStatus::Ok)
    failure = Failed(ReadProblem(path, loaded));
  return loaded;
}

}  // namespace

std::string AbsoluteWindowsPath(std::string_view path, const platform::PathMap& map) {
  if (IsAbsolute(path))
    return std::string(path);
  const std::string cwd = platform::CurrentHostFolder();
  if (cwd.empty())
    return std::string(path);
  const platform::PathMap::Reverse folder = map.ToWindows(cwd);
  if (!folder.ok)
    return std::string(path);
  return JoinPath(WithoutFinalSeparator(folder.windowsPath), path);
}

CommandResult ListAssembly(PartSource& source, std::string_view inputPath) {
  const std::string input = AbsoluteWindowsPath(inputPath, source.Paths());
  CommandResult result;
  const LoadedPart& top = LoadInput(source, input, result);
  if (!result.error.empty())
    return result;

  const PathPieces pieces = SplitPath(input);
  result.output.append(pieces.name).append(" (").append(pieces.folder).append(")\n");
  std::unordered_set<std::string> listed{FileKey(input)};
  std::vector<Frame> stack;
  stack.push_back({&top.part, pieces.folder, 0, {}});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.part->components.size()) {
      stack.pop_back();
      continue;
    }
    const Reference& reference = frame.part->components[frame.next++];
    std::string folder = reference.folder.empty() ? frame.folder : reference.folder;
    const std::string path = JoinPath(folder, reference.name);
    if (!listed.insert(FileKey(path)).second)
      continue;
    result.output.append(reference.name).append(" (").append(folder).append(")\n");
    const LoadedPart& component = source.Load(path);
    if (component.status == ReadStatus::Missing)
      continue;
    if (component.status != ReadStatus::Ok)
      return Failed(ReadProblem(path, component));
    if (!component.part.components.empty())
      stack.push_back({&component.part, std::move(folder), 0, {}});
  }
  result.ok = true;
  return result;
}

CommandResult ListStructure(PartSource& source, std::string_view inputPath) {
  const std::string input = AbsoluteWindowsPath(inputPath, source.Paths());
  CommandResult result;
  const LoadedPart& top = LoadInput(source, input, result);
  if (!result.error.empty())
    return result;

  result.output.append(inputPath).push_back('\n');
  std::unordered_set<std::string> onBranch{FileKey(input)};
  std::vector<Frame> stack;
  stack.push_back({&top.part, SplitPath(input).folder, 0, FileKey(input)});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.part->components.size()) {
      onBranch.erase(frame.key);
      stack.pop_back();
      continue;
    }
    const Reference& reference = frame.part->components[frame.next++];
    std::string folder = reference.folder.empty() ? frame.folder : reference.folder;
    const std::string path = JoinPath(folder, reference.name);
    result.output.append(stack.size(), ' ').append(path).push_back('\n');
    if (result.output.size() > kMaxStructureBytes)
      return Failed("the structure of " + input + " is too large to list");
    std::string key = FileKey(path);
    if (onBranch.count(key) != 0)
      return Failed("cycle in the assembly: " + path + " is its own component");
    const LoadedPart& component = source.Load(path);
    if (component.status == ReadStatus::Missing)
      continue;
    if (component.status != ReadStatus::Ok)
      return Failed(ReadProblem(path, component));
    if (component.part.components.empty())
      continue;
    onBranch.insert(key);
    stack.push_back({&component.part, std::move(folder), 0, std::move(key)});
  }
  result.ok = true;
  return result;
}

std::optional<EditOption> ParseEditOption(std::string_view option) {
  if (option == "-change_name")
    return EditOption::ChangeName;
  if (option == "-change_comp_dir")
    return EditOption::ChangeCompDir;
  if (option == "-lower_dir")
    return EditOption::LowerDir;
  if (option == "-lower_name")
    return EditOption::LowerName;
  if (option == "-upper_name")
    return EditOption::UpperName;
  if (option == "-remove_dirs")
    return EditOption::RemoveDirs;
  return std::nullopt;
}

bool TakesNames(EditOption option) {
  return option == EditOption::ChangeName || option == EditOption::ChangeCompDir;
}

std::string ApplyEdit(Part& part, EditOption option, std::string_view before, std::string_view after) {
  const std::string beforeKey = FileKey(before);
  switch (option) {
    case EditOption::ChangeName:
      if (!ValidFileName(after))
        return "bad new component name: " + std::string(after);
      for (Reference& reference : part.components) {
        if (FileKey(reference.name) == beforeKey)
          reference.name = after;
      }
      return {};
    case EditOption::ChangeCompDir: {
      const std::string folder = WithoutFinalSeparator(after);
      if (!ValidFolder(folder))
        return "bad new component folder: " + std::string(after);
      for (Reference& reference : part.components) {
        if (FileKey(reference.name) == beforeKey)
          reference.folder = folder;
      }
      return {};
    }
    case EditOption::LowerDir:
      for (Reference& reference : part.components)
        reference.folder = text::ToLower(reference.folder);
      return {};
    case EditOption::LowerName:
      for (Reference& reference : part.components)
        reference.name = text::ToLower(reference.name);
      return {};
    case EditOption::UpperName:
      for (Reference& reference : part.components)
        reference.name = text::ToUpper(reference.name);
      return {};
    case EditOption::RemoveDirs:
      for (Reference& reference : part.components)
        reference.folder.clear();
      return {};
  }
  return "unknown option";
}

CommandResult EditPartFile(const platform::PathMap& map, std::string_view inputPath,
                           std::string_view outputPath, EditOption option, std::string_view before,
                           std::string_view after) {
  const std::optional<std::string> inputHost = map.ToHost(inputPath);
  if (!inputHost)
    return Failed("cannot read " + std::string(inputPath) + ": no such drive or network path");
  ReadResult read = ReadPartFile(*inputHost);
  if (read.status != ReadStatus::Ok)
    return Failed("cannot read " + std::string(inputPath) + ": " + read.error);
  if (std::string problem = ApplyEdit(read.part, option, before, after); !problem.empty())
    return Failed(std::move(problem));

  // ToHost finds an existing file whatever its case; the new file must carry the name as given.
  const std::optional<std::string> existing = map.ToHost(outputPath);
  const PathPieces pieces = SplitPath(outputPath);
  const text::CodecResult name = text::Cp932ToUtf8(pieces.name);
  if (!existing || !name.ok || !ValidFileName(pieces.name))
    return Failed("cannot write " + std::string(outputPath) + ": not a valid file path");
  const std::size_t slash = existing->rfind('/');
  const std::string target = existing->substr(0, slash + 1) + name.text;
  // A new spelling is taken by renaming before the write, not by removing the old one after it:
  // stopped in between, the folder holds one file, as a folder that ignores case always does.
  if (*existing != target && !platform::SameHostFile(*existing, target) &&
      !platform::ReplaceHostFile(*existing, target) && errno != ENOENT)
    return Failed("cannot rename " + std::string(outputPath) + " to its new spelling");
  if (std::string problem = WritePartFile(target, read.part); !problem.empty())
    return Failed("cannot write " + std::string(outputPath) + ": " + problem);
  CommandResult result;
  result.ok = true;
  return result;
}

}  // namespace velmora::cad
