// A send of only what differs from the device: the same lines and pauses as
// the whole script for the steps it runs, framed the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "transfer/send_configuration.h"
#include "transfer/send_script.h"
#include "transfer/transfer_driver.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

using Lines = std::vector<std::string>;

struct Rig : TransferRig {
  Rig() {
    std::tm t{};
    t.tm_year = 114, t.tm_mon = 2, t.tm_mday = 7, t.tm_hour = 9, t.tm_min = 5, t.tm_sec = 3;
    clock.SetLocalTime(t);
  }
  SendReport Send(const CConfigData& config, const CConfigData* onDevice, bool store = true) {
    return SendConfiguration(link, state, config, store, cancel, progress, onDevice);
  }
  Lines Written() const { return CommandLines(ports.Writes()); }
};

std::string CommandWord(const std::string& line) {
  return line.substr(0, line.find(' '));
}

// What the whole script writes for `config` after its identification,
// keeping only the lines of the given commands (case-sensitive: "I" quiets,
// "i" restores).
Lines FullScriptLinesOf(const CConfigData& config, const std::set<std::string>& commands) {
  Rig full;
  full.Send(config, nullptr);
  const Lines written = full.Written();
  EXPECT_EQ(Lines(written.begin(), written.begin() + 2), kProbeLines);
  Lines kept;
  for (auto l = written.begin() + 2; l != written.end(); ++l) {
    if (commands.count(CommandWord(*l))) kept.push_back(*l);
  }
  return kept;
}

// The quieting and restoring commands, and the store, that frame every change.
const std::set<std::string> kFrame = {"X", "%A", "@V", "I", "%AM", "x", "i", "%ZS"};

