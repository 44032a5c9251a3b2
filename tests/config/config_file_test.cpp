#include "config/config_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "config_file_layout.h"

namespace vextune {
namespace {

using testing::BuildConfigFile;
using testing::EncodeString;
using testing::FileValues;

std::string Write(const CConfigData& d, int32_t version = kConfigFormatVersion) {
  std::ostringstream out;
  EXPECT_TRUE(WriteConfigFile(d, out, version));
  return out.str();
}

ConfigReadResult Read(CConfigData& d, const std::string& bytes) {
  std::istringstream in(bytes);
  return ReadConfigFile(d, in);
}

TEST(ConfigFileWrite, DefaultRecordGives208BytesInTheDocumentedLayout) {
  const std::string bytes = Write(CConfigData{});
  ASSERT_EQ(bytes.size(), 208u);
  EXPECT_EQ(bytes.substr(0, 9), std::string("\x04VER \x33\x00\x01\x00", 9));
  EXPECT_EQ(bytes.substr(9, 2), "\x01\x01");  // A, E
  EXPECT_EQ(bytes.substr(11, 7),
            "\x06"
            "DAVOZI");
  EXPECT_EQ(bytes.substr(18, 4),
            "\x03"
            "500");
  EXPECT_NE(bytes.find("\x04"
                       "APRS\x02"
                       "00\x05RELAY"),
            std::string::npos);
  EXPECT_NE(bytes.find(std::string("\x03\x00\x00\x00\x04"
                                   "1200",
                                   9)),
            std::string::npos);
  EXPECT_EQ(bytes.substr(203), std::string("\x00\x01\x00\x00\x00", 5));  // %AU, %AL
  // Every item in its place, as laid out independently.
  EXPECT_EQ(bytes, BuildConfigFile(kConfigFormatVersion, CConfigData{}));
}

TEST(ConfigFileWrite, StoresTheGivenVersionAndFlagsAsOneOrZero) {
  CConfigData d;
  d.m_Duplex.value = 5;  // written unchanged, without checks, but as a flag
  const std::string bytes = Write(d, 65560);
  EXPECT_EQ(bytes.substr(5, 4), std::string("\x18\x00\x01\x00", 4));
  EXPECT_EQ(bytes, BuildConfigFile(kConfigFormatVersion, d, {{"m_Duplex", "1"}})
                       .replace(5, 4, std::string("\x18\x00\x01\x00", 4)));
}

// A record far from the defaults in every parameter a file holds.
CConfigData Unusual() {
  CConfigData d;
  for (const ParamInfo& info : CConfigData::Params()) {
    CConfigParam& p = d.Get(info);
    if (!info.IsText()) CConfigData::SetNumber(p, p.def == p.max ? p.min : p.max);
  }
  CConfigData::SetNumberText(d.m_TxDelay, "007");
  CConfigData::SetNumber(d.m_AprsInterval, 0);
  CConfigData::SetText(d.m_AprsComment, "comment \xB0 with \"quotes\"");
  CConfigData::SetText(d.m_AprsCall, "DK0XY-3");
  CConfigData::SetText(d.m_AprsPosition, "1234.56N 01234.56E");
  CConfigData::SetText(d.m_AprsDest, "APX");
  CConfigData::SetText(d.m_AprsVia1, "WIDE1-1");
  CConfigData::SetText(d.m_AprsVia8, "LAST");
  CConfigData::SetText(d.m_AprsStatusText, std::string(80, 's'));
  CConfigData::SetText(d.m_Callsign, "DL1ABC-15");
  CConfigData::SetText(d.m_PrMode, "R300");
  CConfigData::SetText(d.m_ConnectText, std::string(72, 'c'));
  return d;
}

TEST(ConfigFileRoundTrip, ReproducesEveryParameter) {
  const CConfigData original = Unusual();
  CConfigData back;
  const ConfigReadResult r = Read(back, Write(original));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.version, kConfigFormatVersion);
  for (const ParamInfo& info : CConfigData::Params()) {
    EXPECT_EQ(back.Get(info).text, original.Get(info).text) << info.memberName;
    EXPECT_EQ(back.Get(info).value, original.Get(info).value) << info.memberName;
  }
}

TEST(ConfigFileRoundTrip, NormalisesSsidsCaseAndAnEmptyDestination) {
  CConfigData original;
  CConfigData::SetText(original.m_AprsVia1Ssid, "05");
  CConfigData::SetText(original.m_Callsign, "dl1abc");
  CConfigData::SetText(original.m_AprsVia2, "wide2-2");
  CConfigData back;
  ASSERT_TRUE(Read(back, Write(original)).ok);
  EXPECT_EQ(back.m_AprsVia1Ssid.text, "00");
  EXPECT_EQ(back.m_Callsign.text, "DL1ABC");
  EXPECT_EQ(back.m_AprsVia2.text, "WIDE2-2");

  CConfigData::SetText(original.m_AprsDest, "");
  CConfigData::SetText(original.m_AprsVia1, "OTHER");
  CConfigData::SetText(original.m_AprsVia3, "MORE");
  ASSERT_TRUE(Read(back, Write(original)).ok);
  EXPECT_EQ(back.m_AprsDest.text, "APRS");
  EXPECT_EQ(back.m_AprsVia1.text, "RELAY");
  EXPECT_EQ(back.m_AprsVia2.text, "WIDE");
  EXPECT_EQ(back.m_AprsVia3.text, "");
}

// The items that older versions lack, with a value in the file and another
// in the record before the read.
struct LaterItem {
  const char* member;
  int32_t since;
  const char* inFile;
  const char* before;
  bool isText;
};
const LaterItem kLaterItems[] = {
    {"m_AprsHfToggleOld", 65549, "1", "0", false},
    {"m_AprsDigi", 65550, "2", "3", false},
    {"m_AprsStatusEvery", 65550, "7", "9", false},
    {"m_AprsStatusText", 65550, "status", "before", true},
    {"m_AprsCall", 65550, "DL1ABC", "DK0XY", true},
    {"m_NmeaOutOld", 65550, "2", "1", false},
    {"m_AprsValid", 65550, "600", "700", false},
    {"m_CenterFreq", 65550, "1500", "2000", false},
    {"m_TxFreqTrack", 65550, "0", "1", false},
    {"m_AprsCrossMode", 65560, "6", "3", false},
    {"m_AprsAltitude", 65560, "2", "1", false},
    {"m_AprsFreqBeacon", 65560, "120", "300", false},
    {"m_AprsUnprotoCross", 65576, "1", "0", false},
    {"m_AprsAutoSpeed", 65586, "2", "0", false},
};

void SetFromText(CConfigData& d, const ParamInfo& info, const std::string& text) {
  if (info.IsText()) {
    ASSERT_EQ(CConfigData::SetText(d.Get(info), text), 0) << text;
  } else {
    ASSERT_TRUE(CConfigData::SetNumberText(d.Get(info), text)) << text;
  }
}

TEST(ConfigFileRead, EveryVersionReadsItsItemsAndLeavesLaterOnesAlone) {
  for (int32_t version : {0, 65549, 65550, 65560, 65576, 65586, 65587, 70000}) {
    SCOPED_TRACE(version);
    FileValues values = {{"m_LevelRobust", "250"}, {"m_Echo", "0"}, {"m_PrMode", "9600"}};
    CConfigData before;
    for (const LaterItem& item : kLaterItems) {
      values[item.member] = item.inFile;
      SetFromText(before, *CConfigData::FindParam(item.member), item.before);
    }
    CConfigData d = before;
    // Anything after the items of the file's version is not read.
    const ConfigReadResult r =
        Read(d, BuildConfigFile(version, CConfigData{}, values) + "\x01\x07");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.version, version);
    EXPECT_EQ(d.m_LevelRobust.value, 250);
    EXPECT_EQ(d.m_Echo.value, 0);
    EXPECT_EQ(d.m_PrMode.text, "9600");
    for (const LaterItem& item : kLaterItems) {
      const CConfigParam& p = d.Get(*CConfigData::FindParam(item.member));
      const std::string expected = item.since <= version ? item.inFile : item.before;
      EXPECT_EQ(item.isText ? p.text : std::to_string(p.value), expected) << item.member;
    }
  }
}

