#include "transfer/send_configuration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>

#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

using Lines = std::vector<std::string>;

const Lines kChangedScript = Split(
    "X 0|%A 0|@V 0|a 0|e 0|I DAVOZI|%AM NONE|f 1000|K 9:5:3|K 07.03.14|K 2|m iusc|n 0|o 7|"
    "p 255|r 0|s 5|t 30|u 2 Hello there|w 20|y 4|z 1|@D 1|@F 1|@I 128|@T2 200|@T3 20000|@U 1|"
    "%AA 3|%AD 2|%AE 5|%AF 600|%AG HF DUAL|%AH 2|%AN 4|%AR On air|%AT 1800|%AL 2|%AV 600|"
    "%AC Hello world|%AI 0|%AO 1234.56N 01234.56E|"
    "%AP APZ-05 V1-01 V2-02 V3-03 V4-04 V5-05 V6-06 V7-07 V8-08|%AS 0|%AY a42|%AX 1|%AU 1|"
    "%B 9600|%F 2000|%T 0|%XA 400|%XF 700|%XR 250|x 0|%A 2|@V 1|i DL1ABC-3|%AM KLMNOP-7|%ZS");

Lines WithProbe(const Lines& script) {
  Lines all = kProbeLines;
  all.insert(all.end(), script.begin(), script.end());
  return all;
}

/// A rig whose local time is 2014-03-07 09:05:03.
struct Rig : TransferRig {
  Rig() {
    std::tm t{};
    t.tm_year = 114, t.tm_mon = 2, t.tm_mday = 7, t.tm_hour = 9, t.tm_min = 5, t.tm_sec = 3;
    clock.SetLocalTime(t);
  }
  SendResult Send(const CConfigData& config, bool store = true) {
    last = SendConfiguration(link, state, config, store, cancel, progress);
    return last.result;
  }
  Lines Written() const { return CommandLines(ports.Writes()); }
  SendReport last;
};

TEST(SendConfiguration, DefaultsGiveTheFixedScriptAtTheFixedPaceWithOrWithoutStore) {
  Rig rig;
  EXPECT_EQ(rig.Send(CConfigData()), SendResult::Complete);
  EXPECT_EQ(rig.Written(), WithProbe(DefaultScriptLines()));
  EXPECT_EQ(rig.ports.openCount(), 0);
  EXPECT_TRUE(rig.last.stored);
  EXPECT_TRUE(rig.last.wroteParameters);
  EXPECT_EQ(rig.last.baudRate, 38400u);
  EXPECT_EQ(rig.link.settings.baudRate, 38400u);

  // 50 ms before each of steps 0 to 58, 1000 ms after step 57, 500 before closing.
  std::vector<uint32_t> sleeps(58, 50);
  sleeps.insert(sleeps.end(), {1000, 50, 500});
  EXPECT_EQ(rig.clock.sleeps(), sleeps);
  // The pauses lie between the steps: only step 2's two lines go out together.
  std::vector<uint64_t> times;
  for (const LineEvent& e : rig.ports.events())
    if (e.kind == LineEvent::Write) times.push_back(e.timeMs);
  EXPECT_EQ(times[3], times[2]);
  for (size_t i = 4; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 50u) << i;
  const LineEvent& close = rig.ports.events().back();
  ASSERT_EQ(close.kind, LineEvent::Close);
  EXPECT_GE(close.timeMs - times.back(), 1000u + 50u + 500u);

  // Without the save option no store goes out, but its pause stays.
  Rig unsaved;
  EXPECT_EQ(unsaved.Send(CConfigData(), false), SendResult::Complete);
  Lines expected = WithProbe(DefaultScriptLines());
  expected.pop_back();  // "%ZS"
  EXPECT_EQ(unsaved.Written(), expected);
  EXPECT_EQ(unsaved.clock.sleeps(), sleeps);
  EXPECT_FALSE(unsaved.last.stored);
  EXPECT_TRUE(unsaved.last.wroteParameters);
}

TEST(SendConfiguration, ReportsTheFallbackRateAndLeavesTheCallersSettings) {
  Rig rig;
  rig.device.answerBaudRate = 115200;
  EXPECT_EQ(rig.Send(CConfigData()), SendResult::Complete);
  EXPECT_EQ(rig.last.baudRate, 115200u);
  EXPECT_EQ(rig.settings.baudRate, 38400u);
}

TEST(SendConfiguration, EveryParameterChangedReachesTheScript) {
  const CConfigData changed = EveryParameterChanged();
  const CConfigData defaults;
  for (const ParamInfo& info : CConfigData::Params()) {  // the fixture leaves nothing at default
    const CConfigParam &a = changed.Get(info), &d = defaults.Get(info);
    EXPECT_TRUE(a.value != d.value || a.text != d.text) << info.memberName;
  }
  Rig rig;
  EXPECT_EQ(rig.Send(changed), SendResult::Complete);
  EXPECT_EQ(rig.Written(), WithProbe(kChangedScript));
}

