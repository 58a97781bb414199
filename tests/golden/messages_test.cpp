// Every message the program can show, as the headers name it, against messages.txt: a change of
// wording shows here as a change of the golden file, in one place.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

const char* const kHeaders[] = {"journal.h", "operations.h", "platform.h", "runner.h",
                                "session.h", "structure.h",  "tails.h"};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of the string literals from `at` up to the ";", escapes decoded.
std::string Literals(const std::string& source, std::size_t at) {
  std::string value;
  for (std::size_t i = at; i < source.size() && source[i] != ';'; ++i) {
    if (source[i] != '"')
      continue;
    for (++i; source[i] != '"'; ++i) {
      if (source[i] != '\\') {
        value += source[i];
        continue;
      }
      const char c = source[++i];
      if (c == 'n') {
        value += '\n';
      } else if (c == 'x') {
        value += static_cast<char>(std::stoi(source.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        value += c;
      }
    }
  }
  return value;
}

// One line a message: header, name, then the text with "\" and line breaks written as escapes.
std::string Listing() {
  const std::regex declaration(R"(inline constexpr std::string_view (k\w+) =)");
  std::string listing;
  for (const char* header : kHeaders) {
    const std::string source = ReadFile(std::string(VELMORA_SOURCE_DIR) + "/resources/messages/" + header);
    for (auto it = std::sregex_iterator(source.begin(), source.end(), declaration);
         it != std::sregex_iterator(); ++it) {
      std::string line = std::string(header) + " " + (*it)[1].str() + "\t";
      for (const char c : Literals(source, static_cast<std::size_t>(it->position() + it->length()))) {
        if (c == '\n')
          line += "\\n";
        else if (c == '\\')
          line += "\\\\";
        else
          line += c;
      }
      listing += line + "\n";
    }
  }
  return listing;
}

TEST(Messages, EveryTextIsInTheGoldenFile) {
  const std::string goldenPath = std::string(VELMORA_SOURCE_DIR) + "/tests/golden/messages.txt";
  const std::string listing = Listing();
  // VELMORA_GOLDEN_UPDATE=1 writes the listing back, for a wording change that has been reviewed.
  if (const char* update = std::getenv("VELMORA_GOLDEN_UPDATE");
      update != nullptr && std::string(update) == "1")
    std::ofstream(goldenPath, std::ios::binary) << listing;
  const std::string golden = ReadFile(goldenPath);
  EXPECT_GT(listing.size(), 1000U);
  EXPECT_EQ(listing, golden) << "update tests/golden/messages.txt with a reviewed wording change";
}

}  // namespace
