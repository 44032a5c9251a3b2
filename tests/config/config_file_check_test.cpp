// What counts as a configuration file, and what the reader tells about the
// values it could not take.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config_file_layout.h"

namespace vextune {
namespace {

using testing::BuildConfigFile;
using testing::FileValues;

constexpr int32_t kEveryVersion[] = {0, 65549, 65550, 65560, 65576, 65586, kConfigFormatVersion};

ConfigReadResult Read(CConfigData& d, const std::string& bytes) {
  std::istringstream in(bytes);
  return ReadConfigFile(d, in, "my.vxg");
}

TEST(ConfigFileCheck, BytesAfterTheLastItemOfItsVersionAreRefusedAtEveryVersion) {
  const std::string trailers[] = {std::string(1, '\0'), "\x01\x07", std::string(5000, 'x')};
  for (int32_t version : kEveryVersion) {
    const std::string exact = BuildConfigFile(version, CConfigData{});
    CConfigData d;
    const ConfigReadResult whole = Read(d, exact);
    EXPECT_TRUE(whole.ok) << version << ": " << whole.error;
    EXPECT_TRUE(whole.refused.empty()) << version;
    for (const std::string& trailer : trailers) {
      SCOPED_TRACE(std::to_string(version) + " + " + std::to_string(trailer.size()) + " bytes");
      CConfigData t;
      const ConfigReadResult r = Read(t, exact + trailer);
      EXPECT_FALSE(r.ok);
      EXPECT_EQ(r.version, version);
      const std::string layout = version == 0
                                     ? "a file without version block"
                                     : "its format version (" + std::to_string(version) + ")";
      const std::string expected =
          "my.vxg is not a configuration file: more bytes follow the last item that " + layout;
      EXPECT_EQ(r.error, expected + " holds.");
    }
  }
}

TEST(ConfigFileCheck, AnOlderVersionIsWrittenWithExactlyItsItems) {
  for (int32_t version : kEveryVersion) {
    if (version == 0) continue;  // the writer always writes the version block
    SCOPED_TRACE(version);
    std::ostringstream out;
    ASSERT_TRUE(WriteConfigFile(CConfigData{}, out, version));
    EXPECT_EQ(out.str(), BuildConfigFile(version, CConfigData{}));
    CConfigData d;
    EXPECT_TRUE(Read(d, out.str()).ok);
  }
}

TEST(ConfigFileCheck, TextAndOtherFilesAreNotConfigurations) {
  const std::string text =
      "# Vextune\n\nVextune configures and updates the DAV-OZI over its serial line.\n"
      "It reads and writes configuration files of three kinds.\n";
  CConfigData d;
  const ConfigReadResult r = Read(d, text + text + text);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("my.vxg"), std::string::npos) << r.error;
}

TEST(ConfigFileCheck, EveryRefusedValueIsNamedWithWhatTheParameterKeeps) {
  struct Case {
    const char* member;
    std::string inFile;  // as the file holds it
    const char* fileText;
    const char* kept;
  };
  // In file order.
  const Case cases[] = {
      {"m_Echo", "2", "2", "1"},                      // flag byte other than 0, 1
      {"m_Frack", "abc", "abc", "500"},               // no digits
      {"m_TxDelay", "300", "300", "25"},              // number text out of range
      {"m_ConnectMode", "7", "7", "0"},               // long out of range
      {"m_AprsComment", "bell\x07", "bell\x07", ""},  // control character
      {"m_AprsDigi", "-1", "-1", "0"},                // an item of 65550
      {"m_AprsAutoSpeed", "9", "9", "1"},             // the last item
  };
  FileValues values;
  for (const Case& c : cases) values[c.member] = c.inFile;
  CConfigData d;
  const ConfigReadResult r = Read(d, BuildConfigFile(kConfigFormatVersion, CConfigData{}, values));
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.refused.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].member);
    ASSERT_NE(r.refused[i].param, nullptr);
    EXPECT_STREQ(r.refused[i].param->memberName, cases[i].member);
    EXPECT_EQ(r.refused[i].fileText, cases[i].fileText);
    EXPECT_EQ(r.refused[i].keptText, cases[i].kept);
    EXPECT_EQ(d.Get(*r.refused[i].param).text, cases[i].kept);
  }
  const auto plain = [](const ParamInfo&, std::string_view text) { return std::string(text); };
  EXPECT_EQ(DescribeRefusedValue(r.refused[2], plain),
            "m_TxDelay (T): the file holds 300, which is refused; it keeps 25");
}

TEST(ConfigFileCheck, PathCallsignsTheSetterRefusesAreReported) {
  const std::string controlled = std::string("WI") + '\x01' + "DE";
  CConfigData d;
  const ConfigReadResult r =
      Read(d, BuildConfigFile(kConfigFormatVersion, CConfigData{}, {{"m_AprsVia2", controlled}}));
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.refused.size(), 1u);
  EXPECT_STREQ(r.refused[0].param->memberName, "m_AprsVia2");
  EXPECT_EQ(r.refused[0].fileText, controlled);
  EXPECT_EQ(d.m_AprsVia2.text, "WIDE");  // its default
}

// The seeds of the fuzzer: files the program and its older versions wrote,
// and two holding values that are refused. All of them still read.
TEST(ConfigFileCheck, TheFuzzCorpusStillReads) {
  const std::filesystem::path folder = VEXTUNE_CONFIG_CORPUS;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    CConfigData d;
    const ConfigReadResult r = ReadConfigFile(d, in, entry.path().string());
    EXPECT_TRUE(r.ok) << r.error;
    const std::string name = entry.path().filename().string();
    const size_t refusals = name == "current-refused-values.vxg"   ? 7
                            : name == "current-long-digit-run.vxg" ? 1
                                                                   : 0;
    EXPECT_EQ(r.refused.size(), refusals);
    ++files;
  }
  EXPECT_GE(files, 10);
}

}  // namespace
}  // namespace vextune
