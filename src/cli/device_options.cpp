#include "cli/device_options.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <iostream>

#include "cli/interrupt_guard.h"
#include "common/system_error_text.h"
#include "link/port_discovery.h"

namespace vextune::cli {

namespace {

std::string ListDevices(const std::vector<SerialDevice>& devices) {
  if (devices.empty()) return "  (no serial ports found)\n";
  std::string text;
  for (const SerialDevice& d : devices) {
    text +=
        "  " + d.path + "  " + d.description + (DescribesDevice(d.description) ? "  *" : "") + "\n";
  }
  return text;
}

}  // namespace

void AddPortOption(CLI::App& command, DeviceOptions& options) {
  command
      .add_option("--port", options.port,
                  "Serial port of the DAV-OZI (/dev/ttyACM0 or ttyACM0); default: the one "
                  "DAV-OZI found")
      ->type_name("PATH");
}

void AddDeviceOptions(CLI::App& command, DeviceOptions& options) {
  AddPortOption(command, options);
  command.add_flag("--yes", options.yes, "Answer yes to every question");
  command.add_flag("--quiet", options.quiet, "Show no progress");
}

DeviceSession::DeviceSession(const DeviceOptions& options)
    : options_(options),
      opener_(MakeSystemSerialOpener(&std::cerr, &cancel_pipe_)),
      progress_(std::cerr, isatty(STDERR_FILENO) == 1, options.quiet),
      prompt_(std::cin, std::cerr, isatty(STDIN_FILENO) == 1, options.yes, &progress_,
              &cancel_pipe_, STDIN_FILENO),
      signals_(GuardInterrupts(cancel_, *opener_)) {}

DeviceSession::~DeviceSession() = default;

bool DeviceSession::SelectPort() {
  if (!options_.port.empty()) {
    settings_.portName = options_.port;
    return true;
  }
  const std::vector<SerialDevice> devices = EnumerateSerialDevices();
  PortDiscovery found;
  FindDevicePorts(devices, found);
  if (found.devicesFound == 1) {
    settings_.portName = found.selectedPort;
    std::cerr << found.statusText << " (choose another with --port)\n";
    return true;
  }
  if (found.devicesFound == 0) {
    std::cerr << "No DAV-OZI found. Serial ports:\n" << ListDevices(devices);
  } else {
    std::cerr << "Several DAV-OZI found (marked *):\n" << ListDevices(devices);
  }
  std::cerr << "Give the port with --port PATH.\n";
  return false;
}

void DeviceSession::HintIfNoAccess(SerialCode code) const {
  const std::string path = DevicePathForPort(settings_.portName);
  bool denied = code == EACCES;
  if (!denied && code == kSerialOk)
    denied = access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
  if (denied) std::cerr << PermissionHint(path) << '\n';
}

void DeviceSession::ReportCheckFailure(const CheckResult& result) const {
  const std::string path = DevicePathForPort(settings_.portName);
  switch (result.outcome) {
    case CheckOutcome::OpenFailed:
      std::cerr << result.message << '\n'
                << path << ": " << SystemErrorText(result.openError) << '\n';
      HintIfNoAccess(result.openError);
      break;
    case CheckOutcome::LinkConnected:
    case CheckOutcome::LinkQueryUnanswered:
      std::cerr << result.message << "\n(link channel " << result.busyChannel << ")\n";
      break;
    case CheckOutcome::EnterHostFailed:
    case CheckOutcome::LeaveHostFailed:
      // The check itself has no message for these; say what happened.
      std::cerr << "Writing to " << path << " failed.\n";
      break;
    default:
      std::cerr << result.message << '\n';
      break;
  }
}

}  // namespace vextune::cli
