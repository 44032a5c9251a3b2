#include "transfer/read_steps.h"

#include <array>

#include "common/text_util.h"
#include "config/firmware.h"
#include "config/paired_params.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

using D = CConfigData;
using P = ReplyPattern;
using R = ReplyRule;

// clang-format off
constexpr std::array<ReadStep, 50> kSteps = {{
    {4,  "a",   P::Confirmed, nullptr, R::Numeric,     &D::m_AddLinefeed},
    {5,  "e",   P::Confirmed, nullptr, R::Numeric,     &D::m_Echo},
    {6,  "i",   P::Confirmed, nullptr, R::Callsign,    &D::m_Callsign},
    {7,  "%AM", P::Labelled,  "APRS Mycall =", R::LabelledText, &D::m_AprsCall},
    {8,  "f",   P::Confirmed, nullptr, R::Numeric,     &D::m_Frack},
    {9,  "k",   P::Single,    nullptr, R::Numeric,     &D::m_Timestamp},
    {10, "m",   P::Confirmed, nullptr, R::Monitor,     &D::m_MonitorI},
    {11, "n",   P::Confirmed, nullptr, R::Numeric,     &D::m_Retry},
    {12, "o",   P::Confirmed, nullptr, R::Numeric,     &D::m_MaxFrame},
    {13, "p",   P::Confirmed, nullptr, R::Numeric,     &D::m_Persistence},
    {14, "r",   P::Confirmed, nullptr, R::Numeric,     &D::m_Digipeat},
    {16, "t",   P::Confirmed, nullptr, R::Numeric,     &D::m_TxDelay},
    {17, "u",   P::Confirmed, nullptr, R::ConnectText, &D::m_ConnectText},
    {18, "w",   P::Confirmed, nullptr, R::Numeric,     &D::m_SlotTime},
    {19, "y",   P::Confirmed, nullptr, R::Numeric,     &D::m_Channels},
    {20, "z",   P::Confirmed, nullptr, R::Numeric,     &D::m_FlowControl},
    {21, "@D",  P::Confirmed, nullptr, R::Numeric,     &D::m_Duplex},
    {22, "@F",  P::Confirmed, nullptr, R::Numeric,     &D::m_SendFlags},
    {23, "@I",  P::Confirmed, nullptr, R::Numeric,     &D::m_IPoll},
    {24, "@T2", P::Confirmed, nullptr, R::Numeric,     &D::m_Timer2},
    {25, "@T3", P::Confirmed, nullptr, R::Numeric,     &D::m_Timer3},
    {26, "@U",  P::Confirmed, nullptr, R::Numeric,     &D::m_UiPoll},
    {27, "%AA", P::Labelled, "APRS APRS Altitude =",  R::Numeric, &D::m_AprsAltitude},
    {28, "%AD", P::Labelled, "APRS Digipeating =",    R::Numeric, &D::m_AprsDigi},
    {29, "%AE", P::Labelled, "APRS status Every =",   R::Numeric, &D::m_AprsStatusEvery},
    {30, "%AF", P::Labelled, "APRS Frequency beacon =", R::Numeric, &D::m_AprsFreqBeacon},
    {31, "%AG", P::Labelled, "APRS Gateway Modem Type =", R::CrossMode, &D::m_AprsCrossMode},
    {32, "%AH", P::Labelled, "APRS Tracking, HF mode toggle", R::HfToggle, &D::m_AprsHfToggle},
    {33, "%AN", P::Labelled, "APRS Nmea-out =",       R::NmeaOut, &D::m_NmeaOut},
    {34, "%AR", P::Labelled, "APRS status Report =",  R::LabelledText, &D::m_AprsStatusText},
    {35, "%AT", P::Labelled, "APRS Beacon/Timer =",   R::Numeric, &D::m_AprsInterval},
    {36, "%AL", P::Labelled, "APRS Autospeed =",      R::Numeric, &D::m_AprsAutoSpeed},
    {37, "%AV", P::Labelled, "APRS Valid =",          R::Numeric, &D::m_AprsValid},
    {38, "%AC", P::Labelled, "APRS Comment =",        R::LabelledText, &D::m_AprsComment},
    {39, "%AI", P::Labelled, "APRS Timestamp =",      R::Numeric, &D::m_AprsTimestamp},
    {40, "%AO", P::Labelled, "APRS Fix Position =",   R::LabelledText, &D::m_AprsPosition},
    {41, "%AP", P::Labelled, "APRS Path =",           R::Path,    &D::m_AprsDest},
    {42, "%AS", P::Labelled, "APRS Short (Compression) =", R::Numeric, &D::m_AprsCompressed},
    {43, "%AY", P::Labelled, "APRS Symbol =",         R::Symbol,  &D::m_AprsSymbol},
    {44, "%AX", P::Labelled, "APRS Beacon Only during Tracking =", R::Numeric, &D::m_AprsTrackOnly},
    {45, "%AU", P::Confirmed, nullptr, R::Numeric,     &D::m_AprsUnprotoCross},
    {46, "%B",  P::Confirmed, nullptr, R::PrMode,      &D::m_PrMode},
    {47, "%F",  P::Confirmed, nullptr, R::Numeric,     &D::m_CenterFreq},
    {48, "%T",  P::Confirmed, nullptr, R::Numeric,     &D::m_TxFreqTrack},
    {49, "%XA", P::Labelled, "XA =",                  R::Numeric, &D::m_LevelAfsk},
    {50, "%XF", P::Labelled, "XF =",                  R::Numeric, &D::m_LevelFsk},
    {51, "%XR", P::Labelled, "XR =",                  R::Numeric, &D::m_LevelRobust},
    {52, "x",   P::Confirmed, nullptr, R::Numeric,     &D::m_Ptt},
    {53, "%A",  P::Labelled, "APRS MAIN SWITCH =",    R::Numeric, &D::m_AprsBeacon},
    {54, "@V",  P::Confirmed, nullptr, R::Numeric,     &D::m_CallCheck},
}};
// clang-format on

