#include "link/configuration_check.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
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
using testing::FakeLine;
using testing::FakeSerialOpener;
using testing::LineEvent;

const std::string kEnterHost(line::kEnterHostMode);
const std::string kIdReply = "\r\nDAVOZI Ambrel V.1.4b, (c) Olvane\r\n";

/// A device with command mode, host mode and BIOS mode, as far as the check
/// needs them. An answer of nullopt means silence; "" means code 0.
struct FakeAmbrel : testing::FakeDevice {
  std::set<uint32_t> firmwareRates{38400}, biosRates, refusedRates;
  std::string idReply = kIdReply;
  std::optional<std::string> yAnswer = " 3";
  std::map<int, std::optional<std::string>> channelAnswers;  // default: free
  std::string failWritesAfter;                               ///< every write after this one fails
  FakeSerialOpener* opener = nullptr;
  bool inHostMode = false;

  SerialCode OnOpen(uint32_t baud) override { return refusedRates.count(baud) ? EBUSY : 0; }

  void OnWrite(const Bytes& bytes, uint32_t baud, FakeLine& line) override {
    const std::string text(bytes.begin(), bytes.end());
    if (text == failWritesAfter) opener->FailWrites(EIO);
    if (inHostMode) return HostFrame(bytes, line);
    if (text == line::kIdentify && firmwareRates.count(baud)) line.Send(idReply, 2, 1);
    if (text == line::kWakeUp && biosRates.count(baud)) line.Send("\r\ncmd:", 2, 1);
    if (text == kEnterHost && firmwareRates.count(baud)) inHostMode = true;
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
      answer = it != channelAnswers.end() ? it->second : "CHANNEL NOT CONNECTED";
    }
    if (!answer) return;
    std::string reply = {static_cast<char>(channel), static_cast<char>(answer->empty() ? 0 : 1)};
    if (!answer->empty()) reply += *answer + '\0';
    line.Send(reply, 2, 1);
  }
};

