#include "sim/parameter_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "sim/command_line.h"

namespace vextune::sim {
namespace {

using vextune::testing::FakeClock;

TEST(FirmwareNumber, ReadsMajorMinorAndLetter) {
  EXPECT_EQ(FirmwareNumber("1.4b"), 10466u);
  EXPECT_EQ(FirmwareNumber("1.0Q"), 10081u);
  EXPECT_EQ(FirmwareNumber("1.1"), 10100u);
  EXPECT_EQ(FirmwareNumber("2.10"), 21000u);
  for (const char* bad : {"", "1", "1.", ".4b", "1.4bb", "1.123", "x.4", "1.4-"}) {
    EXPECT_FALSE(FirmwareNumber(bad)) << bad;
  }
}

class ParameterStoreTest : public ::testing::Test {
 protected:
  FakeClock clock_;
  ParameterStore store_{10466, "", clock_};

  std::string Set(const std::string& line) {
    const CommandLine cmd = SplitCommandLine(line);
    switch (store_.Apply(cmd.name, cmd.args)) {
      case ApplyResult::Applied:
        return "applied";
      case ApplyResult::Refused:
        return "refused";
      case ApplyResult::Unknown:
        return "unknown";
    }
    return "?";
  }
};

// What the read-back parses is pinned by the round trip; these are the forms
// of input a device takes beyond the send script's own.
TEST_F(ParameterStoreTest, TakesCommandsInTheFormsADeviceAccepts) {
  struct Case {
    const char* command;
    const char* query;
    const char* answer;
  } cases[] = {
      {"t 007", "T", "7"},
      {"t30", "T", "30"},
      {"@t2 250", "@T2", "250"},
      {"  %at   0  ", "%AT", "APRS Beacon/Timer = 0 s"},
      {"%aya15", "%AY", "APRS Symbol = A15 (alternate table)"},
      {"%AP BEACON", "%AP", "APRS Path = BEACON"},
      {"m csiu", "M", "IUSC"},
      {"m N", "M", "N"},
      {"%AG r300", "%AG", "APRS Gateway Modem Type = R300"},
      {"%AG 7", "%AG", "APRS Gateway Modem Type = HF DUAL"},
      {"%B r600", "%B", "R600"},
      {"%AO NONE", "%AO", "APRS Fix Position = NONE"},
      {"%AC Hi = there", "%AC", "APRS Comment = Hi = there"},
      {"%AM dl1abc-9", "%AM", "APRS Mycall = dl1abc-9"},
      {"%AM NONE", "%AM", "APRS Mycall = NONE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Set(c.command), "applied") << c.command;
    EXPECT_EQ(store_.Query(c.query).value_or("<none>"), c.answer) << c.command;
  }
  EXPECT_EQ(Set("?? what"), "unknown");
}

TEST_F(ParameterStoreTest, PairedMembersFollowTheirCommand) {
  Set("%AN 4");
  EXPECT_EQ(store_.Params().m_NmeaOutOld.value, 3);
  Set("%AH 2");
  EXPECT_EQ(store_.Params().m_AprsHfToggleOld.value, 1);
  Set("%AH 0");
  EXPECT_EQ(store_.Params().m_AprsHfToggleOld.value, 0);
  Set("%B 9600");
  EXPECT_EQ(store_.Params().m_PrModeIndex.value, 4);
  EXPECT_EQ(store_.Params().m_PrMode.text, "9600");
}

TEST_F(ParameterStoreTest, RefusedValuesLeaveTheStoreAsItWas) {
  Set("%AP APZ WIDE1-1");
  Set("u 1 Hello");
  Set("m iu");
  Set("%AY a15");
  const CConfigData before = store_.Params();
  const char* refused[] = {
      "T 128",
      "T abc",
      "T -1",
      "%AT 5",
      "%AF 59",
      "o 0",
      "I KLMNOPQ",
      "i A-B-C",
      "%AM KLMNOP-16",
      "%AY 95",
      "%AY AA1",
      "%AY 0",
      "%AP A B C D E F G H I J",
      "%AP APRS TOOLONGX",
      "m X",
      "u 3 Hello",
      "%B 4800",
      "%AG 8",
      "%AG HF",
      "%AO 1234.5N 01234.56E",
      "K 24:00:00",
      "K 9:60:00",
      "K 31.04.14",
      "K 1.13.14",
      "K 7.3.2014",
      "%AC 123456789012345678901234567890123456789012345678901234567890123456789012345678901",
  };
  for (const char* line : refused) {
    EXPECT_EQ(Set(line), "refused") << line;
    EXPECT_TRUE(store_.Params().IsEqual(before, true)) << line;
  }
}

TEST(ParameterStoreFirmware, OlderFirmwareIgnoresNewerCommands) {
  FakeClock clock;
  struct Case {
    uint32_t firmware;
    const char* command;
    bool known;
  } cases[] = {
      {10080, "%AM", false}, {10081, "%AM", true},  {10080, "%F", false},  {10081, "%T", true},
      {10173, "%AA", false}, {10174, "%AG", true},  {10174, "%AF", false}, {10175, "%AF", true},
      {10368, "%AU", false}, {10369, "%AU", true},  {10465, "%AL", false}, {10466, "%AL", true},
      {10080, "%AT", true},  {10080, "%AH", false},
  };
  for (const Case& c : cases) {
    ParameterStore store(c.firmware, "", clock);
    EXPECT_EQ(store.Knows(c.command), c.known) << c.firmware << " " << c.command;
    EXPECT_EQ(store.Query(c.command).has_value(), c.known) << c.firmware << " " << c.command;
    const ApplyResult result = store.Apply(c.command, "1");
    EXPECT_EQ(result == ApplyResult::Unknown, !c.known) << c.firmware << " " << c.command;
  }
}

TEST(ParameterStoreFirmware, HfToggleIsOnOffBelow11J) {
  FakeClock clock;
  ParameterStore old(10173, "", clock);
  EXPECT_EQ(old.Apply("%AH", "2"), ApplyResult::Refused);
  EXPECT_EQ(old.Apply("%AH", "1"), ApplyResult::Applied);
  EXPECT_EQ(old.Params().m_AprsHfToggle.value, 1);
  ParameterStore current(10174, "", clock);
  EXPECT_EQ(current.Apply("%AH", "2"), ApplyResult::Applied);
}

TEST_F(ParameterStoreTest, ClockCommandsSetARunningDeviceClock) {
  EXPECT_EQ(Set("K 9:5:3"), "applied");
  EXPECT_EQ(Set("K 07.03.14"), "applied");
  std::tm t = store_.DeviceTime().Now();
  EXPECT_EQ(t.tm_hour, 9);
  EXPECT_EQ(t.tm_min, 5);
  EXPECT_EQ(t.tm_sec, 3);
  EXPECT_EQ(t.tm_mday, 7);
  EXPECT_EQ(t.tm_mon, 2);
  EXPECT_EQ(t.tm_year, 114);
  // The time stamp mode is another use of the same letter: untouched.
  EXPECT_EQ(store_.Params().m_Timestamp.value, 0);

  clock_.SleepMs(61000);
  t = store_.DeviceTime().Now();
  EXPECT_EQ(t.tm_min, 6);
  EXPECT_EQ(t.tm_sec, 4);

  // Past midnight the date moves on; setting the time keeps the date.
  EXPECT_EQ(Set("K 23:59:59"), "applied");
  clock_.SleepMs(2000);
  t = store_.DeviceTime().Now();
  EXPECT_EQ(t.tm_mday, 8);
  EXPECT_EQ(t.tm_hour, 0);
  EXPECT_EQ(t.tm_sec, 1);
  EXPECT_EQ(Set("K 29.02.16"), "applied");
  EXPECT_EQ(store_.DeviceTime().Now().tm_hour, 0);
  EXPECT_EQ(Set("K 29.02.15"), "refused");
}

}  // namespace
}  // namespace vextune::sim
