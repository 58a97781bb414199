#pragma once
// --log FILE: what a run wrote, one CSV line per write (copied, edited, re-saved), taken from the
// run's own journal as the handlers write it, and the copies' sources from the host calls they
// make. Nothing of the run's rules is repeated here.

#include <fstream>
#include <memory>
#include <string>

#include "platform/host.h"

namespace velmora::cli {

class RunLog {
 public:
  // logPath: a host path (UTF-8), truncated now so that a log that cannot be written stops the
  // command before it starts.
  RunLog(platform::Host& host, const std::string& logPath);
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  [[nodiscard]] bool Opened() const;
  // The host the handlers are to see.
  [[nodiscard]] platform::Host& Host();
  // The lines of every write the journals of this process recorded.
  void Write();

 private:
  class Watching;
  std::unique_ptr<Watching> host_;
  std::ofstream out_;
};

}  // namespace velmora::cli
