#include "link/configuration_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fake_serial.h"
#include "link/device_protocol.h"

namespace vextune {
namespace {

using testing::Bytes;
using testing::FakeClock;
using testing::FakeLine;
using testing::FakeSerialOpener;
using testing::LineEvent;

const std::string kEnterHost(line::kEnterHostMode);

/// A device with command mode, host mode and BIOS mode, as far as the check
/// needs them. An answer of nullopt means silence; "" means code 0.
struct FakeAmbrel : testing::FakeDevice {
  std::set<uint32_t> firmwareRates{38400};
  std::set<uint32_t> biosRates;
  std::set<uint32_t> refusedRates;  // the open fails there
  std::string idReply = "\r\nDAVOZI Ambrel V.1.4b, (c) Olvane\r\n";
  std::optional<std::string> yAnswer = "3";
  std::map<int, std::optional<std::string>> channelAnswers;  // default: free
  FakeSerialOpener* opener = nullptr;
  bool failWriteAfterIdentify = false;
  bool inHostMode = false;

  SerialCode OnOpen(uint32_t baud) override { return refusedRates.count(baud) ? EBUSY : 0; }

  void OnWrite(const Bytes& bytes, uint32_t baud, FakeLine& line) override {
    const std::string text(bytes.begin(), bytes.end());
    if (inHostMode) return HostFrame(bytes, line);
    if (text == line::kIdentify && firmwareRates.count(baud)) {
      line.Send(idReply, 2, 1);
      if (failWriteAfterIdentify) opener->FailWrites(EIO);
    } else if (text == line::kWakeUp && biosRates.count(baud)) {
      line.Send("\r\ncmd:", 2, 1);
    } else if (text == kEnterHost && firmwareRates.count(baud)) {
      inHostMode = true;
    }
  }

  void HostFrame(const Bytes& frame, FakeLine& line) {
    const uint8_t channel = frame[0];
    const std::string command(frame.begin() + 3, frame.end());
    if (channel == 0 && command == "JHOST0") {
      inHostMode = false;
      return;
    }
    std::optional<std::string> answer;
    if (channel == 0 && command == "Y") answer = yAnswer;
    if (channel > 0 && command == "C") {
      auto it = channelAnswers.find(channel);
      answer = it != channelAnswers.end() ? it->second
                                          : std::optional<std::string>("CHANNEL NOT CONNECTED");
    }
    if (!answer) return;
    std::string reply = {static_cast<char>(channel), static_cast<char>(answer->empty() ? 0 : 1)};
    if (!answer->empty()) reply += *answer + '\0';
    line.Send(reply, 2, 1);
  }
};

class ConfigurationCheckTest : public ::testing::Test {
 protected:
  ConfigurationCheckTest() { device_.opener = &opener_; }

  CheckResult Run() {
    CheckResult r = RunConfigurationCheck(link_, state_);
    EXPECT_EQ(opener_.openCount(), 0) << "port left open";
    return r;
  }
  std::vector<std::string> HostCommandsSent() const {
    std::vector<std::string> commands;
    bool host = false;
    for (const std::string& w : opener_.Writes()) {
      if (w == kEnterHost)
        host = true;
      else if (host && w.size() > 3)
        commands.push_back(std::to_string(w[0]) + ":" + w.substr(3));
    }
    return commands;
  }
  bool Wrote(const std::string& bytes) const {
    const auto writes = opener_.Writes();
    return std::find(writes.begin(), writes.end(), bytes) != writes.end();
  }
  std::vector<uint32_t> OpenRates() const {
    std::vector<uint32_t> rates;
    for (const auto& e : opener_.events()) {
      if (e.kind == LineEvent::Open || e.kind == LineEvent::OpenFailed) rates.push_back(e.baudRate);
    }
    return rates;
  }

