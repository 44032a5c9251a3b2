#include "link/device_protocol.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fake_serial.h"

namespace vextune {
namespace {

using testing::Bytes;
using testing::FakeLine;

const std::string kWake(line::kWakeUp);
const std::string kId(line::kIdentify);
const std::string kIdReply = "DAVOZI Ambrel V.1.4b, (C) Olvane\r\n";

/// Identifies itself at `firmware` rates, prompts "cmd:" after a wake-up at
/// `bios` rates. (The fallback to 115200 is pinned by the configuration check.)
struct ScriptedDevice : testing::FakeDevice {
  std::set<uint32_t> firmware, bios;
  std::string idReply = kIdReply;
  void OnWrite(const Bytes& bytes, uint32_t baud, FakeLine& line) override {
    const std::string text(bytes.begin(), bytes.end());
    if (text == kId && firmware.count(baud)) line.Send(idReply, 2, 1);
    if (text == kWake && bios.count(baud)) line.Send("\r\ncmd:", 2, 1);
  }
};

/// One device, line and port, fresh for every case.
struct Rig : testing::FakeLink<ScriptedDevice> {
  LinkSettings settings{"ttyACM0", 38400};
  ComPortHandle port;
  SerialCode Open() { return OpenComPort(opener, settings, port); }
};

TEST(DeviceProtocol, OpenCorrectsBaudRateAndBuildsDevicePath) {
  Rig rig;
  rig.settings = {"ttyUSB1", 14400};
  ASSERT_EQ(rig.Open(), kSerialOk);
  EXPECT_EQ(rig.settings.baudRate, 38400u);
  EXPECT_EQ(rig.opener.events().back().baudRate, 38400u);
  EXPECT_EQ(rig.opener.events().back().path, "/dev/ttyUSB1");
  rig.settings = {"/dev/pts/7", 300};
  ASSERT_EQ(rig.Open(), kSerialOk);
  EXPECT_EQ(rig.opener.events().back().baudRate, 300u);
  EXPECT_EQ(rig.opener.events().back().path, "/dev/pts/7");
}

TEST(DeviceProtocol, ReadTimeOutRule) {
  Rig rig;
  ASSERT_EQ(rig.Open(), kSerialOk);
  uint8_t buffer[64] = {};
  size_t got = 99;
  // Silence: 100 ms + 50 ms per requested byte.
  uint64_t t = rig.clock.NowMs();
  EXPECT_EQ(ReadComPort(rig.port, buffer, 40, &got), kSerialTimeout);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(rig.clock.NowMs() - t, 2100u);

  // 25 of 40 bytes: the read ends 50 ms after the 25th byte, bytes kept.
  rig.opener.line().Send(std::string(25, 'x'), 10, 2);
  t = rig.clock.NowMs();
  EXPECT_EQ(ReadComPort(rig.port, buffer, 40, &got), kSerialTimeout);
  EXPECT_EQ(got, 25u);
  EXPECT_EQ(buffer[24], 'x');
  EXPECT_EQ(rig.clock.NowMs() - t, 10u + 24u * 2u + 50u);

  // Drain: a silent line ends it after 150 ms; a chattering one keeps it going.
  t = rig.clock.NowMs();
  EXPECT_EQ(DrainComPort(rig.port), kSerialOk);
  EXPECT_EQ(rig.clock.NowMs() - t, 150u);
  rig.opener.line().Send(std::string(10, 'y'), 1, 100);
  EXPECT_EQ(DrainComPort(rig.port), kSerialOk);
  EXPECT_EQ(rig.opener.line().Pending(), 0u);
}

TEST(DeviceProtocol, DrainGivesUpOnALineThatKeepsTalking) {
  struct Case {
    const char* what;
    size_t bytes;
    uint32_t gapMs;
    SerialCode code;
    uint64_t tookMs;  ///< fake time the drain took
  };
  const std::vector<Case> cases = {
      {"burst, then silence", 300, 0, kSerialOk, 1 + 150},
      {"a byte every 140 ms, ending", 14, 140, kSerialOk, 1 + 13 * 140 + 150},
      {"flood", 100000, 0, kSerialNoSilence, 1},                          // stops at the byte limit
      {"a byte every 40 ms", 100000, 40, kSerialNoSilence, 1 + 50 * 40},  // at the time limit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    ASSERT_EQ(rig.Open(), kSerialOk);
    rig.opener.line().Send(std::string(c.bytes, 'z'), 1, c.gapMs);
    const uint64_t start = rig.clock.NowMs();
    EXPECT_EQ(DrainComPort(rig.port), c.code);
    EXPECT_EQ(rig.clock.NowMs() - start, c.tookMs);
    if (c.code == kSerialOk) {
      EXPECT_TRUE(rig.opener.faults().empty());
      continue;
    }
    EXPECT_LE(c.bytes - rig.opener.line().Pending(), kDrainLimitBytes);
    // The line is failed for good: nothing waits on it any more.
    EXPECT_EQ(rig.opener.faults(), std::vector<SerialCode>{kSerialNoSilence});
    uint8_t byte = 0;
    size_t got = 0;
    const uint64_t after = rig.clock.NowMs();
    EXPECT_EQ(ReadComPort(rig.port, &byte, 1, &got), kSerialNoSilence);
    EXPECT_EQ(WriteComPort(rig.port, kWake), kSerialNoSilence);
    EXPECT_LE(rig.clock.NowMs() - after, 1u);
    EXPECT_FALSE(LineFaultText(kSerialNoSilence).empty());
  }
}

TEST(DeviceProtocol, WritesAreBoundedByTheirTimeOnTheLine) {
  EXPECT_EQ(LineTimeMs(3840, 38400), 1000u);
  EXPECT_EQ(LineTimeMs(1, 115200), 1u);  // rounded up
  EXPECT_EQ(WriteTimeLimitMs(65536, 38400), 17067u + kWriteMarginMs);
}

TEST(DeviceProtocol, ReadGivesUpByTheIntervalOrTheTotal) {
  struct Case {
    size_t n, received;
    double lastByteMs;
    double giveUpMs;  ///< with the read started at 1000
  };
  const Case cases[] = {
      {10, 0, 0, 1000 + 100 + 500},  // nothing yet: the total time-out
      {10, 3, 1030, 1030 + 50},      // the gap after the last byte
      {10, 9, 1580, 1600},           // the total comes first
      {1, 0, 0, 1150},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadGiveUpMs(1000, c.n, c.received, c.lastByteMs), c.giveUpMs)
        << c.n << " " << c.received;
  }
}

TEST(DeviceProtocol, ProbeTellsTheThreeModesApart) {
  const std::vector<std::string> notFirmware = {kWake, kId, kWake, kWake};
  struct Case {
    std::set<uint32_t> firmware, bios;
    std::string idReply;
    ProbeMode mode;
    std::vector<std::string> writes;
  };
  const std::vector<Case> cases = {
      {{38400}, {}, kIdReply, ProbeMode::NormalFirmware, {kWake, kId}},
      {{}, {38400}, kIdReply, ProbeMode::Bios, notFirmware},
      {{}, {}, kIdReply, ProbeMode::NoAnswer, notFirmware},
      // "DAVOZI" behind a zero byte is not seen: replies are text.
      {{38400}, {}, std::string("V.1.0\0DAVOZI", 12), ProbeMode::NoAnswer, notFirmware},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Rig rig;
    rig.device.firmware = cases[i].firmware;
    rig.device.bios = cases[i].bios;
    rig.device.idReply = cases[i].idReply;
    ASSERT_EQ(rig.Open(), kSerialOk);
    EXPECT_EQ(ProbeDevice(rig.port, 40).mode, cases[i].mode) << "case " << i;
    EXPECT_EQ(rig.opener.Writes(), cases[i].writes) << "case " << i;
    EXPECT_EQ(rig.opener.line().Pending(), 0u) << "replies are drained";
  }
}

TEST(DeviceProtocol, ProbeOrderDecidesWhichModeIsAskedFirst) {
  using O = ProbeOrder;
  using M = ProbeMode;
  const std::vector<std::string> firmwareThenBios = {kWake, kId, kWake, kWake};
  const std::vector<std::string> biosThenFirmware = {kWake, kWake, kWake, kId};
  struct Case {
    O order;
    std::set<uint32_t> firmware, bios;
    M mode;
    std::vector<std::string> writes;
    bool identified;  // the identification reply was read
  };
  const std::vector<Case> cases = {
      {O::FirmwareFirst, {38400}, {}, M::NormalFirmware, {kWake, kId}, true},
      {O::FirmwareFirst, {}, {38400}, M::Bios, firmwareThenBios, false},
      {O::FirmwareFirst, {}, {}, M::NoAnswer, firmwareThenBios, false},
      {O::BiosFirst, {}, {38400}, M::Bios, {kWake, kWake}, false},
      {O::BiosFirst, {38400}, {}, M::NormalFirmware, biosThenFirmware, true},
      {O::BiosFirst, {}, {}, M::NoAnswer, biosThenFirmware, false},
      // At another rate the device hears nothing, whichever way it is asked.
      {O::BiosFirst, {115200}, {115200}, M::NoAnswer, biosThenFirmware, false},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    Rig rig;
    rig.device.firmware = c.firmware;
    rig.device.bios = c.bios;
    ASSERT_EQ(rig.Open(), kSerialOk);
    const ProbeResult result = ProbeDevice(rig.port, 40, c.order);
    EXPECT_EQ(result.mode, c.mode) << "case " << i;
    EXPECT_EQ(result.reply, c.identified ? kIdReply : "") << "case " << i;
    EXPECT_EQ(result.lineError, kSerialOk) << "case " << i;
    EXPECT_EQ(rig.opener.Writes(), c.writes) << "case " << i;
    EXPECT_EQ(rig.opener.line().Pending(), 0u) << "replies are drained, case " << i;
  }
}

TEST(DeviceProtocol, ProbeStopsAtAFailedWriteInEitherOrder) {
  for (ProbeOrder order : {ProbeOrder::FirmwareFirst, ProbeOrder::BiosFirst}) {
    Rig rig;
    rig.device.bios = {38400};
    ASSERT_EQ(rig.Open(), kSerialOk);
    rig.opener.FailWrites(EIO);
    const ProbeResult result = ProbeDevice(rig.port, 40, order);
    EXPECT_EQ(result.mode, ProbeMode::NoAnswer);
    EXPECT_EQ(result.lineError, static_cast<SerialCode>(EIO));
    EXPECT_EQ(rig.opener.Writes(), std::vector<std::string>{kWake})
        << "nothing after the failed one";
  }
}

TEST(DeviceProtocol, HostFrameLayoutAndLimits) {
  Rig rig;
  ASSERT_EQ(rig.Open(), kSerialOk);
  EXPECT_TRUE(SendHostFrame(rig.port, 3, "%AP"));
  EXPECT_EQ(rig.opener.events().back().bytes, (Bytes{3, 1, 2, '%', 'A', 'P'}));
  EXPECT_TRUE(SendHostFrame(rig.port, 0, std::string(253, 'Q')));
  const Bytes& longest = rig.opener.events().back().bytes;
  ASSERT_EQ(longest.size(), 256u);
  EXPECT_EQ(Bytes(longest.begin(), longest.begin() + 4), (Bytes{0, 1, 252, 'Q'}));
  // The leave frame is the host frame of "JHOST0" on channel 0.
  EXPECT_TRUE(SendHostFrame(rig.port, 0, "JHOST0"));
  EXPECT_EQ(rig.opener.Writes().back(), LeaveHostModeFrame());

  const size_t writes = rig.opener.Writes().size();
  EXPECT_FALSE(SendHostFrame(rig.port, 0, std::string(254, 'Q')));
  EXPECT_FALSE(SendHostFrame(rig.port, 0, ""));
  EXPECT_EQ(rig.opener.Writes().size(), writes) << "nothing written";
  rig.opener.FailWrites(EIO);
  EXPECT_FALSE(SendHostFrame(rig.port, 0, "Y"));
}

/// A host-mode answer on channel 0.
Bytes Answer(char code, const std::string& text, bool zero = true) {
  return testing::ToBytes(std::string(1, '\0') + code + text + (zero ? std::string(1, '\0') : ""));
}

TEST(DeviceProtocol, HostAnswerParsing) {
  struct Case {
    const char* what;
    Bytes answer;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"code 1 with text", Answer(1, "10"), "10"},
      {"code 2 (error) with text", Answer(2, "INVALID COMMAND"), "INVALID COMMAND"},
      {"code 0", {0, 0}, ""},
      {"zero right after the code", Answer(1, ""), ""},
      {"256 bytes without zero", Answer(1, std::string(254, 'a'), false), ""},
      {"zero at the last position", Answer(1, std::string(253, 'a')), std::string(253, 'a')},
      {"answer breaks off", Answer(1, "CHANNEL NOT", false), ""},
      {"silence", {}, ""},
  };
  Rig rig;
  ASSERT_EQ(rig.Open(), kSerialOk);
  for (const Case& c : cases) {
    rig.opener.line().Clear();
    rig.opener.line().Send(c.answer, 2, 1);
    const size_t sleeps = rig.clock.sleeps().size();
    EXPECT_EQ(ReadHostAnswer(rig.port, rig.clock), c.text) << c.what;
    ASSERT_EQ(rig.clock.sleeps().size(), sleeps + 1);
    EXPECT_EQ(rig.clock.sleeps().back(), 10u);
  }
  // Bytes behind the zero belong to the next answer, also behind a code 0.
  rig.opener.line().Clear();
  rig.opener.line().Send(Answer(1, "one"));
  rig.opener.line().Send(Answer(1, "two"));
  EXPECT_EQ(ReadHostAnswer(rig.port, rig.clock), "one");
  EXPECT_EQ(ReadHostAnswer(rig.port, rig.clock), "two");
  rig.opener.line().Send(Bytes{0, 0});
  rig.opener.line().Send(Answer(1, "three"));
  EXPECT_EQ(ReadHostAnswer(rig.port, rig.clock), "");
  EXPECT_EQ(ReadHostAnswer(rig.port, rig.clock), "three");
}

