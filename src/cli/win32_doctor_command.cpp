#include <windows.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "common/clock.h"
#include "common/operation.h"
#include "common/system_error_text.h"
#include "link/configuration_check.h"
#include "link/port_discovery.h"
#include "link/win32_serial_port.h"

namespace vextune::cli {
namespace {

// Windows has no groups, ModemManager or brltty to check: the doctor lists the
// COM ports, opens the DAV-OZI's and asks it who it is.

struct DoctorOptions {
  std::string port;
};

int RunDoctorCommand(const DoctorOptions& options) {
  const std::vector<SerialDevice> devices = EnumerateSerialDevices();
  PortDiscovery found;
  FindDevicePorts(devices, found);
  std::cout << "COM ports:\n";
  if (devices.empty()) std::cout << "  (none in the device list)\n";
  for (const SerialDevice& d : devices) {
    std::cout << "  " << d.path << "  " << d.description
              << (DescribesDevice(d.description) ? "  *" : "") << '\n';
  }
  std::string port = options.port.empty() ? found.selectedPort : options.port;
  if (port.empty()) {
    std::cout << (found.devicesFound == 0 ? "No DAV-OZI in the device list"
                                          : "Several DAV-OZI in the device list (marked *)")
              << ": give its port with --port COMn.\n";
    return kExitFailed;
  }

  Win32SerialOpener opener(nullptr);  // the doctor says itself what failed
  LinkSettings settings{port};
  SystemClock clock;
  DeviceLink link{opener, settings, clock};
  DeviceState state;
  const CancelFlag never;  // the check is bounded; Ctrl-C keeps its usual end
  const CheckResult result = RunConfigurationCheck(link, state, never);
  switch (result.outcome) {
    case CheckOutcome::OpenFailed:
      std::cout << port << " cannot be opened: " << SystemErrorText(result.openError) << ".\n";
      if (result.openError == ERROR_ACCESS_DENIED) {
        std::cout << PermissionHint(port) << '\n';
      } else if (result.openError == ERROR_FILE_NOT_FOUND) {
        std::cout << "There is no " << port << ": is the DAV-OZI plugged in?\n";
      }
      return kExitFailed;
    case CheckOutcome::NoAnswer:
      std::cout << "No DAV-OZI answers on " << port << " at 38400 or 115200 Bd.\n";
      return kExitFailed;
    case CheckOutcome::BiosMode:
      std::cout << "The DAV-OZI on " << port
                << " is in BIOS mode: it takes a firmware update; switch BIOS off to configure "
                   "it.\n";
      return kExitOk;
    default: {
      // The device's version text starts with a blank (" V.1.4b").
      const size_t first = state.firmwareText.find_first_not_of(' ');
      const std::string firmware =
          first == std::string::npos ? std::string() : state.firmwareText.substr(first);
      std::cout << "DAV-OZI on " << port << " at " << settings.baudRate << " Bd, firmware "
                << firmware << ".\n";
      return kExitOk;
    }
  }
}

}  // namespace

void RegisterDoctorCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<DoctorOptions>();
  CLI::App* cmd = app.add_subcommand(
      "doctor",
      "Check the set-up for the DAV-OZI: the COM ports found and whether the DAV-OZI answers "
      "on its port. Exit status 0 when the device can be used");
  cmd->add_option("--port", options->port,
                  "COM port to check (COM5); default: the one DAV-OZI found")
      ->type_name("PORT");
  cmd->callback([options, &action] { action = [options] { return RunDoctorCommand(*options); }; });
}

}  // namespace vextune::cli
