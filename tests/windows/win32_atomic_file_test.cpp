#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <random>

#include "config/atomic_file.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

// What only Windows has: the read-only attribute, and the hidden attribute
// that the half-written file carries until it takes the target's place.
class Win32AtomicFileTest : public ::testing::Test {
 protected:
  Win32AtomicFileTest()
      : dir_(fs::temp_directory_path() /
             ("vextune-win32-atomic-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(dir_);
  }
  ~Win32AtomicFileTest() override {
    for (const auto& e : fs::directory_iterator(dir_)) {
      SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

TEST_F(Win32AtomicFileTest, ReadOnlyFilesAreRefusedAndKept) {
  const fs::path file = dir_ / "locked.vxg";
  std::ofstream(file, std::ios::binary) << "old";
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(file, "new", &error));
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_NE(error.find("locked.vxg"), std::string::npos) << error;
  EXPECT_FALSE(CheckFileWritable(file, 3, &error));
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(Win32AtomicFileTest, WrittenFilesAreNotLeftHidden) {
  const fs::path fresh = dir_ / "fresh.vxg";
  const fs::path replaced = dir_ / "replaced.vxg";
  std::ofstream(replaced, std::ios::binary) << "old";
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(fresh, "one", &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(replaced, "two", &error)) << error;
  for (const fs::path& p : {fresh, replaced}) {
    const DWORD attributes = GetFileAttributesW(p.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << p.string();
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY), 0u) << p.string();
  }
  EXPECT_EQ(Read(replaced), "two");
}

}  // namespace
}  // namespace vextune
