#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/port_discovery.h"

namespace vextune {

namespace fs = std::filesystem;

namespace {

/// Levels between a tty's `device` and its USB device: interface, or
/// usb-serial port then interface.
constexpr int kMaxUsbDepth = 3;

/// First line of a sysfs attribute, trailing blanks cut; empty when missing.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string text;
  if (!in || !std::getline(in, text)) return {};
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n')) {
    text.pop_back();
  }
  return text;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

std::string DriverName(const fs::path& device) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(device / "driver", ec);
  return ec ? std::string() : target.filename().string();
}

std::string Join(const std::string& a, const std::string& b, const char* separator) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + separator + b;
}

std::string Describe(const fs::path& device) {
  fs::path dir = device;
  std::string interfaceName;
  for (int depth = 0; depth <= kMaxUsbDepth && !dir.empty(); ++depth) {
    if (Exists(dir / "bInterfaceNumber")) {
      interfaceName = ReadAttribute(dir / "interface");
    }
    if (Exists(dir / "idVendor")) {
      std::string text =
          Join(ReadAttribute(dir / "manufacturer"), ReadAttribute(dir / "product"), " ");
      if (!interfaceName.empty() && text.find(interfaceName) == std::string::npos) {
        text = Join(text, interfaceName, " - ");
      }
      if (!text.empty()) return text;
      break;  // a USB device without strings: fall back to the driver
    }
    dir = dir.parent_path();
  }
  return DriverName(device);
}

/// The serial core reports type 0 for a UART slot without hardware.
bool AbsentUart(const fs::path& ttyEntry) {
  return Exists(ttyEntry / "type") && ReadAttribute(ttyEntry / "type") == "0";
}

}  // namespace

std::vector<SerialDevice> EnumerateSerialDevices(const std::string& sysfsRoot,
                                                 const std::string& devRoot) {
  std::vector<SerialDevice> devices;
  std::error_code ec;
  fs::directory_iterator it(fs::path(sysfsRoot) / "class" / "tty", ec);
  if (ec) return devices;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::path entry = it->path();
    std::error_code deviceError;
    const fs::path device = fs::canonical(entry / "device", deviceError);
    if (deviceError || AbsentUart(entry)) continue;
    const std::string name = entry.filename().string();
    devices.push_back({(fs::path(devRoot) / name).string(), Describe(device)});
  }
  std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    return NaturalLess(a.path, b.path);
  });
  return devices;
}

std::vector<SerialDevice> EnumerateSerialDevices() {
  return EnumerateSerialDevices("/sys", "/dev");
}

std::vector<SerialDevice> EnumerateSerialDevicesIn(const std::string& systemRoot) {
  const fs::path root(systemRoot);
  return EnumerateSerialDevices((root / "sys").string(), (root / "dev").string());
}

}  // namespace vextune
