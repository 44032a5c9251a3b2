#include "link/device_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "fake_serial.h"

namespace vextune {
namespace {

using testing::Bytes;
using testing::FakeClock;
using testing::FakeLine;
using testing::FakeSerialOpener;
using testing::LambdaDevice;
using testing::LineEvent;
using testing::ToBytes;

const std::string kWakeUp(line::kWakeUp);
const std::string kIdentify(line::kIdentify);
const std::string kIdReply = "DAVOZI Ambrel V.1.4b, (C) Olvane\r\n";

/// A device that answers the identification at some rates and the wake-up
/// with the BIOS prompt at others.
struct ScriptedDevice {
  std::vector<uint32_t> firmwareRates;
  std::vector<uint32_t> biosRates;
  std::string idReply = kIdReply;

  static bool Has(const std::vector<uint32_t>& rates, uint32_t r) {
    return std::find(rates.begin(), rates.end(), r) != rates.end();
  }
  void operator()(const Bytes& bytes, uint32_t baud, FakeLine& line) const {
    const std::string text(bytes.begin(), bytes.end());
    if (text == kIdentify && Has(firmwareRates, baud)) line.Send(idReply, 2, 1);
    if (text == kWakeUp && Has(biosRates, baud)) line.Send("\r\ncmd:", 2, 1);
  }
};

class DeviceProtocolTest : public ::testing::Test {
 protected:
  void UseDevice(ScriptedDevice script) {
    handler_ = [script](const Bytes& b, uint32_t baud, FakeLine& l) { script(b, baud, l); };
  }
  SerialCode Open() { return OpenComPort(opener_, settings_, port_); }
  std::vector<LineEvent::Kind> EventKinds() const {
    std::vector<LineEvent::Kind> kinds;
    for (const auto& e : opener_.events()) kinds.push_back(e.kind);
    return kinds;
  }

