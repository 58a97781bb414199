// ug_edit_part_names.exe IN -list
// ug_edit_part_names.exe IN -o OUT -change_name|-change_comp_dir BEF AFT
// ug_edit_part_names.exe IN -o OUT -lower_dir|-lower_name|-upper_name|-remove_dirs

#include <cstdio>
#include <string>
#include <string_view>

#include "cad/tools/commands.h"
#include "cad/tools/tool_io.h"

namespace {

using namespace velmora;

constexpr std::string_view kTool = "ug_edit_part_names";
constexpr std::string_view kUsage =
    "usage: ug_edit_part_names IN -list | IN -o OUT -change_name|-change_comp_dir BEF AFT | "
    "IN -o OUT -lower_dir|-lower_name|-upper_name|-remove_dirs";

int Finish(const cad::CommandResult& result, std::string_view option) {
  if (!result.ok)
    return cad::Fail(kTool, result.error);
  std::string output = result.output;
  if (cad::Injected("VELMORA_CAD_STDOUT", option))
    output.append(kTool).append(": injected output for ").append(option).push_back('\n');
  if (!cad::WriteText(stdout, output))
    return cad::Fail(kTool, "cannot write the standard output");
  cad::InjectedCrash(option);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  cad::InjectedDelay();
  if (argc == 3 && std::string_view(argv[2]) == "-list") {
    cad::InjectedHang("-list");
    if (cad::Injected("VELMORA_CAD_FAIL", "-list"))
      return cad::Fail(kTool, "injected failure for -list");
    cad::PartSource source(platform::PathMap::FromEnvironment());
    return Finish(cad::ListAssembly(source, argv[1]), "-list");
  }
  if (argc < 5 || std::string_view(argv[2]) != "-o")
    return cad::Fail(kTool, kUsage);
  const std::string_view optionText = argv[4];
  const std::optional<cad::EditOption> option = cad::ParseEditOption(optionText);
  if (!option)
    return cad::Fail(kTool, "unknown option " + std::string(optionText));
  if (argc != (cad::TakesNames(*option) ? 7 : 5))
    return cad::Fail(kTool, kUsage);
  cad::InjectedHang(optionText);
  if (cad::Injected("VELMORA_CAD_FAIL", optionText))
    return cad::Fail(kTool, "injected failure for " + std::string(optionText));
  const std::string_view before = argc == 7 ? argv[5] : "";
  const std::string_view after = argc == 7 ? argv[6] : "";
  return Finish(
      cad::EditPartFile(platform::PathMap::FromEnvironment(), argv[1], argv[3], *option, before, after),
      optionText);
}