TEST(ConfigFileRead, OldHfToggleFlagSwitchesTheNewFormOnOnlyBetween65549And65560) {
  const struct {
    int32_t version;
    const char* oldFlag;
    const char* newForm;  // the file's newer item (read from 65560 on)
    int32_t expected;     // the record held 2
  } cases[] = {
      {0, "1", "0", 2},     {65549, "1", "0", 1}, {65549, "0", "0", 2}, {65550, "1", "0", 1},
      {65550, "0", "0", 2}, {65560, "1", "0", 0}, {65560, "1", "9", 2}, {65587, "1", "9", 2},
  };
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetNumber(d.m_AprsHfToggle, 2);
    const FileValues values = {{"m_AprsHfToggleOld", c.oldFlag}, {"m_AprsHfToggle", c.newForm}};
    ASSERT_TRUE(Read(d, BuildConfigFile(c.version, CConfigData{}, values)).ok);
    EXPECT_EQ(d.m_AprsHfToggle.value, c.expected) << c.version << " " << c.oldFlag;
  }
}

TEST(ConfigFileRead, FilesBefore65560TakeNmeaOutFromItsOlderForm) {
  const struct {
    int32_t version;
    int32_t expected;  // record: old form 1, new form 4; file: old 2, new 3
  } cases[] = {{0, 1}, {65549, 1}, {65550, 2}, {65560, 3}, {65587, 3}};
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetNumber(d.m_NmeaOutOld, 1);
    CConfigData::SetNumber(d.m_NmeaOut, 4);
    const FileValues values = {{"m_NmeaOutOld", "2"}, {"m_NmeaOut", "3"}};
    ASSERT_TRUE(Read(d, BuildConfigFile(c.version, CConfigData{}, values)).ok);
    EXPECT_EQ(d.m_NmeaOut.value, c.expected) << c.version;
    EXPECT_EQ(d.m_NmeaOut.text, std::to_string(c.expected)) << c.version;
    EXPECT_EQ(d.m_NmeaOut.max, 4) << "limits stay";
  }
}