/// What a labelled reply says after its first "=", trimmed.
std::string_view LabelledValue(std::string_view reply) {
  const size_t eq = reply.find('=');
  if (eq != std::string_view::npos) reply.remove_prefix(eq + 1);
  return TrimSpace(reply);
}

bool ApplyLabelledText(CConfigParam& p, std::string_view reply) {
  if (CConfigData::SetText(p, LabelledValue(reply)) != 0) return false;
  // The device says "NONE" for a text that is not set.
  if (p.text == "NONE") CConfigData::SetText(p, "");
  return true;
}

bool ApplyCrossMode(CConfigData& r, std::string_view reply) {
  const std::string_view word = LabelledValue(reply);
  if (CConfigData::SetText(r.m_AprsCrossMode, word) != 0) return false;
  if (auto mode = WordIndex(kCrossModeWords, word))
    CConfigData::SetNumber(r.m_AprsCrossMode, *mode);
  return true;
}

bool ApplyPath(CConfigData& r, std::string_view reply) {
  // "APRS via WIDE1-1 WIDE2-2": the device names the first digipeater after "via".
  std::string path(LabelledValue(reply));
  if (size_t via = path.find(" via "); via != std::string::npos) path.erase(via + 1, 4);
  return r.ParsePath(path) == 0;
}

bool ApplySymbol(CConfigData& r, std::string_view reply) {
  std::string_view value = LabelledValue(reply);
  value = value.substr(0, value.find(' '));
  return r.ParseSymbol(ToUpperAscii(value)) == 0;
}

}  // namespace

std::span<const ReadStep> ReadStepTable() {
  return kSteps;
}

