#include "editor/aprs_settings_record.h"

#include <gtest/gtest.h>

#include "config/config_data.h"
#include "editor/aprs_choice_lists.h"

namespace vextune {
namespace {

AprsSettingsValues EveryValueChanged() {
  AprsSettingsValues v;
  v.callsign = "KLMNOP-9";
  v.path = {"APZ", "WIDE1-1", "WIDE2-2", "", "", "", "", "", ""};
  v.alternateTable = true;
  v.symbol = "93";
  v.txInterval = "0";
  v.autoSpeed = 2;
  v.beaconMode = "2";
  v.position = "4831.79N 00811.88E";
  v.trackOnly = true;
  v.comment = "Comment \xB0";
  v.statusText = "Status";
  v.statusEvery = 20;
  v.hfToggleSwitch = true;
  v.hfToggle = 2;
  v.altitude = 3;
  v.compressed = false;
  v.timestamp = false;
  v.valid = "3600";
  v.nmeaOut = 4;
  v.digipeating = 3;
  v.crossMode = 7;
  v.unprotoCross = true;
  v.freqBeacon = "30000";
  return v;
}

TEST(AprsSettingsValues, TakeBackStoresEveryValueAndFillReadsItAgain) {
  CConfigData record;
  CConfigData::SetText(record.m_AprsVia1Ssid, "02");  // travels apart from the callsign text
  const AprsSettingsValues values = EveryValueChanged();
  TakeBackAprsSettings(values, record);

  EXPECT_EQ(record.m_AprsCall.text, "KLMNOP-9");
  EXPECT_EQ(record.m_AprsDest.text, "APZ");
  EXPECT_EQ(record.m_AprsVia2.text, "WIDE2-2");
  EXPECT_EQ(record.m_AprsVia3.text, "");
  EXPECT_EQ(record.m_AprsVia1Ssid.text, "02");
  EXPECT_EQ(record.m_AprsDestSsid.text, "00");
  EXPECT_EQ(record.m_AprsAltTable.value, 1);
  EXPECT_EQ(record.m_AprsSymbol.value, 93);
  EXPECT_EQ(record.m_AprsInterval.value, 0);
  EXPECT_EQ(record.m_AprsInterval.text, "0");
  EXPECT_EQ(record.m_AprsAutoSpeed.value, 2);
  EXPECT_EQ(record.m_AprsBeacon.value, 2);
  EXPECT_EQ(record.m_AprsPosition.text, "4831.79N 00811.88E");
  EXPECT_EQ(record.m_AprsTrackOnly.value, 1);
  EXPECT_EQ(record.m_AprsComment.text, "Comment \xB0");
  EXPECT_EQ(record.m_AprsStatusText.text, "Status");
  EXPECT_EQ(record.m_AprsStatusEvery.value, 20);
  EXPECT_EQ(record.m_AprsHfToggleOld.value, 1);
  EXPECT_EQ(record.m_AprsHfToggle.value, 2);
  EXPECT_EQ(record.m_AprsAltitude.value, 3);
  EXPECT_EQ(record.m_AprsCompressed.value, 0);
  EXPECT_EQ(record.m_AprsTimestamp.value, 0);
  EXPECT_EQ(record.m_AprsValid.value, 3600);
  EXPECT_EQ(record.m_NmeaOut.value, 4);
  EXPECT_EQ(record.m_NmeaOutOld.value, 3);
  EXPECT_EQ(record.m_AprsDigi.value, 3);
  EXPECT_EQ(record.m_AprsCrossMode.value, 7);
  EXPECT_EQ(record.m_AprsUnprotoCross.value, 1);
  EXPECT_EQ(record.m_AprsFreqBeacon.value, 30000);

  EXPECT_EQ(AprsSettingsFromRecord(record), values);
}

TEST(AprsSettingsValues, OlderNmeaFormFollowsTheChoice) {
  for (const auto& [chosen, older] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 3}}) {
    CConfigData record;
    AprsSettingsValues values = AprsSettingsFromRecord(record);
    values.nmeaOut = chosen;
    TakeBackAprsSettings(values, record);
    EXPECT_EQ(record.m_NmeaOut.value, chosen);
    EXPECT_EQ(record.m_NmeaOutOld.value, older) << chosen;
  }
}

TEST(AprsSettingsValues, UntouchedValuesLeaveTheRecordEqual) {
  CConfigData record;
  CConfigData::SetNumberText(record.m_AprsInterval, "0900");  // digits kept as typed
  CConfigData::SetNumberText(record.m_AprsBeacon, "01");
  const CConfigData before = record;
  TakeBackAprsSettings(AprsSettingsFromRecord(record), record);
  EXPECT_TRUE(record.IsEqual(before, true));
  EXPECT_EQ(record.m_AprsInterval.text, "0900");
  EXPECT_EQ(AprsSettingsFromRecord(record).beaconMode, "1");
}

