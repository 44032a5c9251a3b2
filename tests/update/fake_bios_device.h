#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
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
  std::set<uint32_t> biosRates{38400};  ///< rates at which it prompts "cmd:"
  std::set<uint32_t> normalRates;       ///< rates at which it identifies as normal firmware
  std::set<uint32_t> busyRates;         ///< opening at these rates fails with EBUSY
  uint8_t manufacturer = 0x1F;
  uint8_t device = 0xA4;
  PackedTime flashTime = PackTime(2020, 1, 1, 0, 0, 0);
  size_t identityBytes = 6;  ///< how much of manufacturer, device, time stamp it sends
  uint32_t sectorSize = 256;
  std::optional<uint8_t> countReply = 0x06;  ///< nothing: silent
  uint32_t blockReplyDelayMs = 1;
  /// Replies to single blocks (0-based; nothing: silent); the others get ACK.
  std::map<size_t, std::optional<uint8_t>> blockReplies;
  /// Called with each block's number (0-based) when it has arrived, before
  /// the reply: lets a test break the line or change the file then.
  std::function<void(size_t)> afterBlock;

  // What it saw.
  uint16_t count = 0;
  std::vector<Bytes> blocks;

  SerialCode OnOpen(uint32_t baudRate) override {
    state_ = State::Prompt;
    line_.clear();
    pending_.clear();
    return busyRates.count(baudRate) ? EBUSY : kSerialOk;
  }
  void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) override {
    for (uint8_t byte : bytes) OnByte(byte, baudRate, line);
  }

 private:
  enum class State { Prompt, IdentityAck, Start, Count, Blocks };

  void OnByte(uint8_t byte, uint32_t baudRate, FakeLine& line) {
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
        state_ = byte == 0x06 ? State::Start : State::Prompt;
        Bytes identity{manufacturer, device};
        for (int shift = 0; shift < 32; shift += 8) identity.push_back(flashTime >> shift);
        identity.resize(identityBytes);
        if (byte == 0x06) line.Send(identity);
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
        blocksThisUpdate_ = 0;
        if (countReply) line.Send(Bytes{*countReply});
        state_ = State::Blocks;
        return;
      case State::Blocks: {
        // Block data may hold any byte, ESC included.
        pending_.push_back(byte);
        if (pending_.size() < sectorSize) return;
        blocks.push_back(pending_);
        pending_.clear();
        if (afterBlock) afterBlock(blocksThisUpdate_);
        auto scripted = blockReplies.find(blocksThisUpdate_++);
        const auto reply = scripted != blockReplies.end() ? scripted->second : uint8_t{0x06};
        if (reply) line.Send(Bytes{*reply}, blockReplyDelayMs);
        if (blocksThisUpdate_ >= count) state_ = State::Prompt;  // reboots
        return;
      }
    }
  }

  State state_ = State::Prompt;
  size_t blocksThisUpdate_ = 0;
  std::string line_;
  Bytes pending_;
};

}  // namespace vextune::testing
