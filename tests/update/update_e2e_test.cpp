// The update over a real pseudo-terminal against the device simulator.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "blocking_file.h"
#include "common/clock.h"
#include "link/posix_serial_port.h"
#include "sim/davozi_simulator.h"
#include "temp_dir.h"
#include "update/firmware_update.h"
#include "update_test_doubles.h"

namespace vextune {
namespace {

using testing::MakeImage;
namespace msg = update_message;

/// One simulated device in BIOS mode and one update run against it.
struct SimRun {
  explicit SimRun(const std::function<void(sim::SimulatorOptions&)>& setup) {
    sim::SimulatorOptions options;
    options.bios = true;
    setup(options);
    device = std::make_unique<sim::DavoziSimulator>(options);
    std::string error;
    settings.portName = device->Start(&error);
    EXPECT_FALSE(settings.portName.empty()) << error;
  }
  UpdateOutcome Update(const std::string& image) {
    std::istringstream stream(image, std::ios::binary);
    StreamUpdateSource source(stream);
    return RunFirmwareUpdate(link, source, cancel, progress, prompt, &info);
  }
  /// What the device received after the update command. Every run ends with
  /// 150 ms of silence, time enough for the device to take the last byte.
  std::string ReceivedAfterUpdateCommand() const {
    const std::string received = device->Received();
    const size_t at = received.find(bios::kUpdateCommand);
    if (at == std::string::npos) return "(no update command)";
    return received.substr(at + bios::kUpdateCommand.size());
  }
  std::string Flash() const {
    const std::vector<uint8_t> flash = device->FlashImage();
    return std::string(flash.begin(), flash.end());
  }

  std::unique_ptr<sim::DavoziSimulator> device;
  PosixSerialOpener opener{nullptr};
  SystemClock clock;
  LinkSettings settings;
  DeviceLink link{opener, settings, clock};
  UpdateRunInfo info;
  CancelFlag cancel;
  testing::RecordingPrompt prompt;
  testing::RecordingProgress progress;
};

TEST(UpdateEndToEnd, TheImageLandsInFlashPaddedToWholeBlocksAtEitherRate) {
  for (uint32_t baud : {38400u, 115200u}) {
    SCOPED_TRACE(baud);
    SimRun run([baud](sim::SimulatorOptions& o) { o.baud = baud; });
    const std::string image = MakeImage(300);
    EXPECT_EQ(run.Update(image), UpdateOutcome::Completed);
    EXPECT_EQ(run.prompt.messages.back(), msg::kComplete);
    EXPECT_EQ(run.Flash(), testing::Padded(image, 256));
    EXPECT_EQ(run.device->CompletedUpdates(), 1);
    EXPECT_EQ(run.info.baudRate, baud);
  }
}

TEST(UpdateEndToEnd, RefusedUpdatesSendOneAbortByteAndNoBlock) {
  using O = sim::SimulatorOptions;
  struct Case {
    const char* name;
    std::function<void(O&)> setup;
    size_t imageSize;
    UpdateOutcome outcome;
    std::string_view message;
    std::string received;  ///< after the update command
  };
  const std::string ackEsc = "\x06\x1b";
  const Case cases[] = {
      {"unsupported chip", [](O& o) { o.flashManufacturer = 0x01, o.flashDevice = 0xB0; }, 512,
       UpdateOutcome::Failed,
       "Error unknown flash type.\nFlash chip: AMD Am29F002BT (maker code 01, device code B0), "
       "which the update cannot write.",
       ackEsc},
      {"file too large", [](O& o) { o.flashManufacturer = 0xDA, o.flashDevice = 0x45; },
       262144 - 16384 - 128 + 1, UpdateOutcome::Failed, msg::kFileTooLarge, ackEsc},
      {"declined", [](O& o) { o.flashTime = PackTime(2030, 1, 1, 0, 0, 0); }, 512,
       UpdateOutcome::Declined, "", ackEsc},
      {"foreign handshake byte", [](O& o) { o.blockReply = 0x15, o.blockReplyAt = 0; }, 512,
       UpdateOutcome::Failed, msg::kHandshakeFailed, std::string("\x06\x06\x00\x02\x1b", 5)},
      {"not in BIOS mode", [](O& o) { o.bios = false; }, 512, UpdateOutcome::Failed,
       msg::kNotInBios, "(no update command)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimRun run(c.setup);
    run.prompt.answer = false;
    EXPECT_EQ(run.Update(MakeImage(c.imageSize)), c.outcome);
    EXPECT_EQ(run.prompt.messages, c.message.empty()
                                       ? std::vector<std::string>{}
                                       : std::vector<std::string>{std::string(c.message)});
    EXPECT_EQ(run.ReceivedAfterUpdateCommand(), c.received);
    EXPECT_EQ(run.device->CompletedUpdates(), 0);
    EXPECT_EQ(run.info.baudRate, 38400u) << "reopened at 115200";
    EXPECT_EQ(run.info.endMessage.text, c.message);
  }
}

TEST(UpdateEndToEnd, CancelInTheBlockLoopStopsAfterTheCurrentBlock) {
  SimRun run([](sim::SimulatorOptions&) {});
  run.progress.onProgress = [&](int position) {
    if (position > 0) run.cancel.Set();
  };
  const std::string image = MakeImage(256 * 3);
  EXPECT_EQ(run.Update(image), UpdateOutcome::Cancelled);
  EXPECT_EQ(run.prompt.messages, std::vector<std::string>{std::string(msg::kAborted)});
  // ACK, ACK, the count 3, one block, and no abort byte after it.
  EXPECT_EQ(run.ReceivedAfterUpdateCommand(),
            std::string("\x06\x06\x00\x03", 4) + image.substr(0, 256));
  EXPECT_EQ(run.device->CompletedUpdates(), 0);
}

TEST(UpdateEndToEnd, ASlowImageFileOnTheSimulatorsHostDelaysNoHandshake) {
  // The simulator keeps its image through a temporary file beside the target;
  // here that file's disk takes as long as the test wants.
  const testing::TempDir dir;
  const std::string flashOut = dir.Path("flash.bin");
  {
    SimRun run([&](sim::SimulatorOptions& o) {
      o.pace = true;
      o.flashOutPath = flashOut;
    });
    // Declared after the device: released before the device is stopped.
    testing::BlockingFile slowDisk(flashOut + ".part");
    ASSERT_TRUE(slowDisk.ok());
    const std::string image = MakeImage(256 * 3);
    EXPECT_EQ(run.Update(image), UpdateOutcome::Completed);
    EXPECT_EQ(run.prompt.messages.back(), msg::kComplete);
    EXPECT_EQ(slowDisk.Release(), image);
  }
}

}  // namespace
}  // namespace vextune
