#include "cli_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#ifndef VEXTUNE_CLI_PATH
#error "VEXTUNE_CLI_PATH must name the vextune-cli binary"
#endif

namespace vextune::testing {
namespace {

// Output goes to files, not pipes, so a chatty child can never block.
std::string TakeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), {}};
  std::remove(path.c_str());
  return text;
}

int MakeTempFile(std::string& path) {
  char pattern[] = "/tmp/vextune-cli-out-XXXXXX";
  const int fd = ::mkstemp(pattern);
  path = pattern;
  return fd;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& workDir) {
  std::string outPath, errPath;
  const int outFd = MakeTempFile(outPath);
  const int errFd = MakeTempFile(errPath);
  CliResult result;
  if (outFd < 0 || errFd < 0) return result;

  std::vector<char*> argv;
  std::string program = VEXTUNE_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t child = ::fork();
  if (child == 0) {
    const int nullFd = ::open("/dev/null", O_RDONLY);
    ::dup2(nullFd, 0);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(126);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(outFd);
  ::close(errFd);
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child) {
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.out = TakeFile(outPath);
  result.err = TakeFile(errPath);
  return result;
}

}  // namespace vextune::testing
