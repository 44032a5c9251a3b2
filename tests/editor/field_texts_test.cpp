// Every range a settings dialog checks is the record's, and every message and
// tooltip that names a range names the record's limits: the numbers are read
// from the parameter table here, never written down.
#include "editor/field_texts.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "aprs_controls.h"
#include "editor/general_settings_record.h"
#include "editor/misc_settings_record.h"

namespace vextune {
namespace {

using D = CConfigData;
using Member = CConfigParam CConfigData::*;
// The message a dialog shows for `number` typed into the field; nothing when
// its check passes.
using Check = std::function<std::optional<std::string>(const std::string& number)>;

Check MiscCheck(MiscField field) {
  return [field](const std::string& number) -> std::optional<std::string> {
    MiscFieldChecks checks(MiscSettingsFromRecord(CConfigData{}).numbers);
    const auto findings = checks.CheckField(field, number);
    if (findings.empty()) return std::nullopt;
    return findings.front().message.text;
  };
}

Check GeneralCheck(std::string GeneralSettingsValues::*text) {
  return [text](const std::string& number) -> std::optional<std::string> {
    GeneralSettingsEntries entries;
    entries.fields = GeneralSettingsFromRecord(CConfigData{});
    entries.fields.*text = number;
    const GeneralSettingsOk ok = CheckGeneralSettingsOk(entries);
    if (ok.findings.empty()) return std::nullopt;
    return ok.findings.front().message.text;
  };
}

Check AprsCheck(std::function<void(AprsDialogControls&, const std::string&)> type) {
  return [type](const std::string& number) -> std::optional<std::string> {
    AprsDialogControls c = testing::GoodAprsControls();
    type(c, number);
    const AprsOkOutcome outcome = CheckAprsSettings(c, AprsSettingsValues{}, -1);
    if (outcome.accepted()) return std::nullopt;
    return outcome.finding->message.text;
  };
}

struct RangeCase {
  const char* name;
  Member member;
  Check check;
  std::string toolTip;  // "" for a field without a range in its tooltip
};

TEST(FieldTexts, EveryRangeCheckAndItsTextsNameTheRecordsLimits) {
  const RangeCase cases[] = {
      {"Frack", &D::m_Frack, MiscCheck(MiscField::Frack), MiscToolTip(MiscField::Frack)},
      {"Retry", &D::m_Retry, MiscCheck(MiscField::Retry), MiscToolTip(MiscField::Retry)},
      {"MaxFrame", &D::m_MaxFrame, MiscCheck(MiscField::MaxFrame),
       MiscToolTip(MiscField::MaxFrame)},
      {"Persistence", &D::m_Persistence, MiscCheck(MiscField::Persistence),
       MiscToolTip(MiscField::Persistence)},
      {"SlotTime", &D::m_SlotTime, MiscCheck(MiscField::SlotTime),
       MiscToolTip(MiscField::SlotTime)},
      {"Channels", &D::m_Channels, MiscCheck(MiscField::Channels),
       MiscToolTip(MiscField::Channels)},
      {"IPoll", &D::m_IPoll, MiscCheck(MiscField::IPoll), MiscToolTip(MiscField::IPoll)},
      {"Timer2", &D::m_Timer2, MiscCheck(MiscField::Timer2), MiscToolTip(MiscField::Timer2)},
      {"Timer3", &D::m_Timer3, MiscCheck(MiscField::Timer3), MiscToolTip(MiscField::Timer3)},
      {"TxDelay", &D::m_TxDelay, GeneralCheck(&GeneralSettingsValues::txDelay),
       GeneralToolTip(GeneralField::TxDelay)},
      {"Channel", &D::m_Channel, GeneralCheck(&GeneralSettingsValues::channel),
       GeneralToolTip(GeneralField::Channel)},
      {"CenterFreq", &D::m_CenterFreq, GeneralCheck(&GeneralSettingsValues::centerFreq),
       GeneralToolTip(GeneralField::CenterFreq)},
      {"LevelAfsk", &D::m_LevelAfsk, GeneralCheck(&GeneralSettingsValues::levelAfsk),
       GeneralToolTip(GeneralField::LevelAfsk)},
      {"LevelFsk", &D::m_LevelFsk, GeneralCheck(&GeneralSettingsValues::levelFsk),
       GeneralToolTip(GeneralField::LevelFsk)},
      {"LevelRobust", &D::m_LevelRobust, GeneralCheck(&GeneralSettingsValues::levelRobust),
       GeneralToolTip(GeneralField::LevelRobust)},
      {"AprsFreqBeacon", &D::m_AprsFreqBeacon, AprsCheck([](auto& c, const std::string& n) {
         c.freqBeaconOn = true, c.freqBeaconText = n;
       }),
       AprsToolTip(AprsField::FreqBeaconInterval)},
      {"AprsStatusEvery", &D::m_AprsStatusEvery,
       AprsCheck([](auto& c, const std::string& n) { c.statusEveryText = n; }), ""},
      {"AprsValid", &D::m_AprsValid, AprsCheck([](auto& c, const std::string& n) { c.valid = n; }),
       AprsToolTip(AprsField::Valid)},
      {"AprsInterval", &D::m_AprsInterval,
       AprsCheck([](auto& c, const std::string& n) { c.txIntervalText = n; }),
       AprsToolTip(AprsField::TxInterval)},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ParamInfo& info = CConfigData::InfoOf(c.member);
    const std::string range = std::to_string(info.min) + "..." + std::to_string(info.max);
    EXPECT_EQ(c.check(std::to_string(info.min)), std::nullopt);
    EXPECT_EQ(c.check(std::to_string(info.max)), std::nullopt);
    std::vector<int32_t> outside = {info.max + 1};
    if (info.min > 0 && !(info.zeroAllowed && info.min == 1)) outside.push_back(info.min - 1);
    for (int32_t number : outside) {
      const auto message = c.check(std::to_string(number));
      ASSERT_TRUE(message.has_value()) << number;
      EXPECT_NE(message->find(range), std::string::npos) << *message;
    }
    if (!c.toolTip.empty()) {
      EXPECT_NE(c.toolTip.find("[" + range), std::string::npos) << c.toolTip;
    }
  }
}

TEST(FieldTexts, TheCallsignAndTextLimitsAreTheRecordsRules) {
  const std::string longest(kCallsignLength, 'A');
  const std::string ssid = "-" + std::to_string(kSsidMax);
  const std::string beyondSsid = "-" + std::to_string(kSsidMax + 1);
  const std::string chars = "max. " + std::to_string(kCallsignLength) + " chars";
  const Check check = GeneralCheck(&GeneralSettingsValues::callsign);
  const auto generalRefusal = [&check](const std::string& callsign) {
    return check(callsign).value_or("");
  };
  EXPECT_EQ(generalRefusal(longest + ssid), "");
  EXPECT_NE(generalRefusal(longest + "A").find("Max. " + std::to_string(kCallsignLength)),
            std::string::npos);
  EXPECT_NE(generalRefusal(longest + beyondSsid).find("0..." + std::to_string(kSsidMax)),
            std::string::npos);
  EXPECT_NE(GeneralToolTip(GeneralField::Callsign).find(chars), std::string::npos);
  EXPECT_NE(AprsToolTip(AprsField::Callsign).find(chars), std::string::npos);
  EXPECT_NE(AprsToolTip(AprsField::StatusText).find("max. " + std::to_string(kText80Length)),
            std::string::npos);
  // The one text that names another limit than its field's: see field_texts.cpp.
  EXPECT_NE(GeneralToolTip(GeneralField::ConnectText).find(std::to_string(kMaxTextLength)),
            std::string::npos);
}

}  // namespace
}  // namespace vextune
