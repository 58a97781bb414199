#pragma once
// Unit-test wiring for the structure reader and pass: a host held in memory (files keyed by their
// lower-cased path, read in text mode) behind a FaultHost, a scripted UI and a part list filled by
// hand.

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
#include "support/scripted_ui.h"

namespace velmora::operations::test {

class StructureMemoryHost : public platform::Host {
 public:
  std::map<std::string, std::string> files;  // lower-cased Windows path -> bytes as on disk
  std::optional<std::string> temp = std::string("D:\\temp");

  void Put(std::string_view path, std::string bytes);
  bool Has(std::string_view path) const;

  std::optional<std::string> GetEnv(std::string_view name) override;
  std::optional<platform::FileStatus> Stat(std::string_view path) override;
  bool Remove(std::string_view path) override;
  bool CopyFile(std::string_view source, std::string_view destination, bool failIfExists) override;
  bool Rename(std::string_view source, std::string_view destination) override;
  std::unique_ptr<platform::TextStream> Open(std::string_view path, platform::OpenMode mode) override;
  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override;
  platform::WindowsPath ToWindowsPath(std::string_view) override { return {}; }
  std::optional<std::string> ToHostPath(std::string_view) override { return std::nullopt; }
};

class StructureFixture : public ::testing::Test {
 protected:
  static constexpr std::string_view kListingPath = "D:\\temp\\a-ugpc.txt";

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

  StructureMemoryHost memory;
  velmora::testing::FaultHost host{memory};
  DialogState state;
  velmora::testing::ScriptedUi ui{&state};
  platform::UfunLibrary realCad;
  velmora::testing::FaultCad cad{realCad};
  Context context{state, ui, host, cad};
  std::unique_ptr<platform::TextStream> stream;
};

}  // namespace velmora::operations::test
