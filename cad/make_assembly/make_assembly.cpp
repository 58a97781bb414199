// make-assembly [--parts N] [--seed S] [--missing K] [--depth D] [--fanout F] [--utf8] HOSTDIR
// make-assembly --help | -h
//
// Writes a sample assembly of N part files (K of them referenced but not written) into HOSTDIR and
// prints the Windows path of its top part. The same options always give the same files.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cad/part/part_file.h"
#include "cad/part/win_name.h"
#include "platform/posix_file.h"
#include "platform/win_path.h"
#include "text/codec.h"

namespace {

using namespace velmora;

constexpr int kMaxParts = 50000;
constexpr std::string_view kUsage =
    "usage: make-assembly [--parts N] [--seed S] [--missing K] [--depth D] [--fanout F] [--utf8] HOSTDIR";
constexpr std::string_view kHelp =
    "Writes a sample assembly of N part files into HOSTDIR and prints the Windows path of its top part.\n"
    "The same options always give the same files.\n"
    "\n"
    "  --parts N    part files, 1 to 50000 (30)\n"
    "  --seed S     the seed of the names, folders and structure (1)\n"
    "  --missing K  of the parts, K are referred to but not written, below N (0)\n"
    "  --depth D    levels below the top part, at least 1 (as deep as the fan-out needs)\n"
    "  --fanout F   components per part, at least 1 (4)\n"
    "  --utf8       print the path in UTF-8 instead of cp932\n"
    "  --help, -h   print this and end\n";

struct Options {
  int parts = 30;
  std::uint64_t seed = 1;
  int missing = 0;
  int depth = 0;  // 0: as deep as the fan-out needs
  int fanout = 4;
  bool utf8 = false;
  bool help = false;
  std::string hostDir;
};

// splitmix64: small, fast and the same everywhere (the standard distributions are not).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. bound-1
  int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }

 private:
  std::uint64_t state_;
};

// Name styles: mixed letter case, and Japanese names whose characters end in 0x5C (表 ソ 能) or in
// an ASCII letter (ア is 0x83 0x41), which naive byte-wise code gets wrong.
struct Style {
  std::string_view stem;  // UTF-8
  std::string_view extension;
};
constexpr Style kStyles[] = {
    {"Bracket", ".prt"}, {"SHAFT", ".PRT"},    {"housing", ".Prt"},  {"CoverPlate", ".prt"},
    {"表示板", ".prt"},  {"ソケット", ".PRT"}, {"能力部品", ".prt"}, {"アーム", ".Prt"},
};
constexpr int kStyleCount = static_cast<int>(std::size(kStyles));

// Folder 0 is HOSTDIR itself.
constexpr std::string_view kSubfolders[] = {"Sub", "parts", "部品表"};

struct Node {
  int parent = -1;
  int level = 0;
  int folder = 0;
  int style = 0;
  int size = 1;  // parts in its subtree, itself included
  bool missing = false;
  std::vector<int> components;  // in order, a component listed as often as it is used
};

bool ParseNumber(std::string_view text, long long low, long long high, long long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

// Empty on success, else the message.
std::string ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (argument == "--utf8") {
      options.utf8 = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      return {};
    }
    // A folder whose name starts with "-" is given as ./-name: "-x" is a mistyped option.
    if (argument.starts_with("-") && !argument.starts_with("--"))
      return "bad option " + std::string(argument) + "\n" + std::string(kUsage);
    if (!argument.starts_with("--")) {
      if (!options.hostDir.empty())
        return std::string(kUsage);
      options.hostDir = argument;
      continue;
    }
    std::string_view value;
    if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
      value = argument.substr(equals + 1);
      argument = argument.substr(0, equals);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      return "missing value for " + std::string(argument);
    }
    long long number = 0;
    if (argument == "--parts" && ParseNumber(value, 1, kMaxParts, number)) {
      options.parts = static_cast<int>(number);
    } else if (argument == "--seed" && ParseNumber(value, 0, INT64_MAX, number)) {
      options.seed = static_cast<std::uint64_t>(number);
    } else if (argument == "--missing" && ParseNumber(value, 0, kMaxParts, number)) {
      options.missing = static_cast<int>(number);
    } else if (argument == "--depth" && ParseNumber(value, 1, kMaxParts, number)) {
      options.depth = static_cast<int>(number);
    } else if (argument == "--fanout" && ParseNumber(value, 1, kMaxParts, number)) {
      options.fanout = static_cast<int>(number);
    } else {
      return "bad option " + std::string(argument) + " " + std::string(value) + "\n" + std::string(kUsage);
    }
  }
  if (options.hostDir.empty())
    return std::string(kUsage);
  if (options.missing >= options.parts)
    return "--missing must be below --parts (the top part is always written)";
  return {};
}

