#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace vextune::testing {
namespace {

namespace fs = std::filesystem;

TEST(TempDir, EachIsAFreshEmptyFolderOfItsOwn) {
  const TempDir first("vextune-probe");
  const TempDir second("vextune-probe");
  for (const TempDir* dir : {&first, &second}) {
    EXPECT_TRUE(fs::is_directory(dir->path()));
    EXPECT_TRUE(fs::is_empty(dir->path()));
    EXPECT_EQ(dir->path(), fs::temp_directory_path() / dir->path().filename());
    EXPECT_EQ(dir->path().filename().string().rfind("vextune-probe-", 0), 0u);
  }
  EXPECT_NE(first.path(), second.path());
  EXPECT_EQ(first.Path("a.vxg"), (first.path() / "a.vxg").string());
}

TEST(TempDir, GoesWithEverythingInItAndMindsNoFolderRemovedBefore) {
  auto dir = std::make_unique<TempDir>();
  const fs::path path = dir->path();
  fs::create_directories(path / "sub" / "deeper");
  std::ofstream(path / "sub" / "deeper" / "file") << "bytes";
  std::ofstream(path / "top") << "bytes";
  dir.reset();
  EXPECT_FALSE(fs::exists(path));

  dir = std::make_unique<TempDir>();
  fs::remove_all(dir->path());
  EXPECT_NO_THROW(dir.reset());
}

}  // namespace
}  // namespace vextune::testing
