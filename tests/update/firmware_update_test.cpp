#include "update/firmware_update.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "fake_bios_device.h"
#include "fake_serial.h"
#include "update_test_doubles.h"

namespace vextune {
namespace {

using testing::Bytes;
using testing::FakeBiosDevice;
using testing::FakeClock;
using testing::FakeSerialOpener;
using testing::kNewFile;
using testing::LineEvent;
using testing::MakeImage;
using testing::RecordingProgress;
using testing::RecordingPrompt;
namespace msg = update_message;

Bytes Block(const std::string& image, size_t offset, size_t sector) {
  Bytes block(sector, 0);
  for (size_t i = 0; i < sector && offset + i < image.size(); ++i) {
    block[i] = static_cast<uint8_t>(image[offset + i]);
  }
  return block;
}

/// An update file whose reads fail from `failAt` on, and whose size may be
/// reported larger than what it holds (a file cut short during the run).
class FlakySource final : public UpdateSource {
 public:
  FlakySource(std::string bytes, uint64_t reportedSize, uint64_t failAt)
      : bytes_(std::move(bytes)), size_(reportedSize), fail_at_(failAt) {}
  std::optional<uint64_t> Size() override { return size_; }
  bool Seek(uint64_t offset) override {
    pos_ = offset;
    return true;
  }
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override {
    if (pos_ >= fail_at_) return std::nullopt;
    size_t count = 0;
    while (count < n && pos_ < bytes_.size() && pos_ < fail_at_) {
      buffer[count++] = static_cast<uint8_t>(bytes_[pos_++]);
    }
    return count;
  }

 private:
  std::string bytes_;
  uint64_t size_;
  uint64_t fail_at_;
  uint64_t pos_ = 0;
};

/// One device, one line, one program side, fresh for every run.
struct UpdateRig {
  FakeClock clock;
  FakeBiosDevice device;
  FakeSerialOpener opener{clock, device};
  LinkSettings settings{"ttyACM0", 9600};
  DeviceLink link{opener, settings, clock};
  CancelFlag cancel;
  RecordingPrompt prompt;
  RecordingProgress progress;
  UpdateRunInfo info;

  UpdateOutcome Run(const std::string& image) {
    std::istringstream stream(image, std::ios::binary);
    StreamUpdateSource source(stream);
    return Run(source);
  }
  UpdateOutcome Run(UpdateSource& source) {
    return RunFirmwareUpdate(link, source, cancel, progress, prompt, &info);
  }

  /// Single-byte ESC writes: the abort byte (the wake-up line is two bytes).
  int AbortBytes() const {
    int n = 0;
    for (const std::string& w : opener.Writes()) n += w == "\x1b" ? 1 : 0;
    return n;
  }
  std::vector<uint32_t> OpenedRates() const {
    std::vector<uint32_t> rates;
    for (const LineEvent& e : opener.events()) {
      if (e.kind == LineEvent::Open) rates.push_back(e.baudRate);
    }
    return rates;
  }
  /// The run ended as every run must: port closed, flag cleared, bar at 0.
  void ExpectCleanEnd() const {
    EXPECT_EQ(opener.openCount(), 0);
    EXPECT_FALSE(cancel.IsSet());
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_EQ(progress.positions.back(), 0);
  }
};

const std::string kWake = "\x1b\r";
const std::string kAck = "\x06";

TEST(FirmwareUpdateTest, SuccessfulRunSendsTheProtocolByteForByte) {
  UpdateRig rig;
  const std::string image = MakeImage(512);
  EXPECT_EQ(rig.Run(image), UpdateOutcome::Completed);

  const std::vector<std::string> expected = {kWake,
                                             kWake,
                                             "UPDATE\r",
                                             kAck,
                                             kAck,
                                             std::string("\x00\x02", 2),
                                             testing::ToString(Block(image, 0, 256)),
                                             testing::ToString(Block(image, 256, 256))};
  EXPECT_EQ(rig.opener.Writes(), expected);
  EXPECT_EQ(rig.OpenedRates(), std::vector<uint32_t>{38400});
  EXPECT_EQ(rig.device.count, 2);
  EXPECT_EQ(rig.progress.positions, (std::vector<int>{50, 100, 0}));
  EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kComplete)});
  EXPECT_TRUE(rig.prompt.questions.empty());
  EXPECT_EQ(rig.info.chip.chipName, "AT29C040A");
  EXPECT_EQ(rig.info.blocksSent, 2u);
  rig.ExpectCleanEnd();
}

