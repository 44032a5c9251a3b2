#include "link/port_discovery.h"

#include <gtest/gtest.h>

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
  FakeSysfs() {
    root_ = fs::temp_directory_path() /
            ("vextune-sysfs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "class" / "tty");
  }
  ~FakeSysfs() { fs::remove_all(root_); }
  std::string root() const { return root_.string(); }

  /// A USB device; `viaPort` puts a usb-serial port directory between the
  /// interface and the tty, as serial adapters have.
  void AddUsb(const std::string& tty, const std::string& usbId, const std::string& manufacturer,
              const std::string& product, const std::string& interfaceName = "",
              bool viaPort = false) {
    const fs::path usb = root_ / "devices" / "usb1" / usbId;
    Write(usb / "idVendor", "1d50");
    if (!manufacturer.empty()) Write(usb / "manufacturer", manufacturer);
    if (!product.empty()) Write(usb / "product", product);
    fs::path device = usb / (usbId + ":1.0");
    Write(device / "bInterfaceNumber", "00");
    if (!interfaceName.empty()) Write(device / "interface", interfaceName);
    if (viaPort) device /= tty;
    AddTty(tty, device, viaPort ? "ftdi_sio" : "cdc_acm");
  }
  /// An on-board UART; type 0 means the slot has no hardware.
  void AddUart(const std::string& tty, const std::string& driver, const std::string& type) {
    AddTty(tty, root_ / "devices" / "pnp0" / ("00:0" + tty.substr(tty.size() - 1)), driver);
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

TEST(PortDiscovery, EnumeratesHardwareTtysWithDescriptions) {
  FakeSysfs sys;
  sys.AddUsb("ttyACM10", "1-2", "Olvane", "Ambrel");
  sys.AddUsb("ttyACM2", "1-3", "Olvane", "Ambrel", "Ambrel Port");
  sys.AddUsb("ttyUSB0", "1-4", "FTDI", "FT232R USB UART", "", true);
  sys.AddUsb("ttyACM0", "1-5", "", "");  // no strings: the driver speaks
  sys.AddUart("ttyS0", "serial8250", "4");
  sys.AddUart("ttyS1", "serial8250", "0");
  sys.AddVirtual("tty0");
  sys.AddVirtual("ptmx");

  const std::vector<SerialDevice> devices = EnumerateSerialDevices(sys.root(), "/dev");
  std::vector<std::string> lines;
  for (const auto& d : devices) lines.push_back(d.path + "|" + d.description);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "/dev/ttyACM0|cdc_acm",
                       "/dev/ttyACM2|Olvane Ambrel - Ambrel Port",
                       "/dev/ttyACM10|Olvane Ambrel",
                       "/dev/ttyS0|serial8250",
                       "/dev/ttyUSB0|FTDI FT232R USB UART",
                   }));
}

TEST(PortDiscovery, MissingSysfsGivesNothing) {
  EXPECT_TRUE(EnumerateSerialDevices("/nonexistent/vextune-sys").empty());
  PortDiscovery state;
  state.devicesFound = 3;  // left over from an earlier run
  FindDevicePorts(EnumerateSerialDevices("/nonexistent/vextune-sys"), state);
  EXPECT_EQ(state.devicesFound, 0);
  EXPECT_EQ(state.selectedPort, "");
  EXPECT_EQ(state.statusText, "");
}

TEST(PortDiscovery, OneMatchOnAFakeTreeIsSelected) {
  FakeSysfs sys;
  sys.AddUsb("ttyACM3", "1-1", "Olvane", "Ambrel");
  sys.AddUsb("ttyACM0", "1-2", "Arduino", "Uno");
  sys.AddUart("ttyS0", "serial8250", "4");
  PortDiscovery state;
  FindDevicePorts(EnumerateSerialDevices(sys.root()), state);
  EXPECT_EQ(state.devicesFound, 1);
  EXPECT_EQ(state.selectedPort, "/dev/ttyACM3");
  EXPECT_EQ(state.statusText, "DAV-OZI found on /dev/ttyACM3");
  EXPECT_TRUE(state.candidates.empty());
}

TEST(PortDiscovery, MatchingRule) {
  struct Case {
    std::vector<SerialDevice> devices;
    int found;
    std::string selected;
    std::vector<std::string> candidates;
  };
  const std::vector<Case> cases = {
      {{{"/dev/ttyACM10", "Olvane Ambrel"}, {"/dev/ttyACM2", "Olvane GmbH Ambrel TNC"}},
       2,
       "",
       {"/dev/ttyACM2", "/dev/ttyACM10"}},
      {{{"/dev/ttyACM1", "Olvane Ambrel"}, {"/dev/ttyACM1", "Ambrel by Olvane"}},
       2,
       "",
       {"/dev/ttyACM1"}},
      {{{"/dev/ttyACM1", "Olvane"}, {"/dev/ttyACM2", "Ambrel"}}, 0, "", {}},
      {{{"/dev/ttyACM1", "Olvane AMBREL"}, {"/dev/ttyACM2", "olvane Ambrel"}}, 0, "", {}},
      {{{"/dev/ttyUSB0", "xOlvanex-xAmbrelx"}}, 1, "/dev/ttyUSB0", {}},
      {{}, 0, "", {}},
  };
  for (const auto& c : cases) {
    PortDiscovery state;
    FindDevicePorts(c.devices, state);
    const std::string label = c.devices.empty() ? "none" : c.devices[0].description;
    EXPECT_EQ(state.devicesFound, c.found) << label;
    EXPECT_EQ(state.selectedPort, c.selected) << label;
    EXPECT_EQ(state.candidates, c.candidates) << label;
    EXPECT_EQ(state.statusText, c.selected.empty() ? "" : "DAV-OZI found on " + c.selected);
  }
}

TEST(PortDiscovery, NaturalOrder) {
  const std::vector<std::pair<std::string, std::string>> ordered = {
      {"ttyACM2", "ttyACM10"}, {"ttyACM9", "ttyUSB0"}, {"ttyS2", "ttyS10"}, {"ttyACM", "ttyACM0"},
      {"a2b3", "a2b10"},       {"x02", "x3"},          {"x2", "x02"},       {"a", "b"},
  };
  for (const auto& [a, b] : ordered) {
    EXPECT_TRUE(NaturalLess(a, b)) << a << " < " << b;
    EXPECT_FALSE(NaturalLess(b, a)) << b << " < " << a;
  }
  EXPECT_FALSE(NaturalLess("ttyACM1", "ttyACM1"));
}

}  // namespace
}  // namespace vextune
