// The general and misc dialogs' values into and out of the working record:
// which setter takes each value, and that nothing else changes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/config_data.h"
#include "editor/general_settings_record.h"
#include "editor/misc_settings_record.h"

namespace vextune {
namespace {

// Members whose value or text differ (SetNumberText keeps leading zeros, so
// texts count here although IsEqual ignores them).
std::vector<std::string> ChangedMembers(const CConfigData& before, const CConfigData& after) {
  std::vector<std::string> changed;
  for (const ParamInfo& info : CConfigData::Params()) {
    const CConfigParam& a = before.Get(info);
    const CConfigParam& b = after.Get(info);
    if (a.value != b.value || a.text != b.text) changed.push_back(info.memberName);
  }
  return changed;
}

// A record away from the defaults, so that a default put in shows.
CConfigData EditedRecord() {
  CConfigData record;
  CConfigData::SetNumberText(record.m_TxDelay, "40");
  CConfigData::SetNumberText(record.m_Retry, "12");
  CConfigData::SetNumberText(record.m_FlowControl, "2");
  CConfigData::SetText(record.m_Callsign, "DL1ABC");
  CConfigData::SetNumber(record.m_PrModeIndex, 4);
  CConfigData::SetText(record.m_PrMode, "9600");
  CConfigData::SetNumber(record.m_ConnectMode, 1);
  CConfigData::SetText(record.m_ConnectText, "Hi");
  return record;
}

struct TakeBackCase {
  const char* what;
  std::function<void(GeneralSettingsValues&, MiscSettingsValues&)> change;
  std::vector<std::string> changed;  // in record order
  std::function<void(const CConfigData&)> expect;
};

void PrintTo(const TakeBackCase& c, std::ostream* os) {
  *os << c.what;
}

class SettingsTakeBack : public ::testing::TestWithParam<TakeBackCase> {};

TEST_P(SettingsTakeBack, UsesTheListedSetter) {
  const TakeBackCase& c = GetParam();
  const CConfigData before = EditedRecord();
  GeneralSettingsValues general = GeneralSettingsFromRecord(before);
  MiscSettingsValues misc = MiscSettingsFromRecord(before);
  c.change(general, misc);
  CConfigData after = before;
  TakeBackGeneralSettings(general, after);
  TakeBackMiscSettings(misc, after);
  EXPECT_EQ(ChangedMembers(before, after), c.changed) << c.what;
  if (c.expect) c.expect(after);
}

using G = GeneralSettingsValues;
using M = MiscSettingsValues;
using R = const CConfigData;

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsTakeBack,
    ::testing::Values(
        TakeBackCase{"nothing edited", [](G&, M&) {}, {}, nullptr},
        TakeBackCase{"digits kept as typed",
                     [](G& g, M&) { g.txDelay = "007"; },
                     {"m_TxDelay"},
                     [](R& r) {
                       EXPECT_EQ(r.m_TxDelay.value, 7);
                       EXPECT_EQ(r.m_TxDelay.text, "007");
                     }},
        TakeBackCase{"empty number as the dialog read it",
                     [](G& g, M&) { g.txDelay = ""; },
                     {"m_TxDelay"},
                     [](R& r) {
                       EXPECT_EQ(r.m_TxDelay.value, 0);
                       EXPECT_EQ(r.m_TxDelay.text, "0");
                     }},
        TakeBackCase{"levels, channel and centre",
                     [](G& g, M&) {
                       g.levelAfsk = "0300";
                       g.levelFsk = "3000";
                       g.levelRobust = "30";
                       g.channel = "10";
                       g.centerFreq = "2200";
                     },
                     {"m_CenterFreq", "m_LevelAfsk", "m_LevelFsk", "m_LevelRobust", "m_Channel"},
                     [](R& r) { EXPECT_EQ(r.m_LevelAfsk.text, "0300"); }},
        TakeBackCase{"callsign",
                     [](G& g, M&) { g.callsign = "DB0XYZ-15"; },
                     {"m_Callsign"},
                     [](R& r) { EXPECT_EQ(r.m_Callsign.text, "DB0XYZ-15"); }},
        TakeBackCase{"refused callsign gives the default",
                     [](G& g, M&) { g.callsign = "A-B-C"; },
                     {"m_Callsign"},
                     [](R& r) { EXPECT_EQ(r.m_Callsign.text, "DAVOZI"); }},
        TakeBackCase{"PR mode sets index and text",
                     [](G& g, M&) { g.prMode = 1; },
                     {"m_PrModeIndex", "m_PrMode"},
                     [](R& r) {
                       EXPECT_EQ(r.m_PrModeIndex.value, 1);
                       EXPECT_EQ(r.m_PrMode.text, "R300");
                     }},
        TakeBackCase{"unknown PR mode leaves both", [](G& g, M&) { g.prMode = 6; }, {}, nullptr},
        TakeBackCase{"connect text with remote disconnect",
                     [](G& g, M&) {
                       g.connectMode = 2;
                       g.connectText = " Hello \xB0 ";
                     },
                     {"m_ConnectMode", "m_ConnectText"},
                     [](R& r) { EXPECT_EQ(r.m_ConnectText.text, " Hello \xB0 "); }},
        TakeBackCase{
            "connect mode out of range refused", [](G& g, M&) { g.connectMode = 3; }, {}, nullptr},
        TakeBackCase{"monitor flags",
                     [](G& g, M&) {
                       g.monitorU = true;
                       g.monitorC = true;
                     },
                     {"m_MonitorC", "m_MonitorU"},
                     nullptr},
        TakeBackCase{"misc switches and clock sync",
                     [](G&, M& m) {
                       m.addLinefeed = false;
                       m.duplex = true;
                       m.txFreqTrack = false;
                       m.syncClock = true;
                     },
                     {"m_Duplex", "m_AddLinefeed", "m_SyncClock", "m_TxFreqTrack"},
                     nullptr},
        TakeBackCase{"misc numbers",
                     [](G&, M& m) {
                       m.number(MiscField::Frack) = "15000";
                       m.number(MiscField::Timer2) = "100000";
                       m.number(MiscField::IPoll) = "256";
                       m.number(MiscField::Retry) = "";
                     },
                     {"m_IPoll", "m_Timer2", "m_Frack", "m_Retry"},
                     [](R& r) {
                       EXPECT_EQ(r.m_Timer2.value, 100000);
                       EXPECT_EQ(r.m_Retry.value, 0);  // empty reads as 0, not the default
                     }},
        TakeBackCase{"lists",
                     [](G&, M& m) {
                       m.flowControl = "0";
                       m.timestamp = "2";
                     },
                     {"m_Timestamp", "m_FlowControl"},
                     [](R& r) {
                       EXPECT_EQ(r.m_FlowControl.value, 0);
                       EXPECT_EQ(r.m_Timestamp.value, 2);
                     }}));

TEST(SettingsFill, GivesNumbersAsTheDigitsOfTheirValues) {
  CConfigData record;
  CConfigData::SetNumberText(record.m_TxDelay, "0025");
  CConfigData::SetNumberText(record.m_FlowControl, "03");
  CConfigData::SetNumberText(record.m_Timestamp, "002");
  CConfigData::SetNumberText(record.m_Timer3, "0000100");
  CConfigData::SetNumber(record.m_MonitorS, 1);
  CConfigData::SetNumber(record.m_PrModeIndex, 0);

  const GeneralSettingsValues general = GeneralSettingsFromRecord(record);
  EXPECT_EQ(general.txDelay, "25");
  EXPECT_EQ(general.callsign, "DAVOZI");
  EXPECT_TRUE(general.monitorS);
  EXPECT_FALSE(general.monitorI);
  EXPECT_EQ(general.prMode, 0);
  EXPECT_EQ(general.centerFreq, "1700");

  const MiscSettingsValues misc = MiscSettingsFromRecord(record);
  EXPECT_EQ(misc.flowControl, "3");
  EXPECT_EQ(misc.timestamp, "2");
  EXPECT_EQ(misc.number(MiscField::Timer3), "100");
  EXPECT_EQ(misc.number(MiscField::Frack), "500");
  EXPECT_TRUE(misc.addLinefeed);
  EXPECT_TRUE(misc.txFreqTrack);
  EXPECT_FALSE(misc.syncClock);
}

}  // namespace
}  // namespace vextune