TEST(FirmwareUpdateTest, ShortLastBlockIsPaddedWithZerosAndEndsTheRun) {
  UpdateRig rig;
  const std::string image = MakeImage(300);
  EXPECT_EQ(rig.Run(image), UpdateOutcome::Completed);

  ASSERT_EQ(rig.device.blocks.size(), 2u);
  EXPECT_EQ(rig.device.count, 2);
  const Bytes& last = rig.device.blocks[1];
  EXPECT_EQ(Bytes(last.begin(), last.begin() + 44), Bytes(image.begin() + 256, image.end()));
  EXPECT_EQ(Bytes(last.begin() + 44, last.end()), Bytes(212, 0));
  // Nothing goes out after the last block.
  EXPECT_EQ(rig.opener.Writes().back(), testing::ToString(last));
  rig.ExpectCleanEnd();
}

TEST(FirmwareUpdateTest, EachBlockWaitsTheStepPauseAfterThePreviousAck) {
  UpdateRig rig;
  ASSERT_EQ(rig.Run(MakeImage(256 * 3)), UpdateOutcome::Completed);
  std::vector<uint64_t> blockTimes;
  for (const LineEvent& e : rig.opener.events()) {
    if (e.kind == LineEvent::Write && e.bytes.size() == 256) blockTimes.push_back(e.timeMs);
  }
  ASSERT_EQ(blockTimes.size(), 3u);
  // The fake device acknowledges 1 ms after a block; then the 10 ms pause.
  EXPECT_EQ(blockTimes[1] - blockTimes[0], 11u);
  EXPECT_EQ(blockTimes[2] - blockTimes[1], 11u);
}

TEST(FirmwareUpdateTest, BlockAckIsAwaitedThroughTheBlocksTimeOnTheLine) {
  // SST39SF020: 4096-byte sectors, which take 1067 ms on the line at 38400 Bd.
  constexpr uint64_t kLineMs = 1067;
  struct Case {
    std::optional<uint32_t> ackDelayMs;  ///< nothing: no answer
    UpdateOutcome outcome;
  };
  const Case cases[] = {
      {kLineMs, UpdateOutcome::Completed},
      {kLineMs + 140, UpdateOutcome::Completed},
      {std::nullopt, UpdateOutcome::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ackDelayMs ? *c.ackDelayMs : 0);
    UpdateRig rig;
    rig.device.manufacturer = 0xBF;
    rig.device.device = 0xB6;
    rig.device.sectorSize = 4096;
    rig.device.blockReplyDelayMs = c.ackDelayMs.value_or(0);
    if (!c.ackDelayMs) rig.device.blockReplies[0] = std::nullopt;
    EXPECT_EQ(rig.Run(MakeImage(8192)), c.outcome);
    if (c.outcome == UpdateOutcome::Completed) continue;
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kHandshakeFailed)});
    // Given up no sooner than the reply's 150 ms after the block has left.
    uint64_t blockMs = 0;
    for (const LineEvent& e : rig.opener.events()) {
      if (e.kind == LineEvent::Write && e.bytes.size() == 4096) blockMs = e.timeMs;
    }
    const uint64_t closeMs = rig.opener.events().back().timeMs;
    EXPECT_GE(closeMs - blockMs, kLineMs + 150);
  }
}

TEST(FirmwareUpdateTest, LargestImageOfASmallSectorChipGoesThrough) {
  UpdateRig rig;
  rig.device.manufacturer = 0xDA;  // W29C020: 128-byte sectors, 256 KiB
  rig.device.device = 0x45;
  rig.device.sectorSize = 128;
  const std::string image = MakeImage(262144 - 16384 - 128);
  EXPECT_EQ(rig.Run(image), UpdateOutcome::Completed);
  EXPECT_EQ(rig.device.count, 1919);
  ASSERT_EQ(rig.device.blocks.size(), 1919u);
  EXPECT_EQ(rig.device.blocks.back(), Block(image, 1918 * 128, 128));
}

