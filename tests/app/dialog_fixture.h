#pragma once
// The main dialog on the drive fixture: its scripted UI plays the controls, and a host that can
// lose a file sits between the dialog and the fault-injecting one.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/main_dialog.h"
#include "platform/forwarding_host.h"
#include "platform/host.h"
#include "support/drive_fixture.h"
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

// Forwards to another host; once a batch whose command line contains `armOn` has been started, a
// file at `vanishing` (compared ignoring case) is no longer found, as if someone removed it.
class VanishingHost : public platform::ForwardingHost {
 public:
  explicit VanishingHost(platform::Host& inner) : ForwardingHost(inner) {}

  std::string armOn;
  std::string vanishing;

  std::optional<platform::FileStatus> Stat(std::string_view path) override;
  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override;

 private:
  bool armed_ = false;
};

// Public, so the tables of the parameterised tests can arrange a case.
class DialogFixture : public velmora::testing::DriveFixture {
 public:
  DialogFixture() { ui.Attach(&dialog.State()); }
  ~DialogFixture() override;

  operations::DialogState& State() { return dialog.State(); }
  partlist::PartList& List() { return dialog.State().partList; }

  // OnInitDialog.
  bool Init();
  // OnInitDialog with every tool found and the session open; the messages start empty.
  void Start();
  // Top.prt uses Mid.PRT and Sub\Leaf.prt; Mid.PRT uses Leaf.prt too. Started and listed, the
  // messages cleared, every file to be overwritten.
  void SmallAssembly();
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
  // Writes a stand-in part file (relative and every text UTF-8) whose components are given as
  // folder (Windows form without the final "\", may be empty) and name.
  void WritePart(std::string_view relative,
                 const std::vector<std::pair<std::string, std::string>>& components);
  // The part file's text as UTF-8.
  std::string ReadPart(std::string_view relative);
  // Every component of the part at the path resolves: ugpc.exe on it writes no error.
  ::testing::AssertionResult StructureResolves(const std::string& windowsPath);
  // The files ugpc.exe resolves the structure of the part to, one per line, lower-cased UTF-8;
  // empty when it fails.
  std::vector<std::string> StructurePaths(const std::string& windowsPath);
  // Every file on the drive but TEMP's: path below the drive as the disk spells it (UTF-8) to bytes.
  // Equal before and after a refused run, and after an undone one.
  std::map<std::string, std::string> DriveSnapshot() const;

  VanishingHost probe{host};
  // Ends a session it opened itself when the test leaves it open.
  MainDialog dialog{ui, probe, cad};
};

}  // namespace velmora::app::test
