// The words beside the parameter table: for every parameter the dialog label
// it appears under, its unit, a one-line description and the meanings of its
// values. The settings dialogs take their labels, units and lists from here
// (the list entries from config/param_tables.h), as do the command line's
// params, show --long and set messages; it holds no limits, so nothing here
// can disagree with the checks.
#include "config/param_help.h"

#include "config/param_rules.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

using D = SettingsDialog;

// A dialog list's entries as the meanings of the values they store: the
// entry's index, or, after `off` at 0, the index + 1.
template <size_t N>
constexpr std::array<ParamChoice, N> ByIndex(const std::array<std::string_view, N>& entries) {
  std::array<ParamChoice, N> choices{};
  for (size_t i = 0; i < N; ++i) choices[i] = {static_cast<int32_t>(i), entries[i].data()};
  return choices;
}
template <size_t N>
constexpr std::array<ParamChoice, N + 1> OffThenByIndex(
    const std::array<std::string_view, N>& entries) {
  std::array<ParamChoice, N + 1> choices{};
  choices[0] = {0, "off"};
  for (size_t i = 0; i < N; ++i) choices[i + 1] = {static_cast<int32_t>(i + 1), entries[i].data()};
  return choices;
}

constexpr ParamChoice kBeaconModes[] = {
    {0, "off"}, {1, "on with the GPS position"}, {2, "on with the fixed position"}};
constexpr ParamChoice kAltitudes[] = {
    {0, "off"}, {1, "uncompressed"}, {2, "compressed + uncompressed"}, {3, "compressed"}};
// The alias list of current firmware (1.2 and newer).
constexpr auto kDigiAliases = OffThenByIndex(kDigiAliasEntries);
constexpr ParamChoice kNever[] = {{0, "never"}};
constexpr ParamChoice kOff[] = {{0, "off"}};
constexpr auto kCrossModes = OffThenByIndex(kCrossModeEntries);
constexpr ParamChoice kHfToggles[] = {{0, "off"}, {1, "only if in HF-PR-Mode"}, {2, "always"}};
constexpr auto kNmeaOutputs = OffThenByIndex(kNmeaOutEntries);
// The older form has no 4.
constexpr std::span<const ParamChoice> kNmeaOutputsOld{kNmeaOutputs.data(), 4};
constexpr ParamChoice kAutomatic[] = {{0, "automatic, speed dependent (see AprsAutoSpeed)"}};
constexpr ParamChoice kSymbolTables[] = {{0, "primary table"}, {1, "alternate table"}};
constexpr auto kTimestamps = ByIndex(kTimestampEntries);
constexpr ParamChoice kUnlimited[] = {{0, "unlimited"}};
constexpr ParamChoice kPrModes[] = {{0, "300 Bd"},  {1, "R 300 Bd"}, {2, "R 600 Bd"},
                                    {3, "1200 Bd"}, {4, "9600 Bd"},  {5, "19200 Bd"}};
constexpr ParamChoice kConnectModes[] = {
    {0, "off"}, {1, "on"}, {2, "on and disconnect on receipt of \"//Q\""}};
constexpr auto kFlowControls = ByIndex(kFlowControlEntries);
constexpr auto kAutoSpeeds = ByIndex(kAutoSpeedEntries);

constexpr ParamHelp H(const char* member, D dialog, const char* label, const char* unit,
                      const char* description, std::span<const ParamChoice> choices = {}) {
  return ParamHelp{member, dialog, label, unit, description, choices};
}

constexpr const char* kPath = "Path [%AP]:";
constexpr const char* kPathSsid =
    "SSID of the path callsign before it; give it with the callsign (WIDE2-2)";

