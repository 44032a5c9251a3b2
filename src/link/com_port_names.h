#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/port_discovery.h"

namespace vextune {

/// The device path of a Windows port name: "\\.\" + name ("COM5" gives
/// "\\.\COM5"; COM10 and above open only this way); a name that has the
/// prefix already stays as it is ("\\.\COM12").
std::string WindowsDevicePath(const std::string& portName);

/// The port number of a "PortName" registry value: "COM" in any letter case
/// followed by decimal digits only ("COM5", "com12"). None for anything else
/// ("LPT1", "COM", "COM1A") and for a number beyond 32 bits.
std::optional<unsigned> ComPortNumber(const std::string& portName);

/// One present device of the Windows setup class "Ports", as read from the
/// system: its "PortName" value and its description, each missing when it
/// could not be read as a string.
struct PortsClassEntry {
  std::optional<std::string> portName;
  std::optional<std::string> description;
};

/// The COM ports among `entries`, in their order: path "COM<number>", the
/// description or an empty text.
std::vector<SerialDevice> SerialDevicesFromPortsClass(const std::vector<PortsClassEntry>& entries);

}  // namespace vextune
