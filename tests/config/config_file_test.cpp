#include "config/config_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "config/config_archive.h"
#include "config_file_layout.h"

// GCC cannot see that the replaced operator new below allocates with malloc.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// The largest single allocation since the probe was last reset, to show that
// a length prefix alone never makes the reader allocate. The library's array
// forms forward to these.
namespace {
std::atomic<size_t> largestAllocation{0};
}
void* operator new(size_t size) {
  size_t seen = largestAllocation.load();
  while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
// The nothrow forms too (std::stable_sort's buffer uses them): with only the
// throwing ones replaced they would allocate in the library and be freed here.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

namespace vextune {
namespace {

using testing::BuildConfigFile;
using testing::FileValues;

std::string Write(const CConfigData& d, int32_t version = kConfigFormatVersion) {
  std::ostringstream out;
  EXPECT_TRUE(WriteConfigFile(d, out, version));
  return out.str();
}

ConfigReadResult Read(CConfigData& d, const std::string& bytes,
                      std::string_view name = "the configuration file") {
  std::istringstream in(bytes);
  return ReadConfigFile(d, in, name);
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out += static_cast<char>(b);
  return out;
}

TEST(ConfigFileWrite, DefaultRecordGives208BytesInTheDocumentedLayout) {
  const std::string bytes = Write(CConfigData{});
  ASSERT_EQ(bytes.size(), 208u);
  // Marker, version 65587, A and E, the callsign, F; the path; %PI and %PM.
  EXPECT_EQ(bytes.substr(0, 22),
            Bytes({4, 'V', 'E', 'R', ' ', 0x33, 0, 1, 0, 1, 1, 6}) + "DAVOZI" + Bytes({3}) + "500");
  const std::string path = Bytes({4}) + "APRS" + Bytes({2}) + "00" + Bytes({5}) + "RELAY";
  EXPECT_NE(bytes.find(path), std::string::npos);
  EXPECT_NE(bytes.find(Bytes({3, 0, 0, 0, 4}) + "1200"), std::string::npos);
  EXPECT_EQ(bytes.substr(203), Bytes({0, 1, 0, 0, 0}));  // %AU, %AL
  EXPECT_EQ(bytes, BuildConfigFile(kConfigFormatVersion, CConfigData{}));

  // The version is stored as given; flags without checks, but as 0 or 1.
  CConfigData d;
  d.m_Duplex.value = 5;
  EXPECT_EQ(Write(d), BuildConfigFile(kConfigFormatVersion, d, {{"m_Duplex", "1"}}));
  // An older version gets the layout of that version, nothing more.
  EXPECT_EQ(Write(d, 65560), BuildConfigFile(65560, d, {{"m_Duplex", "1"}}));
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
  d.ParsePath("APX WIDE1-1 B C D E F G LAST");
  CConfigData::SetText(d.m_AprsStatusText, std::string(80, 's'));
  CConfigData::SetText(d.m_Callsign, "DL1ABC-15");
  CConfigData::SetText(d.m_PrMode, "R300");
  CConfigData::SetText(d.m_ConnectText, std::string(72, 'c'));
  return d;
}

TEST(ConfigFileRoundTrip, ReproducesEveryParameter) {
  const CConfigData original = Unusual();
  EXPECT_EQ(Write(original), BuildConfigFile(kConfigFormatVersion, original));
  CConfigData back;
  const ConfigReadResult r = Read(back, Write(original));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.version, kConfigFormatVersion);
  for (const ParamInfo& info : CConfigData::Params()) {
    EXPECT_EQ(back.Get(info).text, original.Get(info).text) << info.memberName;
    EXPECT_EQ(back.Get(info).value, original.Get(info).value) << info.memberName;
  }
}

void SetFromText(CConfigData& d, const char* member, const std::string& text) {
  CConfigParam& p = d.Get(*CConfigData::FindParam(member));
  if (CConfigData::FindParam(member)->IsText()) {
    ASSERT_EQ(CConfigData::SetText(p, text), 0) << text;
  } else {
    ASSERT_TRUE(CConfigData::SetNumberText(p, text)) << text;
  }
}

TEST(ConfigFileRead, EveryVersionReadsItsItemsAndLeavesLaterOnesAlone) {
  // The items that older versions lack: version, value in the file, value before.
  // clang-format off
  const struct { const char* member; int32_t since; const char* inFile; const char* before; }
  later[] = {
      {"m_AprsHfToggleOld", 65549, "1", "0"},    {"m_AprsDigi", 65550, "2", "3"},
      {"m_AprsStatusEvery", 65550, "7", "9"},    {"m_AprsStatusText", 65550, "status", "before"},
      {"m_AprsCall", 65550, "DL1ABC", "DK0XY"},  {"m_NmeaOutOld", 65550, "2", "1"},
      {"m_AprsValid", 65550, "600", "700"},      {"m_CenterFreq", 65550, "1500", "2000"},
      {"m_TxFreqTrack", 65550, "0", "1"},        {"m_AprsCrossMode", 65560, "6", "3"},
      {"m_AprsAltitude", 65560, "2", "1"},       {"m_AprsFreqBeacon", 65560, "120", "300"},
      {"m_AprsUnprotoCross", 65576, "1", "0"},   {"m_AprsAutoSpeed", 65586, "2", "0"}};
  // clang-format on
  for (int32_t version : {0, 65549, 65550, 65560, 65576, 65586, 65587, 70000}) {
    SCOPED_TRACE(version);
    FileValues values = {{"m_LevelRobust", "250"}, {"m_Echo", "0"}, {"m_PrMode", "9600"}};
    CConfigData d;
    for (const auto& item : later) {
      values[item.member] = item.inFile;
      SetFromText(d, item.member, item.before);
    }
    const ConfigReadResult r = Read(d, BuildConfigFile(version, CConfigData{}, values));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.version, version);
    EXPECT_EQ(d.m_LevelRobust.value, 250);
    EXPECT_EQ(d.m_Echo.value, 0);
    EXPECT_EQ(d.m_PrMode.text, "9600");
    for (const auto& item : later) {
      EXPECT_EQ(d.Get(*CConfigData::FindParam(item.member)).text,
                item.since <= version ? item.inFile : item.before)
          << item.member;
    }
  }
}

TEST(ConfigFileRead, OldFilesTakeHfToggleFromTheOldFlagAndNmeaOutFromItsOlderForm) {
  // The record holds HF toggle 2, NMEA out old 1 / new 4; the file old 2 / new 3
  // and its newer HF toggle item (read from 65560 on).
  // clang-format off
  const struct { int32_t version; const char* oldFlag; const char* newer; int32_t toggle, nmea; }
  cases[] = {
      {0, "1", "0", 2, 1},      {65549, "1", "0", 1, 1},  {65549, "0", "0", 2, 1},
      {65550, "1", "0", 1, 2},  {65550, "0", "0", 2, 2},  {65560, "1", "0", 0, 3},
      {65560, "1", "9", 2, 3},  {65587, "1", "9", 2, 3}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.version) + " " + c.oldFlag);
    CConfigData d;
    CConfigData::SetNumber(d.m_AprsHfToggle, 2);
    CConfigData::SetNumber(d.m_NmeaOutOld, 1);
    CConfigData::SetNumber(d.m_NmeaOut, 4);
    const FileValues values = {{"m_AprsHfToggleOld", c.oldFlag},
                               {"m_AprsHfToggle", c.newer},
                               {"m_NmeaOutOld", "2"},
                               {"m_NmeaOut", "3"}};
    ASSERT_TRUE(Read(d, BuildConfigFile(c.version, CConfigData{}, values)).ok);
    EXPECT_EQ(d.m_AprsHfToggle.value, c.toggle);
    EXPECT_EQ(d.m_NmeaOut.value, c.nmea);
    EXPECT_EQ(d.m_NmeaOut.text, std::to_string(c.nmea));
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
  // Two SSIDs break the callsign rule for the fourth digipeater.
  const char* expected[] = {"APRS-3", "RELAY-5", "WIDE-15", "", "", "HOP", "SIX", "SEVEN", ""};
  for (int i = 0; i <= 8; ++i) {
    const std::string call = i == 0 ? "m_AprsDest" : "m_AprsVia" + std::to_string(i);
    EXPECT_EQ(d.Get(*CConfigData::FindParam(call)).text, expected[i]) << call;
    EXPECT_EQ(d.Get(*CConfigData::FindParam(call + "Ssid")).text, "00") << call;
  }

  // From 65549 on the SSID items are dropped, not appended.
  CConfigData later;
  ASSERT_TRUE(Read(later, BuildConfigFile(65549, CConfigData{}, values)).ok);
  EXPECT_EQ(later.m_AprsDest.text, "APRS");
  EXPECT_EQ(later.m_AprsVia1.text, "RELAY");
  EXPECT_EQ(later.m_AprsDestSsid.text, "00");
}

