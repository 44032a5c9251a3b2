#pragma once

#include <string>
#include <vector>

namespace vextune {

/// One serial device of the system's device list.
struct SerialDevice {
  std::string path;         ///< "/dev/ttyACM0", "COM5"
  std::string description;  ///< "Olvane Ambrel", or the driver's name
};

/// The serial devices of the system's device list: on Linux those of /sys
/// (below), on Windows the COM ports of the setup class "Ports" with their
/// device descriptions. An unavailable list gives an empty one.
std::vector<SerialDevice> EnumerateSerialDevices();

/// Linux: serial devices under `sysfsRoot`/class/tty that have real hardware
/// behind them (a `device` link), with `devRoot`/<name> as their path, in
/// natural order of the name. USB devices are described by their manufacturer
/// and product strings (and the interface's name where it has one), others by
/// their driver's name. UARTs the driver reports as absent are left out.
/// A missing or unreadable tree gives an empty list.
std::vector<SerialDevice> EnumerateSerialDevices(const std::string& sysfsRoot,
                                                 const std::string& devRoot = "/dev");

/// The serial devices of a system whose "/" is `systemRoot` (see
/// SystemRootFrom): on Linux those below its sys/ with dev/ paths; on Windows
/// the system's own, whatever the root.
std::vector<SerialDevice> EnumerateSerialDevicesIn(const std::string& systemRoot);

/// What discovery found, for whoever picks the port.
struct PortDiscovery {
  /// Matching devices, counting a port that shows up twice twice.
  int devicesFound = 0;
  /// The one matching port; empty unless exactly one matched.
  std::string selectedPort;
  /// The matching ports when several matched: each once, in natural order.
  std::vector<std::string> candidates;
  /// "DAV-OZI found on %s" when exactly one matched, else empty.
  std::string statusText;
};

/// A description names the device when it contains both "Olvane" and
/// "Ambrel", in exactly that letter case.
bool DescribesDevice(const std::string& description);

/// The paths of the DAV-OZI among `devices`, each once, in natural order.
std::vector<std::string> DevicePorts(const std::vector<SerialDevice>& devices);

/// Applies the matching rule to `devices` and replaces `state`.
void FindDevicePorts(const std::vector<SerialDevice>& devices, PortDiscovery& state);

/// True when `a` sorts before `b` with digit runs compared as numbers
/// ("ttyACM2" before "ttyACM10").
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace vextune
