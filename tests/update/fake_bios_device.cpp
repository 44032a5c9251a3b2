#include "fake_bios_device.h"

#include <cerrno>

namespace vextune::testing {

SerialCode FakeBiosDevice::OnOpen(uint32_t baudRate) {
  if (busyRates.count(baudRate)) return EBUSY;
  state_ = State::Prompt;
  line_.clear();
  pending_.clear();
  return kSerialOk;
}

void FakeBiosDevice::OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) {
  for (uint8_t byte : bytes) OnByte(byte, baudRate, line);
}

void FakeBiosDevice::OnByte(uint8_t byte, uint32_t baudRate, FakeLine& line) {
  const bool bios = biosRates.count(baudRate) > 0;
  switch (state_) {
    case State::Prompt:
      line_.push_back(static_cast<char>(byte));
      if (byte != '\r') return;
      if (line_ == "\x1b\r" && bios) line.Send("\r\ncmd:");
      if (line_ == "\x1bv\r" && normalRates.count(baudRate)) line.Send("DAVOZI V.1.4b, OK\r\n");
      if (line_ == "UPDATE\r" && bios) state_ = State::IdentityAck;
      line_.clear();
      return;
    case State::IdentityAck: {
      state_ = State::Prompt;
      if (byte != 0x06) return;
      const Bytes identity{manufacturer,
                           device,
                           static_cast<uint8_t>(flashTime),
                           static_cast<uint8_t>(flashTime >> 8),
                           static_cast<uint8_t>(flashTime >> 16),
                           static_cast<uint8_t>(flashTime >> 24)};
      line.Send(Bytes(identity.begin(), identity.begin() + identityBytes));
      state_ = State::Start;
      return;
    }
    case State::Start:
      state_ = byte == 0x06 ? State::Count : State::Prompt;
      return;
    case State::Count:
      pending_.push_back(byte);
      if (pending_.size() < 2) return;
      count = static_cast<uint16_t>(pending_[0] << 8 | pending_[1]);
      pending_.clear();
      blocks_this_update_ = 0;
      Reply(line, countReply);
      state_ = State::Blocks;
      return;
    case State::Blocks: {
      // Block data may hold any byte, ESC included.
      pending_.push_back(byte);
      if (pending_.size() < sectorSize) return;
      blocks.push_back(pending_);
      pending_.clear();
      auto special = blockReplies.find(blocks_this_update_++);
      Reply(line, special != blockReplies.end() ? special->second : std::optional<uint8_t>(0x06),
            blockReplyDelayMs);
      if (blocks_this_update_ >= count) state_ = State::Prompt;  // reboots
      return;
    }
  }
}

}  // namespace vextune::testing
