#include "link/com_port_names.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

TEST(ComPortNumber, AcceptsComAndDigitsOnly) {
  const struct {
    const char* value;
    std::optional<unsigned> number;
  } cases[] = {
      {"COM5", 5u},
      {"com12", 12u},
      {"CoM7", 7u},
      {"COM0", 0u},
      {"COM007", 7u},
      {"COM256", 256u},
      {"COM4294967295", 4294967295u},
      {"COM4294967296", {}},
      {"COM", {}},
      {"CO", {}},
      {"", {}},
      {"LPT1", {}},
      {"COM1A", {}},
      {"COM 1", {}},
      {"COM-1", {}},
      {"XCOM1", {}},
      {"\\\\.\\COM3", {}},
      {"COM1\n", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComPortNumber(c.value), c.number) << c.value;
  }
}

TEST(WindowsDevicePath, PrefixesBareNamesOnly) {
  EXPECT_EQ(WindowsDevicePath("COM5"), "\\\\.\\COM5");
  EXPECT_EQ(WindowsDevicePath("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(WindowsDevicePath("\\\\.\\COM12"), "\\\\.\\COM12");
  EXPECT_EQ(WindowsDevicePath("com3"), "\\\\.\\com3");
}

/// A present device of the class "Ports" as the system describes it.
PortsClassEntry Entry(std::optional<std::string> portName, std::optional<std::string> description) {
  return {std::move(portName), std::move(description)};
}

TEST(PortsClassDiscovery, FakeEnumerationsThroughTheMatchingRule) {
  const std::string device = "Olvane Ambrel USB Serial Port";
  const struct {
    const char* name;
    std::vector<PortsClassEntry> entries;
    int found;
    std::string selected;
    std::vector<std::string> candidates;
  } cases[] = {
      {"one device beside unrelated ports",
       {Entry("COM1", "Communications Port"), Entry("COM5", device), Entry("LPT1", device)},
       1,
       "COM5",
       {}},
      {"several, listed by port number",
       {Entry("COM12", device), Entry("COM3", device)},
       2,
       "",
       {"COM3", "COM12"}},
      {"the same port twice counts twice, listed once",
       {Entry("COM4", device), Entry("com04", device)},
       2,
       "",
       {"COM4"}},
      {"maker only, or product in other letter case",
       {Entry("COM2", "Olvane Serial"), Entry("COM3", "Olvane AMBREL")},
       0,
       "",
       {}},
      {"no COM port name, or none at all",
       {Entry("COM", device), Entry("COM1A", device), Entry(std::nullopt, device)},
       0,
       "",
       {}},
      {"a port without description is no device",
       {Entry("COM8", std::nullopt), Entry("COM9", device)},
       1,
       "COM9",
       {}},
      {"no ports at all", {}, 0, "", {}},
  };
  for (const auto& c : cases) {
    PortDiscovery state;
    FindDevicePorts(SerialDevicesFromPortsClass(c.entries), state);
    EXPECT_EQ(state.devicesFound, c.found) << c.name;
    EXPECT_EQ(state.selectedPort, c.selected) << c.name;
    EXPECT_EQ(state.candidates, c.candidates) << c.name;
    EXPECT_EQ(state.statusText, c.selected.empty() ? "" : "DAV-OZI found on " + c.selected)
        << c.name;
  }
}

TEST(PortsClassDiscovery, KeepsPortsInOrderWithTheirDescriptions) {
  const std::vector<SerialDevice> devices = SerialDevicesFromPortsClass(
      {Entry("COM10", "USB Serial"), Entry("LPT1", "Printer"), Entry("COM2", std::nullopt)});
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].path, "COM10");
  EXPECT_EQ(devices[0].description, "USB Serial");
  EXPECT_EQ(devices[1].path, "COM2");
  EXPECT_EQ(devices[1].description, "");
}

}  // namespace
}  // namespace vextune
