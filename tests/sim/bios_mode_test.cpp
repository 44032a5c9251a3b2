#include "sim/bios_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vextune::sim {
namespace {

const std::string kAck(1, '\x06');
const std::string kEsc(1, '\x1b');

class BiosModeTest : public ::testing::Test {
 protected:
  std::string Feed(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
      const Reaction r = bios_->Feed(static_cast<uint8_t>(c));
      EXPECT_FALSE(r.next.has_value());
      out += r.reply;
    }
    return out;
  }
  void Make() { bios_ = std::make_unique<BiosMode>(setup_); }
  /// "UPDATE\r" and the ACK that asks for the flash identity.
  std::string Begin() {
    EXPECT_EQ(Feed("UPDATE\r"), "");
    return Feed(kAck);
  }
  static std::string Count(uint16_t n) {
    return std::string{static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)};
  }
  /// A block whose bytes include ESC, XON and XOFF at every position class.
  static std::string Block(size_t size, uint8_t seed) {
    std::string b(size, '\0');
    const uint8_t pattern[] = {0x1B, 0x11, 0x13, 0x06, 0x00, 0x0D, 0xFF};
    for (size_t i = 0; i < size; ++i) {
      b[i] = static_cast<char>(i % 3 == 0 ? pattern[(i / 3) % 7] : (i * 31 + seed) & 0xFF);
    }
    return b;
  }

  BiosSetup setup_;
  std::unique_ptr<BiosMode> bios_;
};

TEST_F(BiosModeTest, PromptsOnWakeUpAndHasNoNormalIdentification) {
  Make();
  EXPECT_EQ(Feed("\x1b\r"), "\r\ncmd:");
  const std::string id = Feed("\x1bv\r");
  EXPECT_NE(id.find("cmd:"), std::string::npos);
  EXPECT_EQ(id.find("DAVOZI"), std::string::npos);
  EXPECT_NE(Feed("\x1bJHOST1\r").find("cmd:"), std::string::npos);
}

TEST_F(BiosModeTest, UpdateRunsByteForByteAndKeepsABinaryImage) {
  setup_.flashTime = 0x50210000;
  Make();
  EXPECT_EQ(Begin(), std::string("\x1f\xa4\x00\x00\x21\x50", 6));
  EXPECT_EQ(Feed(kAck), "");
  EXPECT_EQ(Feed(Count(2)), kAck);
  std::string image = Block(256, 1);
  // File time stamp at bytes 12..15 becomes the installed firmware's.
  image[12] = 0x11;
  image[13] = 0x22;
  image[14] = 0x33;
  image[15] = 0x54;
  const std::string second = Block(256, 7);
  EXPECT_EQ(Feed(image.substr(0, 255)), "");
  EXPECT_EQ(Feed(image.substr(255)), kAck);
  EXPECT_EQ(Feed(second), kAck);
  EXPECT_TRUE(bios_->Rebooting());
  EXPECT_EQ(Feed("\x1b\r"), "") << "deaf while it reboots";
  EXPECT_NE(bios_->Reboot().find("cmd:"), std::string::npos) << "reboots into the boot loader";
  EXPECT_EQ(bios_->Reboot(), "") << "one reboot per update";
  image += second;
  EXPECT_EQ(std::string(bios_->Image().begin(), bios_->Image().end()), image);
  EXPECT_EQ(bios_->CompletedUpdates(), 1);
  EXPECT_EQ(bios_->FlashTime(), 0x54332211u);
  // Back at the prompt, a second update reports the new time stamp.
  EXPECT_EQ(Begin(), std::string("\x1f\xa4\x11\x22\x33\x54", 6));
}

TEST_F(BiosModeTest, EscAbortsOnlyWhereAnAckIsAwaited) {
  Make();
  Begin();
  EXPECT_EQ(Feed(kEsc), "\r\ncmd:");  // declined after the identity
  EXPECT_EQ(Feed("UPDATE\r"), "");
  EXPECT_EQ(Feed(kEsc), "\r\ncmd:");  // aborted before the identity
  Begin();
  Feed(kAck);
  // 0x1B00 blocks would not fit: the count is data, answered with NAK.
  EXPECT_EQ(Feed(Count(0x1B00)), "\x15");
  Begin();
  Feed(kAck);
  EXPECT_EQ(Feed(Count(0x001B)), kAck);  // ESC as the count's low byte
  EXPECT_EQ(Feed(std::string(256, '\x1b')), kAck);
  EXPECT_EQ(bios_->CompletedUpdates(), 0);
}

TEST_F(BiosModeTest, ImageSizeAndSectorComeFromTheChip) {
  Make();
  Begin();
  Feed(kAck);
  EXPECT_EQ(Feed(Count(2049)), "\x15");  // 2049 x 256 > 524288
  EXPECT_EQ(Feed("\x1b\r"), "\r\ncmd:");
  Begin();
  Feed(kAck);
  EXPECT_EQ(Feed(Count(2048)), kAck);

  setup_.manufacturer = 0x7F;  // unknown chip: no image fits
  Make();
  EXPECT_EQ(Begin().substr(0, 2), "\x7f\xa4");
  Feed(kAck);
  EXPECT_EQ(Feed(Count(1)), "\x15");

  setup_.manufacturer = 0xDA;  // a chip of 128-byte sectors
  setup_.device = 0x45;
  Make();
  Begin();
  Feed(kAck);
  Feed(Count(1));
  EXPECT_EQ(Feed(Block(127, 0)), "");
  EXPECT_EQ(Feed("x").substr(0, 1), kAck);
  EXPECT_EQ(bios_->Image().size(), 128u);
}

TEST_F(BiosModeTest, BlockReplyReplacesTheChosenHandshake) {
  // At 0 (the answer to the count) it is pinned by the update end-to-end test.
  setup_.blockReply = 0x15;
  setup_.blockReplyAt = 2;
  Make();
  Begin();
  Feed(kAck);
  EXPECT_EQ(Feed(Count(3)), kAck);
  EXPECT_EQ(Feed(Block(256, 1)), kAck);
  EXPECT_EQ(Feed(Block(256, 2)), "\x15");
  EXPECT_EQ(bios_->CompletedUpdates(), 0);
}

// Writing the image is tested over the line; here only a write that fails.
TEST_F(BiosModeTest, ImageFileThatCannotBeWrittenIsNoDeviceFailure) {
  setup_.flashOutPath = "/nonexistent-folder/image.bin";
  Make();
  Begin();
  Feed(kAck);
  Feed(Count(1));
  EXPECT_EQ(Feed(Block(256, 3)), kAck);
  EXPECT_EQ(bios_->CompletedUpdates(), 1);
  EXPECT_NE(bios_->Reboot().find("cmd:"), std::string::npos);
  EXPECT_FALSE(bios_->WriteError().empty());
}

}  // namespace
}  // namespace vextune::sim
