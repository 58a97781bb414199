#pragma once
// The inputs a replay program runs its target over; generated from the files at configure time.

#include <cstddef>

namespace velmora::fuzzing {

struct ReplayInput {
  const char* name;  // relative to fuzz/
  const unsigned char* data;
  std::size_t size;
};

const ReplayInput* ReplayInputs();
std::size_t ReplayInputCount();

}  // namespace velmora::fuzzing