TEST(FirmwareUpdateTest, BiosOnlyAtTheFallbackRateReopensWithoutPause) {
  UpdateRig rig;
  rig.device.biosRates = {115200};
  const std::string image = MakeImage(300);
  EXPECT_EQ(rig.Run(image), UpdateOutcome::Completed);
  EXPECT_EQ(rig.OpenedRates(), (std::vector<uint32_t>{38400, 115200}));
  EXPECT_EQ(rig.settings.baudRate, 115200u);

  const auto& events = rig.opener.events();
  auto close = std::find_if(events.begin(), events.end(),
                            [](const LineEvent& e) { return e.kind == LineEvent::Close; });
  ASSERT_NE(close, events.end());
  ASSERT_EQ(std::next(close)->kind, LineEvent::Open);
  EXPECT_EQ(std::next(close)->timeMs, close->timeMs);
  EXPECT_EQ(rig.device.blocks.size(), 2u);
  rig.ExpectCleanEnd();
}

TEST(FirmwareUpdateTest, RunningTwiceWithTheSameFileSendsItTwiceFromTheStart) {
  UpdateRig rig;
  const std::string image = MakeImage(700);
  std::istringstream stream(image, std::ios::binary);
  StreamUpdateSource source(stream);
  EXPECT_EQ(rig.Run(source), UpdateOutcome::Completed);
  EXPECT_EQ(rig.Run(source), UpdateOutcome::Completed);
  ASSERT_EQ(rig.device.blocks.size(), 6u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(rig.device.blocks[i], rig.device.blocks[i + 3]);
  EXPECT_EQ(rig.device.blocks[2], Block(image, 512, 256));
}

struct FailureCase {
  const char* name;
  std::function<void(FakeBiosDevice&)> setup;
  size_t imageSize;
  std::string_view message;
  int abortBytes;
  size_t blocksReceived;
  std::vector<uint32_t> opened;
};

TEST(FirmwareUpdateTest, EveryFailureShowsItsMessageAndSendsTheAbortByteOnlyWhereDue) {
  const std::vector<FailureCase> cases = {
      {"port busy",
       [](FakeBiosDevice& d) { d.busyRates = {38400}; },
       512,
       msg::kOpenFailed,
       0,
       0,
       {}},
      {"normal firmware at 38400",
       [](FakeBiosDevice& d) {
         d.biosRates = {};
         d.normalRates = {38400, 115200};
       },
       512,
       msg::kNotInBios,
       0,
       0,
       {38400}},
      {"normal firmware at 115200",
       [](FakeBiosDevice& d) {
         d.biosRates = {};
         d.normalRates = {115200};
       },
       512,
       msg::kNotInBios,
       0,
       0,
       {38400, 115200}},
      {"silent at both rates",
       [](FakeBiosDevice& d) { d.biosRates = {}; },
       512,
       msg::kCommunicationError,
       0,
       0,
       {38400, 115200}},
      {"reopen at 115200 fails",
       [](FakeBiosDevice& d) {
         d.biosRates = {};
         d.busyRates = {115200};
       },
       512,
       msg::kOpenFailed,
       0,
       0,
       {38400}},
      {"no flash identity",
       [](FakeBiosDevice& d) { d.identityBytes = 0; },
       512,
       msg::kFlashReadError,
       0,
       0,
       {38400}},
      {"manufacturer only",
       [](FakeBiosDevice& d) { d.identityBytes = 1; },
       512,
       msg::kFlashReadError,
       0,
       0,
       {38400}},
      {"time stamp cut short",
       [](FakeBiosDevice& d) { d.identityBytes = 5; },
       512,
       msg::kFlashReadError,
       0,
       0,
       {38400}},
      {"unknown device",
       [](FakeBiosDevice& d) { d.device = 0x99; },
       512,
       msg::kUnknownFlash,
       1,
       0,
       {38400}},
      {"unknown maker",
       [](FakeBiosDevice& d) { d.manufacturer = 0x7F; },
       512,
       msg::kUnknownFlash,
       1,
       0,
       {38400}},
      {"boot-block chip",
       [](FakeBiosDevice& d) {
         d.manufacturer = 0x01;
         d.device = 0xB0;
       },
       512,
       msg::kUnknownFlash,
       1,
       0,
       {38400}},
      {"128 KiB chip",
       [](FakeBiosDevice& d) {
         d.manufacturer = 0x01;
         d.device = 0x20;
       },
       512,
       msg::kUnknownFlash,
       1,
       0,
       {38400}},
      {"file one byte too large",
       [](FakeBiosDevice& d) {
         d.manufacturer = 0xDA;
         d.device = 0x45;
       },
       262144 - 16384 - 128 + 1,
       msg::kFileTooLarge,
       1,
       0,
       {38400}},
      {"handshake missing",
       [](FakeBiosDevice& d) { d.countReply.reset(); },
       512,
       msg::kHandshakeFailed,
       0,
       0,
       {38400}},
      {"handshake not ACK",
       [](FakeBiosDevice& d) { d.countReply = 0x15; },
       512,
       msg::kHandshakeFailed,
       1,
       0,
       {38400}},
      {"second block unanswered",
       [](FakeBiosDevice& d) { d.blockReplies[1] = std::nullopt; },
       768,
       msg::kHandshakeFailed,
       0,
       2,
       {38400}},
      {"first block answered with NAK",
       [](FakeBiosDevice& d) { d.blockReplies[0] = 0x15; },
       768,
       msg::kHandshakeFailed,
       1,
       1,
       {38400}},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    c.setup(rig.device);
    EXPECT_EQ(rig.Run(MakeImage(c.imageSize)), UpdateOutcome::Failed);
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(c.message)});
    EXPECT_EQ(rig.prompt.icons, std::vector<MessageIcon>{MessageIcon::Error});
    EXPECT_EQ(rig.AbortBytes(), c.abortBytes);
    // The abort byte is the last thing the run sends.
    if (c.abortBytes > 0) {
      EXPECT_EQ(rig.opener.Writes().back(), "\x1b");
    }
    EXPECT_EQ(rig.device.blocks.size(), c.blocksReceived);
    EXPECT_EQ(rig.OpenedRates(), c.opened);
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, BusyPortReportsTheSystemsErrorCode) {
  UpdateRig rig;
  rig.device.busyRates = {38400};
  EXPECT_EQ(rig.Run(MakeImage(100)), UpdateOutcome::Failed);
  EXPECT_EQ(rig.info.openError, static_cast<SerialCode>(EBUSY));
}

