#pragma once
// The main dialog's template: every control with its id, kind, caption and place in dialog units,
// in tab order. The window is built from it and the tests check the window against it.

#include <span>
#include <string_view>

#include "app/control_ids.h"

namespace velmora::app::qt {

enum class ControlKind { Label, PathField, Button, DefaultButton, Check, Group, Radio, List };

struct ControlSpec {
  ControlId id;
  ControlKind kind;
  std::string_view caption;  // UTF-8; empty for the path fields and the list
  int x, y, width, height;
  const char* name;  // the widget's object name
};

inline constexpr int kTemplateWidth = 562;
inline constexpr int kTemplateHeight = 185;

[[nodiscard]] std::span<const ControlSpec> DialogTemplate();

// Dialog units to pixels with the dialog font's base units.
[[nodiscard]] int UnitsToPixelsX(int units);
[[nodiscard]] int UnitsToPixelsY(int units);

}  // namespace velmora::app::qt
