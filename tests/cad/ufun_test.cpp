#include "ufun.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cad/part/part_file.h"

namespace velmora::cad {
namespace {

namespace fs = std::filesystem;

// The library reads its environment at every call; each test sets what it needs and ends the
// session it opened, so the tests do not depend on their order.
class Ufun : public ::testing::Test {
 protected:
  Ufun() {
    std::string pattern = (fs::temp_directory_path() / "velmora-ufun-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    setenv("VELMORA_DRIVES", ("D=" + root_).c_str(), 1);
    unsetenv("VELMORA_UF_FAIL");
    setenv("VELMORA_UF_LOG", (root_ + "/calls.log").c_str(), 1);
  }
  ~Ufun() override {
    UF_PART_close_all();
    UF_terminate();
    unsetenv("VELMORA_UF_FAIL");
    unsetenv("VELMORA_UF_LOG");
    unsetenv("VELMORA_DRIVES");
    fs::remove_all(root_);
  }
  void Write(const std::string& name, const Part& part) const {
    ASSERT_EQ(WritePartFile(root_ + "/" + name, part), "");
  }
  Part Read(const std::string& name) const {
    const ReadResult read = ReadPartFile(root_ + "/" + name);
    EXPECT_EQ(read.status, ReadStatus::Ok) << read.error;
    return read.part;
  }
  std::string Calls() const {
    std::ifstream in(root_ + "/calls.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string root_;
};

TEST_F(Ufun, OpenNeedsASessionAndAWellFormedPart) {
  Write("Top.prt", {"old.prt", 1, {{"", "a.prt"}}});
  std::ofstream(root_ + "/bad.prt") << "VELMORA-PART 1\n";
  uf_tag_t tag = 99;
  uf_load_status_t status{};
  EXPECT_NE(UF_PART_open("D:\\Top.prt", &tag, &status), 0);
  EXPECT_EQ(tag, 0u);
  EXPECT_EQ(status.failed, 1);

  ASSERT_EQ(UF_initialize(), 0);
  EXPECT_NE(UF_PART_open("D:\\none.prt", &tag, &status), 0);
  EXPECT_NE(UF_PART_open("D:\\bad.prt", &tag, &status), 0);
  EXPECT_NE(UF_PART_open("Q:\\Top.prt", &tag, &status), 0);
  EXPECT_NE(UF_PART_open(nullptr, &tag, &status), 0);
  EXPECT_EQ(UF_PART_open("d:\\top.PRT", &tag, &status), 0);
  EXPECT_NE(tag, 0u);
  EXPECT_EQ(status.failed, 0);
  EXPECT_EQ(UF_PART_open("D:\\Top.prt", nullptr, nullptr), 0);
}

TEST_F(Ufun, SaveRewritesTheLastOpenedPartUnderItsOwnName) {
  Write("Top.prt", {"old.prt", 1, {{"D:\\x", "a.prt"}}});
  Write("b.prt", {"b.prt", 5, {}});
  ASSERT_EQ(UF_initialize(), 0);
  EXPECT_NE(UF_PART_save(), 0);  // nothing open
  uf_tag_t tag = 0;
  uf_load_status_t status{};
  ASSERT_EQ(UF_PART_open("D:\\b.prt", &tag, &status), 0);
  ASSERT_EQ(UF_PART_open("d:\\TOP.prt", &tag, &status), 0);
  ASSERT_EQ(UF_PART_save(), 0);
  ASSERT_EQ(UF_PART_save(), 0);
  EXPECT_EQ(Read("Top.prt"), (Part{"Top.prt", 3, {{"D:\\x", "a.prt"}}}));
  EXPECT_EQ(Read("b.prt").saves, 5);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(root_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Top.prt", "b.prt", "calls.log"}));  // no temporary left
  ASSERT_EQ(UF_PART_close_all(), 0);
  EXPECT_NE(UF_PART_save(), 0);
}

TEST_F(Ufun, OptionsStartFromDefaultsInEverySession) {
  ASSERT_EQ(UF_initialize(), 0);
  uf_assem_options_t options{};
  ASSERT_EQ(UF_ASSEM_ask_assem_options(&options), 0);
  EXPECT_EQ(options.values[0], 1);
  EXPECT_EQ(options.values[8], 0);
  EXPECT_EQ(options.values[10], 0);
  options.values[0] = 2;
  options.values[8] = 1;
  options.values[10] = 1;
  ASSERT_EQ(UF_ASSEM_set_assem_options(&options), 0);
  uf_assem_options_t again{};
  ASSERT_EQ(UF_ASSEM_ask_assem_options(&again), 0);
  EXPECT_EQ(0, memcmp(&again, &options, sizeof options));
  EXPECT_NE(UF_ASSEM_ask_assem_options(nullptr), 0);
  EXPECT_NE(UF_ASSEM_set_assem_options(nullptr), 0);

  ASSERT_EQ(UF_terminate(), 0);
  EXPECT_NE(UF_terminate(), 0);  // no session left to end
  ASSERT_EQ(UF_initialize(), 0);
  ASSERT_EQ(UF_ASSEM_ask_assem_options(&again), 0);
  EXPECT_EQ(again.values[0], 1);
}

TEST_F(Ufun, InjectedFailuresChangeNothing) {
  Write("a.prt", {"a.prt", 1, {}});
  ASSERT_EQ(UF_initialize(), 0);
  setenv("VELMORA_UF_FAIL", "UF_PART_save,UF_ASSEM_ask_assem_options", 1);
  uf_assem_options_t options{};
  EXPECT_NE(UF_ASSEM_ask_assem_options(&options), 0);
  EXPECT_EQ(UF_ASSEM_set_assem_options(&options), 0);
  ASSERT_EQ(UF_PART_open("D:\\a.prt", nullptr, nullptr), 0);
  EXPECT_NE(UF_PART_save(), 0);
  EXPECT_EQ(Read("a.prt").saves, 1);

  const char* calls[] = {"UF_initialize", "UF_terminate", "UF_PART_open", "UF_PART_close_all",
                         "UF_ASSEM_set_assem_options"};
  for (const char* call : calls) {
    setenv("VELMORA_UF_FAIL", call, 1);
    EXPECT_NE(call == std::string("UF_PART_open")        ? UF_PART_open("D:\\a.prt", nullptr, nullptr)
              : call == std::string("UF_initialize")     ? UF_initialize()
              : call == std::string("UF_terminate")      ? UF_terminate()
              : call == std::string("UF_PART_close_all") ? UF_PART_close_all()
                                                         : UF_ASSEM_set_assem_options(&options),
              0)
        << call;
  }
}

TEST_F(Ufun, LogsEveryCallInOrder) {
  Write("a.prt", {"a.prt", 1, {}});
  UF_initialize();
  uf_assem_options_t options{};
  UF_ASSEM_ask_assem_options(&options);
  options.values[0] = 2;
  options.values[8] = 1;
  options.values[10] = 1;
  UF_ASSEM_set_assem_options(&options);
  UF_PART_open("D:\\a.prt", nullptr, nullptr);
  UF_PART_save();
  UF_PART_close_all();
  UF_terminate();
  EXPECT_EQ(Calls(),
            "UF_initialize\nUF_ASSEM_ask_assem_options\nUF_ASSEM_set_assem_options 2/1/1\n"
            "UF_PART_open D:\\a.prt\nUF_PART_save\nUF_PART_close_all\nUF_terminate\n");
}

// The cost model of a real system: an open loads the part and, under the options the program sets,
// every component it reaches, each file once until all parts are closed.
TEST_F(Ufun, AnOpenLoadsWhatItReachesOnceAndWaitsPerFileLoaded) {
  Write("top.prt", {"top.prt", 1, {{"", "a.prt"}, {"D:\\sub", "b.prt"}, {"", "a.prt"}, {"", "gone.prt"}}});
  Write("a.prt", {"a.prt", 1, {{"D:\\sub", "b.prt"}}});
  fs::create_directory(root_ + "/sub");
  Write("sub/b.prt", {"b.prt", 1, {{"", "c.prt"}}});
  Write("sub/c.prt", {"c.prt", 1, {}});
  setenv("VELMORA_UF_LOAD_LOG", (root_ + "/loads.log").c_str(), 1);
  setenv("VELMORA_UF_OPEN_MS_PER_PART", "40", 1);
  const auto loads = [this] {
    std::ifstream in(root_ + "/loads.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    fs::remove(root_ + "/loads.log");
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  ASSERT_EQ(UF_initialize(), 0);
  // The defaults load the part alone.
  ASSERT_EQ(UF_PART_open("D:\\a.prt", nullptr, nullptr), 0);
  EXPECT_EQ(loads(), std::vector<std::string>{"load D:\\a.prt"});
  ASSERT_EQ(UF_PART_close_all(), 0);

  uf_assem_options_t options{};
  ASSERT_EQ(UF_ASSEM_ask_assem_options(&options), 0);
  options.values[0] = 2;
  ASSERT_EQ(UF_ASSEM_set_assem_options(&options), 0);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(UF_PART_open("D:\\top.prt", nullptr, nullptr), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(4 * 40));
  EXPECT_EQ(loads(), (std::vector<std::string>{"load D:\\a.prt", "load D:\\sub\\b.prt", "load D:\\sub\\c.prt",
                                               "load D:\\top.prt"}));
  // Loaded already: nothing more, though the part is read and saved as before.
  ASSERT_EQ(UF_PART_open("D:\\sub\\B.prt", nullptr, nullptr), 0);
  ASSERT_EQ(UF_PART_save(), 0);
  EXPECT_EQ(Read("sub/b.prt").saves, 2);
  EXPECT_EQ(loads(), std::vector<std::string>{});
  ASSERT_EQ(UF_PART_close_all(), 0);
  ASSERT_EQ(UF_PART_open("D:\\a.prt", nullptr, nullptr), 0);
  EXPECT_EQ(loads(),
            (std::vector<std::string>{"load D:\\a.prt", "load D:\\sub\\b.prt", "load D:\\sub\\c.prt"}));
  unsetenv("VELMORA_UF_LOAD_LOG");
  unsetenv("VELMORA_UF_OPEN_MS_PER_PART");
}

}  // namespace
}  // namespace velmora::cad
