#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vextune::testing {

/// Starts `argv` with /dev/null as stdin and the given stdout and stderr.
inline pid_t Spawn(std::vector<std::string> argv, int out, int err) {
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

/// Waits for `pid` at most `limit` (a safety net against a hang, not a
/// measurement), then kills it. Its exit status, or -1.
inline int WaitFor(pid_t pid, std::chrono::seconds limit) {
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

/// The davozi-sim program at `program`, stopped at the end of the scope; the
/// first line it prints names its terminal.
struct SimProcess {
  SimProcess(const std::string& program, std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    args.insert(args.begin(), program);
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
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  pid_t pid = -1;
  std::string path;
};

}  // namespace vextune::testing
