#include <gtest/gtest.h>

#include <string>

#include "fake_clock.h"
#include "sim/davozi_simulator.h"
#include "sim/device_core.h"

namespace vextune::sim {
namespace {

using vextune::testing::FakeClock;

std::string Frame(const std::string& text, uint8_t channel = 0, uint8_t kind = 1) {
  return std::string{static_cast<char>(channel), static_cast<char>(kind),
                     static_cast<char>(text.size() - 1)} +
         text;
}

/// Answer (channel, code, text, 0) or (channel, 0).
std::string Answer(uint8_t channel, uint8_t code, const std::string& text = "") {
  std::string a{static_cast<char>(channel), static_cast<char>(code)};
  if (code != 0) a += text + std::string(1, '\0');
  return a;
}

class HostModeTest : public ::testing::Test {
 protected:
  void PowerOn() {
    device_ = std::make_unique<DeviceCore>(options_, *FirmwareNumber(options_.firmware), clock_);
    std::string error;
    ASSERT_TRUE(device_->PowerOn(nullptr, &error)) << error;
    ASSERT_EQ(Feed("\x1bJHOST1\r"), "");
    ASSERT_EQ(device_->Mode(), DeviceMode::Host);
  }
  std::string Feed(const std::string& bytes) {
    std::string out;
    for (char c : bytes) out += device_->Feed(static_cast<uint8_t>(c));
    return out;
  }

