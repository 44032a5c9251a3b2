// The send script on records whose invariants were broken on purpose: the
// members are public, so a test (or a careless caller) can put in what no
// setter would take. Whatever the record holds, every write stays one command.
#include "transfer/send_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "common/text_util.h"
#include "config/firmware.h"
#include "fake_clock.h"
#include "transfer/read_steps.h"

namespace vextune::testing {
namespace {

/// Every step's lines, in step order, for a device with `firmwareVersion`.
std::vector<std::string> Script(const CConfigData& record, int32_t firmwareVersion = -1) {
  FakeClock clock;
  const DeviceState newest{firmwareVersion, "", firmwareVersion == -1};
  std::vector<std::string> lines;
  for (int step = static_cast<int>(SendStep::QuietPttAndBeacon);
       step <= static_cast<int>(SendStep::AprsCall); ++step) {
    for (std::string& l : SendStepCommands(static_cast<SendStep>(step), record, newest, clock)) {
      lines.push_back(std::move(l));
    }
  }
  return lines;
}

/// The line that starts with ESC + `command` + " ", without ESC and CR.
std::string LineOf(const std::vector<std::string>& lines, const std::string& command) {
  for (const std::string& l : lines) {
    if (l.rfind("\x1b" + command + " ", 0) == 0) return l.substr(1, l.size() - 2);
  }
  return "<none>";
}

TEST(SendScript, NoTextOfABrokenRecordCanEndItsLineOrStartAnotherCommand) {
  CConfigData broken;
  for (const ParamInfo& info : CConfigData::Params()) {
    broken.Get(info).text = "A\r\x1bT 9\n\x7f";
  }
  broken.m_AprsSymbol.value = INT32_MAX;  // the device number is one more
  for (const std::string& line : Script(broken)) {
    ASSERT_GE(line.size(), 2u);
    EXPECT_EQ(line.front(), '\x1b');
    EXPECT_EQ(line.back(), '\r');
    for (size_t i = 1; i + 1 < line.size(); ++i) {
      const auto byte = static_cast<unsigned char>(line[i]);
      EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << "byte " << int{byte} << " in " << line;
    }
  }
  const auto lines = Script(broken);
  EXPECT_EQ(LineOf(lines, "i"), "i AT 9");
  EXPECT_EQ(LineOf(lines, "%AY"), "%AY 2147483648");
}

TEST(SendScript, FlagsAndWordsOfOutOfRangeValuesStayWithinTheirCommands) {
  // A switch sends "1" only for the value 1; a cross-mode number outside the
  // table sends "NONE"; a connect mode outside 0..2 counts as 2.
  const struct {
    int32_t value;
    const char *flag, *crossMode, *connect;
  } cases[] = {{1, "1", "300", "1"},         {7, "0", "HF DUAL", "2"},
               {2, "0", "R300", "2"},        {-1, "0", "NONE", "2"},
               {8, "0", "NONE", "2"},        {INT32_MIN, "0", "NONE", "2"},
               {INT32_MAX, "0", "NONE", "2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    CConfigData broken;
    broken.m_Ptt.value = c.value;
    broken.m_Echo.value = c.value;
    broken.m_AprsCrossMode.value = c.value;
    broken.m_ConnectMode.value = c.value;
    broken.m_MonitorS.value = c.value;
    const auto lines = Script(broken);
    EXPECT_EQ(LineOf(lines, "x"), std::string("x ") + c.flag);
    EXPECT_EQ(LineOf(lines, "e"), std::string("e ") + c.flag);
    EXPECT_EQ(LineOf(lines, "%AG"), std::string("%AG ") + c.crossMode);
    EXPECT_EQ(LineOf(lines, "u"), std::string("u ") + c.connect);
    EXPECT_EQ(LineOf(lines, "m"), c.value == 1 ? "m s" : "m n");
  }
}

TEST(SendScript, TheReadAsksWhatTheScriptSendsOnBothSidesOfEveryThreshold) {
  CConfigData record;
  ASSERT_EQ(CConfigData::SetText(record.m_AprsPosition, "4831.79N 00811.88E"), 0);
  std::vector<int32_t> versions = {0, -1};
  for (uint32_t threshold : {firmware::k1_0Q, firmware::k1_1J, firmware::k1_1K, firmware::k1_2,
                             firmware::k1_3E, firmware::k1_4B}) {
    versions.push_back(static_cast<int32_t>(threshold) - 1);
    versions.push_back(static_cast<int32_t>(threshold));
  }
  for (int32_t version : versions) {
    SCOPED_TRACE(version);
    const auto lines = Script(record, version);
    for (const ReadStep& step : ReadStepTable()) {
      const std::string query = ToUpperAscii(step.query);
      const bool sent = std::any_of(lines.begin(), lines.end(), [&query](const std::string& l) {
        return ToUpperAscii(l.substr(1, l.find(' ') - 1)) == query;
      });
      EXPECT_EQ(ReadStepAsked(step, version), sent) << step.query;
    }
  }
}

}  // namespace
}  // namespace vextune::testing
