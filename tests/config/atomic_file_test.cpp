#include "config/atomic_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace vextune {
namespace {

namespace fs = std::filesystem;

// The same cases on every system: the file holds the old or the new content,
// nothing else is left in the folder, and refusals name the file.
class AtomicFileTest : public ::testing::Test {
 protected:
  AtomicFileTest()
      : dir_(fs::temp_directory_path() /
             ("vextune-atomic-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(dir_);
  }
  ~AtomicFileTest() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<fs::path> Entries() const {
    std::vector<fs::path> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
    return names;
  }

  fs::path dir_;
};

TEST_F(AtomicFileTest, ReplacesAndCreatesWithNothingLeftBeside) {
  const std::string binary("line\r\n\0\xff\x1a end", 13);
  const struct {
    const char* name;
    const char* before;  // nullptr: no file yet
    std::string after;
  } cases[] = {
      {"new.vxg", nullptr, "fresh"},
      {"old.vxg", "old content that is longer than the new", "short"},
      {"bin.vxg", "x", binary},
      {"empty.vxg", "something", ""},
  };
  for (const auto& c : cases) {
    const fs::path file = dir_ / c.name;
    if (c.before) std::ofstream(file, std::ios::binary) << c.before;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(file, c.after, &error)) << c.name << ": " << error;
    EXPECT_EQ(Read(file), c.after) << c.name;
    EXPECT_TRUE(error.empty()) << c.name;
  }
  EXPECT_EQ(Entries().size(), std::size(cases));
}

TEST_F(AtomicFileTest, NonAsciiNamesRoundTrip) {
  const fs::path file = dir_ / fs::path(u8"Station \u00e4\u00f6\u00fc \u00df \u20ac.vxg");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(file, "one", &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(file, "two", &error)) << error;
  EXPECT_EQ(Read(file), "two");
  ASSERT_EQ(Entries().size(), 1u);
  EXPECT_EQ(Entries()[0], file.filename());
}

TEST_F(AtomicFileTest, RefusalsNameTheFileAndLeaveEverythingAsItWas) {
  fs::create_directory(dir_ / "folder.vxg");
  const struct {
    const char* name;
    fs::path path;
    const char* why;
  } cases[] = {
      {"a folder", dir_ / "folder.vxg", "folder"},
      {"a missing folder", dir_ / "missing" / "file.vxg", "no folder"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(c.path, "data", &error)) << c.name;
    EXPECT_NE(error.find("Cannot write"), std::string::npos) << c.name << ": " << error;
    EXPECT_NE(error.find(c.why), std::string::npos) << c.name << ": " << error;
    EXPECT_NE(error.find(c.path.filename().string()), std::string::npos) << c.name;
    std::string checkError;
    EXPECT_FALSE(CheckFileWritable(c.path, 10, &checkError)) << c.name;
    EXPECT_FALSE(checkError.empty()) << c.name;
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.vxg"));
  EXPECT_TRUE(fs::is_empty(dir_ / "folder.vxg"));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  EXPECT_EQ(Entries().size(), 1u);

  std::string error;
  EXPECT_FALSE(WriteFileAtomically(fs::path(), "data", &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(AtomicFileTest, CheckingLeavesNoTrace) {
  const fs::path existing = dir_ / "kept.vxg";
  std::ofstream(existing, std::ios::binary) << "kept";
  std::string error;
  EXPECT_TRUE(CheckFileWritable(existing, 4096, &error)) << error;
  EXPECT_TRUE(CheckFileWritable(dir_ / "new.vxg", 4096, &error)) << error;
  EXPECT_EQ(Read(existing), "kept");
  ASSERT_EQ(Entries().size(), 1u);
  EXPECT_EQ(Entries()[0], "kept.vxg");
}

}  // namespace
}  // namespace vextune
