#include <CLI/CLI.hpp>
#include <algorithm>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli/commands.h"
#include "cli/file_command_support.h"
#include "config/config_data.h"

namespace vextune::cli {
namespace {

struct DiffOptions {
  std::string a;
  std::string b;
};

int RunDiff(const DiffOptions& options) {
  CConfigData a;
  CConfigData b;
  if (!LoadOrReport(options.a, a, nullptr) || !LoadOrReport(options.b, b, nullptr)) {
    return kExitFailed;
  }
  // The same comparison that decides whether a configuration counts as changed.
  const auto differences = a.Differences(b, /*includeSyncClock=*/true);
  if (differences.empty()) return kExitOk;

  size_t width = 8;
  for (const ParamInfo* info : differences) {
    width = std::max(width, DisplayValue(*info, a.Get(*info).text).size());
  }
  std::ostringstream out;
  for (const ParamInfo* info : differences) {
    out << std::left << std::setw(20) << info->memberName << std::setw(5) << info->command
        << std::setw(static_cast<int>(width)) << DisplayValue(*info, a.Get(*info).text) << " | "
        << DisplayValue(*info, b.Get(*info).text) << '\n';
  }
  std::cout << out.str();
  return kExitFailed;
}

}  // namespace

void RegisterDiffCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<DiffOptions>();
  CLI::App* cmd = app.add_subcommand(
      "diff",
      "Print the parameters in which two configuration files differ, side by side; exit status "
      "0 when they are equal, 1 when they differ or a file cannot be read");
  cmd->add_option("A", options->a, "First configuration file")->required();
  cmd->add_option("B", options->b, "Second configuration file")->required();
  cmd->callback([options, &action] { action = [options] { return RunDiff(*options); }; });
}

}  // namespace vextune::cli
