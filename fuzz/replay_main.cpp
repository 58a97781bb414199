// Runs a fuzz target over the inputs kept beside it (fuzz/findings and fuzz/seeds), built into the
// program so that it needs no path to the sources: a finding that once broke the target stays fixed.
// A broken input traps or aborts as under the fuzzer; the last name printed is the one.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "replay_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main() {
  using velmora::fuzzing::ReplayInput;
  const std::size_t count = velmora::fuzzing::ReplayInputCount();
  const ReplayInput* const inputs = velmora::fuzzing::ReplayInputs();
  for (std::size_t i = 0; i < count; ++i) {
    std::printf("%s\n", inputs[i].name);
    std::fflush(stdout);
    // A copy of exactly its size, as the fuzzer hands it over, so a read past the end is caught.
    const std::vector<std::uint8_t> bytes(inputs[i].data, inputs[i].data + inputs[i].size);
    static_cast<void>(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()));
  }
  std::printf("%zu inputs replayed\n", count);
  return count == 0 ? 1 : 0;
}
