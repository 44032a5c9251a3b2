#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "config/atomic_file.h"
#include "config/config_file.h"
#include "temp_dir_fixture.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

class ConfigFileOnDisk : public testing::TempDirTest {
 protected:
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

// Runs `body` in a child process as user nobody (when run as root; as anyone
// else, as that user) and returns its exit status.
int AsAnotherUser(const std::function<bool()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST_F(ConfigFileOnDisk, ReadOnlyFileStaysAsItWasEvenInAFolderAnyoneMayWriteTo) {
  // As root the file is root's and nobody tries; as another user, the file is
  // that user's own, made read-only.
  ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
  const fs::path target = dir_ / "ro.vxg";
  Put(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  struct stat before {};
  ASSERT_EQ(::stat(target.c_str(), &before), 0);

  const int status = AsAnotherUser([&] {
    std::string error;
    return !SaveConfigFile(target, CConfigData{}, &error) &&
           error == "Cannot write " + target.string() +
                        ": it is not writable for you: Permission denied.";
  });
  EXPECT_EQ(status, 0) << "the save must be refused, naming the file";
  EXPECT_EQ(Contents(target), "old");
  struct stat after {};
  ASSERT_EQ(::stat(target.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(ConfigFileOnDisk, RootKeepsTheOwnerAndModeOfTheFileItReplaces) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file away";
  const fs::path target = dir_ / "theirs.vxg";
  Put(target, "old");
  ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
  std::string error;
  ASSERT_TRUE(SaveConfigFile(target, CConfigData{}, &error)) << error;
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_EQ(Contents(target).size(), 208u);
}

TEST_F(ConfigFileOnDisk, LinksToNothingAndWhatIsNoRegularFileAreRefusedAndKept) {
  ::mkfifo((dir_ / "fifo.vxg").c_str(), 0644);
  fs::create_directory(dir_ / "folder.vxg");
  fs::create_symlink("missing.vxg", dir_ / "dangling.vxg");
  fs::create_symlink("loop-b.vxg", dir_ / "loop-a.vxg");
  fs::create_symlink("loop-a.vxg", dir_ / "loop-b.vxg");
  fs::create_symlink("fifo.vxg", dir_ / "to-fifo.vxg");
  // A device of our own (only root may make one): a fault here must never
  // replace the machine's /dev/null.
  const bool device = ::mknod((dir_ / "null.vxg").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  const std::pair<const char*, std::string> cases[] = {
      {"fifo.vxg", "it is a named pipe, not a regular file"},
      {"to-fifo.vxg", "it is a named pipe, not a regular file"},
      {"folder.vxg", "it is a folder, not a regular file"},
      {"null.vxg", "it is a device, not a regular file"},
      {"dangling.vxg", "it is a symbolic link to missing.vxg, which does not exist"},
      {"loop-a.vxg", "its symbolic links form a loop"}};
  const size_t entries = EntriesInDir();
  for (const auto& [name, why] : cases) {
    if (std::string(name) == "null.vxg" && !device) continue;
    const fs::path path = dir_ / name;
    const fs::file_status before = fs::symlink_status(path);
    std::string error;
    EXPECT_FALSE(SaveConfigFile(path, CConfigData{}, &error)) << name;
    EXPECT_EQ(error, "Cannot write " + path.string() + ": " + why + ".");
    EXPECT_EQ(fs::symlink_status(path).type(), before.type()) << name;
  }
  EXPECT_FALSE(fs::exists(dir_ / "missing.vxg"));
  EXPECT_EQ(EntriesInDir(), entries) << "no temporary file left";

  // A chain of links leads to the file that is replaced; every link stays.
  Put(dir_ / "real.vxg", "old");
  fs::create_symlink("real.vxg", dir_ / "one.vxg");
  fs::create_symlink("one.vxg", dir_ / "two.vxg");
  std::string error;
  ASSERT_TRUE(SaveConfigFile(dir_ / "two.vxg", CConfigData{}, &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "two.vxg"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "one.vxg"));
  EXPECT_EQ(Contents(dir_ / "real.vxg").size(), 208u);
}

TEST_F(ConfigFileOnDisk, CheckBeforeLongWorkRefusesWhatTheSaveWouldAndLeavesNothing) {
  fs::create_directory(dir_ / "folder.vxg");
  fs::create_symlink("missing.vxg", dir_ / "dangling.vxg");
  ::mkfifo((dir_ / "fifo.vxg").c_str(), 0644);
  Put(dir_ / "old.vxg", "old");
  const size_t entries = EntriesInDir();
  const std::pair<std::string, std::string> cases[] = {
      {"folder.vxg", "it is a folder, not a regular file"},
      {"dangling.vxg", "it is a symbolic link to missing.vxg, which does not exist"},
      {"fifo.vxg", "it is a named pipe, not a regular file"},
      {"no/x.vxg", "there is no folder " + (dir_ / "no").string()},
      {"no/", "it names no file"},
      {"old.vxg", ""},
      {"new.vxg", ""}};
  for (const auto& [name, why] : cases) {
    std::string error;
    EXPECT_EQ(CheckFileWritable(dir_ / name, 4096, &error), why.empty()) << name;
    EXPECT_EQ(error,
              why.empty() ? "" : "Cannot write " + (dir_ / name).string() + ": " + why + ".");
  }
  EXPECT_EQ(Contents(dir_ / "old.vxg"), "old");
  EXPECT_FALSE(fs::exists(dir_ / "new.vxg"));
  EXPECT_EQ(EntriesInDir(), entries) << "nothing created, nothing left";

  // A disk without room: a file size limit stops the probe's bytes.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool fits = CheckFileWritable(dir_ / "new.vxg", 4096, &error);
    ::_exit(!fits && error.find("new.vxg: there is no room for it: File too large") !=
                         std::string::npos
                ? 0
                : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(EntriesInDir(), entries);
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
