#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "link/configuration_check.h"

namespace vextune::cli {
namespace {

int RunCheck(const DeviceOptions& options) {
  DeviceSession session(options);
  if (!session.SelectPort()) return kExitFailed;
  const std::string path = DevicePathForPort(session.settings().portName);

  const CheckResult result =
      RunConfigurationCheck(session.link(), session.state(), session.cancel());
  if (result.passed()) {
    std::cerr << "DAV-OZI on " << path << " at " << session.settings().baudRate
              << " Bd: normal firmware, " << result.channels << " link channel"
              << (result.channels == 1 ? "" : "s") << ", none connected.\n";
    std::cout << session.state().firmwareText << '\n' << std::flush;
    return std::cout ? kExitOk : kExitFailed;
  }

  session.ReportCheckFailure(result);
  return kExitFailed;
}

}  // namespace

void RegisterCheckCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<DeviceOptions>();
  CLI::App* cmd = app.add_subcommand(
      "check",
      "Check that the DAV-OZI runs its normal firmware with no link connected; print its "
      "firmware version");
  AddDeviceOptions(*cmd, *options);
  cmd->callback([options, &action] { action = [options] { return RunCheck(*options); }; });
}

}  // namespace vextune::cli
