#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_data.h"

namespace vextune {
namespace {

std::vector<std::string> PathOf(const CConfigData& d) {
  return {d.m_AprsDest.text, d.m_AprsVia1.text, d.m_AprsVia2.text,
          d.m_AprsVia3.text, d.m_AprsVia4.text, d.m_AprsVia5.text,
          d.m_AprsVia6.text, d.m_AprsVia7.text, d.m_AprsVia8.text};
}

const std::vector<std::string> kDefaultPath = {"APRS", "RELAY", "WIDE", "", "", "", "", "", ""};

TEST(ParsePath, SetsDestinationAndDigipeatersOrRestoresTheDefaultPath) {
  const struct {
    std::string path;
    int result;
    std::vector<std::string> expected;
  } cases[] = {
      {"APRS WIDE1-1 WIDE2-1", 0, {"APRS", "WIDE1-1", "WIDE2-1", "", "", "", "", "", ""}},
      {"  APX   RELAY  ", 0, {"APX", "RELAY", "", "", "", "", "", "", ""}},
      {"", 0, {"", "", "", "", "", "", "", "", ""}},
      {"D V1 V2 V3 V4 V5 V6 V7 V8", 0, {"D", "V1", "V2", "V3", "V4", "V5", "V6", "V7", "V8"}},
      {"D V1 V2 V3 V4 V5 V6 V7 V8 V9", 1, kDefaultPath},  // ten words
      {"APRS KLMNOPQ", 1, kDefaultPath},                  // seven letters
      {"APRS WIDE-16", 1, kDefaultPath},
      {"-X", 1, kDefaultPath},
  };
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetText(d.m_AprsVia5, "OLD");
    CConfigData::SetText(d.m_AprsVia1Ssid, "03");
    EXPECT_EQ(d.ParsePath(c.path), c.result) << c.path;
    EXPECT_EQ(PathOf(d), c.expected) << c.path;
    EXPECT_EQ(d.m_AprsVia1Ssid.text, "03") << "SSIDs are not touched: " << c.path;
  }
}

TEST(ParseSymbol, TakesOptionalAlternateTableAndSymbolNumber) {
  const struct {
    const char* symbol;
    int result;
    int32_t altTable;
    int32_t index;
  } cases[] = {
      {"A5", 0, 1, 4},   {"5", 0, 0, 4},
      {"1", 0, 0, 0},    {"94", 0, 0, 93},
      {"A94", 0, 1, 93}, {"5A", 0, 0, 4},
      {"95", 1, 0, 14},  {"", 1, 0, 14},
      {"0", 1, 0, 14},   {"AA5", 1, 0, 14},
      {"A", 1, 0, 14},   {"5 ", 1, 0, 14},
      {"x", 1, 0, 14},   {"99999999999", 1, 0, 14},
  };
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetNumber(d.m_AprsAltTable, 1);
    CConfigData::SetNumber(d.m_AprsSymbol, 50);
    EXPECT_EQ(d.ParseSymbol(c.symbol), c.result) << c.symbol;
    EXPECT_EQ(d.m_AprsAltTable.value, c.altTable) << c.symbol;
    EXPECT_EQ(d.m_AprsSymbol.value, c.index) << c.symbol;
    EXPECT_EQ(d.m_AprsSymbol.text, std::to_string(c.index)) << c.symbol;
  }
}

TEST(ParseMonitor, SetsTheFourFlagsFromTheirLetters) {
  const struct {
    const char* letters;
    int result;
    int32_t i, u, s, c;
  } cases[] = {
      {"iu", 0, 1, 1, 0, 0}, {"IUSC", 0, 1, 1, 1, 1}, {"CSC", 0, 0, 0, 1, 1},
      {"N", 0, 0, 0, 0, 0},  {"n", 0, 0, 0, 0, 0},    {"", 0, 0, 0, 0, 0},
      {"X", 1, 0, 0, 0, 0},  {"IN", 1, 0, 0, 0, 0},   {"I U", 1, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    CConfigData d;
    for (auto* p : {&d.m_MonitorI, &d.m_MonitorU, &d.m_MonitorS, &d.m_MonitorC}) {
      CConfigData::SetNumber(*p, 1);
    }
    EXPECT_EQ(d.ParseMonitor(c.letters), c.result) << c.letters;
    EXPECT_EQ(d.m_MonitorI.value, c.i) << c.letters;
    EXPECT_EQ(d.m_MonitorU.value, c.u) << c.letters;
    EXPECT_EQ(d.m_MonitorS.value, c.s) << c.letters;
    EXPECT_EQ(d.m_MonitorC.value, c.c) << c.letters;
  }
}

TEST(ParseConnectText, TakesModeDigitAndTrimmedTextOrRestoresDefaults) {
  const struct {
    std::string setting;
    int result;
    int32_t mode;
    std::string text;
  } cases[] = {
      {"1 Hello", 0, 1, "Hello"},
      {"2  Hello there  ", 0, 2, "Hello there"},
      {"0", 0, 0, ""},
      {"1" + std::string(72, 't'), 0, 1, std::string(72, 't')},
      {"1" + std::string(73, 't'), 1, 0, ""},
      {"3 Hello", 1, 0, ""},
      {"Hello", 1, 0, ""},
      {"", 1, 0, ""},
  };
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetNumber(d.m_ConnectMode, 2);
    CConfigData::SetText(d.m_ConnectText, "before");
    EXPECT_EQ(d.ParseConnectText(c.setting), c.result) << c.setting;
    EXPECT_EQ(d.m_ConnectMode.value, c.mode) << c.setting;
    EXPECT_EQ(d.m_ConnectMode.text, std::to_string(c.mode)) << c.setting;
    EXPECT_EQ(d.m_ConnectText.text, c.text) << c.setting;
  }
}

}  // namespace
}  // namespace vextune
