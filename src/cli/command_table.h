#pragma once

#include <vector>

#include "cli/commands.h"

namespace vextune::cli {

/// Every subcommand of vextune-cli, in the order --help lists them.
const std::vector<CommandRegistration>& CommandTable();

/// The whole command line of vextune-cli on `app`: --help-all, --version,
/// every subcommand with its examples. The chosen subcommand's run function
/// lands in `action`.
void BuildCommandLine(CLI::App& app, CommandAction& action);

}  // namespace vextune::cli
