#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <new>

#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/usage_hints.h"

namespace {

int Run(int argc, char** argv) {
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
