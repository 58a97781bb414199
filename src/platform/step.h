#pragma once
// The result of a step of a run that can fail. A step that failed has shown its message, so its
// caller only stops; nothing is shown twice.

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace velmora {

enum class [[nodiscard]] Step{Done, Failed};

// Shows the message (composed by its factory): the failure of a step.
inline Step ShowFailure(platform::Ui& ui, std::string_view message) {
  ui.ShowMessage(message);
  return Step::Failed;
}
template <msg::IsNamed Message>
Step ShowFailure(platform::Ui& ui, const Message& message) = delete;

}  // namespace velmora