TEST(ConfigFileRead, FilesBefore65549MoveSsidsIntoTheCallsigns) {
  const FileValues values = {
      {"m_AprsDest", "aprs"},   {"m_AprsDestSsid", "03"},  {"m_AprsVia1", "relay"},
      {"m_AprsVia1Ssid", "05"}, {"m_AprsVia2", "WIDE"},    {"m_AprsVia2Ssid", "15"},
      {"m_AprsVia3", ""},       {"m_AprsVia3Ssid", "07"},  {"m_AprsVia4", "WIDE1-1"},
      {"m_AprsVia4Ssid", "02"}, {"m_AprsVia5", "HOP"},     {"m_AprsVia5Ssid", "00"},
      {"m_AprsVia6", "SIX"},    {"m_AprsVia6Ssid", "99"},   // refused: stays "00"
      {"m_AprsVia7", "SEVEN"},  {"m_AprsVia7Ssid", "00x"},  // still SSID 0
  };
  CConfigData d;
  ASSERT_TRUE(Read(d, BuildConfigFile(0, CConfigData{}, values)).ok);
  EXPECT_EQ(d.m_AprsDest.text, "APRS-3");
  EXPECT_EQ(d.m_AprsVia1.text, "RELAY-5");
  EXPECT_EQ(d.m_AprsVia2.text, "WIDE-15");
  EXPECT_EQ(d.m_AprsVia3.text, "");
  EXPECT_EQ(d.m_AprsVia4.text, "") << "two SSIDs break the callsign rule";
  EXPECT_EQ(d.m_AprsVia5.text, "HOP");
  EXPECT_EQ(d.m_AprsVia6.text, "SIX");
  EXPECT_EQ(d.m_AprsVia7.text, "SEVEN");
  for (const CConfigParam* ssid : {&d.m_AprsDestSsid, &d.m_AprsVia1Ssid, &d.m_AprsVia3Ssid,
                                   &d.m_AprsVia6Ssid, &d.m_AprsVia8Ssid}) {
    EXPECT_EQ(ssid->text, "00");
  }

  // From 65549 on the SSID items are dropped, not appended.
  CConfigData later;
  ASSERT_TRUE(Read(later, BuildConfigFile(65549, CConfigData{}, values)).ok);
  EXPECT_EQ(later.m_AprsDest.text, "APRS");
  EXPECT_EQ(later.m_AprsVia1.text, "RELAY");
  EXPECT_EQ(later.m_AprsDestSsid.text, "00");
}

