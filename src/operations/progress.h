#pragma once
// The steps of a run that writes, handed to the user interface: one per file the run works on,
// counted across its passes. Outside Begin and End every point passes unseen, so a pass run on its
// own (inspection, tests) asks nobody.

#include <string_view>

#include "platform/ui.h"

namespace velmora::operations {

class RunProgress {
 public:
  explicit RunProgress(platform::Ui& ui) : ui_(&ui) {}
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  void Begin(int total);
  void End();

  // A point between two files, before the work on fileName (cp932). newFile counts it as the next
  // step; a file met again (a part used twice) is no new step. True when the user asked to stop:
  // the progress has ended and the message, with messageTail, has been shown.
  [[nodiscard]] bool Reached(std::string_view fileName, bool newFile, std::string_view messageTail);
  // The run was stopped at the user's request.
  [[nodiscard]] bool Cancelled() const { return cancelled_; }

 private:
  platform::Ui* ui_;
  bool active_ = false;
  bool cancelled_ = false;
  int step_ = 0;
};

// End on every way out. The run begins the progress once its checks have passed: a run refused
// before its first write shows no progress at all.
class ProgressScope {
 public:
  explicit ProgressScope(RunProgress& progress) : progress_(&progress) {}
  ~ProgressScope() { progress_->End(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  RunProgress* progress_;
};

}  // namespace velmora::operations
