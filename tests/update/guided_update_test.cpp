// The guided update against the simulator's device logic on the fake line and
// clock: the device is restarted by the test when the run tells the user to
// flip the BIOS switch, as a user would.
#include "transfer/guided_update.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "fake_serial.h"
#include "sim/davozi_simulator.h"
#include "sim/device_core.h"
#include "sim/parameter_store.h"
#include "temp_dir.h"
#include "transfer_test_support.h"
#include "update_test_doubles.h"

namespace vextune::testing {
namespace {

constexpr uint32_t kProbeIntervalMs = 1000;
constexpr uint64_t kWaitTimeoutMs = 2 * 60 * 1000;

/// The simulated device behind the fake line, restarted at the moments a
/// test gives (when the program next touches the line after them).
class RestartingDevice final : public FakeDevice {
 public:
  RestartingDevice(const sim::SimulatorOptions& options, FakeClock& clock,
                   const CConfigData& stored)
      : clock_(clock),
        core_(std::make_unique<sim::DeviceCore>(options, *sim::FirmwareNumber(options.firmware),
                                                clock)),
        baud_(options.baud) {
    std::string error;
    EXPECT_TRUE(core_->PowerOn(&stored, &error)) << error;
  }
  void RestartAt(uint64_t ms, bool bios) { restarts_.push_back({ms, bios}); }
  SerialCode OnOpen(uint32_t) override {
    CatchUp();
    return kSerialOk;
  }
  void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) override {
    CatchUp();
    for (uint8_t b : bytes) {
      const std::string reply = core_->Feed(b);
      if (baudRate == baud_ && !reply.empty()) line.Send(reply);
    }
    // The boot loader is back at its prompt right after an update.
    core_->Reboot();
  }
  const sim::DeviceCore& core() const { return *core_; }
  int restarts = 0;

 private:
  void CatchUp() {
    while (!restarts_.empty() && clock_.NowMs() >= restarts_.front().first) {
      std::string error;
      auto next = core_->Restart(restarts_.front().second, clock_, &error);
      ASSERT_TRUE(next) << error;
      core_ = std::move(next);
      restarts_.erase(restarts_.begin());
      ++restarts;
    }
  }

  FakeClock& clock_;
  std::unique_ptr<sim::DeviceCore> core_;
  uint32_t baud_;
  std::vector<std::pair<uint64_t, bool>> restarts_;
};

class GuidedUpdateTest : public ::testing::Test {
 protected:
  GuidedUpdateTest() { options.firmwareAfterUpdate = "1.5a"; }

  /// Runs the guided update; the user restarts the device `userDelayMs`
  /// after each instruction (never, when unset).
  GuidedUpdateReport Run(std::optional<uint64_t> userDelayMs = 3500) {
    device.emplace(options, clock, stored);
    ports.emplace(clock, *device);
    clock.WatchCancel(cancel);
    DeviceLink link{*ports, settings, clock};
    std::istringstream stream(image);
    file = &stream;
    StreamUpdateSource source(stream);
    BackupStore store(backups.path(), clock);
    GuidedUpdateOptions guided;
    guided.update.fileName = "firmware.amb";
    guided.timing = {kProbeIntervalMs, kWaitTimeoutMs};
    guided.backups = keepBackups ? &store : nullptr;
    guided.noBackupReason = noBackupReason;
    guided.portPresent = portPresent;
    const StatusSink status = [&](const std::string& text) {
      statuses.push_back(text);
      const bool on = text == guided_message::kSwitchBiosOn;
      if ((on || text == guided_message::kSwitchBiosOff) && userDelayMs) {
        device->RestartAt(clock.NowMs() + *userDelayMs, on);
      }
      if (onStatus) onStatus(text);
    };
    GuidedUpdateReport report =
        RunGuidedUpdate(link, state, source, cancel, progress, prompt, status, guided);
    EXPECT_EQ(ports->openCount(), 0);
    return report;
  }
  bool Wrote(const std::string& bytes) const {
    return ToString(ports->Written()).find(bytes) != std::string::npos;
  }
  bool Saw(std::string_view status) const {
    return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
  }

