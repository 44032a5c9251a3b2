#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace vextune::test {

/// What one run of a program gave.
struct RunResult {
  int exitCode = -1;
  std::string out, err;
};

/// A scratch folder and a way to run a program in it through the shell,
/// with its input from a file (empty unless given) and its output in files.
class ProgramRunner {
 public:
  /// Runs `program` with `args` in the scratch folder; `input` is its stdin.
  RunResult Run(const std::string& program, const std::vector<std::string>& args,
                const std::string& input = "") const {
    Put(".in", input);
    std::string command = "cd " + Quote(temp_.path().string()) + " && " + Quote(program);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " <.in >.out 2>.err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(".out"), Contents(".err")};
  }

  std::string Path(const std::string& name) const { return temp_.Path(name); }
  std::string Contents(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  static std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  }

 private:
  vextune::testing::TempDir temp_{"vextune-run"};
};

}  // namespace vextune::test
