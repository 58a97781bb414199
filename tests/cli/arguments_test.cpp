#include "cli/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::cli {
namespace {

using operations::Operation;

TEST(ArgumentsTest, RunTakesTheOperationTheSixFlagsAndThePlan) {
  const Parsed parsed = ParseArguments({"run", "--operation", "remove-folders", "top.prt", "--plan", "p.csv",
                                        "--overwrite-all", "--input-part-only", "--same-folders",
                                        "--no-copy-missing", "--no-resave", "--no-swap"});
  ASSERT_TRUE(parsed.arguments) << parsed.error;
  const Arguments& arguments = *parsed.arguments;
  EXPECT_EQ(arguments.command, Command::Run);
  EXPECT_EQ(arguments.operation, Operation::RemoveAllFolders);
  EXPECT_EQ(arguments.input, "top.prt");
  EXPECT_EQ(arguments.plan, "p.csv");
  const operations::Options& options = arguments.options;
  EXPECT_EQ(options.overwriteAll, 1);
  EXPECT_EQ(options.inputPartOnly, 1);
  EXPECT_EQ(options.applyToSameFolders, 1);
  EXPECT_EQ(options.copyMissingFiles, 0);
  EXPECT_EQ(options.allowReplaceAll, 0);
  EXPECT_EQ(options.swapInputAfterRun, 0);
}

TEST(ArgumentsTest, FlagsNotGivenKeepTheWindowsDefaults) {
  const Parsed parsed = ParseArguments({"run", "--operation", "change", "top.prt"});
  ASSERT_TRUE(parsed.arguments) << parsed.error;
  const operations::Options defaults;
  EXPECT_EQ(parsed.arguments->options.swapInputAfterRun, defaults.swapInputAfterRun);
  EXPECT_EQ(parsed.arguments->options.copyMissingFiles, defaults.copyMissingFiles);
  EXPECT_EQ(parsed.arguments->options.allowReplaceAll, defaults.allowReplaceAll);
  EXPECT_EQ(parsed.arguments->operation, Operation::Change);
}

TEST(ArgumentsTest, FastTicksTheFastScheduleWithItsJobs) {
  const Parsed parsed =
      ParseArguments({"run", "--operation", "lower-parts", "top.prt", "--fast", "--jobs", "3"});
  ASSERT_TRUE(parsed.arguments) << parsed.error;
  EXPECT_EQ(parsed.arguments->options.fastSchedule, 1);
  EXPECT_EQ(parsed.arguments->jobs, "3");
  EXPECT_EQ(ParseArguments({"run", "--operation", "change", "top.prt"}).arguments->options.fastSchedule, 0);
}

TEST(ArgumentsTest, RefusesWhatMakesNoCommand) {
  const std::vector<std::vector<std::string>> refused = {
      {},
      {"rename", "top.prt"},
      {"list"},
      {"list", "a.prt", "b.prt"},
      {"run", "top.prt"},
      {"run", "--operation", "shuffle", "top.prt"},
      {"run", "--operation"},
      {"inspect", "top.prt", "--plan"},
      {"list", "top.prt", "--plan", "p.csv"},
      {"list", "top.prt", "--operation", "change"},
      {"undo", "top.prt"},
      {"run", "--operation", "change", "top.prt", "--yes"},
      {"list", "top.prt", "--fast"},
      {"run", "--operation", "change", "top.prt", "--jobs", "4"},
      {"run", "--operation", "change", "top.prt", "--fast", "--jobs", "0"},
      {"run", "--operation", "change", "top.prt", "--fast", "--jobs", "x"},
  };
  for (const std::vector<std::string>& words : refused) {
    const Parsed parsed = ParseArguments(words);
    EXPECT_FALSE(parsed.arguments) << (words.empty() ? std::string() : words.front());
    EXPECT_FALSE(parsed.error.empty());
  }
}

TEST(ArgumentsTest, HelpWinsAnywhere) {
  EXPECT_EQ(ParseArguments({"run", "--help"}).arguments->command, Command::Help);
  EXPECT_EQ(ParseArguments({"--help"}).arguments->command, Command::Help);
  EXPECT_EQ(ParseArguments({"--version"}).arguments->command, Command::Version);
  const Parsed undo = ParseArguments({"undo", "--yes"});
  ASSERT_TRUE(undo.arguments);
  EXPECT_TRUE(undo.arguments->yes);
}

}  // namespace
}  // namespace velmora::cli
