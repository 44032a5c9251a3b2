// The update over a real pseudo-terminal against the device simulator.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/clock.h"
#include "link/posix_serial_port.h"
#include "sim/davozi_simulator.h"
#include "update/firmware_update.h"
#include "update_test_doubles.h"

namespace vextune {
namespace {

using testing::MakeImage;
using testing::Padded;
using testing::RecordingProgress;
using testing::RecordingPrompt;
namespace msg = update_message;

/// Passes opens on and keeps the rate of each.
class CountingOpener final : public SerialPortOpener {
 public:
  explicit CountingOpener(SerialPortOpener& inner) : inner_(inner) {}
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override {
    rates.push_back(baudRate);
    return inner_.Open(path, baudRate, port);
  }
  std::vector<uint32_t> rates;

 private:
  SerialPortOpener& inner_;
};

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class UpdateEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("vextune-update-e2e-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    options_.bios = true;
    options_.logPath = (dir_ / "received.log").string();
  }
  void TearDown() override {
    if (sim_) sim_->Stop();
    std::filesystem::remove_all(dir_);
  }

  /// Powers the simulator on with the options set so far.
  void StartDevice() {
    sim_ = std::make_unique<sim::DavoziSimulator>(options_);
    std::string error;
    settings_.portName = sim_->Start(&error);
    ASSERT_FALSE(settings_.portName.empty()) << error;
  }

  UpdateOutcome Update(const std::string& image) {
    std::istringstream stream(image, std::ios::binary);
    StreamUpdateSource source(stream);
    return RunFirmwareUpdate(link_, source, cancel_, progress_, prompt_, &info_);
  }

  /// What the device received after the update command, from its --log.
  std::string ReceivedAfterUpdateCommand() const {
    const std::string log = ReadWholeFile(options_.logPath);
    const size_t at = log.find(bios::kUpdateCommand);
    if (at == std::string::npos) return "(no update command)";
    return log.substr(at + bios::kUpdateCommand.size());
  }

  std::filesystem::path dir_;
  sim::SimulatorOptions options_;
  std::unique_ptr<sim::DavoziSimulator> sim_;
  std::ostringstream portErrors_;
  PosixSerialOpener posix_{&portErrors_};
  CountingOpener opener_{posix_};
  SystemClock clock_;
  LinkSettings settings_;
  DeviceLink link_{opener_, settings_, clock_};
  CancelFlag cancel_;
  RecordingPrompt prompt_;
  RecordingProgress progress_;
  UpdateRunInfo info_;
};

TEST_F(UpdateEndToEndTest, CompleteUpdateLeavesTheImageInFlashPaddedToWholeBlocks) {
  StartDevice();
  for (size_t size : {512u, 300u}) {
    SCOPED_TRACE(size);
    const std::string image = MakeImage(size);
    EXPECT_EQ(Update(image), UpdateOutcome::Completed);
    EXPECT_EQ(prompt_.messages.back(), msg::kComplete);
    const std::vector<uint8_t> flash = sim_->FlashImage();
    EXPECT_EQ(std::string(flash.begin(), flash.end()), Padded(image, 256));
  }
  EXPECT_EQ(sim_->CompletedUpdates(), 2);
  EXPECT_EQ(opener_.rates, (std::vector<uint32_t>{38400, 38400}));
}

TEST_F(UpdateEndToEndTest, BiosOnlyAtTheFallbackRateUpdatesThere) {
  options_.baud = 115200;
  StartDevice();
  const std::string image = MakeImage(1000);
  EXPECT_EQ(Update(image), UpdateOutcome::Completed);
  EXPECT_EQ(opener_.rates, (std::vector<uint32_t>{38400, 115200}));
  const std::vector<uint8_t> flash = sim_->FlashImage();
  EXPECT_EQ(std::string(flash.begin(), flash.end()), Padded(image, 256));
}

TEST_F(UpdateEndToEndTest, LargeSectorsOnAPacedLineAreAcknowledgedAfterTheirTimeOnTheLine) {
  options_.pace = true;
  options_.baud = 115200;
  options_.flashManufacturer = 0xBF;  // SST39SF020: 4096-byte sectors, 356 ms each
  options_.flashDevice = 0xB6;
  StartDevice();
  const std::string image = MakeImage(5000);
  EXPECT_EQ(Update(image), UpdateOutcome::Completed);
  const std::vector<uint8_t> flash = sim_->FlashImage();
  EXPECT_EQ(std::string(flash.begin(), flash.end()), Padded(image, 4096));
}

TEST_F(UpdateEndToEndTest, RefusedUpdatesSendOneAbortByteAndNoBlock) {
  struct Case {
    const char* name;
    uint8_t manufacturer;
    uint8_t device;
    size_t imageSize;
    PackedTime flashTime;
    UpdateOutcome outcome;
    std::vector<std::string> messages;
  };
  const PackedTime future = PackTime(2030, 1, 1, 0, 0, 0);
  const Case cases[] = {
      {"unsupported chip",
       0x01,
       0xB0,
       512,
       sim::kDefaultFlashTime,
       UpdateOutcome::Failed,
       {std::string(msg::kUnknownFlash)}},
      {"file too large",
       0xDA,
       0x45,
       262144 - 16384 - 128 + 1,
       sim::kDefaultFlashTime,
       UpdateOutcome::Failed,
       {std::string(msg::kFileTooLarge)}},
      {"declined", 0x1F, 0xA4, 512, future, UpdateOutcome::Declined, {}},
  };
  prompt_.answer = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    options_.flashManufacturer = c.manufacturer;
    options_.flashDevice = c.device;
    options_.flashTime = c.flashTime;
    std::filesystem::remove(options_.logPath);
    prompt_.messages.clear();
    StartDevice();
    EXPECT_EQ(Update(MakeImage(c.imageSize)), c.outcome);
    EXPECT_EQ(prompt_.messages, c.messages);
    EXPECT_EQ(ReceivedAfterUpdateCommand(), "\x06\x1b");
    EXPECT_EQ(sim_->CompletedUpdates(), 0);
    sim_->Stop();
  }
}

