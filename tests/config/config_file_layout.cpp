#include "config_file_layout.h"

namespace vextune::testing {
namespace {

struct Item {
  const char* member;
  char kind;  // 'f' flag byte, 'l' long, 's' string
  int32_t since;
};

// clang-format off
const Item kLayout[] = {
    {"m_AddLinefeed", 'f', 0}, {"m_Echo", 'f', 0}, {"m_Callsign", 's', 0},
    {"m_Frack", 's', 0}, {"m_Timestamp", 's', 0}, {"m_SyncClock", 'f', 0},
    {"m_MonitorI", 'f', 0}, {"m_MonitorU", 'f', 0}, {"m_MonitorS", 'f', 0},
    {"m_MonitorC", 'f', 0}, {"m_Retry", 's', 0}, {"m_MaxFrame", 's', 0},
    {"m_Persistence", 's', 0}, {"m_Digipeat", 'f', 0}, {"m_Channel", 's', 0},
    {"m_TxDelay", 's', 0}, {"m_ConnectMode", 'l', 0}, {"m_ConnectText", 's', 0},
    {"m_SlotTime", 's', 0}, {"m_Ptt", 'f', 0}, {"m_Channels", 's', 0},
    {"m_FlowControl", 's', 0}, {"m_Duplex", 'f', 0}, {"m_SendFlags", 'f', 0},
    {"m_IPoll", 's', 0}, {"m_Timer2", 's', 0}, {"m_Timer3", 's', 0},
    {"m_UiPoll", 'f', 0}, {"m_CallCheck", 'f', 0}, {"m_AprsBeacon", 's', 0},
    {"m_AprsInterval", 's', 0}, {"m_AprsComment", 's', 0}, {"m_AprsTimestamp", 'f', 0},
    {"m_AprsPosition", 's', 0},
    {"m_AprsDest", 's', 0}, {"m_AprsDestSsid", 's', 0},
    {"m_AprsVia1", 's', 0}, {"m_AprsVia1Ssid", 's', 0}, {"m_AprsVia2", 's', 0},
    {"m_AprsVia2Ssid", 's', 0}, {"m_AprsVia3", 's', 0}, {"m_AprsVia3Ssid", 's', 0},
    {"m_AprsVia4", 's', 0}, {"m_AprsVia4Ssid", 's', 0}, {"m_AprsVia5", 's', 0},
    {"m_AprsVia5Ssid", 's', 0}, {"m_AprsVia6", 's', 0}, {"m_AprsVia6Ssid", 's', 0},
    {"m_AprsVia7", 's', 0}, {"m_AprsVia7Ssid", 's', 0}, {"m_AprsVia8", 's', 0},
    {"m_AprsVia8Ssid", 's', 0},
    {"m_AprsCompressed", 'f', 0}, {"m_AprsAltTable", 'f', 0}, {"m_AprsSymbol", 's', 0},
    {"m_AprsTrackOnly", 'f', 0}, {"m_PrModeIndex", 'l', 0}, {"m_PrMode", 's', 0},
    {"m_LevelAfsk", 's', 0}, {"m_LevelFsk", 's', 0}, {"m_LevelRobust", 's', 0},
    {"m_AprsHfToggleOld", 'f', 65549},
    {"m_AprsDigi", 'l', 65550}, {"m_AprsStatusEvery", 'l', 65550},
    {"m_AprsStatusText", 's', 65550}, {"m_AprsCall", 's', 65550}, {"m_NmeaOutOld", 'l', 65550},
    {"m_AprsValid", 's', 65550}, {"m_CenterFreq", 's', 65550}, {"m_TxFreqTrack", 'f', 65550},
    {"m_AprsHfToggle", 'l', 65560}, {"m_AprsCrossMode", 'l', 65560},
    {"m_AprsAltitude", 'l', 65560}, {"m_AprsFreqBeacon", 's', 65560}, {"m_NmeaOut", 'l', 65560},
    {"m_AprsUnprotoCross", 'f', 65576},
    {"m_AprsAutoSpeed", 'l', 65586},
};
// clang-format on

std::string EncodeLong(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
          static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
}

}  // namespace

std::string EncodeString(const std::string& text) {
  const size_t n = text.size();
  if (n < 255) return static_cast<char>(n) + text;
  if (n <= 65533) return "\xFF" + EncodeLong(static_cast<int32_t>(n)).substr(0, 2) + text;
  return "\xFF\xFF\xFF" + EncodeLong(static_cast<int32_t>(n)) + text;
}

std::string BuildConfigFile(int32_t version, const CConfigData& base, const FileValues& overrides) {
  std::string out;
  if (version != 0) out = EncodeString("VER ") + EncodeLong(version);
  for (const Item& item : kLayout) {
    if (item.since > version) continue;
    const CConfigParam& p = base.Get(*CConfigData::FindParam(item.member));
    const auto over = overrides.find(item.member);
    const bool given = over != overrides.end();
    if (item.kind == 'f') {
      out += static_cast<char>(given ? std::stoi(over->second) : p.value != 0);
    } else if (item.kind == 'l') {
      out += EncodeLong(given ? std::stoi(over->second) : p.value);
    } else {
      out += EncodeString(given ? over->second : p.text);
    }
  }
  return out;
}

}  // namespace vextune::testing
