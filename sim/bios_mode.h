#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/device_mode.h"

namespace vextune::sim {

/// Sector and chip size of the flash chip the device carries, in bytes.
/// Both 0 for a chip the boot loader does not know.
struct FlashGeometry {
  uint32_t sectorSize = 0;
  uint32_t chipSize = 0;
};
FlashGeometry LookUpFlash(uint8_t manufacturer, uint8_t device);

/// What the boot loader is set up with.
struct BiosSetup {
  uint8_t manufacturer = 0x1F;
  uint8_t device = 0xA4;
  uint32_t flashTime = 0;             ///< packed time stamp of the installed firmware
  std::string flashOutPath;           ///< where a received image is written; may be empty
  std::optional<uint8_t> blockReply;  ///< sent instead of ACK at blockReplyAt
  uint32_t blockReplyAt = 0;          ///< 0: the block count, n: the n-th block
  /// What the flash held before this start: the last image received and
  /// how many updates were received since the simulator started.
  std::vector<uint8_t> image;
  int completed = 0;
};

/// The boot loader that runs while the BIOS switch is on. It prompts "cmd:"
/// on ESC CR and takes a firmware image with "UPDATE": ACK, flash identity
/// (manufacturer, device, time stamp LSB first), ACK, block count (MSB
/// first), ACK, then one ACK per block of sector-size bytes. ESC aborts
/// only where an ACK is awaited; block data may hold any byte. After the
/// last block's ACK the image is kept and the device reboots: it hears
/// nothing until Reboot() ends the reboot with the boot loader's banner.
class BiosMode {
 public:
  explicit BiosMode(BiosSetup setup);

  Reaction Feed(uint8_t byte);

  /// True from the last block's ACK until Reboot().
  bool Rebooting() const { return state_ == State::Rebooting; }
  /// Ends the reboot after an update: writes the image to flashOutPath and
  /// returns the banner of the restarted boot loader; empty when no reboot
  /// is under way. The line calls it once the last ACK has gone out, so that
  /// the ACK never waits for the host's disk.
  std::string Reboot();

  /// The image of the last completed update.
  const std::vector<uint8_t>& Image() const { return image_; }
  uint32_t FlashTime() const { return setup_.flashTime; }
  int CompletedUpdates() const { return completed_; }
  /// Why the last image could not be written to flashOutPath (at Reboot);
  /// empty otherwise.
  const std::string& WriteError() const { return writeError_; }

  static constexpr uint8_t kAck = 0x06;
  static constexpr uint8_t kNak = 0x15;
  static constexpr uint8_t kEsc = 0x1B;

 private:
  enum class State { Prompt, AwaitStart, AwaitGo, Count, Blocks, Rebooting };

  Reaction HandleLine();
  /// The answer to the block count or to a block: ACK unless told otherwise.
  uint8_t Handshake(uint32_t point) const;
  /// Keeps the received image and starts the reboot; `reply` is the last ACK.
  Reaction FinishUpdate(std::string reply);
  Reaction BackToPrompt(std::string reply);

  BiosSetup setup_;
  FlashGeometry geometry_;
  State state_ = State::Prompt;
  std::string line_;
  uint32_t countBytes_ = 0;
  uint32_t blockCount_ = 0;
  uint32_t blocksDone_ = 0;
  std::vector<uint8_t> receiving_;
  std::vector<uint8_t> image_;
  int completed_ = 0;
  std::string writeError_;
};

}  // namespace vextune::sim
