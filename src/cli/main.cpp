#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <new>

#include "cli/command_table.h"
#include "cli/commands.h"

namespace {

int Run(int argc, char** argv) {
  using namespace vextune::cli;
  CLI::App app{"vextune-cli: configure and update a DAV-OZI (Ambrel) from the command line",
               "vextune-cli"};
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "Show the help of every command");

  CommandAction action;
  for (CommandRegistration add : CommandTable()) add(app, action);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  if (!action) return kExitUsage;
  return action();
}

}  // namespace

// Errors users cause come back as exit statuses; whatever is thrown past a
// command (out of memory, a fault of the program) ends it here with a message
// instead of an abort.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "vextune-cli: out of memory.\n";
  } catch (const std::exception& e) {
    std::cerr << "vextune-cli: internal error: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "vextune-cli: internal error.\n";
  }
  return vextune::cli::kExitFailed;
}