// One row per kind of step: which parameter belongs to which step is
// EveryParameterBelongsToTheOneStepWhoseLinesItChanges.
TEST(IncrementalSend, WritesTheWholeScriptsLinesOfEachChangedSettingInsideTheSameFrame) {
  struct Case {
    const char* kind;
    std::vector<std::pair<const char*, const char*>> values;
    std::set<std::string> commands;  // what the whole script writes for them
    std::vector<std::pair<const char*, const char*>> onDevice = {};
  };
  const std::vector<Case> cases = {
      {"number", {{"m_TxDelay", "40"}}, {"t"}},
      {"flag", {{"m_Digipeat", "0"}}, {"r"}},
      {"text", {{"m_AprsComment", "60\xb0 N"}}, {"%AC"}},
      {"texts cleared",
       {},
       {"%AR", "%AC"},
       {{"m_AprsStatusText", "On air"}, {"m_AprsComment", "Hello"}}},
      {"%B index and word", {{"m_PrModeIndex", "4"}, {"m_PrMode", "9600"}}, {"%B"}},
      {"%AN both forms", {{"m_NmeaOut", "4"}, {"m_NmeaOutOld", "3"}}, {"%AN"}},
      {"%AH both forms", {{"m_AprsHfToggle", "2"}, {"m_AprsHfToggleOld", "1"}}, {"%AH"}},
      {"%AH on/off form only", {{"m_AprsHfToggleOld", "1"}}, {"%AH"}},
      {"path callsign", {{"m_AprsVia2", "WIDE2-2"}}, {"%AP"}},
      {"quieted callsign", {{"m_Callsign", "DL1ABC-7"}}, {}},
      {"several", {{"m_TxDelay", "40"}, {"m_AprsInterval", "1800"}, {"m_LevelRobust", "250"}},
       {"t", "%AT", "%XR"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    CConfigData onDevice;
    for (const auto& [member, value] : c.onDevice) ASSERT_TRUE(SetParam(onDevice, member, value));
    CConfigData config;
    for (const auto& [member, value] : c.values) ASSERT_TRUE(SetParam(config, member, value));
    std::set<std::string> commands = kFrame;
    commands.insert(c.commands.begin(), c.commands.end());
    const Lines expected = FullScriptLinesOf(config, commands);

    Rig rig;
    const SendReport report = rig.Send(config, &onDevice);
    EXPECT_EQ(report.result, SendResult::Complete);
    EXPECT_EQ(rig.Written(), expected);
    EXPECT_TRUE(report.incremental);
    EXPECT_FALSE(report.nothingToChange);
    EXPECT_TRUE(report.stored);
    // The device gets its pause after every step's command and its second to
    // store; the first command follows the open at once.
    const size_t steps = expected.size() - 1 - 1;  // "%ZS" is no step; "X 0", "%A 0" are one
    std::vector<uint32_t> sleeps(steps, 50);
    sleeps.push_back(1000);
    EXPECT_EQ(rig.clock.sleeps(), sleeps);
    std::vector<uint64_t> times;
    for (const LineEvent& e : rig.ports.events())
      if (e.kind == LineEvent::Write) times.push_back(e.timeMs);
    for (size_t i = 2; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 50u) << i;
    EXPECT_EQ(rig.ports.openCount(), 0);
  }
}

TEST(IncrementalSend, ClockIsSetWhenAskedEvenWithNothingElseToChange) {
  CConfigData config;
  ASSERT_TRUE(SetParam(config, "m_SyncClock", "1"));
  const CConfigData onDevice;
  Rig rig;
  const SendReport report = rig.Send(config, &onDevice);
  EXPECT_FALSE(report.nothingToChange);
  EXPECT_EQ(rig.Written(), FullScriptLinesOf(config, [] {
              std::set<std::string> c = kFrame;
              c.insert("K");
              return c;
            }()));
  const Lines written = rig.Written();
  EXPECT_EQ(std::count(written.begin(), written.end(), "K 9:5:3"), 1);
  EXPECT_TRUE(StoreAfterSend(config, &onDevice, /*storeUnchanged=*/false));  // a change too
}

TEST(IncrementalSend, NothingToChangeWritesOnlyTheStoreOrNothingAtAll) {
  CConfigData config;
  ASSERT_TRUE(SetParam(config, "m_TxDelay", "40"));
  const CConfigData onDevice = config;

  Rig storing;
  SendReport report = storing.Send(config, &onDevice);
  EXPECT_EQ(report.result, SendResult::Complete);
  EXPECT_EQ(storing.Written(), (Lines{"%ZS"}));
  EXPECT_TRUE(report.nothingToChange);
  EXPECT_TRUE(report.stored);
  EXPECT_FALSE(report.wroteParameters);
  EXPECT_EQ(storing.clock.sleeps(), (std::vector<uint32_t>{1000}));
  EXPECT_EQ(storing.progress.positions.back(), 0);

  Rig idle;
  report = idle.Send(config, &onDevice, /*store=*/false);
  EXPECT_EQ(report.result, SendResult::Complete);
  EXPECT_TRUE(report.nothingToChange);
  EXPECT_FALSE(report.stored);
  EXPECT_FALSE(report.wroteParameters);
  EXPECT_TRUE(idle.ports.events().empty());  // the port is not even opened

  // The store is left out only when nothing changes on a device whose
  // configuration is known, and the caller did not ask for it.
  EXPECT_FALSE(StoreAfterSend(config, &onDevice, /*storeUnchanged=*/false));
  EXPECT_TRUE(StoreAfterSend(config, &onDevice, /*storeUnchanged=*/true));
  EXPECT_TRUE(StoreAfterSend(config, nullptr, /*storeUnchanged=*/false));
  CConfigData changed = config;
  ASSERT_TRUE(SetParam(changed, "m_TxDelay", "41"));
  EXPECT_TRUE(StoreAfterSend(changed, &onDevice, /*storeUnchanged=*/false));

  // A cancel that came before is still an abort.
  Rig cancelled;
  cancelled.cancel.Set();
  EXPECT_EQ(cancelled.Send(config, &onDevice, false).result, SendResult::Aborted);
}

TEST(IncrementalSend, OpensAtTheRateTheReadBeforeFoundTheDeviceAt) {
  CConfigData config;
  ASSERT_TRUE(SetParam(config, "m_TxDelay", "40"));
  const CConfigData onDevice;
  Rig rig;
  rig.device.answerBaudRate = 115200;
  rig.settings.baudRate = 115200;
  const SendReport report = rig.Send(config, &onDevice);
  EXPECT_EQ(report.result, SendResult::Complete);
  EXPECT_EQ(report.baudRate, 115200u);
  EXPECT_EQ(rig.Written().front(), "X 0");
  EXPECT_EQ(rig.ports.events().front().kind, LineEvent::Open);
}

TEST(IncrementalSend, CancelDuringAChangedStepEndsTheScriptThere) {
  CConfigData config;
  ASSERT_TRUE(SetParam(config, "m_TxDelay", "40"));
  ASSERT_TRUE(SetParam(config, "m_SlotTime", "20"));
  const CConfigData onDevice;
  Rig rig;
  rig.progress.onProgress = [&](int step) {
    if (step == static_cast<int>(SendStep::TxDelay)) rig.cancel.Set();
  };
  const SendReport report = rig.Send(config, &onDevice);
  EXPECT_EQ(report.result, SendResult::Aborted);
  EXPECT_EQ(rig.Written().back(), "t 40");
  EXPECT_FALSE(report.stored);
  EXPECT_EQ(rig.ports.events().back().kind, LineEvent::Close);
}

// The table of steps and their parameters against the lines the steps build:
// a parameter that changes a step's lines must be one of that step's, or a
// send of only what changed would leave it out.
TEST(IncrementalSend, EveryParameterBelongsToTheOneStepWhoseLinesItChanges) {
  const CConfigData defaults;
  const CConfigData changed = EveryParameterChanged();
  FakeClock clock;
  for (const int32_t version : {10080, 10173, -1}) {
    const DeviceState device{version, "", false};
    for (const ParamInfo& info : CConfigData::Params()) {
      SCOPED_TRACE(std::string(info.memberName) + " at " + std::to_string(version));
      const auto step = StepOf(info.member);
      ASSERT_TRUE(step.has_value());
      const auto members = StepMembers(*step);
      EXPECT_EQ(std::count(members.begin(), members.end(), info.member), 1);
      CConfigData one = defaults;
      one.Get(info) = changed.Get(info);
      for (int s = static_cast<int>(SendStep::QuietPttAndBeacon);
           s <= static_cast<int>(SendStep::AprsCall); ++s) {
        const auto at = static_cast<SendStep>(s);
        if (at == *step) continue;
        EXPECT_EQ(SendStepCommands(at, one, device, clock),
                  SendStepCommands(at, defaults, device, clock))
            << "step " << s;
      }
    }
  }
}

TEST(IncrementalSend, ReadBackThatDiffersIsAFailedVerificationAsAfterAWholeSend) {
  // The scripted device answers its defaults whatever it was sent.
  Rig rig;
  CConfigData working, baseline;
  ASSERT_TRUE(SetParam(working, "m_TxDelay", "30"));
  const CConfigData onDevice;
  bool store = true;
  const SendOutcome outcome = SendAndVerify(rig.link, rig.state, working, baseline, store,
                                            rig.cancel, rig.progress, {}, &onDevice);
  EXPECT_EQ(outcome.sendResult, SendResult::Complete);
  EXPECT_TRUE(outcome.incremental);
  EXPECT_TRUE(outcome.verificationFailed);
  EXPECT_EQ(outcome.readBackResult, ReadResult::Complete);
  ASSERT_TRUE(outcome.message.has_value());
  EXPECT_EQ(outcome.message->text, VerificationFailedMessage().text);
  EXPECT_EQ(outcome.message->caption, "Send User Config");
  EXPECT_EQ(rig.device.hostEntries, 1);
}

TEST(IncrementalSend, NothingToChangeIsVerifiedByTheReadBeforeIt) {
  Rig rig;
  CConfigData working, baseline;
  ASSERT_TRUE(SetParam(baseline, "m_TxDelay", "50"));  // an older state
  const CConfigData onDevice = working;
  std::vector<std::string> statuses;
  const SendOutcome outcome =
      SendAndVerify(rig.link, rig.state, working, baseline, true, rig.cancel, rig.progress,
                    [&](const std::string& s) { statuses.push_back(s); }, &onDevice);
  EXPECT_TRUE(outcome.Verified());
  EXPECT_TRUE(outcome.nothingToChange);
  EXPECT_TRUE(outcome.stored);
  EXPECT_FALSE(outcome.message.has_value());
  EXPECT_EQ(rig.device.hostEntries, 0);
  EXPECT_TRUE(baseline.IsEqual(working, true));
  EXPECT_EQ(statuses, std::vector<std::string>{kSendingStatus});
}

}  // namespace
}  // namespace vextune::testing