TEST(ConfigFileRead, RefusedOrSpecialValuesInFiles) {
  // A flag byte other than 0 or 1 and a long out of range leave the parameter;
  // unusable digits put the default in; the callsign is upper-cased first;
  // empty U and position texts are skipped, other empty texts are not; path
  // callsigns lose a "-0" and "-00" as older files wrote them.
  // clang-format off
  const struct { const char* member; std::string inFile; const char* before; std::string expected; }
  cases[] = {
      {"m_Echo", "2", "0", "0"},                     {"m_TxDelay", "300", "40", "25"},
      {"m_ConnectMode", "7", "1", "1"},              {"m_Callsign", "dl1abc-7", "X", "DL1ABC-7"},
      {"m_Callsign", "toolong", "X", "DAVOZI"},      {"m_Callsign", "", "X", ""},
      {"m_ConnectText", "", "keep", "keep"},         {"m_AprsPosition", "", "NONE", "NONE"},
      {"m_AprsPosition", "12N", "NONE", ""},         {"m_AprsComment", "", "keep", ""},
      {"m_AprsVia1", "wide-05", "X", "WIDE-5"},      {"m_AprsVia1", "WIDE1-00", "X", "WIDE1"},
      {"m_AprsVia1", "WIDE-0", "X", "WIDE"},         {"m_AprsVia1", "AB-00-00", "X", "AB"},
      {"m_AprsVia1", "AB-05-0", "X", "RELAY"},       {"m_AprsDest", "APRS-00", "X", "APRS"},
      // A control character would become a device command of its own.
      {"m_Callsign", "a\r\x1bT 9", "X", "DAVOZI"}, {"m_AprsComment", "hi\r\x1b%AT 3600", "k", ""},
      {"m_ConnectText", "x\ny", "keep", ""},        {"m_AprsVia1", "WIDE\x1b", "X", "RELAY"},
      {"m_AprsStatusText", "\x7f", "k", ""},        {"m_PrMode", "9600\r", "R300", "1200"}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.member) + " <- \"" + c.inFile + "\"");
    CConfigData d;
    SetFromText(d, c.member, c.before);
    ASSERT_TRUE(
        Read(d, BuildConfigFile(kConfigFormatVersion, CConfigData{}, {{c.member, c.inFile}})).ok);
    EXPECT_EQ(d.Get(*CConfigData::FindParam(c.member)).text, c.expected);
  }
}

