#include "journal/journal_file.h"

#include <gtest/gtest.h>

#include "text/codec.h"

namespace velmora::journal {
namespace {

bool SameEntry(const Entry& a, const Entry& b) {
  return a.kind == b.kind && a.path == b.path && a.before == b.before && a.backupName == b.backupName &&
         a.original == b.original && a.diskName == b.diskName;
}

class JournalFileTest : public ::testing::Test {
 protected:
  JournalFileTest() {
    // A name ending in a 0x5C trail byte, and a typed name holding a tab, a line end and "%".
    const std::string table = text::Cp932("D:\\部品表\\表.prt");
    plan.inputPart = table;
    plan.operation = 1;
    plan.rows = {{table, "D:\\new\\a\tb%41\n.prt"}, {"D:\\w\\Mid.PRT", ""}};

    Entry created{WriteKind::Created, "D:\\new\\a.prt", Before::Absent, "", {}, "", std::nullopt};
    Entry backup{WriteKind::Rewritten,  table,       Before::Backup, "00000001-1.bak", Fingerprint::Of("old"),
                 text::Cp932("表.PRT"), std::nullopt};
    Entry again{WriteKind::Resaved, "d:\\NEW\\A.prt", Before::Again, "", {}, "", std::nullopt};
    entries = {created, backup, again};
    results = {Fingerprint::Of("new"), Fingerprint::Absent(), Fingerprint::Of("")};

    text = PlanLines(plan);
    for (std::size_t i = 0; i < entries.size(); ++i)
      text += EntryLine(entries[i]) + ResultLine(i, results[i]);
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
  ASSERT_EQ(record->entries.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_TRUE(SameEntry(record->entries[i], entries[i])) << i;
    EXPECT_EQ(record->entries[i].result, results[i]) << i;
  }
  EXPECT_TRUE(record->ended);
}

// A crash can cut the file anywhere in its last append: what is read is always a prefix of what
// was written, a write without its result included.
TEST_F(JournalFileTest, EveryCutReadsAsAPrefix) {
  for (std::size_t cut = 0; cut < text.size(); ++cut) {
    const std::optional<Record> record = ParseRecord(std::string_view(text).substr(0, cut));
    if (!record)
      continue;
    ASSERT_LE(record->entries.size(), entries.size()) << cut;
    for (std::size_t i = 0; i < record->entries.size(); ++i) {
      EXPECT_TRUE(SameEntry(record->entries[i], entries[i])) << cut;
      if (record->entries[i].result) {
        EXPECT_EQ(*record->entries[i].result, results[i]) << cut;
      }
    }
    EXPECT_FALSE(record->ended) << cut;
  }
}

TEST_F(JournalFileTest, StopsAtALineThatDoesNotParse) {
  const std::string plain = PlanLines(plan) + EntryLine(entries[0]);
  const std::string bads[] = {"write\tcreated\tD:\\x.prt\n", "result\t7\tabsent\n",
                              std::string("\0\0\0\n", 4), "write\tresaved\tD:\\other.prt\tagain\n"};
  for (const std::string& bad : bads) {
    const std::optional<Record> record = ParseRecord(plain + bad + EntryLine(entries[1]));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->entries.size(), 1u) << bad;
  }
  EXPECT_FALSE(ParseRecord("velmora-journal\t2\n" + text.substr(text.find('\n') + 1)));
}

}  // namespace
}  // namespace velmora::journal
