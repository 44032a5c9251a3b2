// vextune-cli update against the davozi-sim program, both as processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "update_test_doubles.h"

namespace vextune {
namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// Starts `argv` with /dev/null as stdin and the given stdout and stderr.
pid_t Spawn(std::vector<std::string> argv, int out, int err) {
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
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

/// The davozi-sim program, stopped at the end of the scope; the first line it
/// prints names its terminal.
struct SimProcess {
  explicit SimProcess(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    args.insert(args.begin(), DAVOZI_SIM_PATH);
    const int null = open("/dev/null", O_WRONLY);
    pid = Spawn(args, out[1], null);
    close(out[1]);
    close(null);
    pollfd p{out[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) == 1 && read(out[0], &c, 1) == 1 && c != '\n') path += c;
    close(out[0]);
  }
  ~SimProcess() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    WaitFor(pid, std::chrono::seconds(10));
  }
  pid_t pid = -1;
  std::string path;
};

TEST(UpdateCli, UpdateWritesTheFileIntoTheFlashAndSaysSo) {
  char dir[] = "/tmp/vextune-update-cli-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::filesystem::path file = std::filesystem::path(dir) / "firmware.amb";
  const std::filesystem::path flash = std::filesystem::path(dir) / "img.bin";
  const std::filesystem::path err = std::filesystem::path(dir) / "stderr";
  const std::string image = testing::MakeImage(1000);
  std::ofstream(file, std::ios::binary) << image;
  {
    SimProcess sim({"--bios", "--flash-out", flash.string()});
    ASSERT_FALSE(sim.path.empty());
    const int null = open("/dev/null", O_WRONLY);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t cli = Spawn(
        {VEXTUNE_CLI_PATH, "update", "--port", sim.path, "--yes", file.string()}, null, errFd);
    close(null);
    close(errFd);
    EXPECT_EQ(WaitFor(cli, std::chrono::seconds(60)), 0) << ReadWholeFile(err);
  }
  EXPECT_NE(ReadWholeFile(err).find("Update transfer complete."), std::string::npos)
      << ReadWholeFile(err);
  EXPECT_EQ(ReadWholeFile(flash), testing::Padded(image, 256));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vextune
