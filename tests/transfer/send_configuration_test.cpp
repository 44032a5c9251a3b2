#include "transfer/send_configuration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

using Lines = std::vector<std::string>;

const Lines& kProbe = ProbeLines();
const Lines& kDefaultScript = DefaultScriptLines();

const Lines kChangedScript = {"X 0",
                              "%A 0",
                              "@V 0",
                              "a 0",
                              "e 0",
                              "I DAVOZI",
                              "%AM NONE",
                              "f 1000",
                              "K 9:5:3",
                              "K 07.03.14",
                              "K 2",
                              "m iusc",
                              "n 0",
                              "o 7",
                              "p 255",
                              "r 0",
                              "s 5",
                              "t 30",
                              "u 2 Hello there",
                              "w 20",
                              "y 4",
                              "z 1",
                              "@D 1",
                              "@F 1",
                              "@I 128",
                              "@T2 200",
                              "@T3 20000",
                              "@U 1",
                              "%AA 3",
                              "%AD 2",
                              "%AE 5",
                              "%AF 600",
                              "%AG HF DUAL",
                              "%AH 2",
                              "%AN 4",
                              "%AR On air",
                              "%AT 1800",
                              "%AL 2",
                              "%AV 600",
                              "%AC Hello world",
                              "%AI 0",
                              "%AO 1234.56N 01234.56E",
                              "%AP APZ-05 V1-01 V2-02 V3-03 V4-04 V5-05 V6-06 V7-07 V8-08",
                              "%AS 0",
                              "%AY a42",
                              "%AX 1",
                              "%AU 1",
                              "%B 9600",
                              "%F 2000",
                              "%T 0",
                              "%XA 400",
                              "%XF 700",
                              "%XR 250",
                              "x 0",
                              "%A 2",
                              "@V 1",
                              "i DL1ABC-3",
                              "%AM KLMNOP-7",
                              "%ZS"};

Lines Concat(const Lines& a, const Lines& b) {
  Lines all = a;
  all.insert(all.end(), b.begin(), b.end());
  return all;
}

std::tm MarchSeventh2014() {
  std::tm t{};
  t.tm_year = 114;
  t.tm_mon = 2;
  t.tm_mday = 7;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 3;
  return t;
}

class SendConfigurationTest : public ::testing::Test {
 protected:
  TransferResult Send(const CConfigData& config) {
    return SendConfiguration(rig.link, rig.state, config, save, rig.cancel, rig.progress);
  }
  Lines Written() const { return CommandLines(rig.ports.Writes()); }

  TransferRig rig;
  bool save = true;
};

TEST_F(SendConfigurationTest, DefaultsGiveTheFixedScript) {
  EXPECT_EQ(Send(CConfigData()), TransferResult::Complete);
  EXPECT_EQ(Written(), Concat(kProbe, kDefaultScript));
  EXPECT_EQ(rig.ports.openCount(), 0);
  EXPECT_FALSE(save);
}

TEST_F(SendConfigurationTest, EveryParameterChangedReachesTheScript) {
  rig.clock.SetLocalTime(MarchSeventh2014());
  const CConfigData changed = EveryParameterChanged();
  // The fixture itself: nothing may be left at its default.
  const CConfigData defaults;
  for (const ParamInfo& info : CConfigData::Params()) {
    const CConfigParam& a = changed.Get(info);
    const CConfigParam& d = defaults.Get(info);
    EXPECT_TRUE(a.value != d.value || a.text != d.text) << info.memberName;
  }
  EXPECT_EQ(Send(changed), TransferResult::Complete);
  EXPECT_EQ(Written(), Concat(kProbe, kChangedScript));
}

