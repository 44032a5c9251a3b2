#include "transfer/send_script.h"

#include <array>
#include <cstdio>

#include "config/param_tables.h"

namespace vextune {
namespace {

// One command line. The record's setters keep control characters out of its
// texts; dropping any that a record got some other way keeps a text from
// ending the line early and starting a command of its own.
std::string Line(const std::string& command) {
  std::string line = "\x1b";
  for (char c : command) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) line += c;
  }
  return line + "\r";
}

/// Switches send "1" only for the value 1, whatever else the record holds.
std::string Flag(const CConfigParam& p) {
  return p.value == 1 ? "1" : "0";
}

std::string Number(int32_t value) {
  return std::to_string(value);
}

std::string OrPlaceholder(const std::string& text, const char* placeholder) {
  return text.empty() ? std::string(placeholder) : text;
}

std::string CallWithSsid(const CConfigParam& call, const CConfigParam& ssid) {
  if (ssid.text == "00") return call.text;
  return call.text + "-" + ssid.text;
}

std::vector<std::string> ClockCommands(Clock& clock) {
  // One reading of the clock, so time and date belong together.
  const std::tm now = clock.LocalTime();
  char time[32];
  std::snprintf(time, sizeof time, "K %d:%d:%d", now.tm_hour, now.tm_min, now.tm_sec);
  char date[32];
  std::snprintf(date, sizeof date, "K %02d.%02d.%02d", now.tm_mday, now.tm_mon + 1,
                (now.tm_year + 1900) % 100);
  return {Line(time), Line(date)};
}

std::string MonitorLetters(const CConfigData& c) {
  std::string letters;
  if (c.m_MonitorI.value == 1) letters += 'i';
  if (c.m_MonitorU.value == 1) letters += 'u';
  if (c.m_MonitorS.value == 1) letters += 's';
  if (c.m_MonitorC.value == 1) letters += 'c';
  return letters.empty() ? "n" : letters;
}

std::string ConnectSetting(const CConfigData& c) {
  const int32_t mode = c.m_ConnectMode.value;
  std::string setting = mode == 0 ? "0" : mode == 1 ? "1" : "2";
  if (!c.m_ConnectText.text.empty()) setting += " " + c.m_ConnectText.text;
  return setting;
}

std::string CrossModeWord(int32_t mode) {
  // The record keeps the number in range; "NONE" guards against a bad copy.
  return std::string(WordAt(kCrossModeWords, mode).value_or(kCrossModeWords[0]));
}

std::string SymbolSetting(const CConfigData& c) {
  // Widened: a record that holds INT32_MAX must not overflow.
  const std::string number = std::to_string(int64_t{c.m_AprsSymbol.value} + 1);
  return c.m_AprsAltTable.value == 1 ? "a" + number : number;
}

}  // namespace

std::string AprsPathText(const CConfigData& c) {
  const PathCallsign& destination = kPathCallsigns.front();
  std::string path = CallWithSsid(c.*destination.callsign, c.*destination.ssid);
  // An empty digipeater is a gap, not the end of the list.
  for (size_t i = 1; i < kPathCallsigns.size(); ++i) {
    const CConfigParam& call = c.*kPathCallsigns[i].callsign;
    if (!call.text.empty()) path += " " + CallWithSsid(call, c.*kPathCallsigns[i].ssid);
  }
  return path;
}

