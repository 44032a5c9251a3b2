#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/usage_hints.h"

int main(int argc, char** argv) {
  using namespace vextune::cli;
  CLI::App app{"vextune-cli: configure and update a DAV-OZI (Ambrel) from the command line",
               "vextune-cli"};
  CommandAction action;
  BuildCommandLine(app, action);

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
