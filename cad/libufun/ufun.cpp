// The stand-in CAD library behind the C interface the program calls. Only the UF_ functions are
// exported, so a site's own bridge can take this library's place.

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

#include "cad/part/part_file.h"
#include "cad/part/win_name.h"
#include "cad/tools/tool_io.h"
#include "platform/posix_file.h"
#include "platform/win_path.h"
#include "text/codec.h"

#pragma GCC visibility push(default)
#include "ufun.h"
#pragma GCC visibility pop

namespace {

using namespace velmora;

constexpr int kFailed = 1;

// The fields the program sets (0, 8 and 10) start at values it must change; the rest are fixed.
uf_assem_options_t DefaultOptions() {
  uf_assem_options_t options{};
  options.values[0] = 1;
  options.values[1] = 1;
  options.values[8] = 0;
  options.values[10] = 0;
  return options;
}

struct OpenPart {
  std::string hostPath;
  cad::Part part;
  uf_tag_t tag = 0;
};

// A C library keeps its session between calls; this is that state, and the only state.
struct Library {
  std::mutex mutex;
  bool session = false;
  uf_assem_options_t options = DefaultOptions();
  std::vector<OpenPart> parts;  // the last one is the part opened last, the one UF_PART_save saves
  // Host paths of every part file an open has brought into the session, components included.
  std::unordered_set<std::string> loaded;
  uf_tag_t nextTag = 1;
  // The drive mapping with its folder cache, kept while the variables it was read from stay the same.
  std::optional<platform::PathMap> paths;
  std::string pathsFrom;
};

Library& State() {
  static Library library;
  return library;
}

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string("\x01") : std::string(value);
}

// Called with the library's mutex held.
const platform::PathMap& Paths(Library& library) {
  std::string from = EnvValue("VELMORA_DRIVES") + '\0' + EnvValue("VELMORA_UNC_ROOT");
  if (!library.paths || from != library.pathsFrom) {
    library.paths.emplace(platform::PathMap::FromEnvironment());
    library.pathsFrom = std::move(from);
  }
  return *library.paths;
}

// One line per call into VELMORA_UF_LOG, so tests can check which calls came in which order.
void Log(std::string_view call, std::string_view detail = {}) {
  const char* path = std::getenv("VELMORA_UF_LOG");
  if (path == nullptr || *path == '\0')
    return;
  std::string line(call);
  if (!detail.empty())
    line.append(" ").append(detail);
  line.push_back('\n');
  platform::FileDescriptor log(platform::OpenHostFile(path, platform::HostOpen::Append));
  if (log.Get() >= 0)
    (void)platform::WriteAll(log.Get(), line);
}

// Logs the call and tells whether VELMORA_UF_FAIL makes it fail.
bool Enter(std::string_view call, std::string_view detail = {}) {
  Log(call, detail);
  return cad::Injected("VELMORA_UF_FAIL", call);
}

// Brings the opened part and, when the load options say to load the whole assembly (the first field
// at 2, as the program sets it), every component it reaches into the session, each file once until
// all parts are closed. The stand-in keeps only the count: it waits VELMORA_UF_OPEN_MS_PER_PART ms
// per file, as a real system spends its time loading, and writes one line per file into
// VELMORA_UF_LOAD_LOG. Called with the library's mutex held.
void LoadReached(Library& library, std::string_view windowsPath, const std::string& hostPath,
                 const cad::Part& part) {
  std::string lines;
  const auto load = [&](std::string_view path, const std::string& host) {
    if (!library.loaded.insert(host).second)
      return false;
    lines.append("load ").append(path).push_back('\n');
    return true;
  };
  struct Pending {
    std::string folder;
    cad::Part part;
  };
  std::vector<Pending> pending;
  if (load(windowsPath, hostPath) && library.options.values[0] == 2)
    pending.push_back({cad::SplitPath(windowsPath).folder, part});
  while (!pending.empty()) {
    const Pending current = std::move(pending.back());
    pending.pop_back();
    for (const cad::Reference& reference : current.part.components) {
      const std::string path =
          cad::JoinPath(reference.folder.empty() ? current.folder : reference.folder, reference.name);
      const std::optional<std::string> host = Paths(library).ToHost(path);
      if (!host || library.loaded.contains(*host))
        continue;
      cad::ReadResult read = cad::ReadPartFile(*host);
      if (read.status == cad::ReadStatus::Ok && load(path, *host))
        pending.push_back({cad::SplitPath(path).folder, std::move(read.part)});
    }
  }
  if (lines.empty())
    return;
  if (const char* log = std::getenv("VELMORA_UF_LOAD_LOG"); log != nullptr && *log != '\0') {
    platform::FileDescriptor file(platform::OpenHostFile(log, platform::HostOpen::Append));
    if (file.Get() >= 0)
      (void)platform::WriteAll(file.Get(), lines);
  }
  const long long files = static_cast<long long>(std::count(lines.begin(), lines.end(), '\n'));
  if (const int perPart = cad::InjectedMilliseconds("VELMORA_UF_OPEN_MS_PER_PART"); perPart > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(files * perPart));
}

