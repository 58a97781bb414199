// Runs in processes of their own sharing one TEMP, against the journal's promises: two runs started
// at seeded offsets each keep their own journal, and undoing both brings both assemblies back byte
// for byte; undo while another process runs refuses and changes nothing; and a file edited by hand
// after a kill is never lost to undo. VELMORA_JOURNAL_PAIRS (20 by default; 100 is the full run),
// VELMORA_KILL_COUNT (8; 100) and VELMORA_KILL_SEED widen or replay them.

#include <gtest/gtest.h>

#include <iostream>
#include <random>

#include "kill/driver.h"
#include "support/drive_fixture.h"
#include "text/codec.h"

namespace velmora::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kUndone = "直前の実行を元に戻しました。";
constexpr std::string_view kNothing = "元に戻せる実行が有りません。";
constexpr std::string_view kInProgress = "別の velmora で実行が進行中です。";

class JournalProcessTest : public velmora::testing::DriveFixture {
 protected:
  void Make(const std::string& folder, const std::string& arguments) {
    inputs_[folder] = drive.MakeAssembly(folder, arguments);
    ASSERT_FALSE(inputs_[folder].empty());
    fs::copy(drive.Host(folder), drive.Host("pristine-" + folder), fs::copy_options::recursive);
    originals_[folder] = Parts(drive.Host(folder), drive);
  }

  void Reset() {
    for (const auto& [folder, input] : inputs_) {
      fs::remove_all(drive.Host(folder));
      fs::copy(drive.Host("pristine-" + folder), drive.Host(folder), fs::copy_options::recursive);
    }
    fs::remove_all(drive.Host("temp"));
    fs::create_directories(drive.Host("temp"));
  }

  bool AllOriginal() {
    for (const auto& [folder, parts] : originals_) {
      if (Parts(drive.Host(folder), drive) != parts)
        return false;
    }
    return true;
  }

  // Undoes run after run in fresh processes until nothing is left; the messages of the last.
  std::string UndoAll(const std::string& input) {
    std::string output;
    for (int i = 0; i < 4; ++i) {
      output = RunToEnd("undo", input);
      if (output.find(kUndone) == std::string::npos)
        break;
    }
    return output;
  }

  // The last path a journal names (UTF-8, below the drive).
  std::string LastWritten() {
    std::string last;
    for (const auto& entry : fs::directory_iterator(drive.Host("temp/velmora-journal"))) {
      if (entry.path().extension() != ".jnl")
        continue;
      const std::string journal = drive.ReadFile("temp/velmora-journal/" + entry.path().filename().string());
      for (std::size_t at = journal.find("write\t"); at != std::string::npos; at = journal.find("\nwrite\t", at + 1)) {
        std::size_t field = at;
        for (int i = 0; i < 3; ++i)
          field = journal.find('\t', field) + 1;
        last = journal.substr(field, journal.find('\t', field) - field);
      }
    }
    if (last.size() < 3)
      return {};
    std::string relative = text::ToDisplayUtf8(last.substr(3));
    for (char& c : relative)
      c = c == '\\' ? '/' : c;
    return relative;
  }

  std::map<std::string, std::string> inputs_;
  std::map<std::string, std::map<std::string, std::string>> originals_;
};

