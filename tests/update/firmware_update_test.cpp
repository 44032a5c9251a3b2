#include "update/firmware_update.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fake_bios_device.h"
#include "fake_serial.h"
#include "link/com_port.h"
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
  /// The run ended as every run must: port closed, bar at 0.
  void ExpectCleanEnd() const {
    EXPECT_EQ(opener.openCount(), 0);
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
    EXPECT_EQ(rig.info.baudRate, c.opened.back());
    EXPECT_EQ(rig.settings.baudRate, 9600u) << "the caller's settings are only read";
    EXPECT_EQ(rig.info.endMessage,
              (UserMessage{std::string(msg::kCaption), std::string(msg::kComplete),
                           MessageIcon::Information}));
    EXPECT_EQ(rig.progress.positions, (std::vector<int>{50, 100, 0}));
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kComplete)});
    EXPECT_EQ(rig.info.blocksSent, 2u);
    rig.ExpectCleanEnd();
    // Straight on at the fallback rate: no pause between closing and reopening.
    std::vector<uint64_t> times;  // of every open and close, in order
    for (const LineEvent& e : rig.opener.events()) {
      if (e.kind != LineEvent::Write) times.push_back(e.timeMs);
    }
    ASSERT_EQ(times.size(), 2 * c.opened.size()) << "one open and one close per rate";
    for (size_t close = 1; close + 1 < times.size(); close += 2) {
      EXPECT_EQ(times[close], times[close + 1]);
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
      // An unknown chip names the codes read.
      {"unknown maker", 512, "Error unknown flash type.\nFlash chip: maker code 7F, device code A4: "
       "a maker the chip table does not know.", 1, 0, {k38}, [](D& d) { d.manufacturer = 0x7F; }},
      {"unknown device", 512, "Error unknown flash type.\nFlash chip: maker code 1F, device code "
       "99 (Atmel): a device the chip table does not know.", 1, 0, {k38},
       [](D& d) { d.device = 0x99; }},
      {"boot-block chip", 512, "Error unknown flash type.\nFlash chip: AMD Am29F002BT (maker code "
       "01, device code B0), which the update cannot write.", 1, 0, {k38},
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
      // The whole image is read before the port opens: a file that is cut
      // (or grows) meanwhile is refused with nothing sent.
      {"file cut short while read", 300, kUpdateFileReadError, 0, 0, {}, [](D&) {}, 768},
      {"file grown while read", 768, kUpdateFileReadError, 0, 0, {}, [](D&) {}, 300},
      {"larger than any chip takes", 966657, msg::kFileTooLarge, 0, 0, {}, [](D&) {}},
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
      // Both dates, then the question itself.
      const std::string& question = rig.prompt.questions[0];
      EXPECT_EQ(question.find("Installed firmware: " + FormatPackedTime(c.flashTime) +
                              "\nUpdate file: " + FormatPackedTime(c.fileTime) + "\n\n"),
                0u)
          << question;
      EXPECT_TRUE(question.ends_with(msg::kNotNewerQuestion)) << question;
      // Enter alone must not write an image no newer than the installed one.
      EXPECT_EQ(rig.prompt.defaultNo, std::vector<bool>{true});
    }
    const bool declined = c.outcome == UpdateOutcome::Declined;
    EXPECT_EQ(rig.AbortBytes(), declined ? 1 : 0);
    EXPECT_EQ(rig.device.blocks.size(), declined ? 0u : 2u);
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, SaysWhatItFoundBeforeItWrites) {
  struct Case {
    const char* name;
    PackedTime fileTime;
    bool observer;  ///< findings to a callback instead of a message
    std::vector<std::string> messages;
    size_t questions;
  };
  const std::string findings =
      "Flash chip: Atmel AT29C040A (maker 1F, device A4)\nChip size: 512 KiB, sector size: 256 "
      "bytes\nImage: 600 bytes in 3 blocks\nInstalled firmware: 2020-01-01 00:00:00\nUpdate "
      "file: ";
  const std::string complete(msg::kComplete);
  const PackedTime older = PackTime(2019, 7, 4, 9, 15, 2);
  const Case cases[] = {
      {"newer: a message", kNewFile, false, {findings + "2024-05-01 12:00:00", complete}, 0},
      {"older: inside the question", older, false, {complete}, 1},
      {"newer, observed: no message", kNewFile, true, {complete}, 0},
      {"older, observed: inside the question", older, true, {complete}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    UpdateOptions options;
    options.reportFindings = !c.observer;
    std::vector<std::string> observed;
    if (c.observer) {
      options.onFindings = [&](const UpdateRunInfo& info) {
        // Told before anything is written.
        EXPECT_TRUE(rig.device.blocks.empty());
        observed.push_back(FindingsText(info));
      };
    }
    SizedSource source(MakeImage(600, c.fileTime), 600);
    EXPECT_EQ(RunFirmwareUpdate(rig.link, source, rig.cancel, rig.progress, rig.prompt, &rig.info,
                                options),
              UpdateOutcome::Completed);
    EXPECT_EQ(rig.prompt.messages, c.messages);
    ASSERT_EQ(rig.prompt.questions.size(), c.questions);
    if (c.questions > 0) {
      EXPECT_EQ(rig.prompt.questions[0],
                findings + "2019-07-04 09:15:02\n\n" + std::string(msg::kNotNewerQuestion));
    }
    if (c.observer) {
      ASSERT_EQ(observed.size(), 1u);
      EXPECT_EQ(observed[0], findings + FormatPackedTime(c.fileTime));
    }
    // and the image goes out as before.
    EXPECT_EQ(rig.device.blocks.size(), 3u);
  }

  // A chip too small for the image: what was found is told before the refusal.
  UpdateRig rig;
  UpdateOptions options;
  std::vector<uint32_t> blocks;
  options.onFindings = [&](const UpdateRunInfo& info) { blocks.push_back(info.limits.blockCount); };
  const std::string large = MakeImage(507649);
  SizedSource source(large, large.size());
  EXPECT_EQ(
      RunFirmwareUpdate(rig.link, source, rig.cancel, rig.progress, rig.prompt, &rig.info, options),
      UpdateOutcome::Failed);
  EXPECT_EQ(blocks, std::vector<uint32_t>{1984});
  EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kFileTooLarge)});
}