const std::array<ParamHelp, kParamCount> kHelp = {{
    H("m_Duplex", D::Misc, "Duplex (@D)", "", "Full duplex operation"),
    H("m_SendFlags", D::Misc, "Flags (@F)", "", "Send flags in pauses"),
    H("m_IPoll", D::Misc, "Ipoll (@I)", "", "Maximum length of the IPOLL frame"),
    H("m_Timer2", D::Misc, "Timer2 (@T2)", "", "AX.25 timer 2 (see the device's manual)"),
    H("m_Timer3", D::Misc, "Timer3 (@T3)", "", "AX.25 timer 3 (see the device's manual)"),
    H("m_UiPoll", D::Misc, "UI-Poll (@U)", "", "UI poll (UIPOLL)"),
    H("m_CallCheck", D::Misc, "Callsign Check (@V)", "", "Callsign check"),
    H("m_AddLinefeed", D::Misc, "Add-Linefeed (A)", "",
      "Insert a line feed <LF> after every carriage return"),
    H("m_AprsBeacon", D::Aprs, "Position", "", "APRS position beacon and its position source",
      kBeaconModes),
    H("m_AprsAltitude", D::Aprs, "GPS Altitude [%AA]", "", "Altitude information in APRS packets",
      kAltitudes),
    H("m_AprsComment", D::Aprs, "Comment [%AC]:", "",
      "Comment added to every APRS datagram (a brief description of the station)"),
    H("m_AprsDigi", D::Aprs, "APRS-Digipeating [%AD]", "",
      "APRS digipeating and the aliases it answers to", kDigiAliases),
    H("m_AprsStatusEvery", D::Aprs, "Send Status Report [%AE]:", "position packets",
      "Send the status report after every n-th position packet", kNever),
    H("m_AprsFreqBeacon", D::Aprs, "APRS frequency beacon [%AF]", "s",
      "Interval of the frequency list broadcast (32 last heard calls, 300 Bd FSK)", kOff),
    H("m_AprsCrossMode", D::Aprs, "Cross Mode Digipeating [%AG]", "",
      "Cross-mode digipeating: the mode in which APRS packets are digipeated", kCrossModes),
    H("m_AprsHfToggleOld", D::Aprs, "Tracking - HF mode Toggle [%AH]", "",
      "HF mode toggle switch; the form older firmware takes"),
    H("m_AprsHfToggle", D::Aprs, "Tracking - HF mode Toggle [%AH]", "",
      "Alternate modulation of the APRS beacon in tracking mode (FSK / RPR)", kHfToggles),
    H("m_AprsTimestamp", D::Aprs, "Timestamp [%AI]", "", "Time stamp in APRS packets"),
    H("m_AprsCall", D::Aprs, "APRS Callsign [%AM]:", "",
      "Own APRS callsign; sent as NONE when empty"),
    H("m_NmeaOutOld", D::None, "", "",
      "Output on the GPS port in the form older firmware takes; follows NmeaOut (4 becomes 3)",
      kNmeaOutputsOld),
    H("m_NmeaOut", D::Aprs, "NMEA Out [%AN]", "", "Output on the GPS port of the DAV-OZI",
      kNmeaOutputs),
    H("m_AprsPosition", D::Aprs, "Position", "",
      "Fixed position of the beacon, used when AprsBeacon is 2"),
    H("m_AprsDest", D::Aprs, kPath, "", "Destination callsign of the APRS path"),
    H("m_AprsDestSsid", D::Aprs, kPath, "",
      "SSID of the destination; give it with the callsign (APRS-1)"),
    H("m_AprsVia1", D::Aprs, kPath, "", "Digipeater 1 of the APRS path"),
    H("m_AprsVia1Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsVia2", D::Aprs, kPath, "", "Digipeater 2 of the APRS path"),
    H("m_AprsVia2Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsVia3", D::Aprs, kPath, "", "Digipeater 3 of the APRS path"),
    H("m_AprsVia3Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsVia4", D::Aprs, kPath, "", "Digipeater 4 of the APRS path"),
    H("m_AprsVia4Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsVia5", D::Aprs, kPath, "", "Digipeater 5 of the APRS path"),
    H("m_AprsVia5Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsVia6", D::Aprs, kPath, "", "Digipeater 6 of the APRS path"),
    H("m_AprsVia6Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsVia7", D::Aprs, kPath, "", "Digipeater 7 of the APRS path"),
    H("m_AprsVia7Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsVia8", D::Aprs, kPath, "", "Digipeater 8 of the APRS path"),
    H("m_AprsVia8Ssid", D::Aprs, kPath, "", kPathSsid),
    H("m_AprsStatusText", D::Aprs, "Report Text [%AR]:", "",
      "Status report text, sent besides the position; sent as \"-\" when empty"),
    H("m_AprsCompressed", D::Aprs, "compressed (BASE91) [%AS]", "",
      "Compress the position data (BASE91) in APRS datagrams"),
    H("m_AprsInterval", D::Aprs, "TX Interval [%AT]", "s", "Interval of the APRS beacon",
      kAutomatic),
    H("m_AprsValid", D::Aprs, "APRS Valid [%AV]:", "s",
      "Time old GPS data remains valid in GPS mode"),
    H("m_AprsTrackOnly", D::Aprs, "APRS beacon only in tracking mode [%AX]", "",
      "APRS beacon only in tracking mode, not during normal TNC operation"),
    H("m_AprsAltTable", D::Aprs, "alternate table", "",
      "The table AprsSymbol refers to; set both with AprsSymbol=/> or a symbol name",
      kSymbolTables),
    H("m_AprsSymbol", D::Aprs, "APRS Symbol [%AY]", "",
      "APRS symbol: its index in the table (device number - 1); also /> (table and symbol "
      "character) or a symbol name such as \"Red Dot\""),
    H("m_Echo", D::Misc, "Echo (E)", "", "Echo of entered characters"),
    H("m_Frack", D::Misc, "Frack (F)", "",
      "Frack time; values 1 to 15 are interpreted separately (see the device's manual)"),
    H("m_Callsign", D::General, "Callsign (I):", "", "Own callsign"),
    H("m_Timestamp", D::Misc, "Timestamp (K):", "", "Time stamp function", kTimestamps),
    H("m_SyncClock", D::Misc, "Sync. to PC-time", "",
      "Set the DAV-OZI's clock and calendar to the PC's time when sending"),
    H("m_MonitorC", D::General, "Monitor (M)", "", "Monitor while connected (letter C)"),
    H("m_MonitorI", D::General, "Monitor (M)", "",
      "Monitor information frames, I-frames (letter I)"),
    H("m_MonitorS", D::General, "Monitor (M)", "", "Monitor control packets, S-frames (letter S)"),
    H("m_MonitorU", D::General, "Monitor (M)", "",
      "Monitor unproto transmissions, UI-frames (letter U)"),
    H("m_Retry", D::Misc, "Retry (N)", "", "Number of times a packet is repeated in case of error",
      kUnlimited),
    H("m_MaxFrame", D::Misc, "MaxFrame (O)", "",
      "Maximum number of unacknowledged and unanswered I-frames"),
    H("m_Persistence", D::Misc, "Persistence (P)", "", "Persistence"),
    H("m_AprsUnprotoCross", D::Aprs, "APRS Unproto Cross Mode", "", "APRS unproto cross mode"),
    H("m_PrModeIndex", D::General, "PR-Mode (%B)", "",
      "Packet radio mode (AX.25): standard or robust waveform and its rate", kPrModes),
    H("m_PrMode", D::General, "PR-Mode (%B)", "",
      "Packet radio mode as the device takes it; follows PrModeIndex and sets it"),
    H("m_CenterFreq", D::General, "Audio Center Freq. (%F):", "Hz",
      "Audio centre frequency at 300 Bd (A)FSK (\"old HF packet\")"),
    H("m_TxFreqTrack", D::Misc, "TX Freq. track. (%T)", "",
      "Automatic frequency correction at 300 Bd FSK when transmitting"),
    H("m_LevelAfsk", D::General, "AFSK (%XA):", "mV", "TX level of 300/1200 Bd AFSK, peak to peak"),
    H("m_LevelFsk", D::General, "FSK (%XF):", "mV", "TX level of 9600/19200 Bd FSK, peak to peak"),
    H("m_LevelRobust", D::General, "Robust PR (%XR):", "mV", "TX level of Robust PR, peak to peak"),
    H("m_Digipeat", D::Misc, "Digipeating (R)", "", "Digipeat function"),
    H("m_Channel", D::General, "Switch ch. (S):", "", "Virtual channel in use"),
    H("m_TxDelay", D::General, "TX-Delay (T):", "x 10 ms",
      "Delay between keying the transmitter and sending"),
    H("m_ConnectMode", D::General, "Connect Text (U)", "",
      "Send ConnectText to a station that connects", kConnectModes),
    H("m_ConnectText", D::General, "Connect Text (U)", "",
      "Text sent to the distant station when a connect is received"),
    H("m_SlotTime", D::Misc, "Slottime (W)", "ms", "Slot time"),
    H("m_Ptt", D::Misc, "PTT (X)", "", "PTT line of the DAV-OZI"),
    H("m_Channels", D::Misc, "# of channels (Y)", "",
      "Maximum number of simultaneously allowed connections"),
    H("m_FlowControl", D::Misc, "Flow-Control (Z)", "",
      "Flow control and XON/XOFF handshake to the terminal", kFlowControls),
    H("m_AprsAutoSpeed", D::Aprs, "Auto TX Interval", "",
      "Speed of the automatic beacon interval, when AprsInterval is 0", kAutoSpeeds),
}};