TEST(ConfigurationCheck, OutcomesOfEveryPath) {
  namespace m = check_message;
  const std::string allFree = "0:Y 1:C 2:C 3:C 0:JHOST0";
  struct Case {
    const char* what;
    CheckOutcome outcome;
    std::string_view message;
    std::vector<uint32_t> opens;
    std::string hostFrames;  ///< channel:command of every frame after entering host mode
    int32_t version;         ///< 77: the version from before the check is kept
    std::function<void(FakeAmbrel&)> setup;
  };
  using O = CheckOutcome;
  using D = FakeAmbrel;
  const std::string yOnly = "0:Y 0:JHOST0", upTo2 = "0:Y 1:C 2:C 0:JHOST0";
  // clang-format off
  const std::vector<Case> cases = {
      {"passes at 38400", O::Passed, "", {38400}, allFree, 10466, [](D&) {}},
      {"falls back to 115200", O::Passed, "", {38400, 115200}, allFree, 10466,
       [](D& d) { d.firmwareRates = {115200}; }},
      {"open fails", O::OpenFailed, m::kOpenFailed, {38400}, "", 77,
       [](D& d) { d.refusedRates = {38400}; }},
      {"reopen fails", O::OpenFailed, m::kOpenFailed, {38400, 115200}, "", 77,
       [](D& d) { d.firmwareRates = {}, d.refusedRates = {115200}; }},
      {"BIOS at 38400", O::BiosMode, m::kBiosMode, {38400}, "", 77,
       [](D& d) { d.firmwareRates = {}, d.biosRates = {38400, 115200}; }},
      {"BIOS at 115200", O::BiosMode, m::kBiosMode, {38400, 115200}, "", 77,
       [](D& d) { d.firmwareRates = {}, d.biosRates = {115200}; }},
      {"silence at both rates", O::NoAnswer, m::kNoAnswer, {38400, 115200}, "", 77,
       [](D& d) { d.firmwareRates = {}; }},
      {"no version", O::VersionUnknown, m::kNoVersion, {38400}, "", 77,
       [](D& d) { d.idReply = "DAVOZI Ambrel\r\n"; }},
      {"enter-host write fails", O::EnterHostFailed, "", {38400}, "", 10466,
       [](D& d) { d.failWritesAfter = std::string(line::kIdentify); }},
      {"Y answers 11", O::BadChannelCount, m::kBadChannelCount, {38400}, yOnly, 10466,
       [](D& d) { d.yAnswer = "11"; }},
      {"Y answers a letter", O::BadChannelCount, m::kBadChannelCount, {38400}, yOnly, 10466,
       [](D& d) { d.yAnswer = "A"; }},
      {"Y answers code 0", O::BadChannelCount, m::kBadChannelCount, {38400}, yOnly, 10466,
       [](D& d) { d.yAnswer = ""; }},
      {"Y unanswered", O::BadChannelCount, m::kBadChannelCount, {38400}, yOnly, 10466,
       [](D& d) { d.yAnswer.reset(); }},
      {"channel 2 connected", O::LinkConnected, m::kLinkConnected, {38400}, upTo2, 10466,
       [](D& d) { d.channelAnswers[2] = "CHANNEL CONNECTED to DL1ABC"; }},
      {"channel 2 in other case", O::LinkConnected, m::kLinkConnected, {38400}, upTo2, 10466,
       [](D& d) { d.channelAnswers[2] = "channel not connected"; }},
      // Cautious still, but saying what happened.
      {"channel 2 silent", O::LinkQueryUnanswered, m::kLinkQueryUnanswered, {38400}, upTo2, 10466,
       [](D& d) { d.channelAnswers[2] = std::nullopt; }},
      {"leave frame fails", O::LeaveHostFailed, "", {38400}, yOnly, 10466,
       [](D& d) { d.yAnswer = "0", d.failWritesAfter = std::string("\0\1\0Y", 4); }},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::FakeLink<FakeAmbrel> rig;
    auto& [clock, device, opener] = rig;
    device.opener = &opener;
    c.setup(device);
    LinkSettings settings{"ttyACM0", 115200};
    DeviceLink link{opener, settings, clock};
    DeviceState state;
    state.firmwareVersion = 77;
    const CancelFlag cancel;

    const CheckResult r = RunConfigurationCheck(link, state, cancel);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.message.text, c.message);
    EXPECT_EQ(r.passed(), c.outcome == CheckOutcome::Passed);
    EXPECT_EQ(r.openError, c.outcome == CheckOutcome::OpenFailed ? EBUSY : 0u);
    const bool busy =
        c.outcome == CheckOutcome::LinkConnected || c.outcome == CheckOutcome::LinkQueryUnanswered;
    EXPECT_EQ(r.busyChannel, busy ? 2 : 0);
    if (r.passed()) {
      EXPECT_EQ(r.channels, 3);
    }
    EXPECT_EQ(state.firmwareVersion, c.version);
    if (c.version != 77) {
      EXPECT_EQ(state.firmwareText, " V.1.4b");
    }
    EXPECT_EQ(opener.openCount(), 0) << "port left open";
    EXPECT_EQ(device.inHostMode, c.outcome == CheckOutcome::LeaveHostFailed);

    std::vector<uint32_t> opens;
    for (const LineEvent& e : opener.events()) {
      if (e.kind == LineEvent::Open || e.kind == LineEvent::OpenFailed) opens.push_back(e.baudRate);
    }
    EXPECT_EQ(opens, c.opens);
    EXPECT_EQ(r.baudRate, opens.back());
    if (opens.size() == 2) {
      EXPECT_EQ(clock.sleeps().front(), 5u) << "pause before reopening";
    }

    std::string frames;
    bool host = false;
    for (const std::string& w : opener.Writes()) {
      if (host) frames += (frames.empty() ? "" : " ") + std::to_string(w[0]) + ":" + w.substr(3);
      host = host || w == kEnterHost;
    }
    EXPECT_EQ(frames, c.hostFrames);
  }
}

TEST(ConfigurationCheck, ChannelCountOfTheYAnswer) {
  const std::map<std::string, int> cases = {
      {" 4 \r\n", 4}, {"0", 0}, {"10", 10}, {"2 channels", 2}, {"-1", -1}, {"  ", -1}, {"100", -1}};
  for (const auto& [answer, count] : cases) EXPECT_EQ(ParseChannelCount(answer), count) << answer;
}

TEST(ConfigurationCheck, FileOnlyModeTouchesNoPort) {
  testing::FakeLink<FakeAmbrel> rig;
  auto& [clock, device, opener] = rig;
  LinkSettings settings{"ttyACM0", 38400};
  DeviceLink link{opener, settings, clock};
  DeviceState state{10466, " V.1.4b", true};
  const CancelFlag cancel;
  EXPECT_EQ(RunConfigurationCheck(link, state, cancel).outcome, CheckOutcome::FileOnly);
  EXPECT_EQ(state.firmwareVersion, -1);
  EXPECT_TRUE(opener.events().empty());
}

}  // namespace
}  // namespace vextune
