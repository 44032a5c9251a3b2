#include "config/config_data.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vextune {
namespace {

std::string PathText(const CConfigData& d) {
  std::string path;
  for (const CConfigParam* p : {&d.m_AprsDest, &d.m_AprsVia1, &d.m_AprsVia2, &d.m_AprsVia3}) {
    if (!p->text.empty()) path += (path.empty() ? "" : " ") + p->text;
  }
  return path;
}

TEST(ConfigRecord, TableListsAll77ParametersOnceInRecordOrder) {
  const auto& params = CConfigData::Params();
  std::set<std::string> names;
  for (const ParamInfo& info : params) {
    EXPECT_TRUE(names.insert(info.memberName).second) << info.memberName;
  }
  EXPECT_EQ(names.size(), 77u);
  // Record order: first, a few in between, last.
  EXPECT_STREQ(params[0].memberName, "m_Duplex");
  EXPECT_STREQ(params[14].memberName, "m_AprsCrossMode");
  EXPECT_STREQ(params[22].memberName, "m_AprsDest");
  EXPECT_STREQ(params[39].memberName, "m_AprsVia8Ssid");
  EXPECT_STREQ(params[49].memberName, "m_Callsign");
  EXPECT_STREQ(params[61].memberName, "m_PrMode");
  EXPECT_STREQ(params[76].memberName, "m_AprsAutoSpeed");
  EXPECT_STREQ(params[76].command, "%AL");
  // The table follows the members' declaration order.
  CConfigData d;
  for (size_t i = 1; i < params.size(); ++i) {
    EXPECT_LT(&d.Get(params[i - 1]), &d.Get(params[i])) << params[i].memberName;
  }
}

TEST(ConfigRecord, DefaultsKeepValueAndTextTogether) {
  CConfigData d;
  EXPECT_EQ(d.m_Timer3.value, 18000);
  EXPECT_EQ(d.m_Timer3.text, "18000");
  EXPECT_EQ(d.m_AprsSymbol.value, 14);  // device symbol 15
  EXPECT_EQ(d.m_AprsInterval.text, "900");
  EXPECT_TRUE(d.m_AprsInterval.zeroAllowed);
  EXPECT_TRUE(d.m_AprsFreqBeacon.zeroAllowed);
  EXPECT_EQ(d.m_AprsFreqBeacon.text, "0");  // off, although below its minimum 60
  EXPECT_EQ(d.m_PrMode.text, "1200");
  EXPECT_EQ(d.m_Callsign.text, "DAVOZI");
  EXPECT_EQ(PathText(d), "APRS RELAY WIDE");
  for (const ParamInfo& info : CConfigData::Params()) {
    const CConfigParam& p = d.Get(info);
    if (info.IsText()) {
      EXPECT_EQ(p.validator(p.text), 0) << info.memberName;
    } else {
      EXPECT_EQ(p.text, std::to_string(p.value)) << info.memberName;
      EXPECT_TRUE(p.value >= p.min || (p.zeroAllowed && p.value == 0)) << info.memberName;
    }
  }
}

TEST(ConfigRecord, SetDefaultsOverwritesEverything) {
  CConfigData d;
  CConfigData::SetNumber(d.m_Timer3, 5);
  d.m_TxDelay.max = 1;
  d.m_AprsComment.validator = nullptr;
  CConfigData::SetText(d.m_Callsign, "DL1ABC");
  d.SetDefaults();
  EXPECT_TRUE(d.IsEqual(CConfigData{}, true));
  EXPECT_EQ(d.m_TxDelay.max, 127);
  EXPECT_EQ(d.m_AprsComment.validator, &CheckText80);
}

TEST(ConfigRecord, IsEqualLeavesOutNmeaOutOldAndOptionallySyncClock) {
  CConfigData a;
  CConfigData b;
  CConfigData::SetNumber(b.m_NmeaOutOld, 2);
  EXPECT_TRUE(a.IsEqual(b, true));

  CConfigData::SetNumber(b.m_SyncClock, 1);
  EXPECT_TRUE(a.IsEqual(b, false));
  EXPECT_FALSE(a.IsEqual(b, true));
  ASSERT_EQ(a.Differences(b, true).size(), 1u);
  EXPECT_STREQ(a.Differences(b, true)[0]->memberName, "m_SyncClock");
}

TEST(ConfigRecord, IsEqualComparesValuesOfNumbersAndExactTextsOfTexts) {
  CConfigData a;
  CConfigData b;
  CConfigData::SetNumberText(b.m_TxDelay, "025");  // same value, other digits
  EXPECT_TRUE(a.IsEqual(b, true));
  CConfigData::SetText(b.m_AprsComment, "x");
  EXPECT_FALSE(a.IsEqual(b, true));
  CConfigData::SetText(a.m_AprsComment, "X");  // case counts
  EXPECT_FALSE(a.IsEqual(b, true));
}

TEST(ConfigRecord, CopyToCopiesEveryField) {
  CConfigData a;
  CConfigData::SetNumber(a.m_SyncClock, 1);
  CConfigData::SetNumber(a.m_NmeaOutOld, 3);
  CConfigData::SetText(a.m_AprsStatusText, "status");
  a.m_Frack.max = 99;
  CConfigData b;
  a.CopyTo(b);
  EXPECT_TRUE(a.IsEqual(b, true));
  EXPECT_EQ(b.m_NmeaOutOld.value, 3);
  EXPECT_EQ(b.m_Frack.max, 99);
}

TEST(ConfigRecord, FindParamTakesMemberNameWithOrWithoutPrefix) {
  const struct {
    const char* name;
    const char* member;  // nullptr: no such parameter
  } cases[] = {
      {"m_TxDelay", "m_TxDelay"},
      {"TxDelay", "m_TxDelay"},
      {"txdelay", "m_TxDelay"},
      {"m_AprsHfToggle", "m_AprsHfToggle"},
      {"AprsHfToggleOld", "m_AprsHfToggleOld"},
      {"T", nullptr},
      {"m_", nullptr},
      {"", nullptr},
      {"TxDelayX", nullptr},
  };
  for (const auto& c : cases) {
    const ParamInfo* info = CConfigData::FindParam(c.name);
    if (c.member == nullptr) {
      EXPECT_EQ(info, nullptr) << c.name;
    } else {
      ASSERT_NE(info, nullptr) << c.name;
      EXPECT_STREQ(info->memberName, c.member);
    }
  }
}

}  // namespace
}  // namespace vextune
