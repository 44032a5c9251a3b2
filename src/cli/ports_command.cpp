#include <CLI/CLI.hpp>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.h"
#include "link/port_discovery.h"

namespace vextune::cli {
namespace {

struct PortsOptions {
  bool json = false;
};

std::string AsJson(const std::vector<SerialDevice>& devices) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const SerialDevice& d : devices) {
    list.push_back({{"path", d.path},
                    {"description", d.description},
                    {"davozi", DescribesDevice(d.description)}});
  }
  // sysfs strings are UTF-8 as a rule; a device that breaks the rule must
  // not break the listing.
  return list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
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

int RunPorts(const PortsOptions& options) {
  const std::vector<SerialDevice> devices = EnumerateSerialDevices();
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
  cmd->callback([options, &action] { action = [options] { return RunPorts(*options); }; });
}

}  // namespace vextune::cli
