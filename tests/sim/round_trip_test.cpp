// A configuration sent as the program's command script and read back with the
// program's reply rules must come back equal. The script and the rules are
// written out here from the protocol description, independent of the
// program's own transfer code.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "sim/davozi_simulator.h"
#include "sim/device_core.h"

namespace vextune::sim {
namespace {

using vextune::testing::FakeClock;
using D = CConfigData;

std::string Flag(const CConfigParam& p) {
  return p.value == 1 ? "1" : "0";
}

std::string PathArgument(const CConfigData& r) {
  const CConfigParam* calls[] = {&r.m_AprsDest, &r.m_AprsVia1, &r.m_AprsVia2,
                                 &r.m_AprsVia3, &r.m_AprsVia4, &r.m_AprsVia5,
                                 &r.m_AprsVia6, &r.m_AprsVia7, &r.m_AprsVia8};
  const CConfigParam* ssids[] = {&r.m_AprsDestSsid, &r.m_AprsVia1Ssid, &r.m_AprsVia2Ssid,
                                 &r.m_AprsVia3Ssid, &r.m_AprsVia4Ssid, &r.m_AprsVia5Ssid,
                                 &r.m_AprsVia6Ssid, &r.m_AprsVia7Ssid, &r.m_AprsVia8Ssid};
  std::string path;
  for (size_t i = 0; i < 9; ++i) {
    if (calls[i]->text.empty()) continue;
    if (!path.empty()) path += " ";
    path += calls[i]->text;
    if (ssids[i]->text != "00") path += "-" + ssids[i]->text;
  }
  return path;
}

/// The command lines of the send script for `r` at firmware `fw`.
std::vector<std::string> Script(const CConfigData& r, uint32_t fw) {
  static const char* kCross[] = {"NONE", "300", "R300", "R600", "1200", "9600", "19200", "HF DUAL"};
  std::vector<std::string> s = {
      "X 0", "%A 0", "@V 0", "a " + Flag(r.m_AddLinefeed), "e " + Flag(r.m_Echo), "I DAVOZI"};
  if (fw >= 10081) s.push_back("%AM NONE");
  s.push_back("f " + r.m_Frack.text);
  s.push_back("K " + r.m_Timestamp.text);
  std::string letters;
  if (r.m_MonitorI.value == 1) letters += "i";
  if (r.m_MonitorU.value == 1) letters += "u";
  if (r.m_MonitorS.value == 1) letters += "s";
  if (r.m_MonitorC.value == 1) letters += "c";
  s.push_back("m " + (letters.empty() ? std::string("n") : letters));
  for (auto [cmd, member] :
       {std::pair{"n ", &D::m_Retry}, {"o ", &D::m_MaxFrame}, {"p ", &D::m_Persistence}}) {
    s.push_back(cmd + (r.*member).text);
  }
  s.push_back("r " + Flag(r.m_Digipeat));
  s.push_back("s " + r.m_Channel.text);
  s.push_back("t " + r.m_TxDelay.text);
  const int mode = r.m_ConnectMode.value;
  s.push_back(std::string("u ") +
              (mode == 0   ? "0"
               : mode == 1 ? "1"
                           : "2") +
              (r.m_ConnectText.text.empty() ? "" : " " + r.m_ConnectText.text));
  s.push_back("w " + r.m_SlotTime.text);
  s.push_back("y " + r.m_Channels.text);
  s.push_back("z " + r.m_FlowControl.text);
  s.push_back("@D " + Flag(r.m_Duplex));
  s.push_back("@F " + Flag(r.m_SendFlags));
  s.push_back("@I " + r.m_IPoll.text);
  s.push_back("@T2 " + r.m_Timer2.text);
  s.push_back("@T3 " + r.m_Timer3.text);
  s.push_back("@U " + Flag(r.m_UiPoll));
  if (fw >= 10174) s.push_back("%AA " + std::to_string(r.m_AprsAltitude.value));
  if (fw >= 10081) s.push_back("%AD " + std::to_string(r.m_AprsDigi.value));
  if (fw >= 10081) s.push_back("%AE " + std::to_string(r.m_AprsStatusEvery.value));
  if (fw >= 10175) s.push_back("%AF " + r.m_AprsFreqBeacon.text);
  if (fw >= 10174) s.push_back(std::string("%AG ") + kCross[r.m_AprsCrossMode.value]);
  if (fw >= 10174) {
    s.push_back("%AH " + std::to_string(r.m_AprsHfToggle.value));
  } else if (fw >= 10081) {
    s.push_back("%AH " + Flag(r.m_AprsHfToggleOld));
  }
  if (fw >= 10081) s.push_back("%AN " + std::to_string(r.m_NmeaOut.value));
  if (fw >= 10081) {
    s.push_back("%AR " + (r.m_AprsStatusText.text.empty() ? "-" : r.m_AprsStatusText.text));
  }
  s.push_back("%AT " + r.m_AprsInterval.text);
  if (fw >= 10466) s.push_back("%AL " + r.m_AprsAutoSpeed.text);
  if (fw >= 10081) s.push_back("%AV " + r.m_AprsValid.text);
  s.push_back("%AC " + (r.m_AprsComment.text.empty() ? "-" : r.m_AprsComment.text));
  s.push_back("%AI " + Flag(r.m_AprsTimestamp));
  if (!r.m_AprsPosition.text.empty()) s.push_back("%AO " + r.m_AprsPosition.text);
  if (!r.m_AprsDest.text.empty()) s.push_back("%AP " + PathArgument(r));
  s.push_back("%AS " + Flag(r.m_AprsCompressed));
  s.push_back(std::string("%AY ") + (r.m_AprsAltTable.value == 1 ? "a" : "") +
              std::to_string(r.m_AprsSymbol.value + 1));
  s.push_back("%AX " + Flag(r.m_AprsTrackOnly));
  if (fw >= 10369) s.push_back("%AU " + Flag(r.m_AprsUnprotoCross));
  s.push_back("%B " + r.m_PrMode.text);
  if (fw >= 10081) s.push_back("%F " + r.m_CenterFreq.text);
  if (fw >= 10081) s.push_back("%T " + Flag(r.m_TxFreqTrack));
  s.push_back("%XA " + r.m_LevelAfsk.text);
  s.push_back("%XF " + r.m_LevelFsk.text);
  s.push_back("%XR " + r.m_LevelRobust.text);
  s.push_back("x " + Flag(r.m_Ptt));
  s.push_back("%A " + r.m_AprsBeacon.text);
  s.push_back("@V " + Flag(r.m_CallCheck));
  s.push_back("i " + r.m_Callsign.text);
  if (fw >= 10081) s.push_back("%AM " + (r.m_AprsCall.text.empty() ? "NONE" : r.m_AprsCall.text));
  return s;
}

std::string AfterEquals(const std::string& reply) {
  const size_t eq = reply.find('=');
  std::string text = eq == std::string::npos ? reply : reply.substr(eq + 1);
  const size_t first = text.find_first_not_of(" \t\r\n");
  const size_t last = text.find_last_not_of(" \t\r\n");
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

enum class Rule {
  Numeric,
  Callsign,
  Text,
  Monitor,
  Connect,
  Path,
  Symbol,
  PrMode,
  Cross,
  Hf,
  Nmea
};

struct ReadRow {
  const char* query;
  const char* label;  ///< empty: confirmed by a second identical reply
  CConfigParam CConfigData::*member;
  Rule rule;
  uint32_t since;
};

const ReadRow kReadRows[] = {
    {"a", "", &D::m_AddLinefeed, Rule::Numeric, 0},
    {"e", "", &D::m_Echo, Rule::Numeric, 0},
    {"i", "", &D::m_Callsign, Rule::Callsign, 0},
    {"%AM", "APRS Mycall =", &D::m_AprsCall, Rule::Text, 10081},
    {"f", "", &D::m_Frack, Rule::Numeric, 0},
    {"k", "", &D::m_Timestamp, Rule::Numeric, 0},
    {"m", "", nullptr, Rule::Monitor, 0},
    {"n", "", &D::m_Retry, Rule::Numeric, 0},
    {"o", "", &D::m_MaxFrame, Rule::Numeric, 0},
    {"p", "", &D::m_Persistence, Rule::Numeric, 0},
    {"r", "", &D::m_Digipeat, Rule::Numeric, 0},
    {"t", "", &D::m_TxDelay, Rule::Numeric, 0},
    {"u", "", nullptr, Rule::Connect, 0},
    {"w", "", &D::m_SlotTime, Rule::Numeric, 0},
    {"y", "", &D::m_Channels, Rule::Numeric, 0},
    {"z", "", &D::m_FlowControl, Rule::Numeric, 0},
    {"@D", "", &D::m_Duplex, Rule::Numeric, 0},
    {"@F", "", &D::m_SendFlags, Rule::Numeric, 0},
    {"@I", "", &D::m_IPoll, Rule::Numeric, 0},
    {"@T2", "", &D::m_Timer2, Rule::Numeric, 0},
    {"@T3", "", &D::m_Timer3, Rule::Numeric, 0},
    {"@U", "", &D::m_UiPoll, Rule::Numeric, 0},
    {"%AA", "APRS APRS Altitude =", &D::m_AprsAltitude, Rule::Numeric, 10174},
    {"%AD", "APRS Digipeating =", &D::m_AprsDigi, Rule::Numeric, 10081},
    {"%AE", "APRS status Every =", &D::m_AprsStatusEvery, Rule::Numeric, 10081},
    {"%AF", "APRS Frequency beacon =", &D::m_AprsFreqBeacon, Rule::Numeric, 10175},
    {"%AG", "APRS Gateway Modem Type =", &D::m_AprsCrossMode, Rule::Cross, 10174},
    {"%AH", "APRS Tracking, HF mode toggle", &D::m_AprsHfToggle, Rule::Hf, 10081},
    {"%AN", "APRS Nmea-out =", &D::m_NmeaOut, Rule::Nmea, 10081},
    {"%AR", "APRS status Report =", &D::m_AprsStatusText, Rule::Text, 10081},
    {"%AT", "APRS Beacon/Timer =", &D::m_AprsInterval, Rule::Numeric, 0},
    {"%AL", "APRS Autospeed =", &D::m_AprsAutoSpeed, Rule::Numeric, 10466},
    {"%AV", "APRS Valid =", &D::m_AprsValid, Rule::Numeric, 10081},
    {"%AC", "APRS Comment =", &D::m_AprsComment, Rule::Text, 0},
    {"%AI", "APRS Timestamp =", &D::m_AprsTimestamp, Rule::Numeric, 0},
    {"%AO", "APRS Fix Position =", &D::m_AprsPosition, Rule::Text, 0},
    {"%AP", "APRS Path =", nullptr, Rule::Path, 0},
    {"%AS", "APRS Short (Compression) =", &D::m_AprsCompressed, Rule::Numeric, 0},
    {"%AY", "APRS Symbol =", nullptr, Rule::Symbol, 0},
    {"%AX", "APRS Beacon Only during Tracking =", &D::m_AprsTrackOnly, Rule::Numeric, 0},
    {"%AU", "", &D::m_AprsUnprotoCross, Rule::Numeric, 10369},
    {"%B", "", &D::m_PrMode, Rule::PrMode, 0},
    {"%F", "", &D::m_CenterFreq, Rule::Numeric, 10081},
    {"%T", "", &D::m_TxFreqTrack, Rule::Numeric, 10081},
    {"%XA", "XA =", &D::m_LevelAfsk, Rule::Numeric, 0},
    {"%XF", "XF =", &D::m_LevelFsk, Rule::Numeric, 0},
    {"%XR", "XR =", &D::m_LevelRobust, Rule::Numeric, 0},
    {"x", "", &D::m_Ptt, Rule::Numeric, 0},
    {"%A", "APRS MAIN SWITCH =", &D::m_AprsBeacon, Rule::Numeric, 0},
    {"@V", "", &D::m_CallCheck, Rule::Numeric, 0},
};

bool ApplyRule(CConfigData& r, const ReadRow& row, const std::string& reply) {
  static const char* kPr[] = {"300", "R300", "R600", "1200", "9600", "19200"};
  static const char* kCross[] = {"NONE", "300", "R300", "R600", "1200", "9600", "19200", "HF DUAL"};
  switch (row.rule) {
    case Rule::Numeric:
      return D::SetNumberText(r.*row.member, reply);
    case Rule::Callsign:
      return CheckCallsign(reply) == 0 && D::SetText(r.*row.member, reply) == 0;
    case Rule::Text: {
      const std::string text = AfterEquals(reply);
      if (D::SetText(r.*row.member, text) != 0) return false;
      if (text == "NONE") D::SetText(r.*row.member, "");
      return true;
    }
    case Rule::Monitor:
      return r.ParseMonitor(reply) == 0;
    case Rule::Connect:
      return r.ParseConnectText(reply) == 0;
    case Rule::Path: {
      std::string text = AfterEquals(reply);
      if (const size_t via = text.find(" via "); via != std::string::npos) text.erase(via + 1, 4);
      return r.ParsePath(text) == 0;
    }
    case Rule::Symbol: {
      std::string text = AfterEquals(reply);
      text = text.substr(0, text.find(' '));
      for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
      return r.ParseSymbol(text) == 0;
    }
    case Rule::PrMode:
      if (D::SetText(r.m_PrMode, reply) != 0) return false;
      for (int i = 0; i < 6; ++i) {
        if (reply == kPr[i]) D::SetNumber(r.m_PrModeIndex, i);
      }
      return true;
    case Rule::Cross: {
      const std::string word = AfterEquals(reply);
      if (D::SetText(r.m_AprsCrossMode, word) != 0) return false;
      for (int i = 0; i < 8; ++i) {
        if (word == kCross[i]) D::SetNumber(r.m_AprsCrossMode, i);
      }
      return true;
    }
    case Rule::Hf:
      if (!D::SetNumberText(r.m_AprsHfToggle, reply)) return false;
      D::SetNumber(r.m_AprsHfToggleOld, r.m_AprsHfToggle.value != 0 ? 1 : 0);
      return true;
    case Rule::Nmea:
      if (!D::SetNumberText(r.m_NmeaOut, reply)) return false;
      D::SetNumberText(r.m_NmeaOutOld, r.m_NmeaOut.value == 4 ? "3" : reply);
      return true;
  }
  return false;
}

class RoundTripTest : public ::testing::Test {
 protected:
  /// Sends `sent` to a fresh device at `firmware`, reads it back.
  CConfigData SendAndRead(const CConfigData& sent, const std::string& firmware) {
    SimulatorOptions options;
    options.firmware = firmware;
    const uint32_t fw = *FirmwareNumber(firmware);
    DeviceCore device(options, fw, clock_);
    std::string error;
    EXPECT_TRUE(device.PowerOn(nullptr, &error)) << error;
    for (const std::string& line : Script(sent, fw)) {
      EXPECT_EQ(Feed(device, "\x1b" + line + "\r"), "") << line;
    }
    CConfigData read;
    const std::string status = Feed(device, "\x1bS\r");
    const size_t open = status.find('*');
    D::SetNumberText(read.m_Channel,
                     status.substr(open + 1, status.find('*', open + 1) - open - 1));
    Feed(device, "\x1bJHOST1\r");
    for (const ReadRow& row : kReadRows) {
      if (fw < row.since) continue;
      const std::string reply = Query(device, row.query);
      if (*row.label) {
        EXPECT_NE(reply.find(row.label), std::string::npos) << row.query << ": " << reply;
      } else {
        EXPECT_EQ(Query(device, row.query), reply) << row.query;
      }
      EXPECT_TRUE(ApplyRule(read, row, reply)) << row.query << ": " << reply;
    }
    return read;
  }

  static std::string Feed(DeviceCore& device, const std::string& bytes) {
    std::string out;
    for (char c : bytes) out += device.Feed(static_cast<uint8_t>(c));
    return out;
  }

  static std::string Query(DeviceCore& device, const std::string& text) {
    std::string frame = {'\0', '\x01', static_cast<char>(text.size() - 1)};
    const std::string answer = Feed(device, frame + text);
    EXPECT_GE(answer.size(), 3u) << text;
    EXPECT_EQ(answer[1], '\x01') << text;
    EXPECT_EQ(answer.back(), '\0') << text;
    return answer.size() < 3 ? "" : answer.substr(2, answer.size() - 3);
  }

  static void ExpectEqual(const CConfigData& sent, const CConfigData& read) {
    EXPECT_TRUE(read.IsEqual(sent, false));
    for (const ParamInfo* p : read.Differences(sent, false)) {
      ADD_FAILURE() << p->memberName << ": sent '" << sent.Get(*p).text << "' read '"
                    << read.Get(*p).text << "'";
    }
  }

  FakeClock clock_;
};

TEST_F(RoundTripTest, DefaultsComeBackEqual) {
  const CConfigData defaults;
  ExpectEqual(defaults, SendAndRead(defaults, "1.4b"));
}

TEST_F(RoundTripTest, EveryParameterAwayFromItsDefaultComesBackEqual) {
  CConfigData r;
  for (auto [member, value] :
       std::initializer_list<std::pair<CConfigParam D::*, int>>{{&D::m_Duplex, 1},
                                                                {&D::m_SendFlags, 1},
                                                                {&D::m_IPoll, 256},
                                                                {&D::m_Timer2, 100000},
                                                                {&D::m_Timer3, 0},
                                                                {&D::m_UiPoll, 1},
                                                                {&D::m_CallCheck, 1},
                                                                {&D::m_AddLinefeed, 0},
                                                                {&D::m_AprsBeacon, 2},
                                                                {&D::m_AprsAltitude, 3},
                                                                {&D::m_AprsDigi, 3},
                                                                {&D::m_AprsStatusEvery, 20},
                                                                {&D::m_AprsFreqBeacon, 30000},
                                                                {&D::m_AprsCrossMode, 7},
                                                                {&D::m_AprsHfToggle, 2},
                                                                {&D::m_AprsHfToggleOld, 1},
                                                                {&D::m_AprsTimestamp, 0},
                                                                {&D::m_NmeaOut, 4},
                                                                {&D::m_NmeaOutOld, 3},
                                                                {&D::m_AprsCompressed, 0},
                                                                {&D::m_AprsInterval, 0},
                                                                {&D::m_AprsValid, 3600},
                                                                {&D::m_AprsTrackOnly, 1},
                                                                {&D::m_AprsAltTable, 1},
                                                                {&D::m_AprsSymbol, 93},
                                                                {&D::m_Echo, 0},
                                                                {&D::m_Frack, 15000},
                                                                {&D::m_Timestamp, 2},
                                                                {&D::m_MonitorC, 1},
                                                                {&D::m_MonitorI, 1},
                                                                {&D::m_MonitorU, 1},
                                                                {&D::m_MonitorS, 1},
                                                                {&D::m_Retry, 0},
                                                                {&D::m_MaxFrame, 7},
                                                                {&D::m_Persistence, 255},
                                                                {&D::m_AprsUnprotoCross, 1},
                                                                {&D::m_PrModeIndex, 2},
                                                                {&D::m_CenterFreq, 3000},
                                                                {&D::m_TxFreqTrack, 0},
                                                                {&D::m_LevelAfsk, 3000},
                                                                {&D::m_LevelFsk, 30},
                                                                {&D::m_LevelRobust, 1234},
                                                                {&D::m_Digipeat, 0},
                                                                {&D::m_Channel, 10},
                                                                {&D::m_TxDelay, 127},
                                                                {&D::m_ConnectMode, 2},
                                                                {&D::m_SlotTime, 0},
                                                                {&D::m_Ptt, 0},
                                                                {&D::m_Channels, 0},
                                                                {&D::m_FlowControl, 0},
                                                                {&D::m_AprsAutoSpeed, 2}}) {
    ASSERT_TRUE(D::SetNumber(r.*member, value));
  }
  const std::string comment = "Comment = " + std::string(70, 'c');
  for (auto [member, text] : std::initializer_list<std::pair<CConfigParam D::*, std::string>>{
           {&D::m_AprsComment, comment},
           {&D::m_AprsStatusText, "On the air \xB0 via relay"},
           {&D::m_AprsCall, "dl1abc-15"},
           {&D::m_AprsPosition, "4807.38N 01131.00E"},
           {&D::m_AprsDest, "APZ001"},
           {&D::m_AprsVia1, "WIDE1-1"},
           {&D::m_AprsVia2, "WIDE2-2"},
           {&D::m_AprsVia3, "via"},
           {&D::m_AprsVia4, "D"},
           {&D::m_AprsVia5, "E"},
           {&D::m_AprsVia6, "F"},
           {&D::m_AprsVia7, "G"},
           {&D::m_AprsVia8, "H-9"},
           {&D::m_Callsign, "dk0xyz-7"},
           {&D::m_PrMode, "R600"},
           {&D::m_ConnectText, std::string(71, 'x') + "!"}}) {
    ASSERT_EQ(D::SetText(r.*member, text), 0) << text;
  }
  const CConfigData defaults;
  for (const ParamInfo& p : D::Params()) {
    if (std::string(p.memberName) == "m_SyncClock") continue;
    if (std::string(p.memberName).find("Ssid") != std::string::npos) continue;
    EXPECT_NE(r.Get(p).text, defaults.Get(p).text) << p.memberName << " still at its default";
  }
  ExpectEqual(r, SendAndRead(r, "1.4b"));
}

TEST_F(RoundTripTest, OlderFirmwareRoundTripsWhatItKnows) {
  CConfigData r;
  D::SetNumber(r.m_AprsInterval, 1800);
  D::SetNumber(r.m_TxDelay, 40);
  D::SetText(r.m_AprsComment, "old");
  // 1.0P knows none of the gated commands: the rest keeps its defaults.
  ExpectEqual(r, SendAndRead(r, "1.0p"));
  D::SetNumber(r.m_AprsHfToggle, 1);
  D::SetNumber(r.m_AprsHfToggleOld, 1);
  D::SetNumber(r.m_NmeaOut, 2);
  D::SetNumber(r.m_NmeaOutOld, 2);
  ExpectEqual(r, SendAndRead(r, "1.1"));
}

}  // namespace
}  // namespace vextune::sim
