#pragma once
// The main dialog on a drive D: with the stand-in CAD installation, a fault-injecting host over the
// real one and a scripted UI that plays the controls.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/main_dialog.h"
#include "platform/host.h"
#include "support/fault_host.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"
#include "text/codec.h"

namespace velmora::app::test {

inline std::string Cp(std::string_view utf8) {
  return text::Cp932(utf8);
}

// A message as the scripted UI records it: pieces joined, in UTF-8.
inline std::string Msg(std::string_view a, std::string_view b = {}, std::string_view c = {},
                       std::string_view d = {}) {
  return std::string(a) + std::string(b) + std::string(c) + std::string(d);
}

class DialogFixture : public ::testing::Test {
 protected:
  DialogFixture() { ui.Attach(&dialog.State()); }
  ~DialogFixture() override;

  operations::DialogState& State() { return dialog.State(); }
  partlist::PartList& List() { return dialog.State().partList; }

  // OnInitDialog; the fixture closes a session it opened at the end of the test.
  bool Init();
  // OnInitDialog with every tool found and the session open; the messages start empty.
  void Start();
  // OnCancel, answered by the scripted UI.
  bool Quit();
  // Appends a row as list building would, without running a tool.
  void AddRow(std::string_view name, std::string_view folder, std::string_view newName = {},
              std::string_view newFolder = {});
  // The cell as UTF-8.
  std::string Cell(int row, int column) { return text::ToDisplayUtf8(List().Text(row, column)); }
  // Chooses the input part through its browse button; true when the list was built.
  bool ChooseInputPart(const std::string& windowsPath);
  // Presses "実行" with the given operation chosen on the controls.
  void Execute(operations::Operation operation);
  // The row whose part name (UTF-8) is given, or -1.
  int RowOf(std::string_view partNameUtf8);
  // Every component of the part at the path resolves: ugpc.exe on it writes no error.
  ::testing::AssertionResult StructureResolves(const std::string& windowsPath);

  // Declared in construction order: the host reads the drive mapping that TempDrive sets.
  velmora::testing::TempDrive drive;
  platform::RealHost realHost;
  velmora::testing::FaultHost host{realHost};
  velmora::testing::ScriptedUi ui;
  MainDialog dialog{ui, host};

 private:
  bool sessionOpen_ = false;
};

}  // namespace velmora::app::test
