#pragma once
// Test tables name the modes as the tools spell them.

#include <gtest/gtest.h>

#include <string_view>

#include "toolrunner/batch_runner.h"

namespace velmora::toolrunner {

inline ToolMode ModeSpelt(std::string_view spelling) {
  for (const ToolModeSpelling& entry : kToolModes) {
    if (entry.spelling == spelling)
      return entry.mode;
  }
  ADD_FAILURE() << "no tool mode is spelt " << spelling;
  return ToolMode::List;
}

}  // namespace velmora::toolrunner
