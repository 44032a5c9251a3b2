// The one table that describes every parameter: names, limits, defaults and
// rules. SetDefaults, the file format, the command line and the dialogs all
// work from it, so a parameter's limits live in exactly one place.
#include "config/config_data.h"
#include "config/firmware.h"

namespace vextune {
namespace {

using P = CConfigParam CConfigData::*;

constexpr ParamInfo Flag(P member, const char* name, const char* command, int32_t def) {
  return ParamInfo{member, name, command, ParamKind::Flag, 0, 1, def, false, "", nullptr, 0};
}

constexpr ParamInfo Number(P member, const char* name, const char* command, int32_t min,
                           int32_t max, int32_t def, bool zeroAllowed = false,
                           Validator validator = nullptr) {
  return ParamInfo{member, name,        command, ParamKind::Number, min, max,
                   def,    zeroAllowed, "",      validator,         0};
}

constexpr ParamInfo Text(P member, const char* name, const char* command, const char* defText,
                         Validator validator) {
  return ParamInfo{member, name, command, ParamKind::Text, 0, 0, 0, false, defText, validator, 0};
}

// A parameter that firmware before `level` does not know.
constexpr ParamInfo Since(uint32_t level, ParamInfo info) {
  info.since = level;
  return info;
}

#define VX_M(x) &CConfigData::x, #x

using namespace firmware;

const std::array<ParamInfo, kParamCount> kParams = {{
    Flag(VX_M(m_Duplex), "@D", 0),
    Flag(VX_M(m_SendFlags), "@F", 0),
    Number(VX_M(m_IPoll), "@I", 1, 256, 60),
    Number(VX_M(m_Timer2), "@T2", 0, 100000, 150),
    Number(VX_M(m_Timer3), "@T3", 0, 100000, 18000),
    Flag(VX_M(m_UiPoll), "@U", 0),
    Flag(VX_M(m_CallCheck), "@V", 0),
    Flag(VX_M(m_AddLinefeed), "A", 1),
    Number(VX_M(m_AprsBeacon), "%A", 0, 2, 0),
    Since(k1_1J, Number(VX_M(m_AprsAltitude), "%AA", 0, 3, 0)),
    Text(VX_M(m_AprsComment), "%AC", "", CheckText80),
    Since(k1_0Q, Number(VX_M(m_AprsDigi), "%AD", 0, 3, 0)),
    Since(k1_0Q, Number(VX_M(m_AprsStatusEvery), "%AE", 0, 20, 0)),
    Since(k1_1K, Number(VX_M(m_AprsFreqBeacon), "%AF", 60, 30000, 0, true)),
    // Numeric, but a mode that arrives as text is checked by the cross-mode rule.
    Since(k1_1J, Number(VX_M(m_AprsCrossMode), "%AG", 0, 7, 0, false, CheckCrossMode)),
    Since(k1_0Q, Flag(VX_M(m_AprsHfToggleOld), "%AH", 0)),
    Since(k1_1J, Number(VX_M(m_AprsHfToggle), "%AH", 0, 2, 0)),
    Flag(VX_M(m_AprsTimestamp), "%AI", 1),
    Since(k1_0Q, Text(VX_M(m_AprsCall), "%AM", "", CheckCallsign)),
    Since(k1_0Q, Number(VX_M(m_NmeaOutOld), "%AN", 0, 3, 0)),
    Since(k1_0Q, Number(VX_M(m_NmeaOut), "%AN", 0, 4, 0)),
    Text(VX_M(m_AprsPosition), "%AO", "", CheckPosition),
    Text(VX_M(m_AprsDest), "%AP", "APRS", CheckCallsign),
    Text(VX_M(m_AprsDestSsid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia1), "%AP", "RELAY", CheckCallsign),
    Text(VX_M(m_AprsVia1Ssid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia2), "%AP", "WIDE", CheckCallsign),
    Text(VX_M(m_AprsVia2Ssid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia3), "%AP", "", CheckCallsign),
    Text(VX_M(m_AprsVia3Ssid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia4), "%AP", "", CheckCallsign),
    Text(VX_M(m_AprsVia4Ssid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia5), "%AP", "", CheckCallsign),
    Text(VX_M(m_AprsVia5Ssid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia6), "%AP", "", CheckCallsign),
    Text(VX_M(m_AprsVia6Ssid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia7), "%AP", "", CheckCallsign),
    Text(VX_M(m_AprsVia7Ssid), "%AP", "00", CheckSsid),
    Text(VX_M(m_AprsVia8), "%AP", "", CheckCallsign),
    Text(VX_M(m_AprsVia8Ssid), "%AP", "00", CheckSsid),
    Since(k1_0Q, Text(VX_M(m_AprsStatusText), "%AR", "", CheckText80)),
    Flag(VX_M(m_AprsCompressed), "%AS", 1),
    Number(VX_M(m_AprsInterval), "%AT", 10, 7200, 900, true),
    Since(k1_0Q, Number(VX_M(m_AprsValid), "%AV", 10, 3600, 1200)),
    Flag(VX_M(m_AprsTrackOnly), "%AX", 0),
    Flag(VX_M(m_AprsAltTable), "%AY", 0),
    Number(VX_M(m_AprsSymbol), "%AY", 0, 93, 14),
    Flag(VX_M(m_Echo), "E", 1),
    Number(VX_M(m_Frack), "F", 1, 15000, 500),
    Text(VX_M(m_Callsign), "I", "DAVOZI", CheckCallsign),
    Number(VX_M(m_Timestamp), "K", 0, 2, 0),
    Flag(VX_M(m_SyncClock), "K", 0),
    Flag(VX_M(m_MonitorC), "M", 0),
    Flag(VX_M(m_MonitorI), "M", 0),
    Flag(VX_M(m_MonitorS), "M", 0),
    Flag(VX_M(m_MonitorU), "M", 0),
    Number(VX_M(m_Retry), "N", 0, 127, 10),
    Number(VX_M(m_MaxFrame), "O", 1, 7, 2),
    Number(VX_M(m_Persistence), "P", 0, 255, 32),
    Since(k1_3E, Flag(VX_M(m_AprsUnprotoCross), "%AU", 0)),
    Number(VX_M(m_PrModeIndex), "%B", 0, 5, 3),
    Text(VX_M(m_PrMode), "%B", "1200", CheckPrMode),
    Since(k1_0Q, Number(VX_M(m_CenterFreq), "%F", 1000, 3000, 1700)),
    Since(k1_0Q, Flag(VX_M(m_TxFreqTrack), "%T", 1)),
    Number(VX_M(m_LevelAfsk), "%XA", 30, 3000, 300),
    Number(VX_M(m_LevelFsk), "%XF", 30, 3000, 600),
    Number(VX_M(m_LevelRobust), "%XR", 30, 3000, 200),
    Flag(VX_M(m_Digipeat), "R", 1),
    Number(VX_M(m_Channel), "S", 0, 10, 0),
    Number(VX_M(m_TxDelay), "T", 0, 127, 25),
    Number(VX_M(m_ConnectMode), "U", 0, 2, 0),
    Text(VX_M(m_ConnectText), "U", "", CheckText72),
    Number(VX_M(m_SlotTime), "W", 0, 127, 10),
    Flag(VX_M(m_Ptt), "X", 1),
    Number(VX_M(m_Channels), "Y", 0, 10, 10),
    Number(VX_M(m_FlowControl), "Z", 0, 3, 3),
    Since(k1_4B, Number(VX_M(m_AprsAutoSpeed), "%AL", 0, 2, 1)),
}};

#undef VX_M

}  // namespace

const std::array<ParamInfo, kParamCount>& CConfigData::Params() {
  return kParams;
}

}  // namespace vextune
