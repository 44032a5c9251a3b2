#include "cli/device_options.h"

#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "link/port_discovery.h"
#include "link/posix_serial_port.h"

namespace vextune::cli {

namespace {

/// What a signal reaches: the running session's flag and ports.
struct SignalTarget {
  CancelFlag& flag;
  const DeviceContext& ports;
  std::atomic<int> signals{0};
};

// A signal handler can reach nothing but a static; it holds only the address
// of the running session's target, set and cleared by SignalGuard.
std::atomic<SignalTarget*> g_signal_target{nullptr};

extern "C" void CancelOnSignal(int signal) {
  SignalTarget* target = g_signal_target.load();
  if (target && target->signals.fetch_add(1) == 0) {
    target->flag.Set();  // wakes the waits: the operation ends through its abort path
    return;
  }
  // A second signal: the user does not want to wait for anything. The port is
  // left to the kernel, but its exclusive use must not outlive the program.
  if (target) target->ports.ReleaseExclusiveUse();
  _exit(128 + signal);
}

/// Signals that end the program at once (a closed terminal, a crash): they
/// keep their usual end, but the port's exclusive use goes first.
constexpr std::array<int, 7> kFatalSignals = {SIGHUP, SIGQUIT, SIGABRT, SIGSEGV,
                                              SIGBUS, SIGFPE,  SIGILL};

extern "C" void ReleaseOnFatalSignal(int signal) {
  if (SignalTarget* target = g_signal_target.load()) target->ports.ReleaseExclusiveUse();
  raise(signal);  // the handler reset itself: the usual end follows
}

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

/// Routes SIGINT and SIGTERM to the cancel flag while a session lives; a
/// second one ends the program at once. Without SA_RESTART, so that a read of
/// the terminal (a question) is interrupted too. The fatal signals release the
/// port's exclusive use before they end the program.
class DeviceSession::SignalGuard {
 public:
  SignalGuard(CancelFlag& flag, const DeviceContext& ports) : target_{flag, ports} {
    g_signal_target.store(&target_);
    struct sigaction action {};
    action.sa_handler = CancelOnSignal;
    sigemptyset(&action.sa_mask);
    // Either signal waits while the other's handler runs: one count for both.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);

    struct sigaction fatal {};
    fatal.sa_handler = ReleaseOnFatalSignal;
    sigemptyset(&fatal.sa_mask);
    fatal.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (size_t i = 0; i < kFatalSignals.size(); ++i) {
      sigaction(kFatalSignals[i], &fatal, &old_fatal_[i]);
    }
  }
  ~SignalGuard() {
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
    for (size_t i = 0; i < kFatalSignals.size(); ++i) {
      sigaction(kFatalSignals[i], &old_fatal_[i], nullptr);
    }
    g_signal_target.store(nullptr);
  }
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

 private:
  SignalTarget target_;
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
  std::array<struct sigaction, kFatalSignals.size()> old_fatal_{};
};

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
      signals_(std::make_unique<SignalGuard>(device_.cancel(), device_)) {}

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
  bool denied = code == EACCES;
  if (!denied && code == kSerialOk)
    denied = access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
  if (denied) std::cerr << PermissionHint(path) << '\n';
}

void DeviceSession::ReportCheckFailure(const CheckResult& result) const {
  const std::string path = DevicePathForPort(device_.settings().portName);
  switch (result.outcome) {
    case CheckOutcome::OpenFailed:
      std::cerr << result.message.text << '\n'
                << path << ": " << std::strerror(static_cast<int>(result.openError)) << '\n';
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
