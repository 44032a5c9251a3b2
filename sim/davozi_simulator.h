#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/clock.h"
#include "config/config_data.h"
#include "sim/device_mode.h"
#include "sim/pty_line.h"

namespace vextune::sim {

/// Packed flash time stamp of 2020-01-01 00:00:00 (year 40 since 1980,
/// month 1, day 1 in the upper half; the time of day in the lower half).
inline constexpr uint32_t kDefaultFlashTime = 0x50210000;

/// How the simulated DAV-OZI is set up. Every field has an option of the
/// davozi-sim program of the same name.
struct SimulatorOptions {
  /// The device's own line rate in Bd: 38400 or 115200. It answers only while
  /// the program's side of the line is set to this rate, 8N1.
  uint32_t baud = 38400;
  /// Firmware version as the identification shows it: "<major>.<minor>[letter]".
  std::string firmware = "1.4b";
  /// BIOS switch on: the device runs its boot loader and takes updates only.
  bool bios = false;
  /// Link channels (`Y`) at power-on, 0 to 10; empty keeps the stored value.
  std::optional<int> channels;
  /// Link channels (1 to 10) that carry a connection.
  std::set<int> connected;
  /// Nonvolatile memory as a .vxg file: loaded at power-on, written by "%ZS".
  /// Empty: the nonvolatile memory starts with the defaults and is lost at exit.
  std::string statePath;
  /// A symbolic link to the slave side, created at start and removed at stop.
  std::string linkPath;
  /// Every received byte is appended here, raw and in order, as it arrives.
  std::string logPath;
  /// Host-mode query text (exact, e.g. "Y" or "%AT") -> answer text sent
  /// instead of the device's own answer (code 1).
  std::map<std::string, std::string> replies;
  /// Bytes sent instead of the device's answer to ESC "S" CR.
  std::optional<std::string> sReply;
  /// Flash chip the BIOS reports: manufacturer and device identifier.
  uint8_t flashManufacturer = 0x1F;
  uint8_t flashDevice = 0xA4;
  /// Packed time stamp of the installed firmware, reported by the BIOS.
  uint32_t flashTime = kDefaultFlashTime;
  /// The version the normal firmware shows after an update; empty: the same
  /// as before.
  std::string firmwareAfterUpdate;
  /// The first start of the normal firmware after an update resets every
  /// parameter to its default and stores that.
  bool updateResetsParameters = false;
  /// The received image (block count x sector size bytes) is written here
  /// when an update ends.
  std::string flashOutPath;
  /// Byte sent instead of ACK at the point given by blockReplyAt.
  std::optional<uint8_t> blockReply;
  /// 0: the answer to the block count; n >= 1: the answer to the n-th block.
  uint32_t blockReplyAt = 0;
  /// The first N received bytes are served; everything after is consumed and
  /// ignored, as by a device that has locked up.
  std::optional<uint64_t> stopAfter;
  /// The terminal is closed once N bytes have been received; replies not yet
  /// on the line are lost.
  std::optional<uint64_t> hangupAfter;
  /// Host-mode answers that carry text are sent with code 0 and no text.
  bool hostCode0 = false;
  /// Host-mode answers that carry text are replaced by 300 bytes without a
  /// zero byte (then one zero byte).
  bool garbage = false;
  /// Pace the line like a UART at `baud`, 10 bits per byte: received bytes are
  /// acted on only after their time on the line, replies take their time.
  bool pace = false;
};

class DeviceCore;
class PtyLine;

/// A DAV-OZI on the slave side of a pseudo-terminal, served by its own thread.
/// The thread sleeps in poll() until a byte, a due reply or Stop() wakes it.
class DavoziSimulator {
 public:
  using Options = SimulatorOptions;

  explicit DavoziSimulator(Options options);
  ~DavoziSimulator();  ///< stops the device
  DavoziSimulator(const DavoziSimulator&) = delete;
  DavoziSimulator& operator=(const DavoziSimulator&) = delete;

  /// Powers the device on: checks the options, loads the nonvolatile memory,
  /// opens the pseudo-terminal and starts the thread. Returns the path of the
  /// slave side; empty on failure with the reason in *error (may be null).
  std::string Start(std::string* error = nullptr);
  /// Powers the device off: ends the thread, closes the terminal, removes the
  /// symbolic link. Changes not stored with "%ZS" are lost at the next Start,
  /// which powers the device on again on a new terminal. Idempotent; the
  /// snapshots below keep showing the state at power-off.
  void Stop();

  /// Sets the BIOS switch to `biosSwitch` and restarts the device on the same
  /// terminal (DeviceCore::Restart); later Starts keep the switch. False, with
  /// the reason in *error (may be null), when it is not running or the
  /// restart failed; the device then runs on as it was.
  bool Restart(bool biosSwitch, std::string* error = nullptr);

  /// The slave path given by Start; empty before.
  std::string SlavePath() const;
  /// False before Start, after Stop, after a hang-up or a fatal line error.
  bool Running() const;
  /// True once the terminal was closed on request (hangupAfter).
  bool HungUp() const;
  /// Why the device thread ended on its own; empty otherwise.
  std::string Error() const;

  // Snapshots of the device's state, safe to call while it runs.
  /// The working parameters.
  CConfigData Store() const;
  /// What "%ZS" stored last (or what was loaded at power-on).
  CConfigData Nonvolatile() const;
  DeviceMode Mode() const;
  /// Every byte received since Start, in order.
  std::string Received() const;
  /// The image of the last completed update (count x sector bytes).
  std::vector<uint8_t> FlashImage() const;
  /// The flash time stamp the BIOS reports now (changes with an update).
  uint32_t FlashTime() const;
  /// Number of updates received completely since Start.
  int CompletedUpdates() const;
  /// The device's clock (set by "K h:m:s" and "K dd.mm.yy").
  std::tm DeviceTime() const;

  /// Blocks until at least `count` bytes have been received and acted on, or
  /// until `timeout` has passed. True when they were.
  bool WaitForReceived(size_t count, std::chrono::milliseconds timeout) const;
  /// Blocks until the device thread has ended (Stop, hang-up or line error).
  void WaitUntilEnded() const;

 private:
  void Run();
  /// Logs received bytes and queues them for the device.
  void Record(const std::vector<TimedByte>& bytes);
  /// Lets the device act on the queued bytes that are through the line.
  void Act(uint64_t nowNs, std::optional<uint64_t>& hangupAt);
  /// Ends the device's reboot after an update once its last ACK is on the
  /// line. Needs mutex_.
  void FinishReboot();
  /// Tells the operator about a new store or image write problem. Needs mutex_.
  void ReportProblem();

  Options options_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<PtyLine> line_;
  std::unique_ptr<DeviceCore> core_;
  std::thread thread_;
  std::deque<TimedByte> pending_;  ///< received, not yet through the line
  int stopFd_ = -1;
  int logFd_ = -1;
  std::string slavePath_;
  bool linkCreated_ = false;

  mutable std::mutex mutex_;  ///< guards core_ and everything below
  mutable std::condition_variable changed_;
  bool running_ = false;
  bool hungUp_ = false;
  std::string error_;
  uint64_t actedCount_ = 0;
  std::string receivedBytes_;
  std::string lastProblem_;
};

}  // namespace vextune::sim
