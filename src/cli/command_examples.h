#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vextune::cli {

/// One example of a command's use: the command line and what it does.
struct CommandExample {
  std::string line;  ///< "vextune-cli show my.vxg --long"
  std::string what;  ///< "every parameter with its unit or meaning"
};

/// The examples of the subcommand `command`, in the order its help shows them.
const std::vector<CommandExample>& ExamplesOf(const std::string& command);

/// Ends the help of every subcommand of `app` with its examples.
void AddExamples(CLI::App& app);

}  // namespace vextune::cli
