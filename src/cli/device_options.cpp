#include "cli/device_options.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/interrupt_guard.h"
#include "common/system_error_text.h"
#include "link/port_discovery.h"
#include "link/system_serial_port.h"

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
  command
      .add_option("--trace", options.trace,
                  "Write every byte written to and read from the serial line to FILE (replaced), "
                  "with the time in ms and the baud rate of each open, for a bug report")
      ->type_name("FILE")
      ->check([](const std::string& path) -> std::string {
        // Refused before anything happens: a trace that cannot be written
        // would be missed only after the work it was meant to record.
        if (path.empty() || std::filesystem::is_directory(path)) return "cannot write " + path;
        if (!std::ofstream(path, std::ios::app)) {
          return "cannot write " + path + ": " + std::strerror(errno);
        }
        return "";
      });
}

void AddDeviceOptions(CLI::App& command, DeviceOptions& options) {
  AddPortOption(command, options);
  command.add_flag("--yes", options.yes, "Answer yes to every question");
  command.add_flag("--quiet", options.quiet, "Show no progress");
}

DeviceSession::DeviceSession(const DeviceOptions& options)
    : options_(options),
      device_(&std::cerr, OpenTraceIfAsked()),
      progress_(std::cerr, isatty(STDERR_FILENO) == 1, options.quiet),
      prompt_(std::cin, std::cerr, isatty(STDIN_FILENO) == 1, options.yes, &progress_,
              device_.cancelPipe(), STDIN_FILENO),
      signals_(GuardInterrupts(device_.cancel(), device_)) {}

DeviceSession::~DeviceSession() = default;

std::ostream* DeviceSession::OpenTraceIfAsked() {
  if (options_.trace.empty()) return nullptr;
  trace_file_.open(options_.trace, std::ios::binary | std::ios::trunc);
  if (!trace_file_) {
    std::cerr << "Cannot write the trace to " << options_.trace << ": " << std::strerror(errno)
              << "; going on without it.\n";
    return nullptr;
  }
  return &trace_file_;
}

bool DeviceSession::SelectPort() {
  if (!options_.port.empty()) {
    device_.SelectPort(options_.port);
    return true;
  }
  const std::vector<SerialDevice> devices = EnumerateSerialDevices();
  PortDiscovery found;
  FindDevicePorts(devices, found);
  if (found.devicesFound == 1) {
    device_.SelectPort(found.selectedPort);
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
  const std::string path = DevicePathForPort(device_.settings().portName);
  bool denied = IsAccessDenied(code);
  if (!denied && code == kSerialOk)
    denied = access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
  if (denied) std::cerr << PermissionHint(path) << '\n';
}

void DeviceSession::ReportCheckFailure(const CheckResult& result) const {
  const std::string path = DevicePathForPort(device_.settings().portName);
  switch (result.outcome) {
    case CheckOutcome::OpenFailed:
      std::cerr << result.message.text << '\n'
                << path << ": " << SystemErrorText(result.openError) << '\n';
      HintIfNoAccess(result.openError);
      break;
    case CheckOutcome::LinkConnected:
    case CheckOutcome::LinkQueryUnanswered:
      std::cerr << result.message.text << "\n(link channel " << result.busyChannel << ")\n";
      break;
    case CheckOutcome::EnterHostFailed:
    case CheckOutcome::LeaveHostFailed:
      // The check itself has no message for these; say what happened.
      std::cerr << "Writing to " << path << " failed.\n";
      break;
    default:
      std::cerr << result.message.text << '\n';
      break;
  }
}

}  // namespace vextune::cli
