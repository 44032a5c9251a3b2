#include "cli/command_table.h"

#include <CLI/CLI.hpp>

#include "cli/command_examples.h"
#include "cli/commands.h"
#include "common/program_version.h"

namespace vextune::cli {

const std::vector<CommandRegistration>& CommandTable() {
  static const std::vector<CommandRegistration> table = {
      RegisterShowCommand,   RegisterDefaultsCommand, RegisterConvertCommand, RegisterSetCommand,
      RegisterParamsCommand, RegisterDiffCommand,     RegisterPortsCommand,   RegisterCheckCommand,
      RegisterReadCommand,   RegisterSendCommand,     RegisterBackupsCommand, RegisterUpdateCommand,
      RegisterDoctorCommand,
  };
  return table;
}

void BuildCommandLine(CLI::App& app, CommandAction& action) {
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "Show the help of every command");
  app.set_version_flag("--version", VersionLine("vextune-cli"), "Print the program's version");
  for (CommandRegistration add : CommandTable()) add(app, action);
  AddExamples(app);
}

}  // namespace vextune::cli
