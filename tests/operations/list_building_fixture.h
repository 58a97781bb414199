#pragma once
// A drive D: with the stand-in tools, a fault-injecting host over the real one, a scripted UI and
// the dialog state, wired into an operations context. Shared by the list-building, replacement and
// bulk tests.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <string_view>

#include "operations/context.h"
#include "operations/dialog_state.h"
#include "platform/host.h"
#include "platform/ufun_library.h"
#include "support/fault_cad.h"
#include "support/fault_host.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::operations::test {

inline std::string Cp(std::string_view utf8) {
  return text::Cp932(utf8);
}

class OperationsFixture : public ::testing::Test {
 protected:
  OperationsFixture() {
    state.editToolPath = drive.EditTool();
    state.pcToolPath = drive.PcTool();
    // Re-saving needs the library's session, as the dialog opens it at start.
    EXPECT_TRUE(session.Open());
  }

  // A shell script under D:\tools in place of a tool, so a test controls what the tool prints.
  // Returns its Windows path.
  std::string FakeTool(std::string_view name, std::string_view body) {
    const std::string relative = "tools/" + std::string(name);
    drive.WriteFile(relative, "#!/bin/sh\n" + std::string(body) + "\n");
    chmod(drive.Host(relative).c_str(), 0755);
    return drive.Win(relative);
  }

  void AddRow(std::string_view name, std::string_view folder, std::string_view newName = {},
              std::string_view newFolder = {}) {
    partlist::PartRow row;
    row.partName = std::string(name);
    row.folderName = std::string(folder);
    row.newPartName = std::string(newName);
    row.newFolderName = std::string(newFolder);
    row.itemData = state.partList.RowCount();
    state.partList.InsertRow(state.partList.RowCount(), std::move(row));
  }

  std::string Text(int row, int column) const {
    return text::ToDisplayUtf8(state.partList.Text(row, column));
  }

  // Declared in construction order: the host reads the drive mapping that TempDrive sets.
  velmora::testing::TempDrive drive;
  platform::RealHost realHost;
  velmora::testing::FaultHost host{realHost};
  DialogState state;
  velmora::testing::ScriptedUi ui{&state};
  platform::UfunLibrary realCad;
  velmora::testing::FaultCad cad{realCad};
  Context context{state, ui, host, cad};
  platform::CadSession session{cad};
};

}  // namespace velmora::operations::test
