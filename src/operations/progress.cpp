#include "operations/progress.h"

#include <string>

#include "resources/messages/operations.h"

namespace velmora::operations {

void RunProgress::Begin(int total) {
  End();
  cancelled_ = false;
  // A run without a point between two files (a lone part) has nothing to show.
  if (total <= 0)
    return;
  active_ = true;
  step_ = 0;
  ui_->BeginProgress(total);
}

void RunProgress::End() {
  if (!active_)
    return;
  active_ = false;
  ui_->EndProgress();
}

bool RunProgress::Reached(std::string_view fileName, bool newFile, std::string_view messageTail) {
  if (!active_)
    return false;
  if (newFile)
    ++step_;
  if (!ui_->Progress(step_, fileName))
    return false;
  cancelled_ = true;
  // The box must not wait behind the progress window.
  End();
  ui_->ShowMessage(msg::kRunCancelled(messageTail));
  return true;
}

}  // namespace velmora::operations
