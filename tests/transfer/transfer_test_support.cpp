#include "transfer_test_support.h"

namespace vextune::testing {

const std::vector<std::string>& DefaultScriptLines() {
  static const std::vector<std::string> lines = Split(
      "X 0|%A 0|@V 0|a 1|e 1|I DAVOZI|%AM NONE|f 500|K 0|m n|n 10|o 2|p 32|r 1|s 0|t 25|u 0|"
      "w 10|y 10|z 3|@D 0|@F 0|@I 60|@T2 150|@T3 18000|@U 0|%AA 0|%AD 0|%AE 0|%AF 0|%AG NONE|"
      "%AH 0|%AN 0|%AR -|%AT 900|%AL 1|%AV 1200|%AC -|%AI 1|%AP APRS RELAY WIDE|%AS 1|%AY 15|"
      "%AX 0|%AU 0|%B 1200|%F 1700|%T 1|%XA 300|%XF 600|%XR 200|x 1|%A 0|@V 0|i DAVOZI|"
      "%AM NONE|%ZS");
  return lines;
}

std::string Framed(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& l : lines) bytes += "\x1b" + l + "\r";
  return bytes;
}

std::vector<std::string> CommandLines(const std::vector<std::string>& writes) {
  std::vector<std::string> lines;
  for (const std::string& w : writes) {
    const bool framed = w.size() >= 2 && w.front() == '\x1b' && w.back() == '\r';
    lines.push_back(framed ? w.substr(1, w.size() - 2) : "<raw:" + w + ">");
  }
  return lines;
}

bool SetParam(CConfigData& record, const char* member, const std::string& value) {
  const ParamInfo* info = CConfigData::FindParam(member);
  if (!info) return false;
  CConfigParam& p = record.Get(*info);
  if (info->kind == ParamKind::Text) return CConfigData::SetText(p, value) == 0;
  return CConfigData::SetNumberText(p, value);
}

CConfigData EveryParameterChanged() {
  CConfigData c;
  std::vector<std::string> values = Split(
      "m_Duplex=1|m_SendFlags=1|m_IPoll=128|m_Timer2=200|m_Timer3=20000|m_UiPoll=1|"
      "m_CallCheck=1|m_AddLinefeed=0|m_AprsBeacon=2|m_AprsAltitude=3|m_AprsComment=Hello world|"
      "m_AprsDigi=2|m_AprsStatusEvery=5|m_AprsFreqBeacon=600|m_AprsCrossMode=7|"
      "m_AprsHfToggleOld=1|m_AprsHfToggle=2|m_AprsTimestamp=0|m_AprsCall=KLMNOP-7|"
      "m_NmeaOutOld=3|m_NmeaOut=4|m_AprsPosition=1234.56N 01234.56E|m_AprsDest=APZ|"
      "m_AprsDestSsid=05|m_AprsStatusText=On air|m_AprsCompressed=0|m_AprsInterval=1800|"
      "m_AprsValid=600|m_AprsTrackOnly=1|m_AprsAltTable=1|m_AprsSymbol=41|m_Echo=0|"
      "m_Frack=1000|m_Callsign=DL1ABC-3|m_Timestamp=2|m_SyncClock=1|m_MonitorC=1|m_MonitorI=1|"
      "m_MonitorS=1|m_MonitorU=1|m_Retry=0|m_MaxFrame=7|m_Persistence=255|m_AprsUnprotoCross=1|"
      "m_PrModeIndex=4|m_PrMode=9600|m_CenterFreq=2000|m_TxFreqTrack=0|m_LevelAfsk=400|"
      "m_LevelFsk=700|m_LevelRobust=250|m_Digipeat=0|m_Channel=5|m_TxDelay=30|m_ConnectMode=2|"
      "m_ConnectText=Hello there|m_SlotTime=20|m_Ptt=0|m_Channels=4|m_FlowControl=1|"
      "m_AprsAutoSpeed=2");
  for (int i = 1; i <= 8; ++i) {  // digipeater i is "Vi" with SSID "0i"
    const std::string via = "m_AprsVia" + std::to_string(i);
    values.push_back(via + "=V" + std::to_string(i));
    values.push_back(via + "Ssid=0" + std::to_string(i));
  }
  for (const std::string& v : values) {
    const std::string member = v.substr(0, v.find('='));
    if (!SetParam(c, member.c_str(), v.substr(v.find('=') + 1)))
      throw std::logic_error("refused: " + member);
  }
  return c;
}

CConfigData EveryDeviceParameterChanged() {
  CConfigData c = EveryParameterChanged();
  SetParam(c, "m_SyncClock", "0");
  SetParam(c, "m_AprsDest", "APZ-5");
  SetParam(c, "m_AprsDestSsid", "00");
  for (int i = 1; i <= 8; ++i) {
    const std::string via = "m_AprsVia" + std::to_string(i);
    SetParam(c, via.c_str(), "V" + std::to_string(i) + "-" + std::to_string(i + 7));
    SetParam(c, (via + "Ssid").c_str(), "00");
  }
  return c;
}

}  // namespace vextune::testing
