// ugpc.exe -a -s1 IN: the indented assembly structure of IN.

#include <string>
#include <string_view>

#include "cad/tools/commands.h"
#include "cad/tools/tool_io.h"

namespace {

using namespace velmora;

constexpr std::string_view kTool = "ugpc";

}  // namespace

int main(int argc, char** argv) {
  cad::InjectedDelay();
  std::string_view input;
  bool all = false;
  bool singleLevel = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-a") {
      all = true;
    } else if (argument == "-s1") {
      singleLevel = true;
    } else if (argument.starts_with('-') || !input.empty()) {
      return cad::Fail(kTool, "usage: ugpc -a -s1 IN");
    } else {
      input = argument;
    }
  }
  // Only the form the program uses is offered: every level (-a), one blank per level (-s1).
  if (!all || !singleLevel || input.empty())
    return cad::Fail(kTool, "usage: ugpc -a -s1 IN");
  cad::InjectedHang("ugpc");
  if (cad::Injected("VELMORA_CAD_FAIL", "ugpc"))
    return cad::Fail(kTool, "injected failure for ugpc");
  cad::PartSource source(platform::PathMap::FromEnvironment());
  const cad::CommandResult result = cad::ListStructure(source, input);
  if (!result.ok)
    return cad::Fail(kTool, result.error);
  std::string output = result.output;
  if (cad::Injected("VELMORA_CAD_STDOUT", "ugpc"))
    output.append("ugpc: injected output for ugpc\n");
  if (!cad::WriteText(stdout, output))
    return cad::Fail(kTool, "cannot write the standard output");
  cad::InjectedCrash("ugpc");
  return 0;
}
