#include "sim/parameter_store.h"

#include <filesystem>
#include <system_error>

#include "common/text_util.h"
#include "config/config_file.h"
#include "config/paired_params.h"
#include "config/param_tables.h"
#include "sim/command_line.h"

namespace vextune::sim {
namespace {

/// How a command takes its argument and how the device reports the value.
enum class Form {
  Number,     ///< decimal value within the parameter's limits
  Callsign,   ///< `I`: callsign rule
  AprsCall,   ///< `%AM`: callsign rule, "NONE" for none
  Text80,     ///< `%AC`, `%AR`: at most 80 characters, "-" for none
  Position,   ///< `%AO`: position rule, "NONE" for none
  Path,       ///< `%AP`: destination and up to eight digipeaters
  Symbol,     ///< `%AY`: ["a"]number
  Monitor,    ///< `M`: letters I U S C, or N
  Connect,    ///< `U`: mode digit [text]
  PrMode,     ///< `%B`: one of the packet-radio mode words
  CrossMode,  ///< `%AG`: one of the cross-mode words
  HfToggle,   ///< `%AH`: 0/1 on older firmware, 0 to 2 from 1.1J on
  NmeaOut,    ///< `%AN`: 0 to 4, the older form kept along
  Timestamp,  ///< `K`: the time stamp mode, or the clock ("h:m:s", "dd.mm.yy")
};

struct CommandEntry {
  std::string_view name;
  uint32_t since;  ///< lowest firmware version number that has the command
  CConfigParam CConfigData::*member;
  Form form;
  std::string_view label;  ///< empty: the value is reported bare
  std::string_view unit;   ///< after a labelled value
};

constexpr uint32_t k10Q = 10081;  // 1.0Q
constexpr uint32_t k11J = 10174;  // 1.1J
constexpr uint32_t k11K = 10175;  // 1.1K
constexpr uint32_t k13E = 10369;  // 1.3E
constexpr uint32_t k14B = 10466;  // 1.4B

using D = CConfigData;
constexpr CommandEntry kCommands[] = {
    {"@D", 0, &D::m_Duplex, Form::Number, "", ""},
    {"@F", 0, &D::m_SendFlags, Form::Number, "", ""},
    {"@I", 0, &D::m_IPoll, Form::Number, "", ""},
    {"@T2", 0, &D::m_Timer2, Form::Number, "", ""},
    {"@T3", 0, &D::m_Timer3, Form::Number, "", ""},
    {"@U", 0, &D::m_UiPoll, Form::Number, "", ""},
    {"@V", 0, &D::m_CallCheck, Form::Number, "", ""},
    {"A", 0, &D::m_AddLinefeed, Form::Number, "", ""},
    {"%A", 0, &D::m_AprsBeacon, Form::Number, "APRS MAIN SWITCH =", ""},
    {"%AA", k11J, &D::m_AprsAltitude, Form::Number, "APRS APRS Altitude =", ""},
    {"%AC", 0, &D::m_AprsComment, Form::Text80, "APRS Comment =", ""},
    {"%AD", k10Q, &D::m_AprsDigi, Form::Number, "APRS Digipeating =", ""},
    {"%AE", k10Q, &D::m_AprsStatusEvery, Form::Number, "APRS status Every =", ""},
    {"%AF", k11K, &D::m_AprsFreqBeacon, Form::Number, "APRS Frequency beacon =", " s"},
    {"%AG", k11J, &D::m_AprsCrossMode, Form::CrossMode, "APRS Gateway Modem Type =", ""},
    {"%AH", k10Q, &D::m_AprsHfToggle, Form::HfToggle, "APRS Tracking, HF mode toggle =", ""},
    {"%AI", 0, &D::m_AprsTimestamp, Form::Number, "APRS Timestamp =", ""},
    {"%AL", k14B, &D::m_AprsAutoSpeed, Form::Number, "APRS Autospeed =", ""},
    {"%AM", k10Q, &D::m_AprsCall, Form::AprsCall, "APRS Mycall =", ""},
    {"%AN", k10Q, &D::m_NmeaOut, Form::NmeaOut, "APRS Nmea-out =", ""},
    {"%AO", 0, &D::m_AprsPosition, Form::Position, "APRS Fix Position =", ""},
    {"%AP", 0, &D::m_AprsDest, Form::Path, "APRS Path =", ""},
    {"%AR", k10Q, &D::m_AprsStatusText, Form::Text80, "APRS status Report =", ""},
    {"%AS", 0, &D::m_AprsCompressed, Form::Number, "APRS Short (Compression) =", ""},
    {"%AT", 0, &D::m_AprsInterval, Form::Number, "APRS Beacon/Timer =", " s"},
    {"%AU", k13E, &D::m_AprsUnprotoCross, Form::Number, "", ""},
    {"%AV", k10Q, &D::m_AprsValid, Form::Number, "APRS Valid =", " s"},
    {"%AX", 0, &D::m_AprsTrackOnly, Form::Number, "APRS Beacon Only during Tracking =", ""},
    {"%AY", 0, &D::m_AprsSymbol, Form::Symbol, "APRS Symbol =", ""},
    {"%B", 0, &D::m_PrMode, Form::PrMode, "", ""},
    {"%F", k10Q, &D::m_CenterFreq, Form::Number, "", ""},
    {"%T", k10Q, &D::m_TxFreqTrack, Form::Number, "", ""},
    {"%XA", 0, &D::m_LevelAfsk, Form::Number, "XA =", " mV"},
    {"%XF", 0, &D::m_LevelFsk, Form::Number, "XF =", " mV"},
    {"%XR", 0, &D::m_LevelRobust, Form::Number, "XR =", " mV"},
    {"E", 0, &D::m_Echo, Form::Number, "", ""},
    {"F", 0, &D::m_Frack, Form::Number, "", ""},
    {"I", 0, &D::m_Callsign, Form::Callsign, "", ""},
    {"K", 0, &D::m_Timestamp, Form::Timestamp, "", ""},
    {"M", 0, &D::m_MonitorI, Form::Monitor, "", ""},
    {"N", 0, &D::m_Retry, Form::Number, "", ""},
    {"O", 0, &D::m_MaxFrame, Form::Number, "", ""},
    {"P", 0, &D::m_Persistence, Form::Number, "", ""},
    {"R", 0, &D::m_Digipeat, Form::Number, "", ""},
    {"S", 0, &D::m_Channel, Form::Number, "", ""},
    {"T", 0, &D::m_TxDelay, Form::Number, "", ""},
    {"U", 0, &D::m_ConnectMode, Form::Connect, "", ""},
    {"W", 0, &D::m_SlotTime, Form::Number, "", ""},
    {"X", 0, &D::m_Ptt, Form::Number, "", ""},
    {"Y", 0, &D::m_Channels, Form::Number, "", ""},
    {"Z", 0, &D::m_FlowControl, Form::Number, "", ""},
};

/// The value as the device stores it, refused unless the whole rule passes.
bool SetNumberFrom(CConfigParam& p, std::string_view args) {
  CConfigParam scratch = p;
  if (!CConfigData::SetNumberText(scratch, args)) return false;
  // The device keeps numbers, not the digits typed: "007" is 7.
  return CConfigData::SetNumber(p, scratch.value);
}

bool SetTextFrom(CConfigParam& p, std::string_view text) {
  return CConfigData::TakeText(p, text) == 0;
}

/// Applies one command to `r`; false when the value is refused. `r` may be
/// left half-changed on refusal: the caller works on a copy.
bool ApplyTo(CConfigData& r, const CommandEntry& entry, std::string_view args, uint32_t firmware,
             DeviceClock& clock) {
  CConfigParam& p = r.*entry.member;
  switch (entry.form) {
    case Form::Number:
      return SetNumberFrom(p, args);
    case Form::Callsign:
      return SetTextFrom(p, args);
    case Form::AprsCall:
      return SetTextFrom(p, args == "NONE" ? std::string_view() : args);
    case Form::Text80:
      return SetTextFrom(p, args == "-" ? std::string_view() : args);
    case Form::Position:
      return SetTextFrom(p, args == "NONE" ? std::string_view() : args);
    case Form::Path:
      return r.ParsePath(args) == 0;
    case Form::Symbol:
      return r.ParseSymbol(ToUpperAscii(args)) == 0;
    case Form::Monitor:
      return r.ParseMonitor(args) == 0;
    case Form::Connect:
      return r.ParseConnectText(args) == 0;
    case Form::PrMode: {
      const std::string word = ToUpperAscii(args);
      if (!WordIndex(kPrModeWords, word) || !SetTextFrom(r.m_PrMode, word)) return false;
      FollowPartner(r, &D::m_PrMode, PairSource::Device);
      return true;
    }
    case Form::CrossMode: {
      const std::string word = ToUpperAscii(args);
      std::optional<int32_t> index = WordIndex(kCrossModeWords, word);
      if (!index && word.size() == 1 && word[0] >= '0' && word[0] <= '7') index = word[0] - '0';
      return index && CConfigData::SetNumber(p, *index);
    }
    case Form::HfToggle: {
      // Older firmware knows the switch only as on/off.
      const auto checked = firmware >= k11J ? &D::m_AprsHfToggle : &D::m_AprsHfToggleOld;
      if (!SetNumberFrom(r.*checked, args)) return false;
      FollowPartner(r, checked, PairSource::Device);
      return true;
    }
    case Form::NmeaOut:
      if (!SetNumberFrom(p, args)) return false;
      FollowPartner(r, &D::m_NmeaOut, PairSource::Device);
      return true;
    case Form::Timestamp:
      if (args.find(':') != std::string_view::npos) return clock.SetTimeOfDay(args);
      if (args.find('.') != std::string_view::npos) return clock.SetDate(args);
      return SetNumberFrom(p, args);
  }
  return false;
}

std::string NoneIfEmpty(const std::string& text) {
  return text.empty() ? "NONE" : text;
}

std::string PathText(const CConfigData& r) {
  std::string text = r.m_AprsDest.text;
  bool first = true;
  for (size_t i = 1; i < kPathCallsigns.size(); ++i) {
    const CConfigParam& call = r.*kPathCallsigns[i].callsign;
    if (call.text.empty()) continue;
    if (!text.empty()) text += first && !r.m_AprsDest.text.empty() ? " via " : " ";
    text += call.text;
    first = false;
  }
  return text;
}

/// The value part of a query answer.
std::string ValueText(const CConfigData& r, const CommandEntry& entry) {
  const CConfigParam& p = r.*entry.member;
  switch (entry.form) {
    case Form::Number:
    case Form::HfToggle:
    case Form::NmeaOut:
    case Form::Timestamp:
      return std::to_string(p.value);
    case Form::Callsign:
    case Form::PrMode:
      return p.text;
    case Form::AprsCall:
    case Form::Text80:
    case Form::Position:
      return NoneIfEmpty(p.text);
    case Form::Path:
      return PathText(r);
    case Form::Symbol: {
      const bool alternate = r.m_AprsAltTable.value == 1;
      return (alternate ? "A" : "") + std::to_string(r.m_AprsSymbol.value + 1) +
             (alternate ? " (alternate table)" : " (primary table)");
    }
    case Form::Monitor: {
      std::string letters;
      if (r.m_MonitorI.value == 1) letters += 'I';
      if (r.m_MonitorU.value == 1) letters += 'U';
      if (r.m_MonitorS.value == 1) letters += 'S';
      if (r.m_MonitorC.value == 1) letters += 'C';
      return letters.empty() ? "N" : letters;
    }
    case Form::Connect: {
      std::string text = std::to_string(r.m_ConnectMode.value);
      if (!r.m_ConnectText.text.empty()) text += " " + r.m_ConnectText.text;
      return text;
    }
    case Form::CrossMode: {
      const int32_t v = p.value;
      const auto word = WordAt(kCrossModeWords, v);
      return word ? std::string(*word) : std::to_string(v);
    }
  }
  return {};
}

const CommandEntry* Find(std::string_view command, uint32_t firmware) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.name == command) return firmware >= entry.since ? &entry : nullptr;
  }
  return nullptr;
}

}  // namespace

