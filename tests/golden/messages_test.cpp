// Every text the program can show, against the golden files: the named messages and captions as the
// headers name them (messages.txt), and the messages composed around names, paths and counts as their
// factories compose them (composed.txt). A change of wording shows here, in one place.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/step.h"
#include "platform/ui.h"
#include "resources/messages/captions.h"
#include "resources/messages/cli.h"
#include "resources/messages/journal.h"
#include "resources/messages/operations.h"
#include "resources/messages/platform.h"
#include "resources/messages/runner.h"
#include "resources/messages/session.h"
#include "resources/messages/structure.h"
#include "resources/messages/tails.h"
#include "text/codec.h"

namespace velmora {
namespace {

const char* const kHeaders[] = {"captions.h", "cli.h",    "journal.h", "message.h",   "operations.h",
                                "platform.h", "runner.h", "session.h", "structure.h", "tails.h"};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of the string literals from `at` up to the ";", escapes decoded: one entry per
// comma-separated element, adjacent literals joined. An initializer without a literal (a name) is
// returned as it stands, with `alias` set.
std::vector<std::string> Literals(const std::string& source, std::size_t at, bool& alias) {
  std::vector<std::string> values(1);
  bool anyLiteral = false;
  std::string bare;
  for (std::size_t i = at; i < source.size() && source[i] != ';'; ++i) {
    if (source[i] == ',') {
      values.emplace_back();
      continue;
    }
    if (source[i] != '"') {
      if (std::isalnum(static_cast<unsigned char>(source[i])) != 0 || source[i] == '_')
        bare += source[i];
      continue;
    }
    anyLiteral = true;
    for (++i; source[i] != '"'; ++i) {
      if (source[i] != '\\') {
        values.back() += source[i];
        continue;
      }
      const char c = source[++i];
      if (c == 'n') {
        values.back() += '\n';
      } else if (c == 'x') {
        values.back() += static_cast<char>(std::stoi(source.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        values.back() += c;
      }
    }
  }
  if (values.size() > 1 && values.back().empty())
    values.pop_back();  // a trailing comma
  alias = !anyLiteral;
  if (alias)
    values = {bare};
  return values;
}

// "\" and line breaks written as escapes, so that each text is one line.
std::string Escaped(std::string_view text) {
  std::string line;
  for (const char c : text) {
    if (c == '\n')
      line += "\\n";
    else if (c == '\\')
      line += "\\\\";
    else
      line += c;
  }
  return line;
}

struct Named {
  std::string header;
  std::string name;
  std::string text;
};

// Every named text of the headers, in their order; an array gives one entry per element, a name
// given as another name's text gives that text.
std::vector<Named> NamedTexts() {
  const std::regex declaration(R"(inline constexpr ([\w:<>, ]+?) (k\w+)\s*(=|\{))");
  std::vector<Named> named;
  std::map<std::string, std::string> byName;
  std::vector<std::pair<std::size_t, std::string>> aliases;
  for (const char* header : kHeaders) {
    const std::string source = ReadFile(std::string(VELMORA_SOURCE_DIR) + "/resources/messages/" + header);
    for (auto it = std::sregex_iterator(source.begin(), source.end(), declaration);
         it != std::sregex_iterator(); ++it) {
      const std::string name = (*it)[2].str();
      const bool isArray = (*it)[1].str().starts_with("std::array");
      bool alias = false;
      const std::vector<std::string> values =
          Literals(source, static_cast<std::size_t>(it->position() + it->length()), alias);
      if (alias)
        aliases.emplace_back(named.size(), values.front());
      for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string shownName = isArray ? name + "[" + std::to_string(i) + "]" : name;
        named.push_back({header, shownName, values[i]});
        byName[shownName] = values[i];
      }
    }
  }
  for (const auto& [index, target] : aliases)
    named[index].text = byName[target];
  return named;
}

std::string NamedListing() {
  std::string listing;
  for (const Named& entry : NamedTexts())
    listing += entry.header + " " + entry.name + "\t" + Escaped(entry.text) + "\n";
  return listing;
}

// The factories with sample parts: a name whose second byte is "\" in cp932, a path, a tail.
std::string ComposedListing() {
  const std::string name = text::Cp932("表示.prt");
  const std::string path = text::Cp932("D:\\作業\\表示.prt");
  const std::string tail = msg::kTailRunRefused();
  const std::vector<std::pair<std::string, std::string>> composed = {
      {"Text", msg::kRunFinished()},
      {"Tailed", msg::kTempNotSet(tail)},
      {"Tailed.WithLines",
       msg::kLogFileNotEmpty.WithLines(path + "\n" + text::Cp932("一行目\n二行目\n"), tail)},
      {"Tailed.WithLines, one line", msg::kTempFolderMissing.WithLines(path + "\n", tail)},
      {"AfterName", msg::kResaveOpenFailed(name, tail)},
      {"AfterName, no tail", msg::kUndoFileChanged(path)},
      {"BeforeName", msg::kHostNameReserved(name)},
      {"Filled", msg::kRenameInvalid(path, name, msg::kReasonReserved())},
      {"Filled, a piece holding %2", msg::kRenameCollision("%2", path)},
      {"OldFileMissing", msg::OldFileMissing(name, tail)},
      {"TargetClash", msg::TargetClash(name, tail)},
      {"OverwriteNew", msg::OverwriteNew(name, tail)},
      {"OverwriteOld", msg::OverwriteOld(name, tail)},
      {"RemoveAllTargetExists", msg::RemoveAllTargetExists(name)},
      {"ReplaceCopyFailed", msg::ReplaceCopyFailed(name, tail)},
      {"BatchCloseFailed", msg::BatchCloseFailed(msg::kTailRunBroken())},
      {"BatchComplaint", msg::BatchComplaint(msg::kBatchCannotRun, path)},
      {"BatchUnsupported", msg::BatchUnsupported(7, "goto :eof")},
      {"RunFinishedWithMissing", msg::RunFinishedWithMissing({path, name, "a", "b", "c", "not shown"})},
      {"RunFinishedMisspelt", msg::RunFinishedMisspelt({path})},
      {"ImportBadName", msg::ImportBadName("3", path, name, msg::kReasonBlank)},
      {"ImportIssues, refused", msg::ImportIssues({"first", "second"}, true)},
      {"ImportIssues, partly read", msg::ImportIssues(std::vector<std::string>(22, "line"), false)},
  };
  std::string listing;
  for (const auto& [shape, cp932] : composed)
    listing += shape + "\t" + Escaped(text::ToDisplayUtf8(cp932)) + "\n";
  return listing;
}

// A named message reaches the user only through its call, which gives it in cp932.
template <class Message>
concept ShownUnconverted = requires(platform::Ui& ui, const Message& message) {
  ui.ShowMessage(message);
}
|| requires(platform::Ui& ui, const Message& message) {
  ui.AskYesNo(message);
}
|| requires(platform::Ui& ui, const Message& message) {
  ShowFailure(ui, message);
};
static_assert(!ShownUnconverted<msg::Text> && !ShownUnconverted<msg::Tailed> &&
              !ShownUnconverted<msg::AfterName> && !ShownUnconverted<msg::BeforeName> &&
              !ShownUnconverted<msg::Filled<1>>);
static_assert(ShownUnconverted<std::string>);

// VELMORA_GOLDEN_UPDATE=1 writes the listing back, for a wording change that has been reviewed.
void ExpectGolden(const std::string& file, const std::string& listing) {
  const std::string goldenPath = std::string(VELMORA_SOURCE_DIR) + "/tests/golden/" + file;
  if (const char* update = std::getenv("VELMORA_GOLDEN_UPDATE");
      update != nullptr && std::string(update) == "1")
    std::ofstream(goldenPath, std::ios::binary) << listing;
  EXPECT_EQ(listing, ReadFile(goldenPath))
      << "update tests/golden/" << file << " with a reviewed wording change";
}

TEST(Messages, EveryNamedTextIsInTheGoldenFile) {
  const std::string listing = NamedListing();
  EXPECT_GT(listing.size(), 1000U);
  ExpectGolden("messages.txt", listing);
}

TEST(Messages, EveryComposedShapeIsInTheGoldenFile) {
  ExpectGolden("composed.txt", ComposedListing());
}

// The Windows window's template carries its captions itself: each must be one of the named ones,
// so that a caption changed in one place and not the other shows here.
TEST(Messages, TheWindowsTemplateShowsOnlyNamedCaptions) {
  std::set<std::string> captions;
  for (const Named& entry : NamedTexts()) {
    if (entry.header == "captions.h")
      captions.insert(entry.text);
  }
  const std::regex control(
      R"(^\s*(CAPTION|FONT \d+,|[A-Z]*TEXT|[A-Z]*BUTTON|[A-Z]*CHECKBOX|GROUPBOX) \"([^\"]*)\")");
  std::istringstream rc(ReadFile(std::string(VELMORA_SOURCE_DIR) + "/src/app/win/velmora.rc"));
  int checked = 0;
  for (std::string line; std::getline(rc, line);) {
    std::smatch match;
    // An empty caption is filled from the named ones when its window opens.
    if (!std::regex_search(line, match, control) || match[2].length() == 0)
      continue;
    EXPECT_TRUE(captions.contains(match[2].str())) << line;
    ++checked;
  }
  EXPECT_GE(checked, 25);
}

}  // namespace
}  // namespace velmora
