#pragma once
// What the two command-line tools do, apart from reading their arguments, so that it can be
// tested in-process. Output and messages are cp932; lines end in "\n" (the tools write them in
// text mode, as CR LF).

#include <optional>
#include <string>
#include <string_view>

#include "cad/part/part_file.h"
#include "cad/tools/part_source.h"
#include "platform/win_path.h"

namespace velmora::cad {

struct CommandResult {
  bool ok = false;
  std::string output;
  std::string error;  // one line, without its line break
};

// A relative Windows path taken from the host's current folder; an absolute one unchanged.
std::string AbsoluteWindowsPath(std::string_view path, const platform::PathMap& map);

// -list: "name (folder)" for every distinct part file, the input first, then depth first; a
// missing file is listed and not descended into.
CommandResult ListAssembly(PartSource& source, std::string_view inputPath);
// ugpc -a -s1: the input as given, then every use of a component one blank deeper, depth first.
CommandResult ListStructure(PartSource& source, std::string_view inputPath);

enum class EditOption { ChangeName, ChangeCompDir, LowerDir, LowerName, UpperName, RemoveDirs };

std::optional<EditOption> ParseEditOption(std::string_view option);
// -change_name and -change_comp_dir take a component name and a new value.
bool TakesNames(EditOption option);
// Changes the references of a part. Empty on success, else the reason.
std::string ApplyEdit(Part& part, EditOption option, std::string_view before, std::string_view after);

// Reads the part at inputPath, changes it and writes it to outputPath, under outputPath's spelling
// even when that differs from an existing file's only in letter case.
CommandResult EditPartFile(const platform::PathMap& map, std::string_view inputPath,
                           std::string_view outputPath, EditOption option, std::string_view before,
                           std::string_view after);

}  // namespace velmora::cad
