// The whole-plan and result checks of a run: an existing file that would drop components, paths a
// run cannot make, a bulk run whose tool did not respell what it should, and no progress shown
// for a run refused before its first write.

#include <string>

#include "dialog_fixture.h"
#include "partlist/marks.h"
#include "resources/messages/operations.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "text/mbstring.h"

namespace velmora::app::test {
namespace {

using operations::Operation;

class RunChecksTest : public DialogFixture {
 protected:
  void Load(const std::string& top) {
    Start();
    ASSERT_TRUE(ChooseInputPart(top));
    ui.messages.clear();
    ui.controlOptions.overwriteAll = 1;
    ui.controlOptions.swapInputAfterRun = 0;
  }
  // Refused with `message`, nothing written, no progress shown, nothing left in TEMP.
  void ExpectRefused(Operation operation, const std::string& message) {
    const auto before = DriveSnapshot();
    ui.messages.clear();
    Execute(operation);
    EXPECT_EQ(ui.messages, std::vector<std::string>{message});
    EXPECT_EQ(DriveSnapshot(), before);
    EXPECT_TRUE(ui.progressTotals.empty());
    EXPECT_EQ(drive.TempFiles(), std::vector<std::string>());
  }
  int MarkedX() {
    int marked = 0;
    for (int row = 0; row < List().RowCount(); ++row)
      marked += List().Text(row, partlist::kEdited) == partlist::kMarkX ? 1 : 0;
    return marked;
  }
};

// --- An existing file at a new path that lacks components is never used -------------------------

TEST_F(RunChecksTest, ExistingUnrelatedTargetRefusesTheRunAndInspectionCountsItsMarks) {
  const std::string top = drive.MakeAssembly("gen", "--parts 40 --seed 11");
  WritePart("gen/Stray.prt", {});
  Load(top);
  List().SetText(RowOf("SHAFT_00004.PRT"), partlist::kNewPartName, Cp("Stray.prt"));
  const std::string refusal =
      Msg("変更後の Stray.prt ファイルが既に有りますが， 能力部品_00011.prt を参照していません。\n　",
          msg::kTailRunRefused);
  ExpectRefused(Operation::Change, refusal);
  ExpectRefused(Operation::UpperAllParts, refusal);

  // Without overwriting, with the top part renamed too: the same refusal, not a merge.
  ui.controlOptions.overwriteAll = 0;
  List().SetText(0, partlist::kNewPartName, Cp("NewTop.prt"));
  ExpectRefused(Operation::Change, refusal);

  ui.messages.clear();
  Execute(Operation::Inspect);
  const int marked = MarkedX();
  EXPECT_GE(marked, 2);
  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             text::ToDisplayUtf8(msg::kInspectCompletedWithMarks(text::FormatInt(marked)))});
}

// --- Paths a run would make over the limit ---------------------------------------------------------

// TEMP is D:\temp (7 bytes): a 240-byte stem fits as a part file in D:\asm\, but not with a mode.
class LongNameTest : public RunChecksTest {
 protected:
  void SetUp() override {
    longName = std::string(240, 'L');
    WritePart("asm/child.prt", {});
    WritePart("asm/" + longName + ".prt", {{"", "child.prt"}});
    WritePart("asm/top.prt", {{"", longName + ".prt"}});
    Load(drive.Win("asm/top.prt"));
  }
  std::string longName;
};

TEST_F(LongNameTest, AParentWhoseReferenceEditWouldNotFitRefusesBeforeAnyWrite) {
  List().SetText(RowOf("child.prt"), partlist::kNewPartName, Cp("child2.prt"));
  ExpectRefused(Operation::Change,
                Msg(longName + ".prt", " の作業ファイルのパスが 259 バイトを超えます。\n",
                    "D:\\temp\\" + longName + "-change_name.bat\n　", msg::kTailRunRefused));
}

TEST_F(LongNameTest, ABulkRunWhoseWorkFilesWouldNotFitRefusesBeforeAnyWrite) {
  ExpectRefused(Operation::LowerAllParts,
                Msg(longName + ".prt", " の作業ファイルのパスが 259 バイトを超えます。\n",
                    "D:\\temp\\" + longName + "-lower_name.bat\n　", msg::kTailRunRefused));
}

