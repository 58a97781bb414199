#pragma once
// Starts a program of the stand-in CAD installation as the batch interpreter would, with its
// arguments as given (cp932 bytes), and collects what it wrote.

#include <string>
#include <utility>
#include <vector>

namespace velmora::cad::testing {

struct ProcessResult {
  int exitCode = -1;  // -1 when it did not end normally
  std::string out;
  std::string err;
};

// `program` is a file name in the installation folder; `environment` is set in the child only.
ProcessResult RunCadTool(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

std::string CadToolPath(const std::string& program);

}  // namespace velmora::cad::testing