// Breadth first: each part takes up to `fanout` components until the depth limit; when no part
// has room left, the parts above the limit take more.
std::vector<Node> BuildTree(const Options& options, Random& random) {
  std::vector<Node> nodes(static_cast<std::size_t>(options.parts));
  const int depthLimit = options.depth == 0 ? options.parts : options.depth;
  std::vector<int> open;  // parts above the depth limit, for the overflow
  open.push_back(0);
  std::size_t overflow = 0;
  int current = 0;
  int quota = options.fanout;
  for (int i = 1; i < options.parts; ++i) {
    while (current < i && (nodes[current].level >= depthLimit ||
                           static_cast<int>(nodes[current].components.size()) >= quota)) {
      ++current;
      quota = 1 + random.Below(options.fanout);
    }
    const int parent = current < i ? current : open[overflow++ % open.size()];
    Node& node = nodes[i];
    node.parent = parent;
    node.level = nodes[parent].level + 1;
    nodes[parent].components.push_back(i);
    if (node.level < depthLimit)
      open.push_back(i);
  }
  for (int i = options.parts - 1; i > 0; --i)
    nodes[nodes[i].parent].size += nodes[i].size;
  return nodes;
}

void AssignLooks(std::vector<Node>& nodes, Random& random) {
  // The first parts show every style and a Japanese folder even in a small assembly.
  const int offset = random.Below(kStyleCount);
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    Node& node = nodes[i];
    node.style =
        i <= kStyleCount ? (static_cast<int>(i) - 1 + offset) % kStyleCount : random.Below(kStyleCount);
    const int draw = random.Below(10);
    node.folder = draw < 7 ? 0 : draw - 6;
    if (i == 2)
      node.folder = 3;
    if (i == 3)
      node.folder = 1;
  }
}

// Missing files are leaves: a missing sub-assembly would hide its components from the assembly.
std::string ChooseMissing(std::vector<Node>& nodes, int count, Random& random) {
  std::vector<int> leaves;
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    if (nodes[i].components.empty())
      leaves.push_back(static_cast<int>(i));
  }
  if (static_cast<int>(leaves.size()) < count)
    return "only " + std::to_string(leaves.size()) + " parts of this shape can be missing";
  for (int k = 0; k < count; ++k) {
    const int pick = k + random.Below(static_cast<int>(leaves.size()) - k);
    std::swap(leaves[k], leaves[pick]);
    nodes[leaves[k]].missing = true;
  }
  return {};
}

// Shared sub-assemblies: small ones, used a second time under their own parent and once more under
// an earlier part (an earlier part is never a descendant, so no cycle arises). Kept small so the
// structure listing stays near the size of the assembly.
void ShareParts(std::vector<Node>& nodes, int fanout, Random& random) {
  const int count = static_cast<int>(nodes.size());
  std::vector<int> small;
  for (int i = 1; i < count; ++i) {
    if (nodes[i].size <= 2 * fanout + 1)
      small.push_back(i);
  }
  if (small.empty())
    return;
  const int shares = std::max(1, count / 250);
  for (int k = 0; k < shares; ++k) {
    const int twice = small[random.Below(static_cast<int>(small.size()))];
    nodes[nodes[twice].parent].components.push_back(twice);
  }
  for (int k = 0; k < shares; ++k) {
    for (int attempt = 0; attempt < 64; ++attempt) {
      const int shared = small[random.Below(static_cast<int>(small.size()))];
      if (shared < 2)
        continue;
      const int user = random.Below(shared);
      // A user above the shared part's level keeps the assembly within the depth limit.
      if (user == nodes[shared].parent || nodes[user].missing || nodes[user].level >= nodes[shared].level)
        continue;
      nodes[user].components.push_back(shared);
      break;
    }
  }
}

