#pragma once

#include <vector>

#include "cli/commands.h"

namespace vextune::cli {

/// Every subcommand of vextune-cli, in the order --help lists them.
const std::vector<CommandRegistration>& CommandTable();

}  // namespace vextune::cli