TEST(FirmwareUpdateTest, FileWithoutImageOrTimeStampIsRefusedBeforeThePortOpens) {
  const std::pair<size_t, const char*> cases[] = {{0, kUpdateFileEmpty}, {15, kUpdateFileTooShort}};
  for (const auto& [size, message] : cases) {
    UpdateRig rig;
    EXPECT_EQ(rig.Run(MakeImage(size)), UpdateOutcome::Failed);
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{message});
    EXPECT_TRUE(rig.opener.events().empty()) << "size " << size;
    rig.ExpectCleanEnd();
  }
  UpdateRig rig;
  EXPECT_EQ(rig.Run(MakeImage(16)), UpdateOutcome::Completed);
  EXPECT_EQ(rig.device.blocks.size(), 1u);
}

TEST(FirmwareUpdateTest, FileThatFailsDuringTheBlockLoopAbortsWithoutAPartialBlock) {
  const std::string image = MakeImage(768);
  struct Case {
    const char* name;
    FlakySource source;
  };
  Case cases[] = {
      {"read error in the second block", FlakySource(image, 768, 300)},
      {"file cut short to 300 bytes", FlakySource(image.substr(0, 300), 768, 10000)},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    EXPECT_EQ(rig.Run(c.source), UpdateOutcome::Failed);
    EXPECT_EQ(rig.device.count, 3);
    ASSERT_EQ(rig.device.blocks.size(), 1u);
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{kUpdateFileReadError});
    EXPECT_EQ(rig.AbortBytes(), 1);
    EXPECT_EQ(rig.opener.Writes().back(), "\x1b");
    rig.ExpectCleanEnd();
  }
}

struct QuestionCase {
  const char* name;
  PackedTime fileTime;
  PackedTime flashTime;
  bool answer;
  std::vector<std::string> messages;
  bool asked;
  UpdateOutcome outcome;
  int abortBytes;
};