TEST_F(SendConfigurationTest, FirmwareVersionGatesTheNewerCommands) {
  const std::set<std::string> gated = {"%AM", "%AD", "%AE", "%AH", "%AN", "%AR", "%AV",
                                       "%F",  "%T",  "%AA", "%AG", "%AF", "%AU", "%AL"};
  auto split = [&](const Lines& lines, Lines& gatedOut, Lines& rest) {
    for (const std::string& l : lines)
      (gated.count(l.substr(0, l.find(' '))) ? gatedOut : rest).push_back(l);
  };
  const Lines v1_0Q = {"%AM NONE",   "%AD 2",   "%AE 5",   "%AH 1", "%AN 4",
                       "%AR On air", "%AV 600", "%F 2000", "%T 0",  "%AM KLMNOP-7"};
  const Lines v1_1J = {"%AM NONE",   "%AA 3",   "%AD 2",   "%AE 5", "%AG HF DUAL", "%AH 2", "%AN 4",
                       "%AR On air", "%AV 600", "%F 2000", "%T 0",  "%AM KLMNOP-7"};
  Lines v1_1K = v1_1J;
  v1_1K.insert(v1_1K.begin() + 4, "%AF 600");
  Lines v1_3E = v1_1K;
  v1_3E.insert(v1_3E.begin() + 10, "%AU 1");
  Lines v1_4B = v1_3E;
  v1_4B.insert(v1_4B.begin() + 9, "%AL 2");
  const struct {
    int32_t version;
    Lines gated;
  } cases[] = {{10080, {}},    {10081, v1_0Q}, {10100, v1_0Q}, {10173, v1_0Q},
               {10174, v1_1J}, {10175, v1_1K}, {10368, v1_1K}, {10369, v1_3E},
               {10465, v1_3E}, {10466, v1_4B}, {-1, v1_4B}};

  Lines allGated, ungatedReference;
  split(kChangedScript, allGated, ungatedReference);
  ASSERT_EQ(allGated, v1_4B);
  for (const auto& c : cases) {
    TransferRig rig;
    rig.state.firmwareVersion = c.version;
    rig.clock.SetLocalTime(MarchSeventh2014());
    bool saveOption = true;
    EXPECT_EQ(SendConfiguration(rig.link, rig.state, EveryParameterChanged(), saveOption,
                                rig.cancel, rig.progress),
              TransferResult::Complete);
    Lines lines = CommandLines(rig.ports.Writes());
    lines.erase(lines.begin(), lines.begin() + 2);  // the probe
    Lines gatedLines, rest;
    split(lines, gatedLines, rest);
    EXPECT_EQ(gatedLines, c.gated) << "version " << c.version;
    EXPECT_EQ(rest, ungatedReference) << "version " << c.version;
    // The progress runs through every step number whatever is sent.
    std::vector<int> expected = {0, 0};
    for (int step = 2; step <= 57; ++step) expected.push_back(step);
    expected.push_back(0);
    EXPECT_EQ(rig.progress.positions, expected) << "version " << c.version;
  }
}

TEST_F(SendConfigurationTest, ComposedCommandsFollowTheirRules) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, std::string>> values;
    Lines present;
    Lines absent;
  };
  const Case cases[] = {
      {"empty position, destination and comment",
       {{"m_AprsPosition", ""}, {"m_AprsDest", ""}, {"m_AprsComment", ""}},
       {"%AC -"},
       {"%AO", "%AP"}},
      {"empty digipeater is skipped",
       {{"m_AprsVia1", ""}, {"m_AprsVia2", "WIDE"}},
       {"%AP APRS WIDE"},
       {}},
      {"SSIDs other than 00 are written",
       {{"m_AprsDestSsid", "15"}, {"m_AprsVia1Ssid", "01"}},
       {"%AP APRS-15 RELAY-01 WIDE"},
       {}},
      {"monitor letters keep their order",
       {{"m_MonitorC", "1"}, {"m_MonitorU", "1"}},
       {"m uc"},
       {}},
      {"connect mode without text", {{"m_ConnectMode", "1"}}, {"u 1"}, {}},
      {"symbol from the main table", {{"m_AprsSymbol", "0"}}, {"%AY 1"}, {}},
      {"alternate table", {{"m_AprsAltTable", "1"}, {"m_AprsSymbol", "14"}}, {"%AY a15"}, {}},
      {"leading zeros of a number are kept", {{"m_TxDelay", "007"}}, {"t 007"}, {}},
      {"empty callsign", {{"m_AprsCall", ""}}, {"%AM NONE"}, {}},
      {"no clock setting without the flag", {{"m_Timestamp", "1"}}, {"K 1"}, {"K 9:5:3"}},
  };
  for (const Case& c : cases) {
    TransferRig rig;
    rig.clock.SetLocalTime(MarchSeventh2014());
    CConfigData config;
    for (const auto& [member, value] : c.values)
      ASSERT_TRUE(SetParam(config, member, value)) << member;
    bool saveOption = false;
    SendConfiguration(rig.link, rig.state, config, saveOption, rig.cancel, rig.progress);
    const Lines lines = CommandLines(rig.ports.Writes());
    for (const std::string& l : c.present) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), l), lines.end()) << c.name << ": " << l;
    }
    for (const std::string& prefix : c.absent) {
      EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                               [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }))
          << c.name << ": " << prefix;
    }
  }
}

TEST_F(SendConfigurationTest, PacingKeepsFiftyMillisecondsBeforeEveryStep) {
  Send(CConfigData());
  std::vector<uint32_t> expected(58, send_timing::kBeforeStepMs);  // steps 0 to 57
  expected.push_back(send_timing::kAfterStoreMs);
  expected.push_back(send_timing::kBeforeStepMs);  // step 58
  expected.push_back(send_timing::kBeforeCloseMs);
  EXPECT_EQ(rig.clock.sleeps(), expected);

  // Writes of one step go out together, writes of two steps at least one
  // pause apart; the close follows the store pause, the drain and the
  // closing pause.
  std::vector<uint64_t> times;
  for (const LineEvent& e : rig.ports.events()) {
    if (e.kind == LineEvent::Write) times.push_back(e.timeMs);
  }
  ASSERT_EQ(times.size(), kProbe.size() + kDefaultScript.size());
  int sameStep = 0;
  for (size_t i = kProbe.size() + 1; i < times.size(); ++i) {
    const uint64_t gap = times[i] - times[i - 1];
    if (gap == 0) {
      ++sameStep;
    } else {
      EXPECT_GE(gap, send_timing::kBeforeStepMs) << "write " << i;
    }
  }
  EXPECT_EQ(sameStep, 1);  // step 2 writes two lines
  const LineEvent& close = rig.ports.events().back();
  ASSERT_EQ(close.kind, LineEvent::Close);
  EXPECT_GE(close.timeMs - times.back(), send_timing::kAfterStoreMs + send_timing::kBeforeStepMs +
                                             150 + send_timing::kBeforeCloseMs);
}

