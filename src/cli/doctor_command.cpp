#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "link/port_doctor.h"

namespace vextune::cli {
namespace {

struct DoctorOptions {
  std::string port;
};

int RunDoctorCommand(const DoctorOptions& options) {
  LiveDoctorSystem system;
  const std::vector<Finding> findings = RunDoctor(SystemTree{}, options.port, system);
  std::cout << FormatFindings(findings) << std::flush;
  return DoctorExitCode(findings);
}

}  // namespace

void RegisterDoctorCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<DoctorOptions>();
  CLI::App* cmd = app.add_subcommand(
      "doctor",
      "Check the set-up for the DAV-OZI: the device found, access to its port, programs "
      "holding it, ModemManager, brltty, and whether it answers; for each problem the command "
      "that fixes it. Exit status 0 when the device can be used");
  cmd->add_option("--port", options->port,
                  "Serial port to check (/dev/ttyUSB0 or ttyUSB0); default: the one DAV-OZI found")
      ->type_name("PATH");
  cmd->callback([options, &action] { action = [options] { return RunDoctorCommand(*options); }; });
}

}  // namespace vextune::cli