std::optional<uint32_t> FirmwareNumber(std::string_view version) {
  const size_t dot = version.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot > 4) return std::nullopt;
  uint32_t major = 0;
  for (char c : version.substr(0, dot)) {
    if (c < '0' || c > '9') return std::nullopt;
    major = major * 10 + static_cast<uint32_t>(c - '0');
  }
  std::string_view minorPart = version.substr(dot + 1);
  uint32_t letter = 0;
  if (!minorPart.empty()) {
    const char last = minorPart.back();
    if ((last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z')) {
      letter = static_cast<uint32_t>(ToUpperAscii(std::string_view(&last, 1))[0]);
      minorPart.remove_suffix(1);
    }
  }
  if (minorPart.empty() || minorPart.size() > 2) return std::nullopt;
  uint32_t minor = 0;
  for (char c : minorPart) {
    if (c < '0' || c > '9') return std::nullopt;
    minor = minor * 10 + static_cast<uint32_t>(c - '0');
  }
  return major * 10000 + minor * 100 + letter;
}

ParameterStore::ParameterStore(uint32_t firmware, std::string statePath, Clock& clock)
    : firmware_(firmware), statePath_(std::move(statePath)), clock_(clock) {}

bool ParameterStore::PowerOn(const CConfigData* nonvolatile, std::string* error) {
  CConfigData loaded;
  std::error_code ec;
  if (nonvolatile) {
    loaded = *nonvolatile;
  } else if (!statePath_.empty() && std::filesystem::exists(statePath_, ec)) {
    std::string why;
    if (!LoadConfigFile(statePath_, loaded, nullptr, &why)) {
      if (error) *error = "Cannot load the nonvolatile memory from " + statePath_ + ": " + why;
      return false;
    }
  }
  nonvolatile_ = loaded;
  params_ = loaded;
  return true;
}

