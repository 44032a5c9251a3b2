#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/command_table.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
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