std::vector<std::string> SendStepCommands(SendStep step, const CConfigData& c,
                                          const DeviceState& device, Clock& clock) {
  const bool v1_0Q = device.FirmwareAtLeast(firmware::k1_0Q);
  const bool v1_1J = device.FirmwareAtLeast(firmware::k1_1J);
  using S = SendStep;
  switch (step) {
    case S::QuietPttAndBeacon:
      return {Line("X 0"), Line("%A 0")};
    case S::CallCheckOff:
      return {Line("@V 0")};
    case S::AddLinefeed:
      return {Line("a " + Flag(c.m_AddLinefeed))};
    case S::Echo:
      return {Line("e " + Flag(c.m_Echo))};
    case S::CallsignPlaceholder:
      return {Line("I DAVOZI")};
    case S::AprsCallOff:
      if (!v1_0Q) return {};
      return {Line("%AM NONE")};
    case S::Frack:
      return {Line("f " + c.m_Frack.text)};
    case S::ClockAndTimestamp: {
      std::vector<std::string> lines;
      if (c.m_SyncClock.value != 0) lines = ClockCommands(clock);
      lines.push_back(Line("K " + c.m_Timestamp.text));
      return lines;
    }
    case S::Monitor:
      return {Line("m " + MonitorLetters(c))};
    case S::Retry:
      return {Line("n " + c.m_Retry.text)};
    case S::MaxFrame:
      return {Line("o " + c.m_MaxFrame.text)};
    case S::Persistence:
      return {Line("p " + c.m_Persistence.text)};
    case S::Digipeat:
      return {Line("r " + Flag(c.m_Digipeat))};
    case S::Channel:
      return {Line("s " + c.m_Channel.text)};
    case S::TxDelay:
      return {Line("t " + c.m_TxDelay.text)};
    case S::ConnectText:
      return {Line("u " + ConnectSetting(c))};
    case S::SlotTime:
      return {Line("w " + c.m_SlotTime.text)};
    case S::Channels:
      return {Line("y " + c.m_Channels.text)};
    case S::FlowControl:
      return {Line("z " + c.m_FlowControl.text)};
    case S::Duplex:
      return {Line("@D " + Flag(c.m_Duplex))};
    case S::SendFlags:
      return {Line("@F " + Flag(c.m_SendFlags))};
    case S::IPoll:
      return {Line("@I " + c.m_IPoll.text)};
    case S::Timer2:
      return {Line("@T2 " + c.m_Timer2.text)};
    case S::Timer3:
      return {Line("@T3 " + c.m_Timer3.text)};
    case S::UiPoll:
      return {Line("@U " + Flag(c.m_UiPoll))};
    case S::AprsAltitude:
      if (!v1_1J) return {};
      return {Line("%AA " + Number(c.m_AprsAltitude.value))};
    case S::AprsDigi:
      if (!v1_0Q) return {};
      return {Line("%AD " + Number(c.m_AprsDigi.value))};
    case S::AprsStatusEvery:
      if (!v1_0Q) return {};
      return {Line("%AE " + Number(c.m_AprsStatusEvery.value))};
    case S::AprsFreqBeacon:
      if (!device.FirmwareAtLeast(firmware::k1_1K)) return {};
      return {Line("%AF " + c.m_AprsFreqBeacon.text)};
    case S::AprsCrossMode:
      if (!v1_1J) return {};
      return {Line("%AG " + CrossModeWord(c.m_AprsCrossMode.value))};
    case S::AprsHfToggle:
      if (!v1_0Q) return {};
      // Firmware before 1.1J knows only the on/off form.
      if (!v1_1J) return {Line("%AH " + Flag(c.m_AprsHfToggleOld))};
      return {Line("%AH " + Number(c.m_AprsHfToggle.value))};
    case S::NmeaOut:
      if (!v1_0Q) return {};
      return {Line("%AN " + Number(c.m_NmeaOut.value))};
    case S::AprsStatusText:
      if (!v1_0Q) return {};
      return {Line("%AR " + OrPlaceholder(c.m_AprsStatusText.text, "-"))};
    case S::AprsInterval:
      return {Line("%AT " + c.m_AprsInterval.text)};
    case S::AprsAutoSpeed:
      if (!device.FirmwareAtLeast(firmware::k1_4B)) return {};
      return {Line("%AL " + c.m_AprsAutoSpeed.text)};
    case S::AprsValid:
      if (!v1_0Q) return {};
      return {Line("%AV " + c.m_AprsValid.text)};
    case S::AprsComment:
      return {Line("%AC " + OrPlaceholder(c.m_AprsComment.text, "-"))};
    case S::AprsTimestamp:
      return {Line("%AI " + Flag(c.m_AprsTimestamp))};
    case S::AprsPosition:
      if (c.m_AprsPosition.text.empty()) return {};
      return {Line("%AO " + c.m_AprsPosition.text)};
    case S::AprsPath:
      if (c.m_AprsDest.text.empty()) return {};
      return {Line("%AP " + AprsPathText(c))};
    case S::AprsCompressed:
      return {Line("%AS " + Flag(c.m_AprsCompressed))};
    case S::AprsSymbol:
      return {Line("%AY " + SymbolSetting(c))};
    case S::AprsTrackOnly:
      return {Line("%AX " + Flag(c.m_AprsTrackOnly))};
    case S::AprsUnprotoCross:
      if (!device.FirmwareAtLeast(firmware::k1_3E)) return {};
      return {Line("%AU " + Flag(c.m_AprsUnprotoCross))};
    case S::PrMode:
      return {Line("%B " + c.m_PrMode.text)};
    case S::CenterFreq:
      if (!v1_0Q) return {};
      return {Line("%F " + c.m_CenterFreq.text)};
    case S::TxFreqTrack:
      if (!v1_0Q) return {};
      return {Line("%T " + Flag(c.m_TxFreqTrack))};
    case S::LevelAfsk:
      return {Line("%XA " + c.m_LevelAfsk.text)};
    case S::LevelFsk:
      return {Line("%XF " + c.m_LevelFsk.text)};
    case S::LevelRobust:
      return {Line("%XR " + c.m_LevelRobust.text)};
    case S::Ptt:
      return {Line("x " + Flag(c.m_Ptt))};
    case S::AprsBeacon:
      return {Line("%A " + c.m_AprsBeacon.text)};
    case S::CallCheck:
      return {Line("@V " + Flag(c.m_CallCheck))};
    case S::Callsign:
      return {Line("i " + c.m_Callsign.text)};
    case S::AprsCall:
      if (!v1_0Q) return {};
      return {Line("%AM " + OrPlaceholder(c.m_AprsCall.text, "NONE"))};
    case S::Open:
    case S::Identify:
    case S::Store:
    case S::End:
    case S::Done:
      break;
  }
  return {};
}

}  // namespace vextune
