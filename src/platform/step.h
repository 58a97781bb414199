#pragma once
// The result of a step of a run that can fail. A step that failed has shown its message, so its
// caller only stops; nothing is shown twice.

#include <string>
#include <string_view>

#include "platform/ui.h"
#include "text/codec.h"

namespace velmora {

enum class [[nodiscard]] Step{Done, Failed};

// Shows message (UTF-8, one of the named messages) followed by the tail (cp932): the failure of a
// step.
inline Step ShowFailure(platform::Ui& ui, std::string_view message, std::string_view messageTail = {}) {
  ui.ShowMessage(text::Cp932(message) + std::string(messageTail));
  return Step::Failed;
}

}  // namespace velmora