  FakeClock clock_;
  FakeAmbrel device_;
  FakeSerialOpener opener_{clock_, device_};
  LinkSettings settings_{"ttyACM0", 115200};
  DeviceLink link_{opener_, settings_, clock_};
  DeviceState state_;
};

TEST_F(ConfigurationCheckTest, PassesAt38400WithoutReopening) {
  const CheckResult r = Run();
  EXPECT_EQ(r.outcome, CheckOutcome::Passed);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(r.channels, 3);
  EXPECT_EQ(OpenRates(), (std::vector<uint32_t>{38400}));
  EXPECT_EQ(settings_.baudRate, 38400u);
  EXPECT_EQ(state_.firmwareVersion, 10466);
  EXPECT_EQ(state_.firmwareText, " V.1.4b");
  EXPECT_EQ(HostCommandsSent(), (std::vector<std::string>{"0:Y", "1:C", "2:C", "3:C", "0:JHOST0"}));
  EXPECT_EQ(opener_.Writes().back(), LeaveHostModeFrame());
  EXPECT_FALSE(device_.inHostMode);
}

TEST_F(ConfigurationCheckTest, FallsBackTo115200) {
  device_.firmwareRates = {115200};
  const CheckResult r = Run();
  EXPECT_EQ(r.outcome, CheckOutcome::Passed);
  EXPECT_EQ(OpenRates(), (std::vector<uint32_t>{38400, 115200}));
  EXPECT_EQ(settings_.baudRate, 115200u);
  EXPECT_EQ(clock_.sleeps().front(), 5u);
  EXPECT_TRUE(Wrote(LeaveHostModeFrame()));
}

TEST_F(ConfigurationCheckTest, FailureTableBeforeHostMode) {
  struct Case {
    const char* what;
    std::set<uint32_t> firmware, bios, refused;
    std::string idReply;
    CheckOutcome outcome;
    std::string_view message;
    std::vector<uint32_t> opens;
  };
  const std::string id = FakeAmbrel().idReply;
  const std::vector<Case> cases = {
      {"open fails",
       {38400},
       {},
       {38400},
       id,
       CheckOutcome::OpenFailed,
       check_message::kOpenFailed,
       {38400}},
      {"reopen fails",
       {},
       {},
       {115200},
       id,
       CheckOutcome::OpenFailed,
       check_message::kOpenFailed,
       {38400, 115200}},
      {"BIOS at 38400",
       {},
       {38400, 115200},
       {},
       id,
       CheckOutcome::BiosMode,
       check_message::kBiosMode,
       {38400}},
      {"BIOS at 115200",
       {},
       {115200},
       {},
       id,
       CheckOutcome::BiosMode,
       check_message::kBiosMode,
       {38400, 115200}},
      {"silence",
       {},
       {},
       {},
       id,
       CheckOutcome::NoAnswer,
       check_message::kNoAnswer,
       {38400, 115200}},
      {"no version",
       {38400},
       {},
       {},
       "DAVOZI Ambrel\r\n",
       CheckOutcome::VersionUnknown,
       check_message::kNoVersion,
       {38400}},
      {"version without comma",
       {38400},
       {},
       {},
       "DAVOZI V.1.4b\r\n",
       CheckOutcome::VersionUnknown,
       check_message::kNoVersion,
       {38400}},
  };
  for (const auto& c : cases) {
    FakeClock clock;
    FakeAmbrel device;
    device.firmwareRates = c.firmware;
    device.biosRates = c.bios;
    device.refusedRates = c.refused;
    device.idReply = c.idReply;
    FakeSerialOpener opener(clock, device);
    LinkSettings settings{"ttyACM0", 38400};
    DeviceLink link{opener, settings, clock};
    DeviceState state;
    state.firmwareVersion = 77;  // a failed check keeps what it had
    const CheckResult r = RunConfigurationCheck(link, state);
    EXPECT_EQ(r.outcome, c.outcome) << c.what;
    EXPECT_EQ(r.message, c.message) << c.what;
    EXPECT_EQ(r.openError, c.refused.empty() ? 0u : static_cast<SerialCode>(EBUSY)) << c.what;
    EXPECT_EQ(opener.openCount(), 0) << c.what;
    EXPECT_EQ(state.firmwareVersion, 77) << c.what;
    std::vector<uint32_t> opens;
    for (const auto& e : opener.events()) {
      if (e.kind == LineEvent::Open || e.kind == LineEvent::OpenFailed) opens.push_back(e.baudRate);
    }
    EXPECT_EQ(opens, c.opens) << c.what;
    for (const std::string& w : opener.Writes()) {
      EXPECT_NE(w, kEnterHost) << c.what << ": host mode entered";
    }
  }
}

TEST_F(ConfigurationCheckTest, ChannelCountAnswers) {
  struct Case {
    std::optional<std::string> y;
    bool passes;
    int cQueries;
  };
  const std::vector<Case> cases = {
      {" 3", true, 3},          {"3", true, 3},       {"0", true, 0},
      {"10", true, 10},         {" 4 \r\n", true, 4}, {"2 channels", true, 2},
      {"11", false, 0},         {"100", false, 0},    {"A3", false, 0},
      {"-1", false, 0},         {"  ", false, 0},     {"", false, 0},  // code 0
      {std::nullopt, false, 0},                                        // silence
  };
  for (const auto& c : cases) {
    FakeClock clock;
    FakeAmbrel device;
    device.yAnswer = c.y;
    FakeSerialOpener opener(clock, device);
    LinkSettings settings{"ttyACM0", 38400};
    DeviceLink link{opener, settings, clock};
    DeviceState state;
    const CheckResult r = RunConfigurationCheck(link, state);
    const std::string label = c.y ? "'" + *c.y + "'" : "silence";
    EXPECT_EQ(r.passed(), c.passes) << label;
    EXPECT_EQ(r.message, c.passes ? "" : std::string(check_message::kBadChannelCount)) << label;
    int cQueries = 0;
    for (const std::string& w : opener.Writes()) cQueries += w.size() == 4 && w[3] == 'C';
    EXPECT_EQ(cQueries, c.cQueries) << label;
    EXPECT_EQ(opener.Writes().back(), LeaveHostModeFrame()) << label;
    EXPECT_EQ(state.firmwareVersion, 10466) << label;
    EXPECT_EQ(opener.openCount(), 0);
  }
}

TEST_F(ConfigurationCheckTest, StopsAtTheFirstBusyChannel) {
  for (const auto& answer : {std::optional<std::string>("CHANNEL CONNECTED to DL1ABC"),
                             std::optional<std::string>("channel not connected"),
                             std::optional<std::string>(std::nullopt)}) {
    FakeClock clock;
    FakeAmbrel device;
    device.channelAnswers[2] = answer;
    FakeSerialOpener opener(clock, device);
    LinkSettings settings{"ttyACM0", 38400};
    DeviceLink link{opener, settings, clock};
    DeviceState state;
    const CheckResult r = RunConfigurationCheck(link, state);
    const std::string label = answer.value_or("(no answer)");
    EXPECT_EQ(r.outcome, CheckOutcome::LinkConnected) << label;
    EXPECT_EQ(r.message, check_message::kLinkConnected) << label;
    EXPECT_EQ(r.busyChannel, 2) << label;
    std::vector<std::string> frames;
    for (const std::string& w : opener.Writes()) {
      if (w.size() == 4 && w[3] == 'C') frames.push_back(std::to_string(w[0]));
    }
    EXPECT_EQ(frames, (std::vector<std::string>{"1", "2"})) << "channel 3 asked: " << label;
    EXPECT_EQ(opener.Writes().back(), LeaveHostModeFrame()) << label;
    EXPECT_FALSE(device.inHostMode);
  }
}

TEST_F(ConfigurationCheckTest, WriteFailuresInHostModeFailSilently) {
  device_.failWriteAfterIdentify = true;
  CheckResult r = Run();
  EXPECT_EQ(r.outcome, CheckOutcome::EnterHostFailed);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(state_.firmwareVersion, 10466);
  EXPECT_FALSE(Wrote(LeaveHostModeFrame())) << "host mode was never entered";
}

TEST_F(ConfigurationCheckTest, FailedLeaveFrameFailsTheCheck) {
  device_.yAnswer = "0";
  struct FailingLeave : testing::FakeDevice {
    FakeAmbrel& inner;
    FakeSerialOpener*& opener;
    FailingLeave(FakeAmbrel& d, FakeSerialOpener*& o) : inner(d), opener(o) {}
    void OnWrite(const Bytes& b, uint32_t baud, FakeLine& line) override {
      inner.OnWrite(b, baud, line);
      // The "Y" frame is the last write that gets through.
      if (b.size() == 4 && b[3] == 'Y') opener->FailWrites(EIO);
    }
  };
  FakeSerialOpener* openerPtr = nullptr;
  FailingLeave device(device_, openerPtr);
  FakeSerialOpener opener(clock_, device);
  openerPtr = &opener;
  DeviceLink link{opener, settings_, clock_};
  const CheckResult r = RunConfigurationCheck(link, state_);
  EXPECT_EQ(r.outcome, CheckOutcome::LeaveHostFailed);
  EXPECT_EQ(r.message, "");
  EXPECT_FALSE(r.passed());
  EXPECT_EQ(opener.openCount(), 0);
}

TEST_F(ConfigurationCheckTest, FileOnlyModeTouchesNoPort) {
  state_.fileOnly = true;
  state_.firmwareVersion = 10466;
  const CheckResult r = Run();
  EXPECT_EQ(r.outcome, CheckOutcome::FileOnly);
  EXPECT_TRUE(r.passed());
  EXPECT_EQ(state_.firmwareVersion, -1);
  EXPECT_TRUE(state_.FirmwareAtLeast(firmware::k1_4B));
  EXPECT_TRUE(opener_.events().empty());
}

}  // namespace
}  // namespace vextune
