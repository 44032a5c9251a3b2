#include <windows.h>
// setupapi.h needs the types of windows.h first.
#include <setupapi.h>

#include <algorithm>
#include <vector>

#include "link/com_port_names.h"
#include "link/port_discovery.h"

namespace vextune {

namespace {

/// Room for a registry string of up to 256 bytes and its terminator.
constexpr DWORD kValueBytes = 256;

std::optional<std::string> StringFromRegistry(const BYTE* data, DWORD size, DWORD type) {
  if (type != REG_SZ) return std::nullopt;
  std::string text(reinterpret_cast<const char*>(data), size);
  // Stored with its terminator, or without one; either way up to the first.
  if (const size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

std::optional<std::string> PortNameOf(HDEVINFO set, SP_DEVINFO_DATA* device) {
  HKEY key = SetupDiOpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return std::nullopt;
  BYTE value[kValueBytes + 1] = {};
  DWORD size = kValueBytes;
  DWORD type = 0;
  std::optional<std::string> name;
  if (RegQueryValueExA(key, "PortName", nullptr, &type, value, &size) == ERROR_SUCCESS) {
    name = StringFromRegistry(value, size, type);
  }
  RegCloseKey(key);
  return name;
}

std::optional<std::string> DescriptionOf(HDEVINFO set, SP_DEVINFO_DATA* device) {
  BYTE value[kValueBytes + 1] = {};
  DWORD type = 0;
  DWORD size = 0;
  if (!SetupDiGetDeviceRegistryPropertyA(set, device, SPDRP_DEVICEDESC, &type, value, kValueBytes,
                                         &size)) {
    return std::nullopt;
  }
  return StringFromRegistry(value, std::min(size, kValueBytes), type);
}

/// The present devices of the setup class "Ports"; false when the class
/// cannot be listed.
bool ReadPortsClass(std::vector<PortsClassEntry>* entries) {
  DWORD count = 0;
  SetupDiClassGuidsFromNameA("Ports", nullptr, 0, &count);
  if (count == 0) return false;
  std::vector<GUID> guids(count);
  if (!SetupDiClassGuidsFromNameA("Ports", guids.data(), count, &count) || count == 0) {
    return false;
  }
  HDEVINFO set = SetupDiGetClassDevsA(&guids[0], nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return false;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
    PortsClassEntry entry;
    entry.portName = PortNameOf(set, &device);
    if (entry.portName && ComPortNumber(*entry.portName)) {
      entry.description = DescriptionOf(set, &device);
    }
    entries->push_back(std::move(entry));
  }
  SetupDiDestroyDeviceInfoList(set);
  return true;
}

}  // namespace

std::vector<SerialDevice> EnumerateSerialDevices() {
  std::vector<PortsClassEntry> entries;
  if (!ReadPortsClass(&entries)) return {};
  return SerialDevicesFromPortsClass(entries);
}

std::vector<SerialDevice> EnumerateSerialDevicesIn(const std::string& /*systemRoot*/) {
  return EnumerateSerialDevices();
}

}  // namespace vextune
