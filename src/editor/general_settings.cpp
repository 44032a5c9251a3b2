#include "editor/general_settings.h"

#include <array>

#include "common/text_codec.h"
#include "common/text_util.h"
#include "config/config_data.h"

namespace vextune {
namespace {

// One range check of OK: the field, its accepted range and its message.
struct RangeCheck {
  GeneralField field;
  std::string GeneralSettingsValues::*text;
  int32_t min;
  int32_t max;
  const char* message;
  const char* caption;
};

// In the order OK runs them. The digit-only fields hold no sign, so a lower
// bound of 0 never fails.
const std::array<RangeCheck, 6> kRangeChecks = {{
    {GeneralField::TxDelay, &GeneralSettingsValues::txDelay, 0, 127,
     "TX-Delay: Enter a value between 0...127!", "TX-Delay Error"},
    {GeneralField::Channel, &GeneralSettingsValues::channel, 0, 10,
     "Switch channel: Enter a value between 0...10!", "Switch channel Error"},
    {GeneralField::LevelAfsk, &GeneralSettingsValues::levelAfsk, 30, 3000,
     "XA: Enter a value between 30...3000!", "XA Error"},
    {GeneralField::LevelFsk, &GeneralSettingsValues::levelFsk, 30, 3000,
     "XF: Enter a value between 30...3000!", "XF Error"},
    {GeneralField::LevelRobust, &GeneralSettingsValues::levelRobust, 30, 3000,
     "XR: Enter a value between 30...3000!", "XR Error"},
    {GeneralField::CenterFreq, &GeneralSettingsValues::centerFreq, 1000, 3000,
     "Audio Center Freq.: Enter a value between 1000...3000 Hz", "Audio Center Freq. Error"},
}};

SettingsMessage Exclamation(std::string caption, std::string text) {
  return SettingsMessage{std::move(caption), std::move(text), MessageIcon::Warning};
}

}  // namespace

SettingsMessage CallsignMessage(int code, std::string_view callsign) {
  const std::string quoted = "\"" + Cp1252ToUtf8(callsign) + "\" ";
  switch (code) {
    case 1:
    case 2:
      return Exclamation("Callsign Error", "Incorrect Callsign: " + quoted);
    case 3:
      return Exclamation("Callsign Error",
                         "Callsign too long: " + quoted + "\nMax. 6 chars allowed.");
    case 4:
    case 5:
      return Exclamation("Callsign Error",
                         "Incorrect SSID: " + quoted + "\nOnly numbers between 0...15 allowed.");
    default:
      return Exclamation("Callsign Error", "Callsign Error");
  }
}

GeneralSettingsOk CheckGeneralSettingsOk(const GeneralSettingsEntries& entries) {
  GeneralSettingsOk ok{entries.fields, {}};
  GeneralSettingsValues& values = ok.values;

  const bool known_mode = entries.checkedPrMode >= 0 && entries.checkedPrMode < kPrModeCount;
  values.prMode = known_mode ? entries.checkedPrMode : kDefaultPrModeIndex;
  values.callsign = ToUpperAscii(values.callsign);

  if (const int code = CheckCallsign(values.callsign); code != 0) {
    ok.findings.push_back({GeneralField::Callsign, CallsignMessage(code, values.callsign)});
    return ok;
  }
  for (const RangeCheck& check : kRangeChecks) {
    const int32_t number = ReadFieldNumber(values.*check.text);
    if (number < check.min || number > check.max) {
      ok.findings.push_back({check.field, Exclamation(check.caption, check.message)});
      return ok;
    }
  }
  if (entries.connectTextOn && TrimSpace(values.connectText).empty()) {
    ok.findings.push_back({GeneralField::ConnectText,
                           Exclamation("Connect Text Error",
                                       "Please enter a connect text or switch connect text OFF!")});
    return ok;
  }
  if (!entries.connectTextOn)
    values.connectMode = kConnectTextOff;
  else
    values.connectMode = entries.remoteDisconnectOn ? kConnectTextRemoteDisconnect : kConnectTextOn;
  return ok;
}

}  // namespace vextune