  FakeClock clock_;
  SimulatorOptions options_;
  std::unique_ptr<DeviceCore> device_;
};

TEST_F(HostModeTest, AnswersEveryFrameOnceWithTheFittingCode) {
  options_.connected = {2};
  PowerOn();
  struct Case {
    uint8_t channel;
    const char* text;
    std::string answer;
  } cases[] = {
      {0, "Y", Answer(0, 1, "10")},
      {0, "y", Answer(0, 1, "10")},
      {0, "%AT", Answer(0, 1, "APRS Beacon/Timer = 900 s")},
      {0, "%AT 1800", Answer(0, 0)},
      {0, "%AT", Answer(0, 1, "APRS Beacon/Timer = 1800 s")},
      {0, "%AT 5", Answer(0, 2, "INVALID VALUE: %AT")},
      {0, "QQ", Answer(0, 2, "INVALID COMMAND: QQ")},
      {0, "I DAVOZI", Answer(0, 0)},
      {0, "%AM NONE", Answer(0, 0)},
      {0, "%AM", Answer(0, 1, "APRS Mycall = NONE")},
      {0, "%AM DL1ABC", Answer(0, 0)},
      {0, "%AM", Answer(0, 1, "APRS Mycall = DL1ABC")},
      {1, "C", Answer(1, 1, "CHANNEL NOT CONNECTED")},
      {2, "C", Answer(2, 1, "CONNECTED to SIM-2")},
      {11, "C", Answer(11, 2, "INVALID CHANNEL NUMBER")},
      {2, "D", Answer(2, 0)},
      {2, "C", Answer(2, 1, "CHANNEL NOT CONNECTED")},
      {0, "V", Answer(0, 1, "DAVOZI V.1.4b, DSP packet-radio TNC (simulated)")},
      {0, "JHOST1", Answer(0, 0)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Feed(Frame(c.text, c.channel)), c.answer) << c.text;
  }
  // Data for a link is taken without a word.
  EXPECT_EQ(Feed(Frame("hello", 3, 0)), Answer(3, 0));
  EXPECT_EQ(Feed(Frame("JHOST0")), Answer(0, 0));
  EXPECT_EQ(device_->Mode(), DeviceMode::Command);
}

TEST_F(HostModeTest, FramesMayCarryAnyByteAndTheLongestText) {
  PowerOn();
  // ESC and CR inside a frame are text, not command-mode framing: the whole
  // text reaches the store, which refuses control characters in texts.
  EXPECT_EQ(Feed(Frame("%AC a\x1b\rb")), Answer(0, 2, "INVALID VALUE: %AC"));
  EXPECT_EQ(device_->Store().Params().m_AprsComment.text, "");
  EXPECT_EQ(Feed(Frame("%AC a\xff\x80"
                       "b")),
            Answer(0, 0));
  EXPECT_EQ(device_->Store().Params().m_AprsComment.text,
            "a\xff\x80"
            "b");
  const std::string longest(256, 'Z');
  EXPECT_EQ(Feed(Frame(longest)).substr(0, 2), std::string("\0\x02", 2));
  EXPECT_EQ(Feed(Frame("Y")), Answer(0, 1, "10"));
}

TEST_F(HostModeTest, ChannelOptionAndRepliesShapeTheAnswers) {
  options_.channels = 3;
  options_.replies = {{"Y", " 3"}, {"%AT", "APRS Beacon/Timer = 5"}, {"%AC", ""}};
  PowerOn();
  EXPECT_EQ(Feed(Frame("Y")), Answer(0, 1, " 3"));
  EXPECT_EQ(Feed(Frame("y")), Answer(0, 1, "3")) << "a reply replaces only its exact query";
  EXPECT_EQ(Feed(Frame("C", 4)), Answer(4, 2, "INVALID CHANNEL NUMBER"));
  EXPECT_EQ(Feed(Frame("Y 4")), Answer(0, 0));
  EXPECT_EQ(Feed(Frame("C", 4)), Answer(4, 1, "CHANNEL NOT CONNECTED"));
  EXPECT_EQ(Feed(Frame("%AT")), Answer(0, 1, "APRS Beacon/Timer = 5"));
  EXPECT_EQ(Feed(Frame("%AC")), Answer(0, 1, ""));
  EXPECT_EQ(Feed(Frame("%AT 1800")), Answer(0, 0));
  EXPECT_EQ(device_->Store().Params().m_AprsInterval.value, 1800);
}

TEST_F(HostModeTest, CodeZeroFaultDropsEveryAnswerText) {
  options_.hostCode0 = true;
  PowerOn();
  EXPECT_EQ(Feed(Frame("Y")), Answer(0, 0));
  EXPECT_EQ(Feed(Frame("C", 1)), Answer(1, 0));
  EXPECT_EQ(Feed(Frame("JHOST0")), Answer(0, 0));
  EXPECT_EQ(device_->Mode(), DeviceMode::Command);
}

TEST_F(HostModeTest, GarbageFaultSendsThreeHundredBytesWithoutAZero) {
  options_.garbage = true;
  PowerOn();
  const std::string answer = Feed(Frame("Y"));
  ASSERT_EQ(answer.size(), 2u + 300u + 1u);
  EXPECT_EQ(answer.substr(0, 2), std::string("\0\x01", 2));
  EXPECT_EQ(answer.find('\0', 2), answer.size() - 1);
  // Settings still answer with code 0, and the way out still works.
  EXPECT_EQ(Feed(Frame("T 30")), Answer(0, 0));
  EXPECT_EQ(Feed(Frame("JHOST0")), Answer(0, 0));
}

TEST_F(HostModeTest, CommandModeIsSilentExceptForItsReplies) {
  options_.sReply = "x* 3 *";
  device_ = std::make_unique<DeviceCore>(options_, 10466, clock_);
  std::string error;
  ASSERT_TRUE(device_->PowerOn(nullptr, &error));
  EXPECT_EQ(Feed("\x1b\r"), "");
  EXPECT_EQ(Feed("\x1bX 0\r\x1b%AP APRS WIDE\r"), "");
  EXPECT_EQ(Feed("plain text for the link\r"), "");
  EXPECT_EQ(Feed("\x1bS\r"), "x* 3 *");
  EXPECT_EQ(Feed("\x1bT 500\r"), "\r\nINVALID VALUE: T\r\n");
  EXPECT_EQ(Feed("\x1b%AL\r"), "\r\nAPRS Autospeed = 1\r\n");
  // A line broken off by ESC is forgotten.
  EXPECT_EQ(Feed("\x1bT 9\x1bT 40\r"), "");
  EXPECT_EQ(device_->Store().Params().m_TxDelay.value, 40);
  EXPECT_EQ(device_->Store().Params().m_Ptt.value, 0);
  EXPECT_EQ(device_->Store().Params().m_AprsVia1.text, "WIDE");
}

}  // namespace
}  // namespace vextune::sim
