#pragma once
// The drive fixture's host, library and UI wired with a dialog state into an operations context,
// the tools' paths set and the library's session open. Shared by the list-building, replacement,
// bulk and structure tests.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <string_view>

#include "operations/context.h"
#include "operations/dialog_state.h"
#include "platform/ufun_library.h"
#include "support/drive_fixture.h"
#include "text/codec.h"

namespace velmora::operations::test {

inline std::string Cp(std::string_view utf8) {
  return text::Cp932(utf8);
}

class OperationsFixture : public velmora::testing::DriveFixture {
 protected:
  OperationsFixture() {
    ui.Attach(&state);
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

  DialogState state;
  Context context{state, ui, host, cad};
  platform::CadSession session{cad};
};

}  // namespace velmora::operations::test
