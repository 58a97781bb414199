#pragma once
// Unit-test wiring for the structure reader and pass: the host held in memory (TEMP is D:\temp)
// behind a FaultHost, a scripted UI and a part list filled by hand.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "operations/context.h"
#include "operations/modes.h"
#include "platform/ufun_library.h"
#include "support/fault_cad.h"
#include "support/fault_host.h"
#include "support/memory_host.h"
#include "support/scripted_ui.h"

namespace velmora::operations::test {

class StructureFixture : public ::testing::Test {
 protected:
  static constexpr std::string_view kListingPath = "D:\\temp\\a-ugpc.txt";

  StructureFixture();

  // Rows by UTF-8 path ("C:\\w\\a.prt"), split at the last backslash.
  void AddRow(std::string_view path, std::string_view newName = {}, std::string_view newFolder = {});
  // Writes the listing (lines joined with CR LF, UTF-8 given) and opens it.
  platform::TextStream& Listing(const std::vector<std::string>& lines, bool finalLineBreak = true);
  platform::TextStream& ListingBytes(std::string bytes);
  bool Pass(PassMode passMode, std::string_view tailUtf8 = "実行は使用出来ません。");

  std::string Text(int row, int column) const;
  // The parent and number columns of every row, "parent/number" joined by blanks.
  std::string Numbers() const;
  std::string Edited() const;
  std::string Messages() const;

  velmora::testing::MemoryHost memory;
  velmora::testing::FaultHost host{memory};
  DialogState state;
  velmora::testing::ScriptedUi ui{&state};
  platform::UfunLibrary realCad;
  velmora::testing::FaultCad cad{realCad};
  Context context{state, ui, host, cad};
  std::unique_ptr<platform::TextStream> stream;
};

}  // namespace velmora::operations::test
