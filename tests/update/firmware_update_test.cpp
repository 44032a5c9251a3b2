#include "update/firmware_update.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fake_bios_device.h"
#include "fake_serial.h"
#include "link/device_protocol.h"
#include "update_test_doubles.h"

namespace vextune {
namespace {

using testing::FakeBiosDevice;
using testing::FakeClock;
using testing::FakeSerialOpener;
using testing::kNewFile;
using testing::LineEvent;
using testing::MakeImage;
using testing::RecordingProgress;
using testing::RecordingPrompt;
namespace msg = update_message;

/// An update file that reports `size` bytes: more than it holds for a file cut
/// short during the run.
struct SizedSource final : UpdateSource {
  SizedSource(const std::string& bytes, uint64_t size) : stream(bytes), size(size) {}
  std::optional<uint64_t> Size() override { return size; }
  bool Seek(uint64_t offset) override { return inner.Seek(offset); }
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override { return inner.Read(buffer, n); }
  std::istringstream stream;
  uint64_t size;
  StreamUpdateSource inner{stream};
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

  UpdateOutcome Run(const std::string& image, uint64_t reportedSize = 0) {
    SizedSource source(image, reportedSize ? reportedSize : image.size());
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

TEST(FirmwareUpdateTest, SuccessfulRunsSendTheProtocolByteForByte) {
  const std::string wake(line::kWakeUp), id(line::kIdentify), ack = "\x06";
  struct Case {
    size_t size;
    std::set<uint32_t> biosRates;
    std::vector<std::string> probe;  ///< writes before the update command
    std::vector<uint32_t> opened;
  };
  const Case cases[] = {
      {512, {38400}, {wake, wake}, {38400}},
      {300, {38400}, {wake, wake}, {38400}},  // 212 bytes of zero padding
      {300, {115200}, {wake, wake, wake, id, wake, wake}, {38400, 115200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.size << " bytes, BIOS at " << *c.biosRates.begin());
    UpdateRig rig;
    rig.device.biosRates = c.biosRates;
    const std::string image = MakeImage(c.size);
    EXPECT_EQ(rig.Run(image), UpdateOutcome::Completed);

    const std::string padded = testing::Padded(image, 256);
    std::vector<std::string> expected = c.probe;
    for (std::string w : {std::string(bios::kUpdateCommand), ack, ack, std::string("\x00\x02", 2),
                          padded.substr(0, 256), padded.substr(256)}) {
      expected.push_back(w);
    }
    EXPECT_EQ(rig.opener.Writes(), expected);
    ASSERT_EQ(rig.device.blocks.size(), 2u);
    EXPECT_EQ(testing::ToString(rig.device.blocks[1]).substr(c.size - 256),
              std::string(512 - c.size, '\0'));
    EXPECT_EQ(rig.OpenedRates(), c.opened);
    EXPECT_EQ(rig.settings.baudRate, c.opened.back());
    EXPECT_EQ(rig.progress.positions, (std::vector<int>{50, 100, 0}));
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kComplete)});
    EXPECT_EQ(rig.info.blocksSent, 2u);
    rig.ExpectCleanEnd();
    // Straight on at the fallback rate: no pause between closing and reopening.
    std::vector<uint64_t> times;
    for (const LineEvent& e : rig.opener.events()) {
      if (e.kind != LineEvent::Write) times.push_back(e.timeMs);
    }
    if (times.size() == 4) {
      EXPECT_EQ(times[1], times[2]);
    }
  }
}

TEST(FirmwareUpdateTest, ChipsWithOtherSectorSizes) {
  struct Case {
    uint8_t manufacturer, device;
    uint32_t sector;
    size_t imageSize;
    uint32_t ackDelayMs;
    uint16_t blocks;
  };
  const Case cases[] = {
      // SST39SF020: a block takes 1067 ms on the line at 38400 Bd; the ACK may
      // come up to 150 ms after that.
      {0xBF, 0xB6, 4096, 8192, 1067 + 140, 2},
      // W29C020: its largest image needs both bytes of the count.
      {0xDA, 0x45, 128, 262144 - 16384 - 128, 1, 1919},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sector);
    UpdateRig rig;
    rig.device.manufacturer = c.manufacturer;
    rig.device.device = c.device;
    rig.device.sectorSize = c.sector;
    rig.device.blockReplyDelayMs = c.ackDelayMs;
    const std::string image = MakeImage(c.imageSize);
    EXPECT_EQ(rig.Run(image), UpdateOutcome::Completed);
    EXPECT_EQ(rig.device.count, c.blocks);
    ASSERT_EQ(rig.device.blocks.size(), c.blocks);
    EXPECT_EQ(testing::ToString(rig.device.blocks.back()), image.substr((c.blocks - 1) * c.sector));
  }
}

TEST(FirmwareUpdateTest, EveryFailureShowsItsMessageAndSendsTheAbortByteOnlyWhereDue) {
  using D = FakeBiosDevice;
  struct Case {
    const char* name;
    size_t imageSize;
    std::string_view message;
    int abortBytes;
    size_t blocksReceived;
    std::vector<uint32_t> opened;
    std::function<void(D&)> setup;
    uint64_t reportedSize = 0;  ///< the file's size if not imageSize
  };
  const uint32_t k38 = 38400, k115 = 115200;
  const size_t tooLarge = 262144 - 16384 - 128 + 1;  // for the W29C020
  // clang-format off
  const std::vector<Case> cases = {
      // Refused before the port opens: nothing is sent.
      {"empty file", 0, kUpdateFileEmpty, 0, 0, {}, [](D&) {}},
      {"file without time stamp", 15, kUpdateFileTooShort, 0, 0, {}, [](D&) {}},
      {"port busy", 512, msg::kOpenFailed, 0, 0, {}, [](D& d) { d.busyRates = {k38}; }},
      {"normal firmware at 38400", 512, msg::kNotInBios, 0, 0, {k38},
       [](D& d) { d.biosRates = {}, d.normalRates = {k38, k115}; }},
      {"normal firmware at 115200", 512, msg::kNotInBios, 0, 0, {k38, k115},
       [](D& d) { d.biosRates = {}, d.normalRates = {k115}; }},
      {"silent at both rates", 512, msg::kCommunicationError, 0, 0, {k38, k115},
       [](D& d) { d.biosRates = {}; }},
      {"reopen at 115200 fails", 512, msg::kOpenFailed, 0, 0, {k38},
       [](D& d) { d.biosRates = {}, d.busyRates = {k115}; }},
      {"no flash identity", 512, msg::kFlashReadError, 0, 0, {k38},
       [](D& d) { d.identityBytes = 0; }},
      {"time stamp cut short", 512, msg::kFlashReadError, 0, 0, {k38},
       [](D& d) { d.identityBytes = 5; }},
      {"unknown maker", 512, msg::kUnknownFlash, 1, 0, {k38}, [](D& d) { d.manufacturer = 0x7F; }},
      {"boot-block chip", 512, msg::kUnknownFlash, 1, 0, {k38},
       [](D& d) { d.manufacturer = 0x01, d.device = 0xB0; }},
      {"file one byte too large", tooLarge, msg::kFileTooLarge, 1, 0, {k38},
       [](D& d) { d.manufacturer = 0xDA, d.device = 0x45; }},
      {"handshake missing", 512, msg::kHandshakeFailed, 0, 0, {k38},
       [](D& d) { d.countReply.reset(); }},
      {"handshake not ACK", 512, msg::kHandshakeFailed, 1, 0, {k38},
       [](D& d) { d.countReply = 0x15; }},
      {"second block unanswered", 768, msg::kHandshakeFailed, 0, 2, {k38},
       [](D& d) { d.blockReplies[1] = std::nullopt; }},
      {"first block answered with NAK", 768, msg::kHandshakeFailed, 1, 1, {k38},
       [](D& d) { d.blockReplies[0] = 0x15; }},
      // Never a half-read block: the abort byte tells the device none follows.
      {"file cut short during the run", 300, kUpdateFileReadError, 1, 1, {k38}, [](D&) {}, 768},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    c.setup(rig.device);
    EXPECT_EQ(rig.Run(MakeImage(c.imageSize), c.reportedSize), UpdateOutcome::Failed);
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(c.message)});
    EXPECT_EQ(rig.prompt.icons, std::vector<MessageIcon>{MessageIcon::Error});
    EXPECT_EQ(rig.AbortBytes(), c.abortBytes);
    // The abort byte is the last thing the run sends.
    if (c.abortBytes > 0) {
      EXPECT_EQ(rig.opener.Writes().back(), "\x1b");
    }
    EXPECT_EQ(rig.device.blocks.size(), c.blocksReceived);
    EXPECT_EQ(rig.OpenedRates(), c.opened);
    EXPECT_EQ(rig.info.openError, c.message == msg::kOpenFailed ? EBUSY : 0u);
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, TimeStampQuestionDecidesWhenTheFileIsNotNewer) {
  const PackedTime older = PackTime(2019, 1, 1, 0, 0, 0);
  const std::string complete(msg::kComplete), warning(msg::kInvalidFlashTimestamp);
  struct Case {
    const char* name;
    PackedTime fileTime, flashTime;
    bool answer;
    std::vector<std::string> messages;
    bool asked;
    UpdateOutcome outcome;
  };
  const UpdateOutcome kDone = UpdateOutcome::Completed, kNo = UpdateOutcome::Declined;
  const Case cases[] = {
      {"newer file", kNewFile, older, false, {complete}, false, kDone},
      {"equal, declined", kNewFile, kNewFile, false, {}, true, kNo},
      {"older, accepted", older, kNewFile, true, {complete}, true, kDone},
      {"erased flash", older, 0xFFFFFFFF, false, {warning, complete}, false, kDone},
      {"flash day 0, later", older, PackTime(2030, 1, 0, 0, 0, 0), false, {warning}, true, kNo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    rig.device.flashTime = c.flashTime;
    rig.prompt.answer = c.answer;
    EXPECT_EQ(rig.Run(MakeImage(512, c.fileTime)), c.outcome);
    EXPECT_EQ(rig.prompt.messages, c.messages);
    EXPECT_EQ(rig.prompt.questions.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(rig.prompt.questions[0], msg::kNotNewerQuestion);
    }
    const bool declined = c.outcome == UpdateOutcome::Declined;
    EXPECT_EQ(rig.AbortBytes(), declined ? 1 : 0);
    EXPECT_EQ(rig.device.blocks.size(), declined ? 0u : 2u);
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, CancelStopsBetweenBlocksWithoutAbortByte) {
  struct Case {
    const char* name;
    bool setBefore;  ///< left over from before the run
    int cancelAt;    ///< progress position that presses Cancel
    UpdateOutcome outcome;
    size_t blocks;
  };
  const Case cases[] = {
      {"in the block loop", false, 33, UpdateOutcome::Cancelled, 1},
      {"after the last ACK", false, 100, UpdateOutcome::Completed, 3},
      {"left over", true, -1, UpdateOutcome::Completed, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    if (c.setBefore) rig.cancel.Set();
    rig.progress.onProgress = [&](int position) {
      if (position == c.cancelAt) rig.cancel.Set();
    };
    EXPECT_EQ(rig.Run(MakeImage(256 * 3)), c.outcome);
    EXPECT_EQ(rig.device.blocks.size(), c.blocks);
    const std::string_view message =
        c.outcome == UpdateOutcome::Cancelled ? msg::kAborted : msg::kComplete;
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(message)});
    EXPECT_EQ(rig.AbortBytes(), 0);
    rig.ExpectCleanEnd();
  }
}

}  // namespace
}  // namespace vextune