TEST(ConfigFileRead, RefusedOrSpecialValuesInFiles) {
  const struct {
    const char* member;
    std::string inFile;
    const char* before;  // set in the record first
    std::string expected;
  } cases[] = {
      {"m_Echo", "2", "0", "0"},  // flag byte 2: unchanged
      {"m_Echo", "255", "1", "1"},
      {"m_TxDelay", "300", "40", "25"},  // unusable text: default
      {"m_TxDelay", "", "40", "25"},
      {"m_TxDelay", "0030", "40", "0030"},
      {"m_ConnectMode", "7", "1", "1"},  // long out of range: unchanged
      {"m_ConnectMode", "-1", "1", "1"},
      {"m_PrModeIndex", "6", "4", "4"},
      {"m_Callsign", "dl1abc-7", "DK0XY", "DL1ABC-7"},
      {"m_Callsign", "toolong", "DK0XY", "DAVOZI"},
      {"m_Callsign", "", "DK0XY", ""},
      {"m_ConnectText", "", "keep", "keep"},  // empty U text: ignored
      {"m_ConnectText", "hello", "keep", "hello"},
      {"m_AprsPosition", "", "NONE", "NONE"},  // empty position: ignored
      {"m_AprsPosition", "12N", "NONE", ""},
      {"m_AprsComment", "", "keep", ""},  // not an exception
      {"m_PrMode", "1201", "9600", "1200"},
      {"m_AprsStatusText", std::string(81, 'x'), "keep", ""},
      {"m_AprsSymbol", "94", "20", "14"},
      {"m_AprsInterval", "0", "900", "0"},
      {"m_AprsVia1", "wide-05", "X", "WIDE-5"},
      {"m_AprsVia1", "WIDE1-00", "X", "WIDE1"},
      {"m_AprsVia1", "WIDE-0", "X", "WIDE-"},
      {"m_AprsVia1", "AB-00-00", "X", "AB"},
      {"m_AprsVia1", "AB-05-0", "X", "RELAY"},
      {"m_AprsDest", "APRS-00", "X", "APRS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.member) + " <- \"" + c.inFile + "\"");
    const ParamInfo& info = *CConfigData::FindParam(c.member);
    CConfigData d;
    SetFromText(d, info, c.before);
    ASSERT_TRUE(
        Read(d, BuildConfigFile(kConfigFormatVersion, CConfigData{}, {{c.member, c.inFile}})).ok);
    EXPECT_EQ(d.Get(info).text, c.expected);
  }
}

TEST(ConfigFileRead, EmptyDestinationRestoresTheWholeDefaultPath) {
  FileValues values = {{"m_AprsDest", ""}};
  for (int i = 1; i <= 8; ++i) values["m_AprsVia" + std::to_string(i)] = "V" + std::to_string(i);
  values["m_AprsVia2Ssid"] = "ZZZ";
  CConfigData d;
  d.ParsePath("X Y Z");
  ASSERT_TRUE(Read(d, BuildConfigFile(kConfigFormatVersion, CConfigData{}, values)).ok);
  EXPECT_TRUE(d.IsEqual(CConfigData{}, true));
}

TEST(ConfigFileRead, EveryPrefixOfAFileFailsCleanlyAndOnlyTheWholeFileSucceeds) {
  CConfigData values = Unusual();
  for (int32_t version : {0, 65550, kConfigFormatVersion}) {
    const std::string whole = BuildConfigFile(version, values);
    for (size_t length = 0; length <= whole.size(); ++length) {
      CConfigData d;
      const ConfigReadResult r = Read(d, whole.substr(0, length));
      if (length == whole.size()) {
        EXPECT_TRUE(r.ok) << version << ": " << r.error;
      } else {
        ASSERT_FALSE(r.ok) << version << " cut at " << length;
        EXPECT_EQ(r.error, "Unexpected end of file in the configuration file.");
      }
    }
  }
}

TEST(ConfigFileRead, ItemsBeforeTheEndStayApplied) {
  const std::string whole =
      BuildConfigFile(kConfigFormatVersion, CConfigData{}, {{"m_Callsign", "DL1ABC"}});
  const size_t afterCallsign = 9 + 2 + 7;  // header, A and E, the callsign
  CConfigData d;
  std::istringstream in(whole.substr(0, afterCallsign + 2));
  const ConfigReadResult r = ReadConfigFile(d, in, "/some/where.vxg");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Unexpected end of file in /some/where.vxg.");
  EXPECT_EQ(r.version, kConfigFormatVersion);
  EXPECT_EQ(d.m_Callsign.text, "DL1ABC");
  EXPECT_EQ(d.m_Frack.text, "500");
}

TEST(ConfigFileRead, OnlyTheMarkerLettersAnnounceAVersionBlock) {
  // The marker's length byte is not examined: 05 means a five-byte marker.
  std::string bytes = BuildConfigFile(65560, CConfigData{});
  bytes.replace(0, 5, "\x05VER X");
  CConfigData d;
  EXPECT_TRUE(Read(d, bytes).ok);

  // Without "VER " the file starts with its first item, as version 0.
  CConfigData old;
  const ConfigReadResult r = Read(old, BuildConfigFile(0, CConfigData{}, {{"m_Echo", "0"}}));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.version, 0);
  EXPECT_EQ(old.m_Echo.value, 0);
}

}  // namespace
}  // namespace vextune
