#include "editor/general_settings.h"

#include <array>

#include "common/text_codec.h"
#include "common/text_util.h"
#include "config/config_data.h"
#include "editor/field_rules.h"
#include "editor/field_texts.h"

namespace vextune {
namespace {

// One range check of OK: the field, the parameter whose range it checks, the
// name its message and caption begin with, and what follows the range.
struct RangeCheck {
  GeneralField field;
  std::string GeneralSettingsValues::*text;
  CConfigParam CConfigData::*param;
  const char* name;
  const char* ending = "!";
};

// In the order OK runs them. The digit-only fields hold no sign, so a lower
// bound of 0 never fails.
const std::array<RangeCheck, 6> kRangeChecks = {{
    {GeneralField::TxDelay, &GeneralSettingsValues::txDelay, &CConfigData::m_TxDelay, "TX-Delay"},
    {GeneralField::Channel, &GeneralSettingsValues::channel, &CConfigData::m_Channel,
     "Switch channel"},
    {GeneralField::LevelAfsk, &GeneralSettingsValues::levelAfsk, &CConfigData::m_LevelAfsk, "XA"},
    {GeneralField::LevelFsk, &GeneralSettingsValues::levelFsk, &CConfigData::m_LevelFsk, "XF"},
    {GeneralField::LevelRobust, &GeneralSettingsValues::levelRobust, &CConfigData::m_LevelRobust,
     "XR"},
    {GeneralField::CenterFreq, &GeneralSettingsValues::centerFreq, &CConfigData::m_CenterFreq,
     "Audio Center Freq.", " Hz"},
}};

SettingsMessage Exclamation(std::string caption, std::string text) {
  return SettingsMessage{std::move(caption), std::move(text), MessageIcon::Warning};
}

SettingsMessage RangeMessage(const RangeCheck& check) {
  const std::string name = check.name;
  return Exclamation(name + " Error", name + ": " + EnterValueBetween(check.param, check.ending));
}

}  // namespace

std::string ConnectTextRefusedMessage() {
  return "Connect Text: Enter at most " + std::to_string(kText72Length) +
         " characters, without tabs or line breaks!";
}

SettingsMessage CallsignMessage(int code, std::string_view callsign) {
  constexpr const char* kCaption = "Callsign Error";
  return Exclamation(kCaption, CallsignRefusalText(code, Cp1252ToUtf8(callsign), kCaption));
}

GeneralSettingsOk CheckGeneralSettingsOk(const GeneralSettingsEntries& entries) {
  GeneralSettingsOk ok{entries.fields, {}};
  GeneralSettingsValues& values = ok.values;

  const bool known_mode = entries.checkedPrMode >= 0 && entries.checkedPrMode < kPrModeCount;
  values.prMode = known_mode ? entries.checkedPrMode : kDefaultPrModeIndex;
  values.callsign = ToUpperAscii(values.callsign);

  // The record's own rule: CheckCallsign's codes, and a control character as
  // a code of its own.
  if (const int code = RecordTextCheck(&CConfigData::m_Callsign, values.callsign); code != 0) {
    ok.findings.push_back({GeneralField::Callsign, CallsignMessage(code, values.callsign)});
    return ok;
  }
  for (const RangeCheck& check : kRangeChecks) {
    const int32_t number = ReadFieldNumber(values.*check.text);
    if (!RecordRangeOf(check.param).Takes(number)) {
      ok.findings.push_back({check.field, RangeMessage(check)});
      return ok;
    }
  }
  if (entries.connectTextOn && TrimSpace(values.connectText).empty()) {
    ok.findings.push_back({GeneralField::ConnectText,
                           Exclamation("Connect Text Error",
                                       "Please enter a connect text or switch connect text OFF!")});
    return ok;
  }
  if (RecordTextCheck(&CConfigData::m_ConnectText, values.connectText) != 0) {
    ok.findings.push_back({GeneralField::ConnectText,
                           Exclamation("Connect Text Error", ConnectTextRefusedMessage())});
    return ok;
  }
  if (!entries.connectTextOn)
    values.connectMode = kConnectTextOff;
  else
    values.connectMode = entries.remoteDisconnectOn ? kConnectTextRemoteDisconnect : kConnectTextOn;
  return ok;
}

}  // namespace vextune