// The file name as it is on disk, which is the name the part is saved under.
std::string SavedName(const std::string& hostPath) {
  const std::string base = hostPath.substr(hostPath.rfind('/') + 1);
  const text::CodecResult name = text::Utf8ToCp932(base);
  return name.ok ? name.text : std::string();
}

}  // namespace

extern "C" {

int UF_initialize(void) {
  if (Enter("UF_initialize"))
    return kFailed;
  Library& library = State();
  const std::lock_guard lock(library.mutex);
  if (!library.session) {
    library.session = true;
    library.options = DefaultOptions();
  }
  return 0;
}

int UF_terminate(void) {
  if (Enter("UF_terminate"))
    return kFailed;
  Library& library = State();
  const std::lock_guard lock(library.mutex);
  if (!library.session)
    return kFailed;
  library.session = false;
  library.parts.clear();
  library.loaded.clear();
  return 0;
}

int UF_PART_open(const char* part_path, uf_tag_t* part, uf_load_status_t* status) {
  if (part != nullptr)
    *part = 0;
  if (status != nullptr)
    *status = uf_load_status_t{1, 0, {}};
  if (Enter("UF_PART_open", part_path != nullptr ? std::string_view(part_path) : "(null)") ||
      part_path == nullptr)
    return kFailed;
  Library& library = State();
  const std::lock_guard lock(library.mutex);
  if (!library.session)
    return kFailed;
  const std::optional<std::string> host = Paths(library).ToHost(part_path);
  if (!host)
    return kFailed;

  OpenPart opened;
  for (auto it = library.parts.begin(); it != library.parts.end(); ++it) {
    if (it->hostPath == *host) {
      // Already loaded: the loaded part becomes the work part again, as it is in memory.
      opened = std::move(*it);
      library.parts.erase(it);
      break;
    }
  }
  if (opened.tag == 0) {
    cad::ReadResult read = cad::ReadPartFile(*host);
    if (read.status != cad::ReadStatus::Ok)
      return kFailed;
    opened.hostPath = *host;
    opened.part = std::move(read.part);
    opened.tag = library.nextTag++;
  }
  LoadReached(library, part_path, *host, opened.part);
  if (part != nullptr)
    *part = opened.tag;
  if (status != nullptr)
    *status = uf_load_status_t{0, 1, {}};
  library.parts.push_back(std::move(opened));
  return 0;
}

int UF_PART_save(void) {
  if (Enter("UF_PART_save"))
    return kFailed;
  Library& library = State();
  const std::lock_guard lock(library.mutex);
  if (library.parts.empty())
    return kFailed;
  OpenPart& work = library.parts.back();
  cad::Part saved = work.part;
  if (saved.saves == INT_MAX)
    return kFailed;
  saved.savedAs = SavedName(work.hostPath);
  ++saved.saves;
  if (!cad::WritePartFile(work.hostPath, saved).empty())
    return kFailed;
  work.part = std::move(saved);
  return 0;
}

int UF_PART_close_all(void) {
  if (Enter("UF_PART_close_all"))
    return kFailed;
  Library& library = State();
  const std::lock_guard lock(library.mutex);
  library.parts.clear();
  library.loaded.clear();
  return 0;
}

int UF_ASSEM_ask_assem_options(uf_assem_options_t* options) {
  if (Enter("UF_ASSEM_ask_assem_options") || options == nullptr)
    return kFailed;
  Library& library = State();
  const std::lock_guard lock(library.mutex);
  *options = library.options;
  return 0;
}

int UF_ASSEM_set_assem_options(const uf_assem_options_t* options) {
  const std::string detail = options == nullptr ? std::string("(null)")
                                                : std::to_string(options->values[0]) + "/" +
                                                      std::to_string(options->values[8]) + "/" +
                                                      std::to_string(options->values[10]);
  if (Enter("UF_ASSEM_set_assem_options", detail) || options == nullptr)
    return kFailed;
  Library& library = State();
  const std::lock_guard lock(library.mutex);
  library.options = *options;
  return 0;
}

}  // extern "C"