TEST_F(RunChecksTest, AGatheredPartWhosePathWouldNotFitRefusesBeforeAnyWrite) {
  const std::string deep = "deep/" + std::string(60, 'd');
  const std::string name = std::string(200, 'N') + ".prt";
  WritePart("asm/" + name, {});
  WritePart(deep + "/top.prt", {{"D:\\asm", name}});
  Load(drive.Win(deep + "/top.prt"));
  ui.controlOptions.copyMissingFiles = 1;
  ui.controlOptions.allowReplaceAll = 1;
  ExpectRefused(
      Operation::RemoveAllFolders,
      Msg(name, " の変更後のパスが 259 バイトを超えます。\n",
          text::ToDisplayUtf8(text::ToLower(drive.Win(deep))) + "\\" + name + "\n　", msg::kTailRunRefused));
}

// --- A refusal before the first write shows no progress ---------------------------------------------

TEST_F(RunChecksTest, TheDefaultOptionsFirstRefusalOpensNoProgress) {
  Load(drive.MakeAssembly("gen", "--parts 40 --seed 11"));
  ui.controlOptions = {};
  ui.controlOptions.swapInputAfterRun = 0;
  List().SetText(RowOf("SHAFT_00004.PRT"), partlist::kNewPartName, Cp("Shaft_new.prt"));
  ExpectRefused(Operation::Change, Msg(msg::kInputPartExists, msg::kTailRunRefused));
}

// --- A bulk tool that did not respell the references ---------------------------------------------

// Runs another of the tool's options than the one asked for: the batch file is rewritten just before
// it starts.
class SwappedOptionHost : public platform::ForwardingHost {
 public:
  SwappedOptionHost(platform::Host& inner, std::string asked, std::string run)
      : ForwardingHost(inner), asked_(std::move(asked)), run_(std::move(run)) {}

  std::unique_ptr<platform::Process> StartBatch(std::string_view commandLine) override {
    std::string bat(commandLine);
    std::erase(bat, '"');
    if (bat.ends_with(asked_ + ".bat")) {
      std::optional<platform::FileContent> content = Inner().ReadFile(bat);
      if (content) {
        std::string text = content->bytes;
        std::erase(text, '\r');
        const std::size_t at = text.find(" " + asked_ + " ");
        if (at != std::string::npos)
          text.replace(at + 1, asked_.size(), run_);
        const std::unique_ptr<platform::TextStream> out = Inner().Open(bat, platform::OpenMode::WriteText);
        out->Puts(text);
        static_cast<void>(out->Close());
      }
    }
    return Inner().StartBatch(commandLine);
  }

 private:
  std::string asked_;
  std::string run_;
};

struct IdleCase {
  const char* name;
  Operation operation;
  const char* asked;
  const char* run;
  int swap;
};

class IdleToolTest : public RunChecksTest, public ::testing::WithParamInterface<IdleCase> {};

TEST_P(IdleToolTest, ReferencesLeftAsTheyWereAreReported) {
  const IdleCase& c = GetParam();
  const std::string top = drive.MakeAssembly("gen", "--parts 20 --seed 5");
  SwappedOptionHost swapped(probe, c.asked, c.run);
  MainDialog idle(ui, swapped, cad);
  ui.Attach(&idle.State());
  ASSERT_TRUE(idle.OnInitDialog());
  ui.files.push_back(top);
  idle.BrowseInputPart();
  ui.messages.clear();
  ui.controlOptions.overwriteAll = 1;
  ui.controlOptions.swapInputAfterRun = c.swap;
  ui.controlOperation = c.operation;
  idle.OnExecute();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].starts_with(std::string(msg::kRunFinishedMisspelt) + "\n")) << ui.messages[0];
  EXPECT_TRUE(ui.messages[0].ends_with(msg::kRunFinishedCheckResult)) << ui.messages[0];
  ui.Attach(&dialog.State());
}

INSTANTIATE_TEST_SUITE_P(
    Bulk, IdleToolTest,
    ::testing::Values(IdleCase{"LowerNamesListed", Operation::LowerAllParts, "-lower_name", "-lower_dir", 0},
                      IdleCase{"UpperNamesRebuilt", Operation::UpperAllParts, "-upper_name", "-lower_dir", 1},
                      IdleCase{"LowerFoldersListed", Operation::LowerAllFolders, "-lower_dir", "-lower_name",
                               0}),
    [](const ::testing::TestParamInfo<IdleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::app::test