TEST(DeviceProtocol, FirmwareVersionParsing) {
  struct Case {
    std::string reply;
    std::optional<int32_t> number;
    std::string text;
  };
  const std::vector<Case> cases = {
      {kIdReply, 10466, " V.1.4b"},
      {"DAVOZI V.1.4B, x", 10466, " V.1.4B"},
      {"DAVOZI V.1.2,", 10200, " V.1.2"},
      {"DAVOZI V.12.05z,", 120590, " V.12.05z"},
      {"DAVOZI v.1.4b,", std::nullopt, ""},   // lower-case v
      {"DAVOZI V.1.4b", std::nullopt, ""},    // no comma
      {"DAVOZI V.14b,", std::nullopt, ""},    // no full stop in the version
      {"DAVOZI V.1,4.b", std::nullopt, ""},   // full stop behind the comma
      {"DAVOZI V.1.b,", std::nullopt, ""},    // no minor number
      {"DAVOZI V.1.4bb,", std::nullopt, ""},  // two letters
      {"DAVOZI V.1.123,", std::nullopt, ""},  // minor too long
      // The major number has room for 5 digits; 6 would overflow the number.
      {"DAVOZI V.99999.99z,", 999999990, " V.99999.99z"},
      {"DAVOZI V.100000.1,", std::nullopt, ""},
      {"DAVOZI V.9999999.1,", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    const auto v = ParseFirmwareVersion(c.reply);
    ASSERT_EQ(v.has_value(), c.number.has_value()) << c.reply;
    if (!v) continue;
    EXPECT_EQ(v->number, *c.number) << c.reply;
    EXPECT_EQ(v->text, c.text) << c.reply;
  }
}

}  // namespace
}  // namespace vextune