TEST(FirmwareUpdateTest, AFileThatIsNoImageIsRefusedAskedOrSentAsTheOptionsSay) {
  std::string text(600, 'x');
  const UpdateOutcome kDone = UpdateOutcome::Completed, kFailed = UpdateOutcome::Failed,
                      kNo = UpdateOutcome::Declined;
  struct Case {
    const char* name;
    ImageDoubtPolicy policy;
    bool answer;
    UpdateOutcome outcome;
    size_t questions;
  };
  const Case cases[] = {
      {"refused", ImageDoubtPolicy::Refuse, true, kFailed, 0},
      {"asked, no", ImageDoubtPolicy::Ask, false, kNo, 1},
      {"asked, yes", ImageDoubtPolicy::Ask, true, kDone, 2},  // then the time-stamp question
      {"sent", ImageDoubtPolicy::Send, true, kDone, 1},
  };
  const std::string doubt =
      "notes.txt does not look like a DAV-OZI update image\nIt holds only text, as no firmware "
      "does.";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    rig.prompt.answer = c.answer;
    UpdateOptions options;
    options.fileName = "notes.txt";
    options.onDoubt = c.policy;
    SizedSource source(text, text.size());
    EXPECT_EQ(RunFirmwareUpdate(rig.link, source, rig.cancel, rig.progress, rig.prompt, &rig.info,
                                options),
              c.outcome);
    ASSERT_EQ(rig.prompt.questions.size(), c.questions);
    const bool sent = c.outcome == kDone;
    if (c.policy == ImageDoubtPolicy::Refuse) {
      EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{doubt});
    }
    if (c.policy == ImageDoubtPolicy::Ask) {
      EXPECT_EQ(rig.prompt.questions[0], doubt + "\n\nSend it anyway?");
    }
    // Nothing at all goes out unless it is sent.
    EXPECT_EQ(rig.opener.events().empty(), !sent);
    EXPECT_EQ(rig.device.blocks.size(), sent ? 3u : 0u);
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
      // Set before the run (Ctrl-C while the port was chosen): not lost.
      {"before the run", true, -1, UpdateOutcome::Cancelled, 0},
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
    if (c.setBefore) {
      EXPECT_TRUE(rig.opener.events().empty());
    }
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, CancelAtTheTimeStampQuestionWhateverTheAnswer) {
  for (const bool answer : {true, false}) {
    SCOPED_TRACE(answer ? "yes" : "no");
    UpdateRig rig;
    rig.device.flashTime = kNewFile;  // not older: the question comes
    rig.prompt.answer = answer;
    rig.prompt.onAsk = [&rig] { rig.cancel.Set(); };
    EXPECT_EQ(rig.Run(MakeImage(512)), UpdateOutcome::Cancelled);
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kAborted)});
    EXPECT_EQ(rig.AbortBytes(), 0);
    EXPECT_TRUE(rig.device.blocks.empty());
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, CancelAtAnyMomentEndsTheRunAtOnceAndSendsNothingMore) {
  const std::string image = MakeImage(256 * 3);
  UpdateRig dry;
  const uint64_t start = dry.clock.NowMs();
  ASSERT_EQ(dry.Run(image), UpdateOutcome::Completed);
  const uint64_t duration = dry.clock.NowMs() - start;

  auto expectClean = [&](UpdateRig& rig, UpdateOutcome outcome, size_t eventsAtCancel,
                         uint64_t cancelMs) {
    ASSERT_TRUE(rig.cancel.IsSet());
    EXPECT_LE(rig.clock.NowMs() - cancelMs, 200u) << "not ended at once";
    for (size_t i = eventsAtCancel; i < rig.opener.events().size(); ++i) {
      EXPECT_NE(rig.opener.events()[i].kind, LineEvent::Write) << "sent after the cancel";
      EXPECT_NE(rig.opener.events()[i].kind, LineEvent::Open) << "opened after the cancel";
    }
    // Complete only with the whole image in the flash.
    if (outcome == UpdateOutcome::Completed) {
      EXPECT_EQ(rig.device.blocks.size(), 3u);
    } else {
      EXPECT_EQ(outcome, UpdateOutcome::Cancelled);
      EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kAborted)});
    }
    rig.ExpectCleanEnd();
  };
  for (uint64_t at = 0; at < duration; at += 7) {
    SCOPED_TRACE(::testing::Message() << "cancel " << at << " ms after the start");
    UpdateRig rig;
    rig.clock.WatchCancel(rig.cancel);
    size_t eventsAtCancel = 0;
    rig.clock.CancelAt(rig.clock.NowMs() + at,
                       [&] { eventsAtCancel = rig.opener.events().size(); });
    const UpdateOutcome outcome = rig.Run(image);
    expectClean(rig, outcome, eventsAtCancel, start + at);
  }
  const size_t writes = dry.opener.Writes().size();
  for (size_t write = 0; write < writes; ++write) {
    SCOPED_TRACE(::testing::Message() << "cancel after write " << write);
    UpdateRig rig;
    rig.clock.WatchCancel(rig.cancel);
    size_t eventsAtCancel = 0;
    uint64_t cancelMs = 0;
    rig.opener.AfterEachWrite([&](size_t n) {
      if (n != write) return;
      rig.cancel.Set();
      eventsAtCancel = rig.opener.events().size();
      cancelMs = rig.clock.NowMs();
    });
    const UpdateOutcome outcome = rig.Run(image);
    expectClean(rig, outcome, eventsAtCancel, cancelMs);
  }
}