TEST(ConfigFileRead, EmptyDestinationRestoresTheWholeDefaultPath) {
  FileValues values = {{"m_AprsDest", ""}, {"m_AprsVia2Ssid", "ZZZ"}};
  for (int i = 1; i <= 8; ++i) values["m_AprsVia" + std::to_string(i)] = "V" + std::to_string(i);
  CConfigData d;
  d.ParsePath("X Y Z");
  ASSERT_TRUE(Read(d, BuildConfigFile(kConfigFormatVersion, CConfigData{}, values)).ok);
  EXPECT_TRUE(d.IsEqual(CConfigData{}, true));
}

TEST(ConfigFileRead, EveryPrefixFailsCleanlyKeepingTheItemsReadSoFar) {
  for (int32_t version : {0, 65550, kConfigFormatVersion}) {
    const std::string whole = BuildConfigFile(version, Unusual());
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

  const std::string whole =
      BuildConfigFile(kConfigFormatVersion, CConfigData{}, {{"m_Callsign", "DL1ABC"}});
  const size_t afterCallsign = 9 + 2 + 7;  // header, A and E, the callsign
  CConfigData d;
  const ConfigReadResult r = Read(d, whole.substr(0, afterCallsign + 2), "/some/where.vxg");
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
}

TEST(ArchiveString, LengthPrefixChangesFormAt255And65534) {
  for (size_t length : {0u, 254u, 255u, 65533u, 65534u, 65536u}) {
    const std::string text(length, 'x');
    std::ostringstream out;
    ArchiveWriter(out).WriteString(text);
    const std::string bytes = out.str();
    EXPECT_EQ(bytes, testing::EncodeString(text)) << length;
    EXPECT_EQ(bytes.size(), (length < 255 ? 1 : length <= 65533 ? 3 : 7) + length) << length;

    std::istringstream in(bytes + "tail");
    ArchiveReader reader(in);
    std::string back;
    ASSERT_TRUE(reader.ReadString(back)) << length;
    EXPECT_EQ(back, text);
    EXPECT_EQ(reader.Peek(4), "tail");
  }
}

TEST(ArchiveString, LongerThan64KiBIsNeitherWrittenNorRead) {
  std::ostringstream out;
  ArchiveWriter writer(out);
  writer.WriteString(std::string(kMaxArchiveString + 1, 'x'));
  EXPECT_FALSE(writer.Good());
  EXPECT_EQ(out.str(), "");

  std::istringstream in(testing::EncodeString(std::string(kMaxArchiveString + 1, 'x')));
  ArchiveReader reader(in);
  std::string back;
  EXPECT_FALSE(reader.ReadString(back));
  EXPECT_EQ(reader.status(), ArchiveReader::Status::TooLong);
  EXPECT_EQ(back, "");
}

TEST(ConfigFileRead, HugeLengthPrefixesAreRefusedWithoutAllocating) {
  // The callsign claims 4 GiB - 1, 2 GiB or 65537 bytes (refused at once), or
  // 65534 in the two-byte form (an end of file after the few bytes there are).
  const std::string tooLong =
      "Cannot read the configuration file: it holds a text longer than 65536 bytes, which no "
      "configuration file does.";
  const std::pair<std::string, std::string> cases[] = {
      {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), tooLong},
      {Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}), tooLong},
      {Bytes({0xFF, 0xFF, 0xFF, 0x01, 0, 0x01, 0}), tooLong},
      {Bytes({0xFF, 0xFE, 0xFF}), "Unexpected end of file in the configuration file."}};
  for (const auto& [prefix, error] : cases) {
    std::string file = BuildConfigFile(kConfigFormatVersion, CConfigData{});
    file.replace(11, 7, prefix + "DAVOZI");
    CConfigData d;
    largestAllocation = 0;
    const ConfigReadResult r = Read(d, file);
    EXPECT_LT(largestAllocation.load(), 1u << 20);
    EXPECT_EQ(r.error, error);
  }
}

