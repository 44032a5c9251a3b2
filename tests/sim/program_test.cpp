// The davozi-sim program itself: started as a process, talked to over its
// terminal, stopped with a signal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "pty_client.h"

extern char** environ;

namespace vextune::sim {
namespace {

using testing::PtyClient;

/// A running davozi-sim with its stdout and stderr on pipes.
class Program {
 public:
  explicit Program(std::vector<std::string> args) {
    args.insert(args.begin(), DAVOZI_SIM_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2], err[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    EXPECT_EQ(::pipe2(err, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~Program() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    ::close(out_);
    ::close(err_);
  }

  /// The first line on stdout: the slave path.
  std::string FirstLine() {
    std::string line;
    char c;
    while (::read(out_, &c, 1) == 1 && c != '\n') line.push_back(c);
    return line;
  }
  std::string Stderr() { return ReadAll(err_); }
  std::string Stdout() { return ReadAll(out_); }
  /// Exit status, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t pid() const { return pid_; }

 private:
  static std::string ReadAll(int fd) {
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, n);
    return text;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
};

/// CPU time (user + system) the process has used, in clock ticks.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) stime = std::stol(field);
  }
  return utime + stime;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("davozi-sim-prog-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(ProgramTest, ServesItsTerminalUntilSigterm) {
  const std::string link = (dir_ / "ttyDAVOZI").string();
  const std::string log = (dir_ / "line.log").string();
  Program sim({"--link", link, "--log", log, "--firmware", "1.3e", "--connected", "2"});
  const std::string path = sim.FirstLine();
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  EXPECT_EQ(std::filesystem::read_symlink(link), path);
  {
    PtyClient line(link);
    line.Command("v");
    EXPECT_NE(line.Read().find(" V.1.3e,"), std::string::npos);
    line.Command("JHOST1");
    EXPECT_EQ(testing::AnswerText(line.Host("C", 2)), "CONNECTED to SIM-2");
    EXPECT_EQ(line.Host("%AL")[1], '\x02') << "1.3E has no %AL";
  }
  ::kill(sim.pid(), SIGTERM);
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(link));
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  std::ifstream in(log, std::ios::binary);
  const std::string logged((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(logged, std::string("\x1bv\r\x1bJHOST1\r\x02\x01\x00"
                                "C\x00\x01\x02%AL",
                                21));
}

TEST_F(ProgramTest, DoesNotSpinWhileNoProgramHoldsTheLine) {
  Program sim({});
  const std::string path = sim.FirstLine();
  {
    PtyClient line(path);
    line.Command("v");
    line.Read(40);
  }
  const long before = CpuTicks(sim.pid());
  ::usleep(1000 * 1000);
  // A spinning loop would burn about a second of CPU here.
  EXPECT_LT(CpuTicks(sim.pid()) - before, 20);
  ::kill(sim.pid(), SIGINT);
  EXPECT_EQ(sim.Wait(), 0);
}

TEST_F(ProgramTest, ExitsByItselfAfterAHangup) {
  Program sim({"--hangup-after", "2"});
  PtyClient line(sim.FirstLine());
  line.Command("");
  EXPECT_EQ(sim.Wait(), 0);
}

TEST_F(ProgramTest, HelpNamesEveryOption) {
  Program sim({"--help"});
  const std::string help = sim.Stdout();
  EXPECT_EQ(sim.Wait(), 0);
  for (const char* option :
       {"--baud",       "--firmware",     "--bios",       "--channels",    "--connected",
        "--state",      "--link",         "--log",        "--reply",       "--s-reply",
        "--flash",      "--flash-time",   "--flash-out",  "--block-reply", "--block-reply-at",
        "--stop-after", "--hangup-after", "--host-code0", "--garbage",     "--pace"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

TEST_F(ProgramTest, BadArgumentsAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--baud", "9600"},       {"--flash", "1FA4"},
      {"--flash", "1F:XY"},     {"--flash-time", "123456789"},
      {"--block-reply", "100"}, {"--reply", "NOEQUALS"},
      {"--no-such-option"},
  };
  for (const auto& args : cases) {
    Program sim(args);
    EXPECT_EQ(sim.Wait(), 2) << args[0];
    EXPECT_FALSE(sim.Stderr().empty()) << args[0];
  }
  Program refused({"--firmware", "one"});
  EXPECT_EQ(refused.Wait(), 1);
  EXPECT_NE(refused.Stderr().find("firmware"), std::string::npos);
}

}  // namespace
}  // namespace vextune::sim
