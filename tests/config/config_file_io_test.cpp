#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/atomic_file.h"
#include "config/config_file.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

class ConfigFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vextune-config-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Put(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  size_t EntriesInDir() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
};

TEST_F(ConfigFileOnDisk, FailuresNameThePathAndLeaveNothingBehind) {
  CConfigData d;
  std::string error;
  int32_t version = -5;
  EXPECT_FALSE(LoadConfigFile(dir_ / "none.vxg", d, &version, &error));
  EXPECT_NE(error.find((dir_ / "none.vxg").string()), std::string::npos) << error;
  EXPECT_FALSE(LoadConfigFile(dir_, d, nullptr, &error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;

  EXPECT_FALSE(SaveConfigFile(dir_ / "missing" / "a.vxg", CConfigData{}, &error));
  EXPECT_NE(error.find("missing/a.vxg"), std::string::npos) << error;
  fs::create_directory(dir_ / "folder.vxg");
  EXPECT_FALSE(SaveConfigFile(dir_ / "folder.vxg", CConfigData{}, &error));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.vxg"));
  EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file left";
}

TEST_F(ConfigFileOnDisk, SaveKeepsPermissionsAndWritesThroughSymbolicLinks) {
  const fs::path target = dir_ / "real.vxg";
  Put(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  fs::create_symlink("real.vxg", dir_ / "link.vxg");

  std::string error;
  ASSERT_TRUE(SaveConfigFile(dir_ / "link.vxg", CConfigData{}, &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.vxg"));
  EXPECT_EQ(Contents(target).size(), 208u);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(ConfigFileOnDisk, WriteThatFailsPartWayKeepsTheOldFile) {
  const fs::path target = dir_ / "keep.vxg";
  const std::string old(500, 'o');
  Put(target, old);

  // In a child, a file size limit makes the write fail after 100 bytes.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool saved = WriteFileAtomically(target, std::string(1000, 'n'), &error);
    const bool named = error.find("keep.vxg") != std::string::npos;
    ::_exit(!saved && named ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write must fail and say so";
  EXPECT_EQ(Contents(target), old);
  EXPECT_EQ(EntriesInDir(), 1u);
}

}  // namespace
}  // namespace vextune
