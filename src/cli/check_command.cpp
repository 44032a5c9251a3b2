#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/device_options.h"
#include "cli/device_report.h"
#include "link/configuration_check.h"

namespace vextune::cli {
namespace {

struct CheckArgs {
  DeviceOptions device;
  bool json = false;
};

int RunCheck(const CheckArgs& args) {
  DeviceSession session(args.device);
  DeviceReport report;
  if (!session.SelectPort()) {
    report.message = kNoPortChosen;
    return FinishReport(args.json, report, kExitFailed);
  }
  const std::string path = DevicePathForPort(session.settings().portName);
  report.port = path;

  const CheckResult result =
      RunConfigurationCheck(session.link(), session.state(), session.cancel());
  report.baudRate = result.baudRate;
  report.firmware = session.state().firmwareText;
  if (result.channels >= 0) report.channels = result.channels;
  if (result.passed()) {
    report.result = "ok";
    report.message = "DAV-OZI on " + path + " at " + std::to_string(result.baudRate) +
                     " Bd: normal firmware, " + std::to_string(result.channels) + " link channel" +
                     (result.channels == 1 ? "" : "s") + ", none connected.";
    std::cerr << report.message << '\n';
    if (!args.json) std::cout << session.state().firmwareText << '\n' << std::flush;
    return FinishReport(args.json, report, std::cout ? kExitOk : kExitFailed);
  }

  session.ReportCheckFailure(result);
  report.message = CheckFailureText(result, path);
  if (result.outcome == CheckOutcome::NoAnswer) {
    report.baudRate = 0;  // both rates were tried
    std::cerr << NoAnswerLine(path, 0) << '\n';
  }
  return FinishReport(args.json, report, kExitFailed);
}

}  // namespace

void RegisterCheckCommand(CLI::App& app, CommandAction& action) {
  auto args = std::make_shared<CheckArgs>();
  CLI::App* cmd = app.add_subcommand(
      "check",
      "Check that the DAV-OZI runs its normal firmware with no link connected; print its "
      "firmware version");
  AddPortOption(*cmd, args->device);
  cmd->add_flag("--json", args->json,
                "Print one JSON object instead of the version: result, message, port, baudRate, "
                "firmware, channels");
  cmd->callback([args, &action] { action = [args] { return RunCheck(*args); }; });
}

}  // namespace vextune::cli
