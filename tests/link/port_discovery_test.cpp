#include "link/port_discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_sysfs.h"

namespace vextune {
namespace {

using test::FakeSysfs;

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
