#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vextune::testing {

/// What one run of the built vextune-cli produced.
struct CliResult {
  int exitCode = -1;  ///< 128 + signal number when a signal ended it
  std::string out;
  std::string err;
};

/// Runs vextune-cli with `args` in `workDir` (the current folder when empty),
/// with nothing on its standard input, and waits for it to end.
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& workDir = {});

}  // namespace vextune::testing
