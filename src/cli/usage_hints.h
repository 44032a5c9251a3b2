#pragma once

#include <string>
#include <vector>

#include "common/program_version.h"

namespace CLI {
class App;
class ParseError;
}  // namespace CLI

namespace vextune::cli {

/// What the command line's words say about a usage error beyond the
/// parser's own message.
struct UsageHint {
  /// The first word that is not a subcommand of the program, when no
  /// subcommand came before it; empty otherwise.
  std::string unknownCommand;
  /// "Did you mean show?" for an unknown subcommand or option; empty when
  /// nothing is near.
  std::string didYouMean;
};

/// Looks through `args` (without the program name) for the first word that
/// names no subcommand or option of `app`: an unknown subcommand gets the
/// nearest subcommands, an unknown option the nearest options of the chosen
/// subcommand (or of the program before it).
UsageHint FindUsageHint(const CLI::App& app, const std::vector<std::string>& args);

/// Prints the usage error on stderr, for an unknown subcommand in words of
/// its own ("\"shwo\" is not a command of vextune-cli.") and with the "did
/// you mean" line; returns the usage exit status.
int ReportUsageError(CLI::App& app, const CLI::ParseError& error, int argc, char** argv);

}  // namespace vextune::cli
