#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fake_serial.h"
#include "update/packed_time.h"

namespace vextune::testing {

/// The device's side of the BIOS update protocol on a fake line, with knobs
/// for every way it can go wrong.
class FakeBiosDevice final : public FakeDevice {
 public:
  // ---- Behaviour ----
  std::set<uint32_t> biosRates{38400};  ///< rates at which it prompts "cmd:"
  std::set<uint32_t> normalRates;       ///< rates at which it identifies as normal firmware
  std::set<uint32_t> busyRates;         ///< opening at these rates fails with EBUSY
  uint8_t manufacturer = 0x1F;
  uint8_t device = 0xA4;
  PackedTime flashTime = PackTime(2020, 1, 1, 0, 0, 0);
  size_t identityBytes = 6;  ///< how much of manufacturer, device, time stamp it sends
  uint32_t sectorSize = 256;
  std::optional<uint8_t> countReply = 0x06;  ///< nothing: silent
  /// How long after a block its reply comes, in milliseconds.
  uint32_t blockReplyDelayMs = 1;
  /// Replies to single blocks (0-based); the others get ACK.
  std::map<size_t, std::optional<uint8_t>> blockReplies;

  // ---- What it saw ----
  uint16_t count = 0;
  std::vector<Bytes> blocks;

  SerialCode OnOpen(uint32_t baudRate) override;
  void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) override;

 private:
  enum class State { Prompt, IdentityAck, Start, Count, Blocks };
  void OnByte(uint8_t byte, uint32_t baudRate, FakeLine& line);
  void Reply(FakeLine& line, std::optional<uint8_t> byte, uint32_t delayMs = 1) {
    if (byte) line.Send(Bytes{*byte}, delayMs);
  }

  State state_ = State::Prompt;
  size_t blocks_this_update_ = 0;
  std::string line_;
  Bytes pending_;
};

}  // namespace vextune::testing
