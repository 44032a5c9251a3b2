#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/command_examples.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/usage_hints.h"

int main(int argc, char** argv) {
  using namespace vextune::cli;
  CLI::App app{"vextune-cli: configure and update a DAV-OZI (Ambrel) from the command line",
               "vextune-cli"};
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "Show the help of every command");
  app.set_version_flag("--version", vextune::VersionLine("vextune-cli"),
                       "Print the program's version");

  CommandAction action;
  for (CommandRegistration add : CommandTable()) add(app, action);
  AddExamples(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return ReportUsageError(app, e, argc, argv);
  }
  if (!action) return kExitUsage;
  return action();
}
