// The paired parameters, the mode-word and path tables, and the setters that
// leave a parameter alone when they refuse.
#include "config/paired_params.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/config_data.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

using Member = CConfigParam CConfigData::*;
using D = CConfigData;

TEST(PairedParams, ModeIndexAndModeWordSetEachOther) {
  for (int32_t i = 0; i < static_cast<int32_t>(kPrModeWords.size()); ++i) {
    const std::string word(kPrModeWords[static_cast<size_t>(i)]);
    CConfigData byIndex;
    ASSERT_TRUE(D::SetNumber(byIndex.m_PrModeIndex, i));
    FollowPartner(byIndex, &D::m_PrModeIndex);
    EXPECT_EQ(byIndex.m_PrMode.text, word);

    CConfigData byWord;
    ASSERT_EQ(D::SetText(byWord.m_PrMode, word), 0);
    FollowPartner(byWord, &D::m_PrMode, PairSource::Device);
    EXPECT_EQ(byWord.m_PrModeIndex.value, i) << word;
  }
}

TEST(PairedParams, EachPairFollowsAsItsSourceWants) {
  struct Case {
    const char* what;
    std::function<void(CConfigData&)> before;  // the record before, through the setters
    Member changed;
    PairSource source;
    std::vector<std::pair<Member, int32_t>> after;
  };
  auto set = [](std::vector<std::pair<Member, int32_t>> values) {
    return [values](CConfigData& r) {
      for (const auto& [member, value] : values) ASSERT_TRUE(D::SetNumber(r.*member, value));
    };
  };
  const Case cases[] = {
      {"NMEA off",
       set({{&D::m_NmeaOutOld, 3}, {&D::m_NmeaOut, 0}}),
       &D::m_NmeaOut,
       PairSource::Edit,
       {{&D::m_NmeaOutOld, 0}}},
      {"NMEA 3",
       set({{&D::m_NmeaOut, 3}}),
       &D::m_NmeaOut,
       PairSource::Device,
       {{&D::m_NmeaOutOld, 3}}},
      {"NMEA 4 is 3 in the older form",
       set({{&D::m_NmeaOut, 4}}),
       &D::m_NmeaOut,
       PairSource::Edit,
       {{&D::m_NmeaOutOld, 3}, {&D::m_NmeaOut, 4}}},
      {"older NMEA form from an older file",
       set({{&D::m_NmeaOut, 4}, {&D::m_NmeaOutOld, 2}}),
       &D::m_NmeaOutOld,
       PairSource::OlderFile,
       {{&D::m_NmeaOut, 2}}},
      {"device HF toggle 2",
       set({{&D::m_AprsHfToggle, 2}}),
       &D::m_AprsHfToggle,
       PairSource::Device,
       {{&D::m_AprsHfToggleOld, 1}}},
      {"device HF toggle 0",
       set({{&D::m_AprsHfToggleOld, 1}, {&D::m_AprsHfToggle, 0}}),
       &D::m_AprsHfToggle,
       PairSource::Device,
       {{&D::m_AprsHfToggleOld, 0}}},
      {"older device, flag on",
       set({{&D::m_AprsHfToggle, 2}, {&D::m_AprsHfToggleOld, 1}}),
       &D::m_AprsHfToggleOld,
       PairSource::Device,
       {{&D::m_AprsHfToggle, 1}}},
      {"older device, flag off",
       set({{&D::m_AprsHfToggle, 2}, {&D::m_AprsHfToggleOld, 0}}),
       &D::m_AprsHfToggleOld,
       PairSource::Device,
       {{&D::m_AprsHfToggle, 0}}},
      {"older file, flag on",
       set({{&D::m_AprsHfToggle, 2}, {&D::m_AprsHfToggleOld, 1}}),
       &D::m_AprsHfToggleOld,
       PairSource::OlderFile,
       {{&D::m_AprsHfToggle, 1}}},
      {"older file, flag off keeps the value",
       set({{&D::m_AprsHfToggle, 2}, {&D::m_AprsHfToggleOld, 0}}),
       &D::m_AprsHfToggleOld,
       PairSource::OlderFile,
       {{&D::m_AprsHfToggle, 2}}},
      {"an edit sets the HF toggle forms apart",
       set({{&D::m_AprsHfToggle, 2}}),
       &D::m_AprsHfToggle,
       PairSource::Edit,
       {{&D::m_AprsHfToggleOld, 0}}},
      {"an edit of the flag leaves the value",
       set({{&D::m_AprsHfToggle, 2}, {&D::m_AprsHfToggleOld, 0}}),
       &D::m_AprsHfToggleOld,
       PairSource::Edit,
       {{&D::m_AprsHfToggle, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CConfigData r;
    c.before(r);
    FollowPartner(r, c.changed, c.source);
    for (const auto& [member, value] : c.after) {
      EXPECT_EQ((r.*member).value, value);
      EXPECT_EQ((r.*member).text, std::to_string(value));
    }
  }
}

TEST(PairedParams, AParameterWithoutPartnerChangesNothing) {
  for (const ParamInfo& info : CConfigData::Params()) {
    const bool paired = info.member == &D::m_PrModeIndex || info.member == &D::m_PrMode ||
                        info.member == &D::m_NmeaOut || info.member == &D::m_NmeaOutOld ||
                        info.member == &D::m_AprsHfToggle || info.member == &D::m_AprsHfToggleOld;
    if (paired) continue;
    // An inconsistent record shows any change the rule might make.
    CConfigData r;
    D::SetNumber(r.m_PrModeIndex, 0);
    D::SetNumber(r.m_NmeaOut, 4);
    D::SetNumber(r.m_AprsHfToggle, 2);
    const CConfigData before = r;
    for (PairSource source : {PairSource::Edit, PairSource::Device, PairSource::OlderFile}) {
      FollowPartner(r, info.member, source);
    }
    for (const ParamInfo& other : CConfigData::Params()) {
      EXPECT_EQ(r.Get(other).text, before.Get(other).text)
          << other.memberName << " after " << info.memberName;
    }
  }
}

TEST(ParamTables, ModeWordsAreWhatTheValidatorsAccept) {
  for (std::string_view word : kPrModeWords) EXPECT_EQ(CheckPrMode(word), 0) << word;
  for (std::string_view word : kCrossModeWords) EXPECT_EQ(CheckCrossMode(word), 0) << word;
  for (std::string_view word : {"", "r300", "1200 ", "NONE", "38400", "HF"}) {
    EXPECT_NE(CheckPrMode(word), 0) << word;
  }
  for (std::string_view word : {"", "none", "HF-DUAL", "HFDUAL", "4800"}) {
    EXPECT_NE(CheckCrossMode(word), 0) << word;
  }
  // Their numbers are the record's limits.
  const CConfigData d;
  EXPECT_EQ(d.m_PrModeIndex.max + 1, static_cast<int32_t>(kPrModeWords.size()));
  EXPECT_EQ(d.m_AprsCrossMode.max + 1, static_cast<int32_t>(kCrossModeWords.size()));
  EXPECT_EQ(kPrModeWords[static_cast<size_t>(d.m_PrModeIndex.value)], d.m_PrMode.text);
}

TEST(ParamTables, WordLookupIsExactAndBounded) {
  EXPECT_EQ(WordIndex(kCrossModeWords, "HF DUAL"), 7);
  EXPECT_EQ(WordIndex(kCrossModeWords, "NONE"), 0);
  EXPECT_EQ(WordIndex(kPrModeWords, "r600"), std::nullopt);
  EXPECT_EQ(WordAt(kPrModeWords, 0), "300");
  EXPECT_EQ(WordAt(kPrModeWords, 5), "19200");
  for (int32_t outside : {-1, 6, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(WordAt(kPrModeWords, outside), std::nullopt) << outside;
  }
}

TEST(ParamTables, PathTableIsTheRecordsPathInOrder) {
  std::vector<Member> path;
  for (const ParamInfo& info : CConfigData::Params()) {
    if (std::string_view(info.command) == "%AP") path.push_back(info.member);
  }
  ASSERT_EQ(path.size(), 2 * kPathCallsignCount);
  const CConfigData d;
  for (size_t i = 0; i < kPathCallsignCount; ++i) {
    EXPECT_EQ(kPathCallsigns[i].callsign, path[2 * i]) << i;
    EXPECT_EQ(kPathCallsigns[i].ssid, path[2 * i + 1]) << i;
    EXPECT_EQ((d.*kPathCallsigns[i].callsign).validator, &CheckCallsign) << i;
    EXPECT_EQ((d.*kPathCallsigns[i].ssid).validator, &CheckSsid) << i;
  }
  EXPECT_EQ(kPathCallsigns.front().callsign, &D::m_AprsDest);
  EXPECT_EQ(kPathCallsigns.back().callsign, &D::m_AprsVia8);
}

TEST(ConfigRecord, TakeSettersLeaveARefusedParameterAlone) {
  CConfigData d;
  ASSERT_TRUE(D::SetNumberText(d.m_TxDelay, "0042"));
  for (std::string_view refused : {"", "abc", "128", "99999999999"}) {
    EXPECT_FALSE(D::TakeNumberText(d.m_TxDelay, refused)) << refused;
    EXPECT_EQ(d.m_TxDelay.text, "0042") << refused;
    EXPECT_EQ(d.m_TxDelay.value, 42) << refused;
  }
  EXPECT_TRUE(D::TakeNumberText(d.m_TxDelay, "007"));
  EXPECT_EQ(d.m_TxDelay.text, "007");  // leading zeros stay, as with SetNumberText
  EXPECT_EQ(d.m_TxDelay.value, 7);

  ASSERT_EQ(D::SetText(d.m_Callsign, "DL1ABC"), 0);
  const std::string_view refusedTexts[] = {"DL1ABC-1-2", "A\rB", std::string_view("X\0Y", 3)};
  for (std::string_view refused : refusedTexts) {
    CConfigParam expected = d.m_Callsign;
    const int code = D::SetText(expected, refused);
    ASSERT_NE(code, 0);
    EXPECT_EQ(D::TakeText(d.m_Callsign, refused), code) << "the code SetText gives";
    EXPECT_EQ(d.m_Callsign.text, "DL1ABC");
  }
  EXPECT_EQ(D::TakeText(d.m_Callsign, "OE1XYZ-9"), 0);
  EXPECT_EQ(d.m_Callsign.text, "OE1XYZ-9");
  EXPECT_EQ(D::TakeText(d.m_TxDelay, "12"), -1) << "a numeric parameter has no text rule";
  EXPECT_EQ(d.m_TxDelay.text, "007");
}

TEST(ConfigRecord, ResetToDefaultPutsTheDefaultOfThatParameterOnly) {
  CConfigData d;
  ASSERT_TRUE(D::SetNumberText(d.m_AprsCrossMode, "05"));
  ASSERT_EQ(D::SetText(d.m_AprsDest, "APZ"), 0);
  ASSERT_TRUE(D::SetNumber(d.m_Frack, 1000));
  d.ResetToDefault(&D::m_AprsCrossMode);  // numeric, with a word rule of its own
  d.ResetToDefault(&D::m_AprsDest);
  const CConfigData defaults;
  EXPECT_EQ(d.m_AprsCrossMode.text, defaults.m_AprsCrossMode.text);
  EXPECT_EQ(d.m_AprsCrossMode.value, defaults.m_AprsCrossMode.value);
  EXPECT_EQ(d.m_AprsDest.text, "APRS");
  EXPECT_EQ(d.m_Frack.value, 1000) << "the others stay";
}

}  // namespace
}  // namespace vextune
