#include "sim/parameter_store.h"

#include <gtest/gtest.h>

#include <sstream>
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

TEST_F(ParameterStoreTest, RefusedValuesLeaveTheStoreAsItWas) {
  Set("%AP APZ WIDE1-1");
  Set("u 1 Hello");
  Set("m iu");
  Set("%AY a15");
  const CConfigData before = store_.Params();
  std::istringstream refused(
      "T 128|T abc|T -1|%AT 5|%AF 59|o 0|I KLMNOPQ|i A-B-C|%AM KLMNOP-16|%AY 95|%AY AA1|%AY 0|"
      "%AP A B C D E F G H I J|%AP APRS TOOLONGX|m X|u 3 Hello|%B 4800|%AG 8|%AG HF|"
      "%AO 1234.5N 01234.56E|K 24:00:00|K 9:60:00|K 31.04.14|K 1.13.14|K 7.3.2014|%AC " +
      std::string(81, 'x'));  // the comment one over its limit
  for (std::string line; std::getline(refused, line, '|');) {
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
  // Before 1.1J the HF toggle is only on or off.
  EXPECT_EQ(ParameterStore(10173, "", clock).Apply("%AH", "2"), ApplyResult::Refused);
  EXPECT_EQ(ParameterStore(10174, "", clock).Apply("%AH", "2"), ApplyResult::Applied);
}

TEST_F(ParameterStoreTest, ClockCommandsSetARunningDeviceClock) {
  EXPECT_EQ(Set("K 9:5:3"), "applied");
  EXPECT_EQ(Set("K 07.03.14"), "applied");
  auto now = [&] {
    const std::tm t = store_.DeviceTime().Now();
    return std::vector<int>{t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  };
  EXPECT_EQ(now(), (std::vector<int>{114, 2, 7, 9, 5, 3}));
  // The time stamp mode is another use of the same letter: untouched.
  EXPECT_EQ(store_.Params().m_Timestamp.value, 0);
  clock_.SleepMs(61000);
  EXPECT_EQ(now(), (std::vector<int>{114, 2, 7, 9, 6, 4}));
  // Past midnight the date moves on; setting the time keeps the date.
  EXPECT_EQ(Set("K 23:59:59"), "applied");
  clock_.SleepMs(2000);
  EXPECT_EQ(now(), (std::vector<int>{114, 2, 8, 0, 0, 1}));
  EXPECT_EQ(Set("K 29.02.16"), "applied");
  EXPECT_EQ(store_.DeviceTime().Now().tm_hour, 0);
  EXPECT_EQ(Set("K 29.02.15"), "refused");
}

}  // namespace
}  // namespace vextune::sim