constexpr ParamChoice kOffOn[] = {{0, "off"}, {1, "on"}};

// "x 10 ms" reads as a factor and goes in brackets behind a number range.
std::string UnitAfterRange(const char* unit) {
  const std::string text = unit;
  if (text.empty()) return "";
  return text.starts_with("x ") ? " (" + text + ")" : " " + text;
}

}  // namespace

const std::array<ParamHelp, kParamCount>& ParamHelpTable() {
  return kHelp;
}

const ParamHelp& HelpFor(const ParamInfo& info) {
  const auto& params = CConfigData::Params();
  return kHelp[static_cast<size_t>(&info - params.data())];
}

const char* DialogLabel(CConfigParam CConfigData::*member) {
  return HelpFor(CConfigData::InfoOf(member)).label;
}

const char* DialogUnit(CConfigParam CConfigData::*member) {
  return HelpFor(CConfigData::InfoOf(member)).unit;
}

std::string ShortName(const ParamInfo& info) {
  const std::string_view name = info.memberName;
  return std::string(name.starts_with("m_") ? name.substr(2) : name);
}

std::span<const ParamChoice> ChoicesOf(const ParamInfo& info) {
  if (info.IsText()) return {};
  const std::span<const ParamChoice> choices = HelpFor(info).choices;
  if (choices.empty() && info.kind == ParamKind::Flag) return kOffOn;
  return choices;
}

