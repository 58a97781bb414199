#pragma once
// End-to-end wiring for the structure pass and the inspection: the operations fixture with
// hand-made or generated assemblies, and the ugpc branch of a change run driven as the execute
// button drives it.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "list_building_fixture.h"
#include "operations/context.h"

namespace velmora::operations::test {

class StructureE2e : public OperationsFixture {
 protected:
  ~StructureE2e() override;

  // A part file below the drive (relative UTF-8 path); components as (Windows folder, name) in
  // UTF-8, an empty folder meaning the part's own folder.
  void WritePart(std::string_view relative,
                 const std::vector<std::pair<std::string, std::string>>& components);
  // The components of a part file as "folder|name" (UTF-8).
  std::vector<std::string> Components(std::string_view relative) const;
  void MakeFolder(std::string_view relative) const;

  // Chooses the input part (UTF-8 Windows path) and builds the list from it.
  void Load(std::string_view inputPath);
  int Row(std::string_view partName) const;  // UTF-8 name; fails the test when absent
  void Rename(std::string_view partName, std::string_view newName, std::string_view newFolder = {});

  // The ugpc branch of a change run: refresh, check pass, perform pass when something changes,
  // close. True when it failed (after its message).
  bool Change(Operation operation = Operation::Change, const std::function<void()>& betweenPasses = {});
  // The full inspection.
  void Inspect();

  // The indented structure of a part as ugpc lists it (UTF-8 lines), run through the batch runner.
  std::vector<std::string> Structure(std::string_view windowsPath);
  // Every file below the drive but TEMP, with its bytes.
  std::map<std::string, std::string> Snapshot() const;
  // Every line of a structure names an existing file; returns the lines' paths, lower-cased.
  std::vector<std::string> ExpectResolves(const std::vector<std::string>& lines);

  std::string Column(int column) const;  // the column of every row, "-" for empty, joined
  std::string Messages() const;
};

}  // namespace velmora::operations::test
