#include <CLI/CLI.hpp>
#include <cstdlib>
#include <functional>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "cli/json_text.h"
#include "common/clock.h"
#include "link/device_watch.h"
#include "link/port_discovery.h"

namespace vextune::cli {
namespace {

struct PortsOptions {
  bool json = false;
  /// Seconds to wait for a DAV-OZI; 0: list at once.
  int waitSeconds = 0;
};

/// When --wait comes without its number.
constexpr int kDefaultWaitSeconds = 60;
/// A day: longer is surely a typing error.
constexpr int kMaxWaitSeconds = 86400;

std::string AsJson(const std::vector<SerialDevice>& devices) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const SerialDevice& d : devices) {
    list.push_back({{"path", d.path},
                    {"description", d.description},
                    {"davozi", DescribesDevice(d.description)}});
  }
  // sysfs strings are UTF-8 as a rule; a device that breaks the rule must
  // not break the listing.
  return JsonText(list);
}

std::string AsTable(const std::vector<SerialDevice>& devices) {
  size_t width = 0;
  for (const SerialDevice& d : devices) width = std::max(width, d.path.size());
  std::ostringstream out;
  for (const SerialDevice& d : devices) {
    out << std::left << std::setw(static_cast<int>(width + 2)) << d.path << d.description
        << (DescribesDevice(d.description) ? "  [DAV-OZI]" : "") << '\n';
  }
  return out.str();
}

std::string Seconds(int n) {
  return std::to_string(n) + (n == 1 ? " second" : " seconds");
}

/// Waits until `list` shows a DAV-OZI; false with the message printed when
/// none appeared in time or the list cannot be watched.
bool WaitForDevice(const PortsOptions& options, const std::string& systemRoot,
                   const std::function<std::vector<SerialDevice>()>& list,
                   std::vector<SerialDevice>& devices) {
  std::string error;
  // Made before the first look, so that a device plugged in between is seen.
  std::unique_ptr<DeviceChangeSource> watch = WatchDeviceChangesIn(systemRoot, &error);
  if (!watch) {
    std::cerr << error << '\n';
    return false;
  }
  devices = list();
  if (!DevicePorts(devices).empty()) return true;
  std::cerr << "Waiting up to " << Seconds(options.waitSeconds)
            << " for a DAV-OZI to be plugged in...\n";
  SystemClock clock;
  const WatchOutcome outcome = WaitForDevicePortChange(*watch, list, {}, options.waitSeconds * 1000,
                                                       clock, nullptr, &devices);
  if (outcome == WatchOutcome::Changed) return true;
  std::cerr << "No DAV-OZI appeared within " << Seconds(options.waitSeconds) << ".\n";
  return false;
}

int RunPorts(const PortsOptions& options) {
  // Another root stands in for the system's tree: a copy of it, or the fake
  // tree of a test.
  const std::string systemRoot = SystemRootFrom(std::getenv("VEXTUNE_SYSTEM_ROOT"));
  const std::function<std::vector<SerialDevice>()> list = [&systemRoot] {
    return EnumerateSerialDevicesIn(systemRoot);
  };
  std::vector<SerialDevice> devices;
  if (options.waitSeconds > 0) {
    if (!WaitForDevice(options, systemRoot, list, devices)) return kExitFailed;
  } else {
    devices = list();
  }
  std::cout << (options.json ? AsJson(devices) : AsTable(devices)) << std::flush;
  if (!options.json) {
    PortDiscovery found;
    FindDevicePorts(devices, found);
    if (devices.empty()) std::cerr << "No serial ports found.\n";
    if (found.devicesFound == 1) std::cerr << found.statusText << '\n';
    if (found.devicesFound > 1) std::cerr << found.devicesFound << " DAV-OZI found.\n";
  }
  return std::cout ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterPortsCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<PortsOptions>();
  CLI::App* cmd = app.add_subcommand(
      "ports", "List the serial ports with their descriptions and mark the DAV-OZI among them");
  cmd->add_flag("--json", options->json,
                "Print a JSON array of {path, description, davozi} objects");
  cmd->add_option("--wait", options->waitSeconds,
                  "Wait up to SECONDS (default " + std::to_string(kDefaultWaitSeconds) +
                      ") for a DAV-OZI to be plugged in, then list the ports; exit status 1 "
                      "when none appeared in time")
      ->expected(0, 1)
      ->default_str(std::to_string(kDefaultWaitSeconds))
      ->type_name("SECONDS")
      ->check([](const std::string& text) -> std::string {
        int seconds = 0;
        try {
          size_t used = 0;
          seconds = std::stoi(text, &used);
          if (used != text.size()) seconds = 0;
        } catch (const std::exception&) {
          seconds = 0;
        }
        if (seconds >= 1 && seconds <= kMaxWaitSeconds) return "";
        return "SECONDS must be a whole number from 1 to " + std::to_string(kMaxWaitSeconds) +
               ", not " + text;
      });
  cmd->callback([options, &action] { action = [options] { return RunPorts(*options); }; });
}

}  // namespace vextune::cli