  FakeClock clock_;
  LambdaDevice::Handler handler_ = [](const Bytes&, uint32_t, FakeLine&) {};
  LambdaDevice device_{
      [this](const Bytes& b, uint32_t baud, FakeLine& l) { handler_(b, baud, l); }};
  FakeSerialOpener opener_{clock_, device_};
  LinkSettings settings_{"ttyACM0", 38400};
  DeviceLink link_{opener_, settings_, clock_};
  ComPortHandle port_;
};

TEST_F(DeviceProtocolTest, OpenCorrectsBaudRateAndBuildsDevicePath) {
  struct Case {
    std::string name;
    uint32_t rate, expectedRate;
    std::string path;
  };
  const std::vector<Case> cases = {
      {"ttyACM0", 14400, 38400, "/dev/ttyACM0"},
      {"ttyUSB1", 115200, 115200, "/dev/ttyUSB1"},
      {"/dev/pts/7", 300, 300, "/dev/pts/7"},
      {"ttyS0", 0, 38400, "/dev/ttyS0"},
  };
  for (const auto& c : cases) {
    settings_ = {c.name, c.rate};
    ASSERT_EQ(Open(), kSerialOk);
    EXPECT_EQ(settings_.baudRate, c.expectedRate) << c.name;
    EXPECT_EQ(opener_.events().back().baudRate, c.expectedRate) << c.name;
    EXPECT_EQ(opener_.events().back().path, c.path);
    CloseComPort(port_);
  }
}

TEST_F(DeviceProtocolTest, ReadTimeOutsOnTopOfComPort) {
  ASSERT_EQ(Open(), kSerialOk);
  uint8_t buffer[64] = {};
  size_t got = 99;
  const uint64_t t0 = clock_.NowMs();
  EXPECT_EQ(ReadComPort(port_, buffer, 40, &got), kSerialTimeout);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(clock_.NowMs() - t0, 2100u);

  // 25 of 40 bytes: the read ends 50 ms after the 25th byte, bytes kept.
  opener_.line().Send(std::string(25, 'x'), 10, 2);
  const uint64_t t1 = clock_.NowMs();
  EXPECT_EQ(ReadComPort(port_, buffer, 40, &got), kSerialTimeout);
  EXPECT_EQ(got, 25u);
  EXPECT_EQ(buffer[24], 'x');
  EXPECT_EQ(clock_.NowMs() - t1, 10u + 24u * 2u + 50u);

  // Drain: a silent line ends it after 150 ms; a chattering one keeps it going.
  const uint64_t t2 = clock_.NowMs();
  EXPECT_EQ(DrainComPort(port_), kSerialOk);
  EXPECT_EQ(clock_.NowMs() - t2, 150u);
  opener_.line().Send(std::string(10, 'y'), 1, 100);
  EXPECT_EQ(DrainComPort(port_), kSerialOk);
  EXPECT_EQ(opener_.line().Pending(), 0u);

  CloseComPort(port_);
  CloseComPort(port_);  // harmless twice
  EXPECT_FALSE(port_);
  EXPECT_EQ(ReadComPort(port_, buffer, 1), static_cast<SerialCode>(EBADF));
  EXPECT_EQ(opener_.openCount(), 0);
}

TEST_F(DeviceProtocolTest, ProbeTellsTheThreeModesApart) {
  struct Case {
    ScriptedDevice device;
    ProbeMode mode;
    std::vector<std::string> writes;
  };
  const std::vector<Case> cases = {
      {{{38400}, {}}, ProbeMode::NormalFirmware, {kWakeUp, kIdentify}},
      {{{}, {38400}}, ProbeMode::Bios, {kWakeUp, kIdentify, kWakeUp, kWakeUp}},
      {{{}, {}}, ProbeMode::NoAnswer, {kWakeUp, kIdentify, kWakeUp, kWakeUp}},
      // "DAVOZI" behind a zero byte is not seen: replies are text.
      {{{38400}, {}, std::string("V.1.0\0DAVOZI", 12)},
       ProbeMode::NoAnswer,
       {kWakeUp, kIdentify, kWakeUp, kWakeUp}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    FakeSerialOpener opener(clock_, device_);
    UseDevice(cases[i].device);
    ComPortHandle port;
    ASSERT_EQ(OpenComPort(opener, settings_, port), kSerialOk);
    const ProbeResult r = ProbeDevice(port, 40);
    EXPECT_EQ(r.mode, cases[i].mode) << "case " << i;
    EXPECT_EQ(opener.Writes(), cases[i].writes) << "case " << i;
    EXPECT_EQ(opener.line().Pending(), 0u) << "replies are drained";
  }
}

TEST_F(DeviceProtocolTest, ProbeKeepsReplyLengthAndShortReplies) {
  UseDevice({{38400}, {}, "DAVOZI" + std::string(60, '-')});
  ASSERT_EQ(Open(), kSerialOk);
  EXPECT_EQ(ProbeDevice(port_, 20).reply.size(), 20u);
  UseDevice({{38400}, {}, "xx DAVOZI V.1.2,"});
  const ProbeResult r = ProbeDevice(port_, 40);
  EXPECT_EQ(r.mode, ProbeMode::NormalFirmware);
  EXPECT_EQ(r.reply, "xx DAVOZI V.1.2,");
}

TEST_F(DeviceProtocolTest, FallbackKeepsFirstRateWhenTheDeviceAnswers) {
  UseDevice({{38400, 115200}, {}});
  ASSERT_EQ(Open(), kSerialOk);
  const FallbackProbeResult r = ProbeWithFallback(link_, port_, 40, 5);
  EXPECT_EQ(r.probe.mode, ProbeMode::NormalFirmware);
  EXPECT_EQ(settings_.baudRate, 38400u);
  EXPECT_EQ(EventKinds(),
            (std::vector<LineEvent::Kind>{LineEvent::Open, LineEvent::Write, LineEvent::Write}));
}

TEST_F(DeviceProtocolTest, FallbackReopensAt115200AfterPause) {
  UseDevice({{115200}, {}});
  ASSERT_EQ(Open(), kSerialOk);
  const FallbackProbeResult r = ProbeWithFallback(link_, port_, 40, 5);
  EXPECT_EQ(r.probe.mode, ProbeMode::NormalFirmware);
  EXPECT_EQ(r.probe.reply, kIdReply);
  EXPECT_EQ(settings_.baudRate, 115200u);
  ASSERT_TRUE(port_);

  std::vector<const LineEvent*> lifecycle;
  for (const auto& e : opener_.events()) {
    if (e.kind != LineEvent::Write) lifecycle.push_back(&e);
  }
  ASSERT_EQ(lifecycle.size(), 3u);
  EXPECT_EQ(lifecycle[0]->baudRate, 38400u);
  EXPECT_EQ(lifecycle[1]->kind, LineEvent::Close);
  EXPECT_EQ(lifecycle[2]->kind, LineEvent::Open);
  EXPECT_EQ(lifecycle[2]->baudRate, 115200u);
  EXPECT_EQ(lifecycle[2]->timeMs - lifecycle[1]->timeMs, 5u);
}

TEST_F(DeviceProtocolTest, FallbackStopsAfterSecondRate) {
  UseDevice({{}, {}});
  ASSERT_EQ(Open(), kSerialOk);
  EXPECT_EQ(ProbeWithFallback(link_, port_, 40, 5).probe.mode, ProbeMode::NoAnswer);
  int opens = 0;
  for (const auto& e : opener_.events()) opens += e.kind == LineEvent::Open;
  EXPECT_EQ(opens, 2);
}

TEST(DeviceProtocolReopen, FailedReopenIsReportedAndLeavesPortClosed) {
  FakeClock clock;
  struct Device : testing::FakeDevice {
    SerialCode OnOpen(uint32_t baud) override { return baud == 115200 ? EBUSY : kSerialOk; }
    void OnWrite(const Bytes&, uint32_t, FakeLine&) override {}
  } device;
  FakeSerialOpener opener(clock, device);
  LinkSettings settings{"ttyACM0", 38400};
  DeviceLink link{opener, settings, clock};
  ComPortHandle port;
  ASSERT_EQ(OpenComPort(opener, settings, port), kSerialOk);
  const FallbackProbeResult r = ProbeWithFallback(link, port, 40, 5);
  EXPECT_EQ(r.reopenError, static_cast<SerialCode>(EBUSY));
  EXPECT_FALSE(port);
  EXPECT_EQ(opener.openCount(), 0);
}

TEST_F(DeviceProtocolTest, HostFrameLayoutAndLimits) {
  ASSERT_EQ(Open(), kSerialOk);
  struct Case {
    uint8_t channel;
    std::string text;
    bool ok;
    Bytes frame;
  };
  const std::string longest(253, 'Q');
  Bytes longestFrame = {0, 1, 252};
  longestFrame.insert(longestFrame.end(), longest.begin(), longest.end());
  const std::vector<Case> cases = {
      {0, "Y", true, {0, 1, 0, 'Y'}},
      {3, "C", true, {3, 1, 0, 'C'}},
      {0, "%AP", true, {0, 1, 2, '%', 'A', 'P'}},
      {0, longest, true, longestFrame},
      {0, std::string(254, 'Q'), false, {}},
      {0, "", false, {}},
  };
  for (const auto& c : cases) {
    const size_t writesBefore = opener_.Writes().size();
    EXPECT_EQ(SendHostFrame(port_, c.channel, c.text), c.ok) << c.text.size();
    if (c.ok) {
      ASSERT_EQ(opener_.Writes().size(), writesBefore + 1);
      EXPECT_EQ(opener_.events().back().bytes, c.frame);
    } else {
      EXPECT_EQ(opener_.Writes().size(), writesBefore) << "nothing written";
    }
  }
  EXPECT_EQ(longestFrame.size(), 256u);
  opener_.FailWrites(EIO);
  EXPECT_FALSE(SendHostFrame(port_, 0, "Y"));
}

TEST_F(DeviceProtocolTest, HostAnswerParsing) {
  struct Case {
    const char* what;
    Bytes answer;
    std::string text;
  };
  auto withText = [](uint8_t code, const std::string& text, bool zero = true) {
    Bytes b = {0, code};
    b.insert(b.end(), text.begin(), text.end());
    if (zero) b.push_back(0);
    return b;
  };
  const std::vector<Case> cases = {
      {"code 1 with text", withText(1, "10"), "10"},
      {"code 2 (error) with text", withText(2, "INVALID COMMAND"), "INVALID COMMAND"},
      {"code 0", {0, 0}, ""},
      {"zero right after the code", withText(1, ""), ""},
      {"256 bytes without zero", withText(1, std::string(254, 'a'), false), ""},
      {"zero at the last position", withText(1, std::string(253, 'a')), std::string(253, 'a')},
      {"answer breaks off", withText(1, "CHANNEL NOT", false), ""},
      {"channel byte only", {0}, ""},
      {"silence", {}, ""},
  };
  ASSERT_EQ(Open(), kSerialOk);
  for (const auto& c : cases) {
    opener_.line().Clear();
    opener_.line().Send(c.answer, 2, 1);
    const size_t sleeps = clock_.sleeps().size();
    EXPECT_EQ(ReadHostAnswer(port_, clock_), c.text) << c.what;
    ASSERT_EQ(clock_.sleeps().size(), sleeps + 1);
    EXPECT_EQ(clock_.sleeps().back(), 10u);
  }
  // Bytes behind the zero belong to the next answer.
  opener_.line().Clear();
  opener_.line().Send(withText(1, "one"));
  opener_.line().Send(withText(1, "two"));
  EXPECT_EQ(ReadHostAnswer(port_, clock_), "one");
  EXPECT_EQ(ReadHostAnswer(port_, clock_), "two");
}

TEST_F(DeviceProtocolTest, HostCommandKeepsAnswerOnFailure) {
  std::string reply = "\x01";
  handler_ = [&](const Bytes& b, uint32_t, FakeLine& line) {
    if (b.size() > 3) line.Send(Bytes{b[0], 1}), line.Send(reply), line.Send(Bytes{0});
  };
  ASSERT_EQ(Open(), kSerialOk);
  std::string answer = "previous";
  reply = "CHANNEL NOT CONNECTED";
  EXPECT_TRUE(HostCommand(port_, clock_, 1, "C", answer));
  EXPECT_EQ(answer, "CHANNEL NOT CONNECTED");

  reply = "";  // code 1 with empty text counts as no answer
  EXPECT_FALSE(HostCommand(port_, clock_, 2, "C", answer));
  EXPECT_EQ(answer, "CHANNEL NOT CONNECTED");
  EXPECT_FALSE(HostCommand(port_, clock_, 2, "", answer));
  opener_.FailWrites(EIO);
  EXPECT_FALSE(HostCommand(port_, clock_, 2, "C", answer));
  EXPECT_EQ(answer, "CHANNEL NOT CONNECTED");
}

TEST(DeviceProtocolFrames, LeaveHostModeFrameBytes) {
  EXPECT_EQ(ToBytes(LeaveHostModeFrame()), (Bytes{0x00, 0x01, 0x05, 'J', 'H', 'O', 'S', 'T', '0'}));
}

TEST(FirmwareVersionParser, ParsesAndRefuses) {
  struct Case {
    std::string reply;
    std::optional<int32_t> number;
    std::string text;
  };
  const std::vector<Case> cases = {
      {kIdReply, 10466, " V.1.4b"},
      {"DAVOZI V.1.4B, x", 10466, " V.1.4B"},
      {"DAVOZI V.1.2,", 10200, " V.1.2"},
      {"DAVOZI V.1.0q,", 10081, " V.1.0q"},
      {"DAVOZI V.1.1j,1.1k,", 10174, " V.1.1j"},
      {"DAVOZI V.2.10,", 21000, " V.2.10"},
      {"DAVOZI V.12.05z,", 120590, " V.12.05z"},
      {"DAVOZI v.1.4b,", std::nullopt, ""},       // lower-case v
      {"DAVOZI V1.4b,", std::nullopt, ""},        // no full stop after V
      {"DAVOZI V.1.4b", std::nullopt, ""},        // no comma
      {"DAVOZI V.14b,", std::nullopt, ""},        // no full stop in the version
      {"DAVOZI V.1,4.b", std::nullopt, ""},       // full stop behind the comma
      {"DAVOZI V..4b,", std::nullopt, ""},        // no major number
      {"DAVOZI V.1.b,", std::nullopt, ""},        // no minor number
      {"DAVOZI V.x.4b,", std::nullopt, ""},       // major not a number
      {"DAVOZI V.1.4bb,", std::nullopt, ""},      // two letters
      {"DAVOZI V.1.123,", std::nullopt, ""},      // minor too long
      {"DAVOZI V.9999999.1,", std::nullopt, ""},  // would overflow
      {"", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const auto v = ParseFirmwareVersion(c.reply);
    ASSERT_EQ(v.has_value(), c.number.has_value()) << c.reply;
    if (!v) continue;
    EXPECT_EQ(v->number, *c.number) << c.reply;
    EXPECT_EQ(v->text, c.text) << c.reply;
  }
}

}  // namespace
}  // namespace vextune