TEST(FirmwareUpdateTest, LineFaultsDuringTheBlocksEndTheRunAtOnce) {
  struct Case {
    const char* name;
    std::function<void(UpdateRig&)> breakLine;  ///< after the device took block 1
    uint64_t atMostMs;                          ///< from the block's write to the end of the run
  };
  const std::vector<Case> cases = {
      // A hang-up while the acknowledgement is awaited: no waiting out the
      // block's time on the line (256 bytes at 9600 Bd take 267 ms).
      {"hang-up", [](UpdateRig& r) { r.opener.FailReads(EIO); }, 20},
      // A device that stops taking bytes: the next block's write gives up
      // after its time on the line and the margin.
      {"stalled", [](UpdateRig& r) { r.opener.StallWrites(true); },
       2 * (LineTimeMs(256, 9600) + kReadConstantMs + kReadPerByteMs) + kWriteMarginMs + 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig;
    if (std::string(c.name) == "hang-up") rig.device.blockReplies[1] = std::nullopt;
    uint64_t brokenAt = 0;
    rig.device.afterBlock = [&](size_t block) {
      if (block != 1) return;
      brokenAt = rig.clock.NowMs();
      c.breakLine(rig);
    };
    EXPECT_EQ(rig.Run(MakeImage(256 * 4)), UpdateOutcome::Failed);
    EXPECT_EQ(rig.prompt.messages, std::vector<std::string>{std::string(msg::kHandshakeFailed)});
    EXPECT_EQ(rig.AbortBytes(), 0);
    EXPECT_LE(rig.clock.NowMs() - brokenAt, c.atMostMs);
    rig.ExpectCleanEnd();
  }
}

TEST(FirmwareUpdateTest, AFileChangedDuringTheRunDoesNotChangeWhatIsSent) {
  // Overwritten with another image of the same size while the blocks go out.
  struct ChangingSource final : UpdateSource {
    explicit ChangingSource(std::string bytes) : content(std::move(bytes)) {}
    std::optional<uint64_t> Size() override { return content.size(); }
    bool Seek(uint64_t offset) override {
      position = offset;
      return true;
    }
    std::optional<size_t> Read(uint8_t* buffer, size_t n) override {
      const size_t count = std::min(n, content.size() - std::min(content.size(), position));
      std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(position), count, buffer);
      position += count;
      return count;
    }
    std::string content;
    uint64_t position = 0;
  };
  const std::string first = MakeImage(256 * 3);
  std::string second = first;
  std::fill(second.begin() + 16, second.end(), '\x5a');
  UpdateRig rig;
  ChangingSource source(first);
  rig.device.afterBlock = [&](size_t) { source.content = second; };
  EXPECT_EQ(RunFirmwareUpdate(rig.link, source, rig.cancel, rig.progress, rig.prompt, &rig.info),
            UpdateOutcome::Completed);
  ASSERT_EQ(rig.device.blocks.size(), 3u);
  std::string flashed;
  for (const auto& block : rig.device.blocks) flashed += testing::ToString(block);
  EXPECT_EQ(flashed, first);
}

}  // namespace
}  // namespace vextune
