#include <CLI/CLI.hpp>
#include <memory>

#include "cli/commands.h"
#include "cli/standard_streams.h"
#include "config/config_data.h"

namespace vextune::cli {

void RegisterDefaultsCommand(CLI::App& app, CommandAction& action) {
  auto file = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand(
      "defaults", "Write the default configuration to a file in the current format");
  cmd->add_option("NEW", *file,
                  "Configuration file to write (replaced if it exists); - writes standard output")
      ->required();
  cmd->callback([file, &action] {
    action = [file] { return SaveConfiguration(*file, CConfigData{}) ? kExitOk : kExitFailed; };
  });
}

}  // namespace vextune::cli
