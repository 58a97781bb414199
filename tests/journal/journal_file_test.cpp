#include "journal/journal_file.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace velmora::journal {
namespace {

bool SameEntry(const Entry& a, const Entry& b) {
  return a.kind == b.kind && a.path == b.path && a.before == b.before && a.backupName == b.backupName &&
         a.original == b.original && a.diskName == b.diskName && a.expected == b.expected;
}

class JournalFileTest : public ::testing::Test {
 protected:
  JournalFileTest() {
    // A name ending in a 0x5C trail byte, and a typed name holding a tab, a line end and "%".
    const std::string table = text::Cp932("D:\\部品表\\表.prt");
    plan.inputPart = table;
    plan.operation = 1;
    plan.rows = {{table, "D:\\new\\a\tb%41\n.prt"}, {"D:\\w\\Mid.PRT", ""}};
    plan.when = 1765000000;

    Entry created{WriteKind::Created,     "D:\\new\\a.prt", Before::Absent, "", {}, "",
                  Fingerprint::Of("new"), std::nullopt};
    Entry backup{
        WriteKind::Rewritten,  table,        Before::Backup, "00000001-1.bak", Fingerprint::Of("old"),
        text::Cp932("表.PRT"), std::nullopt, std::nullopt};
    Entry again{WriteKind::Resaved, "d:\\NEW\\A.prt", Before::Again, "", {}, "", std::nullopt, std::nullopt};
    entries = {created, backup, again};
    results = {Fingerprint::Of("new"), Fingerprint::Absent(), Fingerprint::Of("")};

    text = PlanLines(plan);
    for (std::size_t i = 0; i < entries.size(); ++i)
      text += EntryLine(i, entries[i]) + ResultLine(i, results[i]);
    text += EndLine();
  }

  Plan plan;
  std::vector<Entry> entries;
  std::vector<Fingerprint> results;
  std::string text;
};

TEST_F(JournalFileTest, ReadsBackWhatWasWritten) {
  const std::optional<Record> record = ParseRecord(text);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->plan.inputPart, plan.inputPart);
  EXPECT_EQ(record->plan.operation, 1);
  EXPECT_EQ(record->plan.rows, plan.rows);
  EXPECT_EQ(record->plan.when, plan.when);
  ASSERT_EQ(record->entries.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_TRUE(SameEntry(record->entries[i], entries[i])) << i;
    EXPECT_EQ(record->entries[i].result, results[i]) << i;
  }
  EXPECT_TRUE(record->ended);
}

// A crash can cut a run that did not end anywhere in its last append: what is read is a prefix of
// what was written. Cut anywhere but at a line end, or after its end, a journal that ended is damage.
TEST_F(JournalFileTest, ACutReadsAsAPrefixOnlyWhileTheRunHadNotEnded) {
  const std::string running = text.substr(0, text.size() - EndLine().size());
  for (std::size_t cut = 0; cut <= running.size(); ++cut) {
    const std::optional<Record> record = ParseRecord(std::string_view(running).substr(0, cut));
    ASSERT_TRUE(record) << cut;
    ASSERT_LE(record->entries.size(), entries.size()) << cut;
    for (std::size_t i = 0; i < record->entries.size(); ++i) {
      EXPECT_TRUE(SameEntry(record->entries[i], entries[i])) << cut;
      if (record->entries[i].result) {
        EXPECT_EQ(*record->entries[i].result, results[i]) << cut;
      }
    }
    EXPECT_FALSE(record->ended) << cut;
  }
  EXPECT_FALSE(ParseRecord(text + "end"));
  EXPECT_FALSE(ParseRecord(text + EndLine()));
}

TEST_F(JournalFileTest, EveryFlippedByteIsDamage) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    std::string flipped = text;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x04);
    const std::optional<Record> record = ParseRecord(flipped);
    // A flipped last line end reads as a cut line: the end mark beside the journal catches that.
    if (at + 1 == text.size()) {
      EXPECT_FALSE(MatchesEndMark(EndMark(text), flipped));
      continue;
    }
    EXPECT_FALSE(record) << at;
  }
}

TEST_F(JournalFileTest, LinesThatCheckButDoNotBelongAreDamage) {
  const std::string plain = PlanLines(plan) + EntryLine(0, entries[0]);
  Entry other = entries[2];
  other.path = "D:\\other.prt";
  const std::string bads[] = {EntryLine(0, entries[1]),   // an index out of turn
                              ResultLine(7, results[0]),  // a result of no entry
                              EntryLine(1, other),        // "again" for a file not seen first
                              EntryLine(1, entries[0]),   // a first write twice
                              ResultLine(0, results[0]) + ResultLine(0, results[0])};
  for (const std::string& bad : bads)
    EXPECT_FALSE(ParseRecord(plain + bad)) << bad;
  EXPECT_TRUE(ParseRecord(plain + ResultLine(0, results[0])));
  EXPECT_FALSE(ParseRecord("velmora-journal\t1\n" + text.substr(text.find('\n') + 1)));
}

}  // namespace
}  // namespace velmora::journal
