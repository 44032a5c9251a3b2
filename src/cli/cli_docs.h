#pragma once

#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace vextune::cli {

/// The manual page of vextune-cli in roff, written from the program's own
/// command table: every command with its arguments, options and examples,
/// then the exit statuses, files, environment and a session example. So the
/// page says what --help says.
std::string ManualPage(const CLI::App& app, std::string_view version);

/// A bash completion script for vextune-cli: commands, each command's
/// options, serial ports after --port, configuration or update files for
/// the file arguments.
std::string BashCompletion(const CLI::App& app);

/// The same for zsh (the file _vextune-cli), with each command's and
/// option's description.
std::string ZshCompletion(const CLI::App& app);

}  // namespace vextune::cli