bool ApplyReadReply(const ReadStep& step, std::string_view reply, CConfigData& r) {
  CConfigParam& target = r.*step.target;
  switch (step.rule) {
    case ReplyRule::Numeric:
      return CConfigData::SetNumberText(target, reply);
    case ReplyRule::Callsign:
      if (CConfigData::CheckText(r.m_Callsign, reply) == 0) return true;
      CConfigData::SetText(r.m_Callsign, r.m_Callsign.defText);
      return false;
    case ReplyRule::LabelledText:
      return ApplyLabelledText(target, reply);
    case ReplyRule::CrossMode:
      return ApplyCrossMode(r, reply);
    case ReplyRule::HfToggle: {
      const bool ok = CConfigData::SetNumberText(r.m_AprsHfToggle, reply);
      FollowPartner(r, &D::m_AprsHfToggle, PairSource::Device);
      return ok;
    }
    case ReplyRule::NmeaOut: {
      const bool ok = CConfigData::SetNumberText(r.m_NmeaOut, reply);
      FollowPartner(r, &D::m_NmeaOut, PairSource::Device);
      return ok;
    }
    case ReplyRule::Path:
      return ApplyPath(r, reply);
    case ReplyRule::Symbol:
      return ApplySymbol(r, reply);
    case ReplyRule::Monitor:
      return r.ParseMonitor(reply) == 0;
    case ReplyRule::ConnectText:
      return r.ParseConnectText(reply) == 0;
    case ReplyRule::PrMode:
      return CConfigData::SetText(r.m_PrMode, reply) == 0;
  }
  return false;
}

void CompleteReadStep(const ReadStep& step, std::string_view firstReply, CConfigData& r) {
  switch (step.rule) {
    case ReplyRule::Callsign:
      CConfigData::SetText(r.m_Callsign, firstReply);
      break;
    case ReplyRule::PrMode:
      FollowPartner(r, &D::m_PrMode, PairSource::Device);
      break;
    default:
      break;
  }
}

std::vector<CConfigParam CConfigData::*> ReadStepMembers(const ReadStep& step) {
  switch (step.rule) {
    case ReplyRule::HfToggle:
      return {&D::m_AprsHfToggle, &D::m_AprsHfToggleOld};
    case ReplyRule::NmeaOut:
      return {&D::m_NmeaOut, &D::m_NmeaOutOld};
    case ReplyRule::Path: {
      std::vector<CConfigParam CConfigData::*> members;
      for (const PathCallsign& entry : kPathCallsigns) {
        members.push_back(entry.callsign);
        members.push_back(entry.ssid);
      }
      return members;
    }
    case ReplyRule::Symbol:
      return {&D::m_AprsAltTable, &D::m_AprsSymbol};
    case ReplyRule::Monitor:
      return {&D::m_MonitorC, &D::m_MonitorI, &D::m_MonitorS, &D::m_MonitorU};
    case ReplyRule::ConnectText:
      return {&D::m_ConnectMode, &D::m_ConnectText};
    case ReplyRule::PrMode:
      return {&D::m_PrMode, &D::m_PrModeIndex};
    default:
      return {step.target};
  }
}

bool ReadStepAsked(const ReadStep& step, int32_t firmwareVersion) {
  // A step whose command sets an older form of its parameter besides the
  // current one is asked as soon as the device knows either.
  for (CConfigParam CConfigData::*member : ReadStepMembers(step)) {
    if (ParamAvailable(member, firmwareVersion)) return true;
  }
  return false;
}

std::string OutOfRangeEntry(std::string_view query) {
  return " " + ToUpperAscii(query) + ",";
}

std::optional<std::string> ChannelToken(std::string_view reply) {
  if (reply.find("* ") == std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> tokens;
  size_t stars = 0;
  size_t start = 0;
  for (size_t i = 0; i <= reply.size(); ++i) {
    if (i < reply.size() && reply[i] != '*') continue;
    if (i > start) tokens.push_back(reply.substr(start, i - start));
    if (i < reply.size()) ++stars;
    start = i + 1;
  }
  size_t wanted = 0;
  if (stars == 2) {
    wanted = 0;
  } else if (stars == 3) {
    wanted = 1;
  } else {
    return std::nullopt;
  }
  // Too few tokens: an empty value, which the numeric rule refuses.
  if (wanted >= tokens.size()) return std::string();
  return std::string(tokens[wanted]);
}

}  // namespace vextune