  sim::SimulatorOptions options;
  CConfigData stored = EveryDeviceParameterChanged();
  std::string image = MakeImage(3000);
  FakeClock clock;
  std::optional<RestartingDevice> device;
  std::optional<FakeSerialOpener> ports;
  LinkSettings settings{"ttyACM0", 38400};
  DeviceState state;
  CancelFlag cancel;
  RecordingProgress progress;
  RecordingPrompt prompt;
  TempDir backups;
  std::vector<std::string> statuses;
  std::function<void(const std::string&)> onStatus;
  std::function<bool(const std::string&)> portPresent;
  std::istringstream* file = nullptr;  ///< the update file while Run runs
  bool keepBackups = true;
  std::string noBackupReason = kNoBackupFolderText;
};

TEST_F(GuidedUpdateTest, FromTheNormalFirmwareIntoBiosModeAndBack) {
  const GuidedUpdateReport report = Run();
  ASSERT_EQ(report.outcome, GuidedOutcome::Completed) << report.endMessage.text;
  EXPECT_EQ(device->restarts, 2);
  EXPECT_EQ(report.firmwareBefore, " V.1.4b");
  EXPECT_EQ(report.firmwareAfter, " V.1.5a");
  EXPECT_EQ(state.firmwareText, " V.1.5a");
  const std::vector<uint8_t> flash = device->core().Bios().Image();
  EXPECT_EQ(std::string(flash.begin(), flash.end()), Padded(image, 256));

  // The backup was kept before anything was written, and it is the device's.
  ASSERT_FALSE(report.backupFile.empty());
  CConfigData kept;
  std::string error;
  ASSERT_TRUE(LoadConfigFile(report.backupFile, kept, nullptr, &error)) << error;
  EXPECT_TRUE(kept.IsEqual(stored, false));
  // Nothing changed, so nothing was offered.
  EXPECT_TRUE(report.differences.empty());
  EXPECT_FALSE(report.restoreOffered);
  EXPECT_TRUE(prompt.questions.empty());
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(prompt.messages[0],
            "Firmware update complete.\nFirmware before: V.1.4b\nFirmware now: V.1.5a\nThe "
            "configuration is the same as before the update.\nBackup: " +
                report.backupFile);
  // Between the probes the run slept through the clock.
  EXPECT_GE(std::count(clock.sleeps().begin(), clock.sleeps().end(), kProbeIntervalMs), 4);
}

TEST_F(GuidedUpdateTest, TheImageCheckedBeforeTheRestartIsTheOneWritten) {
  const std::string checked = image;
  onStatus = [&](const std::string& text) {
    if (text == guided_message::kSwitchBiosOn) file->str(MakeImage(2000));
  };
  const GuidedUpdateReport report = Run();
  ASSERT_EQ(report.outcome, GuidedOutcome::Completed) << report.endMessage.text;
  const std::vector<uint8_t> flash = device->core().Bios().Image();
  EXPECT_EQ(std::string(flash.begin(), flash.end()), Padded(checked, 256));
}

TEST_F(GuidedUpdateTest, APortThatIsGoneWhileTheDeviceRestartsIsNotOpened) {
  // Gone for the first two looks after each instruction.
  int looks = 0;
  std::vector<uint64_t> goneAt;
  onStatus = [&](const std::string&) { looks = 0; };
  portPresent = [&](const std::string& name) {
    EXPECT_EQ(name, "ttyACM0");
    if (++looks > 2) return true;
    goneAt.push_back(clock.NowMs());
    return false;
  };
  const GuidedUpdateReport report = Run();
  ASSERT_EQ(report.outcome, GuidedOutcome::Completed) << report.endMessage.text;
  ASSERT_EQ(goneAt.size(), 4u);
  for (const LineEvent& e : ports->events()) {
    if (e.kind == LineEvent::Open) {
      EXPECT_EQ(std::count(goneAt.begin(), goneAt.end(), e.timeMs), 0) << e.timeMs;
    }
  }
}

TEST_F(GuidedUpdateTest, ADeviceInBiosModeGoesStraightToTheUpdate) {
  options.bios = true;
  const GuidedUpdateReport report = Run();
  ASSERT_EQ(report.outcome, GuidedOutcome::Completed) << report.endMessage.text;
  EXPECT_TRUE(report.startedInBios);
  EXPECT_EQ(device->restarts, 1);
  EXPECT_FALSE(Saw(guided_message::kSwitchBiosOn));
  EXPECT_TRUE(Saw(guided_message::kSwitchBiosOff));
  EXPECT_TRUE(report.backupFile.empty());
  EXPECT_EQ(report.firmwareAfter, " V.1.5a");
  // No host mode before the update: BIOS mode has none.
  EXPECT_EQ(ToString(ports->Written()).find("\x1bJHOST1\r"), std::string::npos);
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_NE(prompt.messages[0].find("Firmware before: not known (BIOS mode)\n"), std::string::npos)
      << prompt.messages[0];
}

TEST_F(GuidedUpdateTest, AWaitThatRunsOutSaysWhatToDo) {
  struct Case {
    const char* name;
    bool bios;  ///< in BIOS mode from the start: the wait after the update runs out
    GuidedStage stage;
    const char* says;
    bool flashed;
  };
  const Case cases[] = {
      {"never switched on", false, GuidedStage::WaitForBios,
       "The DAV-OZI did not answer in BIOS mode within 2 minutes.\nNothing was written to the "
       "DAV-OZI.",
       false},
      {"never switched off", true, GuidedStage::WaitForFirmware,
       "The firmware was written, but the DAV-OZI's normal firmware did not answer within 2 "
       "minutes.",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    options.bios = c.bios;
    prompt = RecordingPrompt();
    const uint64_t start = clock.NowMs();
    const GuidedUpdateReport report = Run(std::nullopt);
    EXPECT_EQ(report.outcome, GuidedOutcome::Failed);
    EXPECT_EQ(report.stage, c.stage);
    EXPECT_TRUE(report.endMessage.text.starts_with(c.says)) << report.endMessage.text;
    EXPECT_EQ(prompt.messages.back(), report.endMessage.text);
    EXPECT_EQ(Wrote("UPDATE\r"), c.flashed);
    // It gave up at the time-out, having probed at its pace until then.
    EXPECT_GE(clock.NowMs() - start, kWaitTimeoutMs);
    EXPECT_LT(clock.NowMs() - start, kWaitTimeoutMs + 60000);
    int opens = 0;
    for (const LineEvent& e : ports->events()) opens += e.kind == LineEvent::Open;
    EXPECT_LE(opens, static_cast<int>(kWaitTimeoutMs / kProbeIntervalMs) + 10);
  }
}

TEST_F(GuidedUpdateTest, CancelDuringTheWaitEndsItAtOnce) {
  uint64_t cancelledAt = 0;
  onStatus = [&](const std::string& text) {
    if (text == guided_message::kSwitchBiosOn) {
      clock.CancelAt(clock.NowMs() + 2500, [&] { cancelledAt = clock.NowMs(); });
    }
  };
  const GuidedUpdateReport report = Run(std::nullopt);
  EXPECT_EQ(report.outcome, GuidedOutcome::Cancelled);
  EXPECT_EQ(report.stage, GuidedStage::WaitForBios);
  EXPECT_TRUE(report.endMessage.text.starts_with("Update cancelled.\nNothing was written"))
      << report.endMessage.text;
  EXPECT_FALSE(Wrote("UPDATE\r"));
  // No probe after the cancel, and the run ended when it came.
  ASSERT_NE(cancelledAt, 0u);
  for (const LineEvent& e : ports->events()) {
    if (e.kind == LineEvent::Open) {
      EXPECT_LT(e.timeMs, cancelledAt);
    }
  }
  EXPECT_EQ(clock.NowMs(), cancelledAt);
}

TEST_F(GuidedUpdateTest, AConfigurationTheUpdateResetIsOfferedBack) {
  options.updateResetsParameters = true;
  for (bool send : {true, false}) {
    SCOPED_TRACE(send);
    prompt = RecordingPrompt();
    prompt.answer = send;
    statuses.clear();
    const GuidedUpdateReport report = Run();
    ASSERT_EQ(report.outcome, GuidedOutcome::Completed) << report.endMessage.text;
    EXPECT_TRUE(report.restoreOffered);
    EXPECT_FALSE(report.differences.empty());
    ASSERT_EQ(prompt.questions.size(), 1u);
    EXPECT_TRUE(prompt.questions[0].starts_with(
        "After the update the DAV-OZI's configuration differs from the backup taken before it "
        "in " +
        std::to_string(report.differences.size()) + " settings (now → backup):\n  "))
        << prompt.questions[0];
    EXPECT_EQ(report.backupSent, send);
    // Sent, it is stored and verified by a read; declined, the defaults stay.
    const CConfigData& nonvolatile = device->core().Store().Nonvolatile();
    EXPECT_EQ(nonvolatile.IsEqual(stored, false), send);
    EXPECT_EQ(nonvolatile.IsEqual(CConfigData(), false), !send);
    EXPECT_EQ(Saw(kCheckingStatus), send);
    EXPECT_NE(prompt.messages.back().find(send ? "The backup was sent and verified"
                                               : "The configuration differs from the backup"),
              std::string::npos)
        << prompt.messages.back();
  }
}

TEST_F(GuidedUpdateTest, WithoutABackupTheUserDecides) {
  keepBackups = false;
  struct Case {
    const char* reason;
    bool answer;
    GuidedOutcome outcome;
    size_t questions;
  };
  for (const Case& c : {Case{kNoBackupFolderText, false, GuidedOutcome::Declined, 1},
                        Case{kNoBackupFolderText, true, GuidedOutcome::Completed, 1},
                        Case{"", false, GuidedOutcome::Completed, 0}}) {
    SCOPED_TRACE(std::string(c.reason) + (c.answer ? " yes" : " no"));
    noBackupReason = c.reason;
    statuses.clear();
    prompt = RecordingPrompt();
    prompt.answer = c.answer;
    const GuidedUpdateReport report = Run();
    EXPECT_EQ(report.outcome, c.outcome) << report.endMessage.text;
    ASSERT_EQ(prompt.questions.size(), c.questions);
    if (c.questions > 0) {
      EXPECT_NE(prompt.questions[0].find(c.reason), std::string::npos);
    }
    EXPECT_TRUE(prompt.defaultNo.empty() || prompt.defaultNo[0]);
    // Declined, nothing was written and the user was not sent to the switch.
    EXPECT_EQ(Wrote("UPDATE\r"), c.outcome == GuidedOutcome::Completed);
    EXPECT_EQ(Saw(guided_message::kSwitchBiosOn), c.outcome == GuidedOutcome::Completed);
    EXPECT_TRUE(report.backupFile.empty());
  }
}

TEST_F(GuidedUpdateTest, AFileTheUpdateWouldRefuseCostsNoRestart) {
  image = "# not firmware\n";
  const GuidedUpdateReport report = Run();
  EXPECT_EQ(report.outcome, GuidedOutcome::Failed);
  EXPECT_EQ(report.stage, GuidedStage::CheckFile);
  EXPECT_TRUE(ports->events().empty());
  EXPECT_TRUE(statuses.empty());
}

}  // namespace
}  // namespace vextune::testing