std::string FiveDigits(int value) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%05d", value);
  return digits;
}

int Fail(std::string_view message) {
  std::fprintf(stderr, "make-assembly: %.*s\n", static_cast<int>(message.size()), message.data());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::string problem = ParseOptions(argc, argv, options); !problem.empty())
    return Fail(problem);
  if (options.help) {
    std::printf("%.*s\n%.*s", static_cast<int>(kUsage.size()), kUsage.data(), static_cast<int>(kHelp.size()),
                kHelp.data());
    return 0;
  }

  namespace fs = std::filesystem;
  std::error_code error;
  // Host paths are UTF-8 with "/" between components, on every platform.
  const auto fsPath = [](const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
  };
  const fs::path root = fs::absolute(options.hostDir, error).lexically_normal();
  const std::u8string generic = root.generic_u8string();
  std::string hostRoot(generic.begin(), generic.end());
  while (hostRoot.size() > 1 && hostRoot.back() == '/')
    hostRoot.pop_back();
  fs::create_directories(fsPath(hostRoot), error);

  const platform::PathMap map = platform::PathMap::FromEnvironment();
  const platform::PathMap::Reverse top = map.ToWindows(hostRoot);
  if (!top.ok)
    return Fail("no Windows path for " + hostRoot + ": " + text::ToDisplayUtf8(top.reason));

  // Each folder and name style converted once: 50,000 names must not cost 50,000 conversions.
  std::vector<std::string> hostFolders{hostRoot == "/" ? std::string() : hostRoot};
  std::vector<std::string> windowsFolders{cad::WithoutFinalSeparator(top.windowsPath)};
  for (const std::string_view sub : kSubfolders) {
    hostFolders.push_back(hostFolders[0] + "/" + std::string(sub));
    windowsFolders.push_back(cad::JoinPath(windowsFolders[0], text::Cp932(sub)));
    fs::create_directories(fsPath(hostFolders.back()), error);
    if (error)
      return Fail("cannot create " + hostFolders.back() + ": " + error.message());
  }
  std::vector<std::string> stems;
  for (const Style& style : kStyles)
    stems.push_back(text::Cp932(style.stem));

  Random random(options.seed);
  std::vector<Node> nodes = BuildTree(options, random);
  AssignLooks(nodes, random);
  if (const std::string problem = ChooseMissing(nodes, options.missing, random); !problem.empty())
    return Fail(problem);
  ShareParts(nodes, options.fanout, random);

  std::vector<std::string> names(nodes.size());
  std::vector<std::string> hostNames(nodes.size());
  names[0] = hostNames[0] = "TopAssy.prt";
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    const Style& style = kStyles[nodes[i].style];
    const std::string suffix = "_" + FiveDigits(static_cast<int>(i)) + std::string(style.extension);
    names[i] = stems[nodes[i].style] + suffix;
    hostNames[i] = std::string(style.stem) + suffix;
  }

  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const Node& node = nodes[i];
    if (node.missing)
      continue;
    cad::Part part;
    part.savedAs = names[i];
    part.saves = 1;
    part.components.reserve(node.components.size());
    for (const int component : node.components) {
      const Node& child = nodes[component];
      // Same folder: mostly the empty folder, sometimes spelt out, as both occur in practice.
      const bool spelled = child.folder != node.folder || (component % 7) == 3;
      part.components.push_back({spelled ? windowsFolders[child.folder] : std::string(), names[component]});
    }
    const std::string path = hostFolders[node.folder] + "/" + hostNames[i];
    // A fresh folder is filled directly; a file left by an earlier run is replaced atomically.
    std::string problem = cad::CreatePartFile(path, part);
    if (!problem.empty() && platform::HostFileExists(path))
      problem = cad::WritePartFile(path, part);
    if (!problem.empty())
      return Fail("cannot write " + path + ": " + problem);
  }

  const std::string topPath = cad::JoinPath(windowsFolders[0], names[0]);
  const std::string printed = options.utf8 ? text::ToDisplayUtf8(topPath) : topPath;
  std::printf("%s\n", printed.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}