bool ParameterStore::StoreNonvolatile(std::string* error) {
  nonvolatile_ = params_;
  if (statePath_.empty()) return true;
  std::string why;
  if (SaveConfigFile(statePath_, nonvolatile_, &why)) return true;
  if (error) *error = "Cannot write the nonvolatile memory to " + statePath_ + ": " + why;
  return false;
}

bool ParameterStore::Knows(std::string_view command) const {
  return Find(command, firmware_) != nullptr;
}

ApplyResult ParameterStore::Apply(std::string_view command, std::string_view args) {
  const CommandEntry* entry = Find(command, firmware_);
  if (!entry) return ApplyResult::Unknown;
  CConfigData scratch = params_;
  DeviceClock clock = clock_;
  if (!ApplyTo(scratch, *entry, TrimSpace(args), firmware_, clock)) return ApplyResult::Refused;
  params_ = scratch;
  clock_ = clock;
  return ApplyResult::Applied;
}

std::optional<std::string> ParameterStore::Query(std::string_view command) const {
  const CommandEntry* entry = Find(command, firmware_);
  if (!entry) return std::nullopt;
  std::string value = ValueText(params_, *entry);
  if (entry->label.empty()) return value;
  return std::string(entry->label) + " " + value + std::string(entry->unit);
}

}  // namespace vextune::sim