TEST_F(JournalProcessTest, TwoRunsSharingTempEachUndoToTheirOwnOriginals) {
  Make("one", "--parts 20 --seed 21");
  Make("two", "--parts 20 --seed 22");
  const unsigned long seed = EnvNumber("VELMORA_KILL_SEED", std::random_device()());
  const unsigned long pairs = EnvNumber("VELMORA_JOURNAL_PAIRS", 20);
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> offset(0.0, 0.08);
  int journals = 0;
  for (unsigned long i = 0; i < pairs && !HasFailure(); ++i) {
    Reset();
    {
      Driver first("bulk", inputs_["one"]);
      std::this_thread::sleep_for(std::chrono::duration<double>(offset(random)));
      Driver second("change", inputs_["two"]);
      first.Wait();
      second.Wait();
    }
    for (const auto& entry : fs::directory_iterator(drive.Host("temp/velmora-journal")))
      journals += entry.path().extension() == ".jnl";
    const std::string output = UndoAll(inputs_["one"]);
    EXPECT_NE(output.find(kNothing), std::string::npos) << "seed " << seed << " pair " << i << ": " << output;
    EXPECT_TRUE(AllOriginal()) << "seed " << seed << " pair " << i << ": " << output;
  }
  // A run can be refused before it writes when both lists build one part of the same name at once
  // (their work files in TEMP would clash), so not every pair leaves two journals.
  std::cout << "seed " << seed << " (VELMORA_KILL_SEED): " << pairs << " pairs, " << journals
            << " journals\n";
  EXPECT_GE(journals, static_cast<int>(pairs));
}

TEST_F(JournalProcessTest, UndoWhileAnotherProcessRunsRefusesAndChangesNothing) {
  Make("done", "--parts 20 --seed 5");
  Make("busy", "--parts 200 --seed 7");
  Reset();
  ASSERT_NE(RunToEnd("bulk", inputs_["done"]).find("実行が正常に終了しました。"), std::string::npos);
  const auto ran = Parts(drive.Host("done"), drive);
  Driver busy("bulk", inputs_["busy"]);
  // Its journal appears once its first write is near.
  for (int i = 0; i < 2000 && !fs::exists(drive.Host("temp/velmora-journal/00000002.jnl")); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const std::string output = RunToEnd("undo", inputs_["done"]);
  EXPECT_NE(output.find(kInProgress), std::string::npos) << output;
  EXPECT_EQ(Parts(drive.Host("done"), drive), ran);
  busy.Wait();
  EXPECT_NE(UndoAll(inputs_["done"]).find(kNothing), std::string::npos);
  EXPECT_TRUE(AllOriginal());
}

// The file the journal names last is edited after the kill: whatever undo does, the edit stays,
// in the file or in the copy undo keeps of it.
TEST_F(JournalProcessTest, AnEditAfterAKillIsNeverLost) {
  Make("gen", "--parts 60 --seed 9");
  const unsigned long seed = EnvNumber("VELMORA_KILL_SEED", std::random_device()());
  const unsigned long kills = EnvNumber("VELMORA_KILL_COUNT", 8);
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> instant(0.05, 0.6);
  int refused = 0;
  int kept = 0;
  for (unsigned long i = 0; i < kills && !HasFailure(); ++i) {
    Reset();
    Driver driver(i % 2 == 0 ? "change" : "bulk", inputs_["gen"]);
    std::this_thread::sleep_for(std::chrono::duration<double>(instant(random)));
    driver.Kill();
    const std::string file = LastWritten();
    if (file.empty() || !drive.Exists(file))
      continue;
    const std::string edited = drive.ReadFile(file) + "a line added by hand\n";
    drive.WriteFile(file, edited);
    const std::string output = RunToEnd("undo", inputs_["gen"]);
    bool found = drive.Exists(file) && drive.ReadFile(file) == edited;
    refused += found;
    for (const auto& entry : fs::directory_iterator(drive.Host("temp/velmora-journal"))) {
      if (!found && entry.path().filename().string().find("-kept-") != std::string::npos &&
          drive.ReadFile("temp/velmora-journal/" + entry.path().filename().string()) == edited) {
        found = true;
        ++kept;
      }
    }
    EXPECT_TRUE(found) << "seed " << seed << " kill " << i << ": " << file << "\n" << output;
  }
  std::cout << "seed " << seed << " (VELMORA_KILL_SEED): " << kills << " kills; " << refused
            << " edits left in place, " << kept << " kept aside\n";
}

}  // namespace
}  // namespace velmora::test
