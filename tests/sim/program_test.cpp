// The davozi-sim program itself: started as a process, talked to over its
// terminal, stopped with a signal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pty_client.h"
#include "temp_dir_fixture.h"

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
  /// Everything up to the end of output; stops after 10 s without a byte.
  std::string Output() {
    std::string text;
    char buffer[512];
    for (;;) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) break;
      const ssize_t n = ::read(out_, buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, static_cast<size_t>(n));
    }
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

using ProgramTest = vextune::testing::TempDirTest;

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

/// Exit status of child `pid`, -1 for a death by signal; gives up (and kills
/// it) after 10 s.
int WaitForExit(pid_t pid) {
  int status = 0;
  for (int i = 0; i < 1000; ++i) {
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -2;
}

TEST_F(ProgramTest, BackgroundReturnsOnceThePortIsReadyAndEndsOnASignal) {
  // The simulator outlives the process that started it; as subreaper this
  // test inherits it and can collect its exit status.
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  const std::string link = (dir_ / "ttyDAVOZI").string();
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    Program start({"--background", "--link", link});
    EXPECT_EQ(start.Wait(), 0);
    // Read to the end: the simulator must not keep the caller's output open.
    const std::string output = start.Output();
    const size_t newline = output.find('\n');
    const std::string path = output.substr(0, newline);
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << output;
    const std::string pidText = output.substr(newline + 1);
    ASSERT_TRUE(pidText.size() > 1 && pidText.back() == '\n' &&
                pidText.find_first_not_of("0123456789") == pidText.size() - 1)
        << output;
    const pid_t pid = std::stoi(pidText);
    EXPECT_EQ(std::filesystem::read_symlink(link), path) << "not ready when the start returned";
    EXPECT_NE(::getsid(pid), ::getsid(0)) << "would get the caller's Ctrl-C";
    {
      PtyClient line(link);
      line.Command("v");
      EXPECT_NE(line.Read().find("DAVOZI"), std::string::npos);
    }
    ASSERT_EQ(::kill(pid, signal), 0);
    EXPECT_EQ(WaitForExit(pid), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
  }
}

TEST_F(ProgramTest, BackgroundSimulatorEndsWhenItsStarterDiesBeforeGivingItsProcessId) {
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  const std::string link = (dir_ / "ttyDAVOZI").string();
  // A caller that reads nothing: its full pipe holds the starter in the
  // printing of the path and the process id.
  int out[2];
  ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
  ::fcntl(out[1], F_SETPIPE_SZ, 4096);
  ::fcntl(out[1], F_SETFL, O_NONBLOCK);
  const std::string filler(512, 'x');
  while (::write(out[1], filler.data(), filler.size()) > 0) {
  }
  ::fcntl(out[1], F_SETFL, 0);
  std::vector<std::string> args = {DAVOZI_SIM_PATH, "--background", "--link", link};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t starter = -1;
  ASSERT_EQ(posix_spawn(&starter, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);

  for (int i = 0; i < 1000 && !std::filesystem::is_symlink(link); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(std::filesystem::is_symlink(link));
  ::kill(starter, SIGKILL);
  EXPECT_EQ(WaitForExit(starter), -1);
  // The simulator, now this test's child, ends and takes its link along.
  int status = 0;
  pid_t ended = 0;
  for (int i = 0; i < 1000 && ended <= 0; ++i) {
    ended = ::waitpid(-1, &status, WNOHANG);
    if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GT(ended, 0) << "still running";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  ::close(out[0]);
}

TEST_F(ProgramTest, BackgroundStartThatFailsSaysWhyInTheForeground) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{"--background", "--link", (dir_ / "no" / "link").string()}, 1, "Cannot create the link"},
      {{"--background", "--firmware", "one"}, 1, "firmware"},
      {{"--background", "--baud", "9600"}, 2, "baud"},
  };
  for (const auto& c : cases) {
    Program start(c.args);
    EXPECT_EQ(start.Wait(), c.status) << c.says;
    EXPECT_NE(start.Output().find(c.says), std::string::npos) << c.says;
  }
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
