#include "link/com_port_names.h"

#include <cstdint>

namespace vextune {

namespace {

constexpr const char* kDevicePrefix = "\\\\.\\";

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string WindowsDevicePath(const std::string& portName) {
  if (portName.rfind(kDevicePrefix, 0) == 0) return portName;
  return kDevicePrefix + portName;
}

std::optional<unsigned> ComPortNumber(const std::string& portName) {
  if (portName.size() <= 3) return std::nullopt;
  if (Upper(portName[0]) != 'C' || Upper(portName[1]) != 'O' || Upper(portName[2]) != 'M') {
    return std::nullopt;
  }
  uint64_t number = 0;
  for (size_t i = 3; i < portName.size(); ++i) {
    const char c = portName[i];
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<uint64_t>(c - '0');
    if (number > UINT32_MAX) return std::nullopt;
  }
  return static_cast<unsigned>(number);
}

std::vector<SerialDevice> SerialDevicesFromPortsClass(const std::vector<PortsClassEntry>& entries) {
  std::vector<SerialDevice> devices;
  for (const PortsClassEntry& entry : entries) {
    if (!entry.portName) continue;
    const std::optional<unsigned> number = ComPortNumber(*entry.portName);
    if (!number) continue;
    devices.push_back({"COM" + std::to_string(*number), entry.description.value_or("")});
  }
  return devices;
}

}  // namespace vextune