TEST_F(SendConfigurationTest, UncheckedSaveOptionSendsNoStoreButKeepsThePause) {
  save = false;
  EXPECT_EQ(Send(CConfigData()), TransferResult::Complete);
  const Lines lines = Written();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "%ZS"), 0);
  EXPECT_EQ(lines.back(), "%AM NONE");
  const auto& sleeps = rig.clock.sleeps();
  EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), send_timing::kAfterStoreMs), 1);
  EXPECT_FALSE(save);
}

TEST_F(SendConfigurationTest, DeviceAnsweringOnlyAtTheFallbackRateIsConfiguredThere) {
  rig.device.answerBaudRate = 115200;
  EXPECT_EQ(Send(CConfigData()), TransferResult::Complete);
  EXPECT_EQ(rig.settings.baudRate, 115200u);

  std::vector<const LineEvent*> opens, closes;
  for (const LineEvent& e : rig.ports.events()) {
    if (e.kind == LineEvent::Open) opens.push_back(&e);
    if (e.kind == LineEvent::Close) closes.push_back(&e);
  }
  ASSERT_EQ(opens.size(), 2u);
  ASSERT_EQ(closes.size(), 2u);
  EXPECT_EQ(opens[0]->baudRate, 38400u);
  EXPECT_EQ(opens[1]->baudRate, 115200u);
  EXPECT_EQ(opens[1]->timeMs - closes[0]->timeMs, send_timing::kReopenPauseMs);
  // The whole parameter part went out at the fallback rate.
  const Lines lines = Written();
  EXPECT_EQ(Lines(lines.end() - long(kDefaultScript.size()), lines.end()), kDefaultScript);
  EXPECT_EQ(rig.ports.events().back().baudRate, 115200u);
}

TEST_F(SendConfigurationTest, FailuresEndWithTheirResultAndClosedPort) {
  struct Case {
    const char* name;
    std::function<void(TransferRig&)> setUp;
    TransferResult result;
    size_t opens;
  };
  const Case cases[] = {
      {"port cannot be opened", [](TransferRig& r) { r.device.openError = EBUSY; },
       TransferResult::PortError, 0},
      {"BIOS mode", [](TransferRig& r) { r.device.bios = true; }, TransferResult::BiosMode, 1},
      {"silence at both rates", [](TransferRig& r) { r.device.answerBaudRate = 9600; },
       TransferResult::NoAnswer, 2},
  };
  for (const Case& c : cases) {
    TransferRig rig;
    c.setUp(rig);
    bool saveOption = true;
    EXPECT_EQ(
        SendConfiguration(rig.link, rig.state, CConfigData(), saveOption, rig.cancel, rig.progress),
        c.result)
        << c.name;
    EXPECT_FALSE(saveOption) << c.name;
    EXPECT_EQ(rig.ports.openCount(), 0) << c.name;
    size_t opens = 0;
    for (const LineEvent& e : rig.ports.events()) opens += e.kind == LineEvent::Open;
    EXPECT_EQ(opens, c.opens) << c.name;
    // No parameter command went out.
    for (const std::string& l : CommandLines(rig.ports.Writes())) {
      EXPECT_TRUE(l.empty() || l == "v") << c.name << ": " << l;
    }
    EXPECT_EQ(rig.progress.positions.back(), 0) << c.name;
  }
}

TEST_F(SendConfigurationTest, CancelDuringStepTwentyStopsBeforeStepTwentyOne) {
  rig.progress.onProgress = [&](int step) {
    if (step == 20) rig.cancel.Set();
  };
  EXPECT_EQ(Send(CConfigData()), TransferResult::Aborted);
  const Lines lines = Written();
  EXPECT_EQ(lines.back(), "z 3");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "@D 0"), 0);
  EXPECT_EQ(rig.ports.openCount(), 0);
  EXPECT_EQ(rig.ports.events().back().kind, LineEvent::Close);
  EXPECT_FALSE(save);
}

TEST_F(SendConfigurationTest, CancelSetBeforeTheStartIsCleared) {
  rig.cancel.Set();
  EXPECT_EQ(Send(CConfigData()), TransferResult::Complete);
}

TEST_F(SendConfigurationTest, LineThatFailsMidScriptEndsWithNoAnswer) {
  rig.progress.onProgress = [&](int step) {
    if (step == 30) rig.ports.FailWrites(EIO);
  };
  EXPECT_EQ(Send(CConfigData()), TransferResult::NoAnswer);
  // Step 31 was tried once and nothing after it.
  const Lines lines = Written();
  EXPECT_EQ(lines.back(), "%AG NONE");
  EXPECT_EQ(rig.ports.openCount(), 0);
}

}  // namespace
}  // namespace vextune::testing