TEST_F(UpdateEndToEndTest, HandshakeAnsweredWithAnotherByteGetsTheAbortByte) {
  options_.blockReply = 0x15;
  options_.blockReplyAt = 0;
  StartDevice();
  EXPECT_EQ(Update(MakeImage(512)), UpdateOutcome::Failed);
  EXPECT_EQ(prompt_.messages, std::vector<std::string>{std::string(msg::kHandshakeFailed)});
  EXPECT_EQ(ReceivedAfterUpdateCommand(), std::string("\x06\x06\x00\x02\x1b", 5));
}

TEST_F(UpdateEndToEndTest, DeviceNotInBiosModeIsToldAndNotReopened) {
  options_.bios = false;
  StartDevice();
  EXPECT_EQ(Update(MakeImage(512)), UpdateOutcome::Failed);
  EXPECT_EQ(prompt_.messages, std::vector<std::string>{std::string(msg::kNotInBios)});
  EXPECT_EQ(opener_.rates, std::vector<uint32_t>{38400});
  EXPECT_EQ(ReceivedAfterUpdateCommand(), "(no update command)");
}

TEST_F(UpdateEndToEndTest, CancelInTheBlockLoopStopsAfterTheCurrentBlock) {
  StartDevice();
  progress_.onProgress = [&](int position) {
    if (position > 0) cancel_.Set();
  };
  EXPECT_EQ(Update(MakeImage(256 * 3)), UpdateOutcome::Cancelled);
  EXPECT_EQ(prompt_.messages, std::vector<std::string>{std::string(msg::kAborted)});
  const std::string received = ReceivedAfterUpdateCommand();
  // ACK, ACK, the count 3, one block, and no abort byte after it.
  ASSERT_EQ(received.size(), 4u + 256u);
  EXPECT_EQ(received.substr(0, 4), std::string("\x06\x06\x00\x03", 4));
  EXPECT_EQ(received.substr(4), MakeImage(256 * 3).substr(0, 256));
  EXPECT_EQ(sim_->CompletedUpdates(), 0);
}

}  // namespace
}  // namespace vextune
