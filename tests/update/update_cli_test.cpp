// vextune-cli update against the davozi-sim program, both as processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "update_test_doubles.h"

namespace vextune {
namespace {

using testing::MakeImage;
using testing::Padded;

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// Starts `argv` with the given descriptors as stdin, stdout and stderr.
pid_t Spawn(const std::vector<std::string>& argv, int in, int out, int err) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

/// Waits for `pid` at most `limit`, then kills it. Its exit status, or -1.
int WaitFor(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// The davozi-sim program; its first line of output names its terminal.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    const int null = open("/dev/null", O_RDWR);
    args.insert(args.begin(), DAVOZI_SIM_PATH);
    pid_ = Spawn(args, null, out[1], null);
    close(out[1]);
    close(null);
    // Read the path line, giving the program some seconds to start.
    pollfd p{out[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) == 1 && read(out[0], &c, 1) == 1 && c != '\n') path_ += c;
    close(out[0]);
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      WaitFor(pid_, std::chrono::seconds(10));
    }
  }
  const std::string& path() const { return path_; }

 private:
  pid_t pid_ = -1;
  std::string path_;
};

class UpdateCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("vextune-update-cli-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  /// Runs vextune-cli with stdin not a terminal; its exit status.
  int RunCli(std::vector<std::string> args) {
    args.insert(args.begin(), VEXTUNE_CLI_PATH);
    const int null = open("/dev/null", O_RDONLY);
    const int out = open((dir_ / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open((dir_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t pid = Spawn(args, null, out, err);
    close(null);
    close(out);
    close(err);
    return WaitFor(pid, std::chrono::seconds(60));
  }
  std::string Stderr() const { return ReadWholeFile(dir_ / "stderr"); }

  std::filesystem::path dir_;
};

TEST_F(UpdateCliTest, UpdateWritesTheFileIntoTheFlashAndSaysSo) {
  const std::string image = MakeImage(1000);
  const auto file = dir_ / "firmware.amb";
  std::ofstream(file, std::ios::binary).write(image.data(), image.size());
  const auto flash = dir_ / "img.bin";

  SimProcess sim({"--bios", "--flash-out", flash.string()});
  ASSERT_FALSE(sim.path().empty());
  EXPECT_EQ(RunCli({"update", "--port", sim.path(), "--yes", file.string()}), 0) << Stderr();
  EXPECT_NE(Stderr().find("Update transfer complete."), std::string::npos) << Stderr();
  EXPECT_EQ(ReadWholeFile(flash), Padded(image, 256));
}

TEST_F(UpdateCliTest, TimeStampQuestionIsAnsweredByYesAndOtherwiseNo) {
  const std::string image = MakeImage(300);
  const auto file = dir_ / "firmware.amb";
  std::ofstream(file, std::ios::binary).write(image.data(), image.size());
  char newer[16];
  std::snprintf(newer, sizeof newer, "%08X", PackTime(2030, 1, 1, 0, 0, 0));

  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "--yes" : "no --yes");
    const auto flash = dir_ / (yes ? "yes.bin" : "no.bin");
    SimProcess sim({"--bios", "--flash-time", newer, "--flash-out", flash.string()});
    ASSERT_FALSE(sim.path().empty());
    std::vector<std::string> args = {"update", "--port", sim.path(), file.string()};
    if (yes) args.push_back("--yes");
    EXPECT_EQ(RunCli(args), yes ? 0 : 1) << Stderr();
    EXPECT_NE(Stderr().find("Firmware installed has the same or newer timestamp."),
              std::string::npos);
    EXPECT_EQ(Stderr().find("Update transfer complete.") != std::string::npos, yes);
    EXPECT_EQ(std::filesystem::exists(flash), yes);
  }
}

TEST_F(UpdateCliTest, CtrlCCancelsBetweenBlocks) {
  const std::string image = MakeImage(256 * 40);
  const auto file = dir_ / "firmware.amb";
  std::ofstream(file, std::ios::binary).write(image.data(), image.size());
  const auto flash = dir_ / "img.bin";
  // Paced, the 40 blocks take about three seconds: time enough to interrupt.
  SimProcess sim({"--bios", "--pace", "--flash-out", flash.string()});
  ASSERT_FALSE(sim.path().empty());

  const int null = open("/dev/null", O_RDWR);
  const int err = open((dir_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const pid_t pid =
      Spawn({VEXTUNE_CLI_PATH, "update", "--port", sim.path(), file.string()}, null, null, err);
  close(null);
  close(err);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (Stderr().find("progress:") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGINT);
  EXPECT_EQ(WaitFor(pid, std::chrono::seconds(60)), 1);
  EXPECT_NE(Stderr().find("Update Aborted!"), std::string::npos) << Stderr();
  EXPECT_EQ(Stderr().find("Update transfer complete."), std::string::npos) << Stderr();
  EXPECT_FALSE(std::filesystem::exists(flash));
}

}  // namespace
}  // namespace vextune