TEST(FirmwareUpdateTest, TimeStampQuestionDecidesWhenTheFileIsNotNewer) {
  const PackedTime older = PackTime(2019, 1, 1, 0, 0, 0);
  const std::string complete(msg::kComplete);
  const std::string warning(msg::kInvalidFlashTimestamp);
  const std::vector<QuestionCase> cases = {
      {"newer file", kNewFile, older, false, {complete}, false, UpdateOutcome::Completed, 0},
      {"equal, declined", kNewFile, kNewFile, false, {}, true, UpdateOutcome::Declined, 1},
      {"older, declined", older, kNewFile, false, {}, true, UpdateOutcome::Declined, 1},
      {"older, accepted", older, kNewFile, true, {complete}, true, UpdateOutcome::Completed, 0},
      {"erased flash",
       older,
       0xFFFFFFFF,
       false,
       {warning, complete},
       false,
       UpdateOutcome::Completed,
       0},
      {"flash day 0, later",
       older,
       PackTime(2030, 1, 0, 0, 0, 0),
       false,
       {warning},
       true,
       UpdateOutcome::Declined,
       1},
  };
  for (const QuestionCase& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    rig.device.flashTime = c.flashTime;
    rig.prompt.answer = c.answer;
    EXPECT_EQ(rig.Run(MakeImage(512, c.fileTime)), c.outcome);
    EXPECT_EQ(rig.prompt.messages, c.messages);
    if (c.asked) {
      EXPECT_EQ(rig.prompt.questions,
                std::vector<std::string>{std::string(msg::kNotNewerQuestion)});
    } else {
      EXPECT_TRUE(rig.prompt.questions.empty());
    }
    EXPECT_EQ(rig.AbortBytes(), c.abortBytes);
    EXPECT_EQ(rig.device.blocks.size(), c.outcome == UpdateOutcome::Completed ? 2u : 0u);
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, CancelInTheBlockLoopEndsAfterTheCurrentBlockWithoutAbortByte) {
  UpdateRig rig;
  rig.progress.onProgress = [&](int position) {
    if (position > 0) rig.cancel.Set();
  };
  EXPECT_EQ(rig.Run(MakeImage(256 * 3)), UpdateOutcome::Cancelled);
  EXPECT_EQ(rig.device.blocks.size(), 1u);
  EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kAborted)});
  EXPECT_EQ(rig.AbortBytes(), 0);
  rig.ExpectCleanEnd();
}

TEST(FirmwareUpdateTest, CancelIsTestedBeforeEveryStepAndAlwaysClosesThePort) {
  UpdateRig reference;
  ASSERT_EQ(reference.Run(MakeImage(512)), UpdateOutcome::Completed);
  // The last dispatch comes before the end, which is no step to cancel.
  const int steps = reference.progress.dispatches - 1;
  ASSERT_GT(steps, 15);
  for (int k = 1; k <= steps; ++k) {
    SCOPED_TRACE(::testing::Message() << "cancel before step " << k);
    UpdateRig rig;
    rig.progress.onDispatch = [&](int n) {
      if (n == k) rig.cancel.Set();
    };
    EXPECT_EQ(rig.Run(MakeImage(512)), UpdateOutcome::Cancelled);
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kAborted)});
    EXPECT_EQ(rig.progress.dispatches, k + 1);
    EXPECT_EQ(rig.AbortBytes(), 0);
    EXPECT_LT(rig.device.blocks.size(), 2u);
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, CancelAfterTheLastAckStillReportsTheCompletedTransfer) {
  UpdateRig rig;
  rig.progress.onProgress = [&](int position) {
    if (position == 100) rig.cancel.Set();
  };
  EXPECT_EQ(rig.Run(MakeImage(512)), UpdateOutcome::Completed);
  EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kComplete)});
  rig.ExpectCleanEnd();
}

TEST(FirmwareUpdateTest, CancelLeftOverFromBeforeTheRunIsCleared) {
  UpdateRig rig;
  rig.cancel.Set();
  EXPECT_EQ(rig.Run(MakeImage(300)), UpdateOutcome::Completed);
  EXPECT_EQ(rig.device.blocks.size(), 2u);
}

}  // namespace
}  // namespace vextune