const char* ChoiceMeaning(const ParamInfo& info, int32_t value) {
  for (const ParamChoice& c : ChoicesOf(info)) {
    if (c.value == value) return c.meaning;
  }
  return nullptr;
}

bool IsChoiceList(const ParamInfo& info) {
  if (info.IsText() || info.zeroAllowed) return false;
  for (int32_t v = info.min; v <= info.max; ++v) {
    if (ChoiceMeaning(info, v) == nullptr) return false;
  }
  return true;
}

std::string DescribeAllowed(const ParamInfo& info) {
  if (info.IsText()) return DescribeAccepted(info);
  const std::string range = std::to_string(info.min) + " to " + std::to_string(info.max);
  if (IsChoiceList(info)) return info.max - info.min == 1 ? DescribeAccepted(info) : range;
  const std::string unit = UnitAfterRange(HelpFor(info).unit);
  std::string special;
  for (const ParamChoice& c : ChoicesOf(info)) {
    special += (special.empty() ? "" : ", ") + std::to_string(c.value) + " = " + c.meaning;
  }
  if (info.zeroAllowed) {
    const char* zero = ChoiceMeaning(info, 0);
    return "0" + (zero ? " (" + std::string(zero) + ")" : std::string()) + ", or " + range + unit;
  }
  return range + unit + (special.empty() ? "" : "; " + special);
}

std::string DescribeDefault(const ParamInfo& info) {
  if (!info.IsText()) return std::to_string(info.def);
  if (*info.defText == '\0') return "empty";
  return "\"" + std::string(info.defText) + "\"";
}

const char* DialogName(SettingsDialog dialog) {
  switch (dialog) {
    case SettingsDialog::General:
      return "General settings";
    case SettingsDialog::Aprs:
      return "APRS settings";
    case SettingsDialog::Misc:
      return "Misc settings";
    case SettingsDialog::None:
      break;
  }
  return "";
}

}  // namespace vextune