TEST(SendConfiguration, FirmwareVersionGatesTheNewerCommands) {
  // The first firmware that knows each newer command; before 1.1J %AH is on/off.
  const std::map<std::string, int32_t> since = {
      {"%AM", 10081}, {"%AD", 10081}, {"%AE", 10081}, {"%AH", 10081}, {"%AN", 10081},
      {"%AR", 10081}, {"%AV", 10081}, {"%F", 10081},  {"%T", 10081},  {"%AA", 10174},
      {"%AG", 10174}, {"%AF", 10175}, {"%AU", 10369}, {"%AL", 10466}};
  std::vector<int> steps = {0, 0};  // every step is reported whatever is sent
  for (int step = 2; step <= 57; ++step) steps.push_back(step);
  steps.push_back(0);
  for (int32_t version : {10080, 10081, 10100, 10173, 10174, 10175, 10368, 10369, 10465, 10466,
                          -1}) {  // unknown: the newest
    const int32_t known = version < 0 ? INT32_MAX : version;
    Lines expected = kProbeLines;
    for (const std::string& l : kChangedScript) {
      const auto gate = since.find(l.substr(0, l.find(' ')));
      if (gate != since.end() && gate->second > known) continue;
      expected.push_back(l == "%AH 2" && known < 10174 ? "%AH 1" : l);
    }
    Rig rig;
    rig.state.firmwareVersion = version;
    EXPECT_EQ(rig.Send(EveryParameterChanged()), SendResult::Complete);
    EXPECT_EQ(rig.Written(), expected) << "version " << version;
    EXPECT_EQ(rig.progress.positions, steps) << "version " << version;
  }
}

// Rules the default and the all-changed scripts leave open.
TEST(SendConfiguration, ComposedCommandsFollowTheirRules) {
  const std::pair<std::vector<std::pair<const char*, std::string>>, std::string> cases[] = {
      {{{"m_AprsDest", ""}}, "no %AP"},
      {{{"m_AprsVia1", ""}}, "%AP APRS WIDE"},
      {{{"m_MonitorU", "1"}, {"m_MonitorC", "1"}}, "m uc"},
      {{{"m_ConnectMode", "1"}}, "u 1"},
      {{{"m_TxDelay", "007"}}, "t 007"}};
  for (const auto& [values, line] : cases) {
    Rig rig;
    CConfigData config;
    for (const auto& [member, value] : values) ASSERT_TRUE(SetParam(config, member, value));
    rig.Send(config, false);
    const Lines lines = rig.Written();
    if (line == "no %AP") {
      EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.rfind("%AP", 0) == 0; }));
    } else {
      EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
    }
  }
}

TEST(SendConfiguration, FailuresBeforeTheScriptEndWithTheirResultAndClosedPort) {
  const std::pair<std::function<void(TransferRig&)>, SendResult> cases[] = {
      {[](TransferRig& r) { r.device.openError = EBUSY; }, SendResult::PortError},
      {[](TransferRig& r) { r.device.bios = true; }, SendResult::BiosMode},
      {[](TransferRig& r) { r.device.answerBaudRate = 9600; }, SendResult::NoAnswer},
  };
  for (const auto& [setUp, result] : cases) {
    Rig rig;
    setUp(rig);
    EXPECT_EQ(rig.Send(CConfigData()), result);
    EXPECT_FALSE(rig.last.stored);
    EXPECT_FALSE(rig.last.wroteParameters);
    EXPECT_EQ(rig.ports.openCount(), 0);
    for (const std::string& l : rig.Written()) EXPECT_TRUE(l.empty() || l == "v") << l;
    EXPECT_EQ(rig.progress.positions.back(), 0);
  }
}

TEST(SendConfiguration, CancelOrLineFailureStopsTheScriptAtItsStep) {
  struct Case {
    int step;
    bool cancel;  // else the line fails
    SendResult result;
    const char* lastLine;
  };
  for (const Case& c : {Case{20, true, SendResult::Aborted, "z 3"},
                        Case{30, false, SendResult::NoAnswer, "%AG NONE"}}) {
    Rig rig;
    rig.progress.onProgress = [&](int step) {
      if (step == c.step && c.cancel) rig.cancel.Set();
      if (step == c.step && !c.cancel) rig.ports.FailWrites(EIO);
    };
    EXPECT_EQ(rig.Send(CConfigData()), c.result);
    // Cancel during step 20 sends step 20 and no more; a failing write is tried once.
    EXPECT_EQ(rig.Written().back(), c.lastLine);
    EXPECT_EQ(rig.ports.openCount(), 0);
    EXPECT_EQ(rig.ports.events().back().kind, LineEvent::Close);
    EXPECT_FALSE(rig.last.stored);
    EXPECT_TRUE(rig.last.wroteParameters);
  }
}

TEST(SendConfiguration, CancelBeforeTheStartOpensNothing) {
  // A Ctrl-C during the configuration check that precedes the send is not
  // lost: only the caller that starts a user's action clears the flag.
  Rig rig;
  rig.cancel.Set();
  EXPECT_EQ(rig.Send(CConfigData()), SendResult::Aborted);
  EXPECT_TRUE(rig.ports.events().empty());
  EXPECT_TRUE(rig.cancel.IsSet());
  EXPECT_FALSE(rig.last.stored);
  EXPECT_FALSE(rig.last.wroteParameters);
}

}  // namespace
}  // namespace vextune::testing
