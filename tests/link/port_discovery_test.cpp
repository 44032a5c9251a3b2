#include "link/port_discovery.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vextune {
namespace {

namespace fs = std::filesystem;

/// A fake /sys with tty class entries and the device directories behind them.
class FakeSysfs {
 public:
  FakeSysfs() : root_(mkdtemp(std::string("/tmp/vextune-sysfs-XXXXXX").data())) {}
  ~FakeSysfs() { fs::remove_all(root_); }
  std::string root() const { return root_.string(); }

  /// A USB device (empty strings are left out); `viaPort` puts a usb-serial
  /// port directory between the interface and the tty, as serial adapters have.
  void AddUsb(const std::string& tty, const std::string& maker, const std::string& product,
              const std::string& interfaceName = "", bool viaPort = false) {
    const fs::path usb = root_ / "devices" / ("usb-" + tty);
    Write(usb / "idVendor", "1d50");
    if (!maker.empty()) Write(usb / "manufacturer", maker);
    if (!product.empty()) Write(usb / "product", product);
    const fs::path interface = usb / "1-1:1.0";
    Write(interface / "bInterfaceNumber", "00");
    if (!interfaceName.empty()) Write(interface / "interface", interfaceName);
    AddTty(tty, viaPort ? interface / tty : interface, viaPort ? "ftdi_sio" : "cdc_acm");
  }
  /// An on-board UART, no USB parent; type 0 means the slot has no hardware.
  void AddUart(const std::string& tty, const std::string& type) {
    AddTty(tty, root_ / "devices" / "pnp" / tty, "serial8250");
    Write(root_ / "class" / "tty" / tty / "type", type);
  }
  /// A tty without hardware (console, pty): no device link.
  void AddVirtual(const std::string& tty) { fs::create_directories(root_ / "class" / "tty" / tty); }

 private:
  void AddTty(const std::string& tty, const fs::path& device, const std::string& driver) {
    fs::create_directories(device);
    fs::create_directories(root_ / "drivers" / driver);
    fs::create_directory_symlink(root_ / "drivers" / driver, device / "driver");
    const fs::path entry = root_ / "class" / "tty" / tty;
    fs::create_directories(entry);
    fs::create_directory_symlink(device, entry / "device");
  }
  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
  }
  fs::path root_;
};

TEST(PortDiscovery, OneMatchAmongUnrelatedPortsAndNearMisses) {
  FakeSysfs sys;
  sys.AddUsb("ttyACM3", "Olvane", "Ambrel", "Ambrel Port");
  sys.AddUsb("ttyACM1", "Olvane", "TNC");     // the maker's name alone
  sys.AddUsb("ttyACM2", "Olvane", "AMBREL");  // the product name in other case
  sys.AddUsb("ttyUSB0", "FTDI", "FT232R USB UART", "", true);
  sys.AddUsb("ttyACM0", "", "");  // no strings: the driver speaks
  sys.AddUart("ttyS0", "4");      // no USB parent
  sys.AddUart("ttyS1", "0");      // no hardware in the slot
  sys.AddVirtual("tty0");

  const std::vector<SerialDevice> devices = EnumerateSerialDevices(sys.root(), "/dev");
  std::vector<std::string> lines;
  for (const auto& d : devices) lines.push_back(d.path + "|" + d.description);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "/dev/ttyACM0|cdc_acm",
                       "/dev/ttyACM1|Olvane TNC",
                       "/dev/ttyACM2|Olvane AMBREL",
                       "/dev/ttyACM3|Olvane Ambrel - Ambrel Port",
                       "/dev/ttyS0|serial8250",
                       "/dev/ttyUSB0|FTDI FT232R USB UART",
                   }));
  PortDiscovery state;
  state.candidates = {"left over"};
  FindDevicePorts(devices, state);
  EXPECT_EQ(state.devicesFound, 1);
  EXPECT_EQ(state.selectedPort, "/dev/ttyACM3");
  EXPECT_EQ(state.statusText, "DAV-OZI found on /dev/ttyACM3");
  EXPECT_TRUE(state.candidates.empty());
}

TEST(PortDiscovery, SeveralMatchesAreOfferedInNaturalOrder) {
  FakeSysfs sys;
  sys.AddUsb("ttyACM10", "Olvane", "Ambrel");
  sys.AddUsb("ttyACM2", "Olvane GmbH", "Ambrel TNC");
  PortDiscovery state;
  FindDevicePorts(EnumerateSerialDevices(sys.root()), state);
  EXPECT_EQ(state.devicesFound, 2);
  EXPECT_EQ(state.candidates, (std::vector<std::string>{"/dev/ttyACM2", "/dev/ttyACM10"}));
  EXPECT_EQ(state.selectedPort, "");
  EXPECT_EQ(state.statusText, "");

  // The same port twice counts twice and is offered once.
  FindDevicePorts({{"/dev/ttyACM1", "Olvane Ambrel"}, {"/dev/ttyACM1", "Ambrel by Olvane"}}, state);
  EXPECT_EQ(state.devicesFound, 2);
  EXPECT_EQ(state.candidates, std::vector<std::string>{"/dev/ttyACM1"});

  FindDevicePorts(EnumerateSerialDevices("/nonexistent/vextune-sys"), state);  // no sysfs
  EXPECT_EQ(state.devicesFound, 0);
  EXPECT_TRUE(state.candidates.empty());
}

}  // namespace
}  // namespace vextune