TEST(ConfigFileRead, AStreamThatNeverEndsCostsNoMoreThanTheLimit) {
  // A pipe of zeros after a length prefix of 4 GiB - 1, like
  // `{ printf ...; cat /dev/zero; } | show /dev/stdin`: nothing to check the
  // prefix against but the limit. Ends after 64 MiB so that a reader without
  // the limit fails here instead of running out of memory.
  struct Zeros : std::streambuf {
    std::string head = BuildConfigFile(kConfigFormatVersion, CConfigData{}).substr(0, 11) +
                       Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    std::string zeros = std::string(4096, '\0');
    uint64_t handedOut = 0;
    Zeros() { setg(head.data(), head.data(), head.data() + head.size()); }
    int_type underflow() override {
      if (handedOut >= (64u << 20)) return traits_type::eof();
      handedOut += zeros.size();
      setg(zeros.data(), zeros.data(), zeros.data() + zeros.size());
      return 0;
    }
  } stream;
  std::istream in(&stream);
  CConfigData d;
  largestAllocation = 0;
  const ConfigReadResult r = ReadConfigFile(d, in, "/dev/stdin");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("/dev/stdin: it holds a text longer than 65536 bytes"),
            std::string::npos)
      << r.error;
  EXPECT_EQ(stream.handedOut, 0u) << "nothing read past the length prefix";
  EXPECT_LT(largestAllocation.load(), 1u << 20);
}

TEST(ConfigFileRead, ReadErrorsAreReportedApartFromEndOfFile) {
  // Hands out the first bytes of a file, then fails like a disk that cannot be read.
  struct FailingBuffer : std::streambuf {
    std::string good = BuildConfigFile(kConfigFormatVersion, CConfigData{}).substr(0, 40);
    FailingBuffer() { setg(good.data(), good.data(), good.data() + good.size()); }
    int_type underflow() override { throw std::ios_base::failure("read error"); }
  } buffer;
  std::istream in(&buffer);
  CConfigData d;
  const ConfigReadResult r = ReadConfigFile(d, in, "x.vxg");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Cannot read x.vxg.");
}

}  // namespace
}  // namespace vextune
