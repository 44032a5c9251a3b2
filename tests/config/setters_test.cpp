#include <gtest/gtest.h>

#include <string>

#include "config/config_data.h"

namespace vextune {
namespace {

struct NumberCase {
  CConfigParam CConfigData::*member;
  int32_t before;  // value set first
  int32_t given;
  bool taken;
  int32_t value;  // afterwards
  const char* text;
};

TEST(SetNumber, TakesValuesInRangeOrZeroWhereAllowedAndKeepsOldOtherwise) {
  const NumberCase cases[] = {
      {&CConfigData::m_AprsInterval, 900, 0, true, 0, "0"},  // 0 = automatic
      {&CConfigData::m_AprsInterval, 900, 5, false, 900, "900"},
      {&CConfigData::m_AprsInterval, 900, 10, true, 10, "10"},
      {&CConfigData::m_AprsInterval, 900, 7200, true, 7200, "7200"},
      {&CConfigData::m_AprsInterval, 900, 7201, false, 900, "900"},
      {&CConfigData::m_AprsInterval, 900, -1, false, 900, "900"},
      {&CConfigData::m_TxDelay, 30, 128, false, 30, "30"},
      {&CConfigData::m_TxDelay, 30, 127, true, 127, "127"},
      {&CConfigData::m_TxDelay, 30, 0, true, 0, "0"},
      {&CConfigData::m_IPoll, 60, 0, false, 60, "60"},  // zero not allowed below min 1
      {&CConfigData::m_Ptt, 1, 2, false, 1, "1"},
      {&CConfigData::m_Timer3, 18000, INT32_MIN, false, 18000, "18000"},
      {&CConfigData::m_Timer3, 18000, INT32_MAX, false, 18000, "18000"},
  };
  for (const NumberCase& c : cases) {
    CConfigData d;
    ASSERT_TRUE(CConfigData::SetNumber(d.*c.member, c.before));
    EXPECT_EQ(CConfigData::SetNumber(d.*c.member, c.given), c.taken) << c.given;
    EXPECT_EQ((d.*c.member).value, c.value) << c.given;
    EXPECT_EQ((d.*c.member).text, c.text) << c.given;
  }
}

TEST(SetNumberText, TakesLeadingDigitsAfterOptionalNameOrPutsDefaultIn) {
  const struct {
    CConfigParam CConfigData::*member;
    const char* given;
    bool taken;
    int32_t value;
    const char* text;
  } cases[] = {
      {&CConfigData::m_TxDelay, "TX-Delay = 30 ", true, 30, "30"},
      {&CConfigData::m_TxDelay, "30", true, 30, "30"},
      {&CConfigData::m_TxDelay, " \t30\r\n", true, 30, "30"},
      {&CConfigData::m_TxDelay, "a=b=30", false, 25, "25"},  // only the first "=" goes
      {&CConfigData::m_TxDelay, "12abc", true, 12, "12"},
      {&CConfigData::m_TxDelay, "007", true, 7, "007"},  // leading zeros stay
      {&CConfigData::m_TxDelay, "x", false, 25, "25"},
      {&CConfigData::m_TxDelay, "", false, 25, "25"},
      {&CConfigData::m_TxDelay, "-5", false, 25, "25"},
      {&CConfigData::m_TxDelay, "200", false, 25, "25"},
      {&CConfigData::m_TxDelay, "99999999999999999999", false, 25, "25"},  // beyond 32 bits
      {&CConfigData::m_AprsInterval, "000", true, 0, "000"},
      {&CConfigData::m_AprsInterval, "5", false, 900, "900"},
      {&CConfigData::m_AprsFreqBeacon, "0", true, 0, "0"},
      {&CConfigData::m_AprsFreqBeacon, "59", false, 0, "0"},
      {&CConfigData::m_Timer3, "100000", true, 100000, "100000"},
  };
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetNumber(d.*c.member, 1 + (d.*c.member).min);  // not the default
    EXPECT_EQ(CConfigData::SetNumberText(d.*c.member, c.given), c.taken) << c.given;
    EXPECT_EQ((d.*c.member).value, c.value) << c.given;
    EXPECT_EQ((d.*c.member).text, c.text) << c.given;
  }
}

TEST(SetText, TakesAcceptedTextsAndPutsDefaultTextInForRefusedOnes) {
  const struct {
    CConfigParam CConfigData::*member;
    std::string given;
    int result;
    std::string text;
  } cases[] = {
      {&CConfigData::m_Callsign, "DL1ABC-7", 0, "DL1ABC-7"},
      {&CConfigData::m_Callsign, "", 0, ""},
      {&CConfigData::m_Callsign, "KLMNOPQ", 3, "DAVOZI"},
      {&CConfigData::m_Callsign, "A-B-C", 1, "DAVOZI"},
      {&CConfigData::m_AprsVia1, "-ABC", 2, "RELAY"},
      {&CConfigData::m_AprsDestSsid, "16", 1, "00"},
      {&CConfigData::m_AprsComment, std::string(80, 'c'), 0, std::string(80, 'c')},
      {&CConfigData::m_AprsComment, std::string(81, 'c'), 1, ""},
      {&CConfigData::m_ConnectText, std::string(73, 'c'), 1, ""},
      {&CConfigData::m_PrMode, "R600", 0, "R600"},
      {&CConfigData::m_PrMode, "r600", 1, "1200"},
  };
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetText(d.*c.member, "ZZ0ZZ");  // something other than the default
    EXPECT_EQ(CConfigData::SetText(d.*c.member, c.given), c.result) << c.given;
    EXPECT_EQ((d.*c.member).text, c.text) << c.given;
  }
}

TEST(SetText, LeavesNumericParametersWithoutRuleAlone) {
  CConfigData d;
  EXPECT_EQ(CConfigData::SetText(d.m_TxDelay, "30"), -1);
  EXPECT_EQ(d.m_TxDelay.text, "25");
  EXPECT_EQ(d.m_TxDelay.value, 25);
}

TEST(SetText, CrossModeTakesTextsButNeverTouchesItsValue) {
  CConfigData d;
  ASSERT_TRUE(CConfigData::SetNumber(d.m_AprsCrossMode, 5));
  EXPECT_EQ(CConfigData::SetText(d.m_AprsCrossMode, "HF DUAL"), 0);
  EXPECT_EQ(d.m_AprsCrossMode.text, "HF DUAL");
  EXPECT_EQ(CConfigData::SetText(d.m_AprsCrossMode, "2400"), 1);
  EXPECT_EQ(d.m_AprsCrossMode.text, "");  // its default text is empty
  EXPECT_EQ(d.m_AprsCrossMode.value, 5);
}

}  // namespace
}  // namespace vextune