// Refused values show which setter took them: SetNumber keeps the old
// value, SetNumberText and SetText put the default in.
TEST(AprsSettingsValues, EachValueGoesThroughItsSetter) {
  CConfigData record;
  AprsSettingsValues before = EveryValueChanged();
  before.digipeating = 2;
  before.statusEvery = 5;
  before.hfToggle = 1;
  before.altitude = 2;
  before.nmeaOut = 2;
  before.crossMode = 3;
  before.autoSpeed = 0;
  before.txInterval = "60";
  before.valid = "100";
  before.freqBeacon = "600";
  before.symbol = "3";
  before.beaconMode = "1";
  TakeBackAprsSettings(before, record);

  AprsSettingsValues refused = before;
  refused.digipeating = 9;
  refused.statusEvery = 21;
  refused.hfToggle = 3;
  refused.altitude = 4;
  refused.nmeaOut = 5;
  refused.crossMode = 8;
  refused.autoSpeed = 3;
  refused.txInterval = "5";
  refused.valid = "5";
  refused.freqBeacon = "59";
  refused.symbol = "94";
  refused.beaconMode = "3";
  refused.callsign = "KLMNOPQ";
  refused.path = {"APRSXYZ", "A", "", "", "", "", "", "", ""};
  refused.position = "12";
  refused.comment = std::string(81, 'c');
  refused.statusText = std::string(81, 's');
  TakeBackAprsSettings(refused, record);

  struct Case {
    const CConfigParam& param;
    int32_t value;
    const char* text;
  };
  const Case cases[] = {
      // SetNumber: refused, the old value stays
      {record.m_AprsDigi, 2, "2"},
      {record.m_AprsStatusEvery, 5, "5"},
      {record.m_AprsHfToggle, 1, "1"},
      {record.m_AprsAltitude, 2, "2"},
      {record.m_NmeaOut, 2, "2"},
      {record.m_NmeaOutOld, 2, "2"},
      {record.m_AprsCrossMode, 3, "3"},
      {record.m_AprsAutoSpeed, 0, "0"},
      // SetNumberText: refused, the default comes in
      {record.m_AprsInterval, 900, "900"},
      {record.m_AprsValid, 1200, "1200"},
      {record.m_AprsFreqBeacon, 0, "0"},
      {record.m_AprsSymbol, 14, "14"},
      {record.m_AprsBeacon, 0, "0"},
      // SetText: refused, the default text comes in
      {record.m_AprsCall, 0, ""},
      {record.m_AprsDest, 0, "APRS"},
      {record.m_AprsVia1, 0, "A"},
      {record.m_AprsVia2, 0, ""},
      {record.m_AprsPosition, 0, ""},
      {record.m_AprsComment, 0, ""},
      {record.m_AprsStatusText, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.param.text, c.text);
    if (c.param.validator == nullptr) {
      EXPECT_EQ(c.param.value, c.value) << c.text;
    }
  }

  // Numbers kept as typed text keep their digits.
  AprsSettingsValues typed = before;
  typed.symbol = "007";
  typed.freqBeacon = "00060";
  TakeBackAprsSettings(typed, record);
  EXPECT_EQ(record.m_AprsSymbol.text, "007");
  EXPECT_EQ(record.m_AprsSymbol.value, 7);
  EXPECT_EQ(record.m_AprsFreqBeacon.text, "00060");
}

TEST(AprsChoiceLists, FirmwareDecidesTheEntries) {
  struct Case {
    AprsChoiceList list;
    int32_t firmware;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {AprsChoiceList::NmeaOut, 10173, {"APRS datagrams", "PR datagrams", "GPS-data (loopback)"}},
      {AprsChoiceList::NmeaOut,
       10174,
       {"APRS datagrams", "PR datagrams", "GPS-data (loopback)", "APRS + GPS (loopback)"}},
      {AprsChoiceList::NmeaOut,
       -1,
       {"APRS datagrams", "PR datagrams", "GPS-data (loopback)", "APRS + GPS (loopback)"}},
      {AprsChoiceList::DigiAlias, 10173, {"RELAY", "WIDE", "RELAY WIDE"}},
      {AprsChoiceList::DigiAlias, 10174, {"RELAY", "WIDE", "RELAY WIDE / GATE"}},
      {AprsChoiceList::DigiAlias, 10199, {"RELAY", "WIDE", "RELAY WIDE / GATE"}},
      {AprsChoiceList::DigiAlias, 10200, {"RELAY", "WIDE/WIDEn-N", "RELAY/ WIDE/ WIDEn-N/ GATE"}},
      {AprsChoiceList::DigiAlias, 0, {"RELAY", "WIDE", "RELAY WIDE"}},
      {AprsChoiceList::CrossMode,
       10368,
       {"300 Bd", "R300 Bd", "R600 Bd", "1200 Bd", "9600 Bd", "19200 Bd"}},
      {AprsChoiceList::CrossMode,
       10369,
       {"300 Bd", "R300 Bd", "R600 Bd", "1200 Bd", "9600 Bd", "19200 Bd", "HF DUAL"}},
      {AprsChoiceList::AutoSpeed, 0, {"slow", "medium", "fast"}},
      {AprsChoiceList::Altitude,
       0,
       {"uncompressed (1)", "compressed + uncompressed (2)", "compressed (3)"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AprsChoiceEntries(c.list, c.firmware), c.entries) << c.firmware;
}

}  // namespace
}  // namespace vextune
