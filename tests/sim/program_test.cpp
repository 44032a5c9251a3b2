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

using testing::AnswerText;
using testing::PtyClient;

/// A running davozi-sim with its stdout and stderr on one pipe.
class Program {
 public:
  explicit Program(std::vector<std::string> args) {
    args.insert(args.begin(), DAVOZI_SIM_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    out_ = out[0];
  }
  ~Program() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    ::close(out_);
  }

  /// The first line on stdout: the slave path.
  std::string FirstLine() {
    std::string line;
    char c;
    while (::read(out_, &c, 1) == 1 && c != '\n') line.push_back(c);
    return line;
  }
  std::string Output() {
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(out_, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    return text;
  }
  /// Exit status, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Terminate(int signal = SIGTERM) {
    ::kill(pid_, signal);
    return Wait();
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    char pattern[] = "/tmp/davozi-sim-prog-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  ~ProgramTest() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(ProgramTest, ServesItsTerminalUntilSigterm) {
  const std::string link = (dir_ / "ttyDAVOZI").string();
  const std::string log = (dir_ / "line.log").string();
  std::ofstream(log) << "earlier|";  // appended to
  Program sim({"--link", link, "--log", log, "--firmware", "1.3e", "--connected", "2", "--reply",
               "%AT=APRS Beacon/Timer = 5", "--s-reply", "x* 3 *"});
  const std::string path = sim.FirstLine();
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  EXPECT_EQ(std::filesystem::read_symlink(link), path);
  {
    PtyClient line(link);
    line.Command("v");
    EXPECT_NE(line.Read().find(" V.1.3e,"), std::string::npos);
    line.Command("S");
    EXPECT_EQ(line.Read(), "x* 3 *");
    line.Command("JHOST1");
    EXPECT_EQ(AnswerText(line.Host("C", 2)), "CONNECTED to SIM-2");
    EXPECT_EQ(line.Host("%AL")[1], '\x02') << "1.3E has no %AL";
    EXPECT_EQ(AnswerText(line.Host("%AT")), "APRS Beacon/Timer = 5");
  }
  EXPECT_EQ(sim.Terminate(), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  std::ifstream in(log, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "earlier|" + std::string("\x1bv\r\x1bS\r\x1bJHOST1\r\x02\x01\x00"
                                     "C\x00\x01\x02%AL\x00\x01\x02%AT",
                                     30));
}

TEST_F(ProgramTest, StateFileKeepsWhatZSStoredAcrossRuns) {
  const std::string state = (dir_ / "nvram.vxg").string();
  for (const char* atStart : {"25", "40"}) {
    Program sim({"--state", state});
    PtyClient line(sim.FirstLine());
    line.Command("JHOST1");
    EXPECT_EQ(AnswerText(line.Host("t")), atStart);
    line.Host("JHOST0");
    line.Command("T 40");
    line.Command("%ZS");
    line.Command("T 50");  // not stored
    line.Command("JHOST1");
    EXPECT_EQ(AnswerText(line.Host("t")), "50");
    EXPECT_EQ(sim.Terminate(), 0);
  }
}

/// CPU time (user + system) the process has used, in clock ticks.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), {});
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i >= 14) ticks += std::stol(field);  // utime, stime
  }
  return ticks;
}

TEST_F(ProgramTest, DoesNotSpinWhileNoProgramHoldsTheLine) {
  Program sim({});
  {
    PtyClient line(sim.FirstLine());
    line.Command("v");
    line.Read(40);
  }
  const long before = CpuTicks(sim.pid());
  ::usleep(1000 * 1000);
  // A spinning loop would burn about a second of CPU here.
  EXPECT_LT(CpuTicks(sim.pid()) - before, 20);
  EXPECT_EQ(sim.Terminate(SIGINT), 0);
}

TEST_F(ProgramTest, ExitsByItselfAfterAHangup) {
  Program sim({"--hangup-after", "2"});
  PtyClient line(sim.FirstLine());
  line.Command("");
  EXPECT_EQ(sim.Wait(), 0);
}

TEST_F(ProgramTest, BadArgumentsAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--baud", "9600"},       {"--flash", "1FA4"},
      {"--flash", "1F:XY"},     {"--flash-time", "123456789"},
      {"--block-reply", "100"}, {"--reply", "NOEQUALS"},
      {"--no-such-option"}};
  for (const auto& args : cases) {
    Program sim(args);
    EXPECT_EQ(sim.Wait(), 2) << args[0];
    EXPECT_FALSE(sim.Output().empty()) << args[0];
  }
  Program refused({"--firmware", "one"});
  EXPECT_EQ(refused.Wait(), 1);
  EXPECT_NE(refused.Output().find("firmware"), std::string::npos);
}

}  // namespace
}  // namespace vextune::sim
