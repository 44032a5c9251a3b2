#include "sim/bios_mode.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/text_util.h"
#include "sim/command_line.h"

namespace vextune::sim {
namespace {

constexpr char kPrompt[] = "\r\ncmd:";
constexpr char kBanner[] = "\r\nBIOS V.1.2\r\ncmd:";
constexpr size_t kMaxLine = 64;
constexpr uint8_t kCr = 0x0D;

struct ChipRow {
  uint8_t manufacturer;
  uint8_t device;
  FlashGeometry geometry;
};

// The chips this device family was built with.
constexpr ChipRow kChips[] = {
    {0x01, 0xA4, {65536, 524288}},  {0x01, 0x20, {16384, 131072}},  {0x01, 0xB0, {65536, 262144}},
    {0x01, 0x34, {65536, 262144}},  {0x01, 0xDA, {65536, 1048576}}, {0x01, 0x5B, {65536, 1048576}},
    {0x04, 0xDA, {65536, 1048576}}, {0x04, 0x5B, {65536, 1048576}}, {0x1F, 0x5D, {128, 65535}},
    {0x1F, 0xD5, {128, 131072}},    {0x1F, 0xDA, {256, 262144}},    {0x1F, 0x5B, {512, 524288}},
    {0x1F, 0xA4, {256, 524288}},    {0x20, 0xB0, {65536, 262144}},  {0x20, 0x34, {65536, 262144}},
    {0x20, 0xE2, {65536, 524288}},  {0xBF, 0xB4, {4096, 65536}},    {0xBF, 0xB5, {4096, 131072}},
    {0xBF, 0xB6, {4096, 262144}},   {0xDA, 0x45, {128, 262144}},    {0xDA, 0x46, {256, 524288}},
};

/// Writes `data` to `path` through a temporary file, so that the target
/// never holds half an image.
bool WriteWhole(const std::string& path, const std::vector<uint8_t>& data, std::string* error) {
  const std::string temp = path + ".part";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = "Cannot create " + temp + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  bool written = true;
  while (written && done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      written = false;
    } else {
      done += static_cast<size_t>(n);
    }
  }
  if (written && ::fsync(fd) != 0) written = false;
  // Closed on every path: a failed write must not keep the file open.
  if (::close(fd) != 0) written = false;
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    *error = "Cannot write " + path + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

FlashGeometry LookUpFlash(uint8_t manufacturer, uint8_t device) {
  for (const ChipRow& row : kChips) {
    if (row.manufacturer == manufacturer && row.device == device) return row.geometry;
  }
  return {};
}

BiosMode::BiosMode(BiosSetup setup)
    : setup_(std::move(setup)),
      geometry_(LookUpFlash(setup_.manufacturer, setup_.device)),
      image_(std::move(setup_.image)),
      completed_(setup_.completed) {}

Reaction BiosMode::Feed(uint8_t byte) {
  switch (state_) {
    case State::Prompt:
      if (byte == kEsc) {
        line_.clear();
      } else if (byte == kCr) {
        return HandleLine();
      } else if (byte >= 0x20 && byte < 0x7F && line_.size() < kMaxLine) {
        line_.push_back(static_cast<char>(byte));
      }
      return {};
    case State::AwaitStart:
      if (byte == kEsc) return BackToPrompt(kPrompt);
      if (byte != kAck) return {};
      state_ = State::AwaitGo;
      return {std::string{static_cast<char>(setup_.manufacturer), static_cast<char>(setup_.device),
                          static_cast<char>(setup_.flashTime & 0xFF),
                          static_cast<char>((setup_.flashTime >> 8) & 0xFF),
                          static_cast<char>((setup_.flashTime >> 16) & 0xFF),
                          static_cast<char>((setup_.flashTime >> 24) & 0xFF)},
              std::nullopt};
    case State::AwaitGo:
      if (byte == kEsc) return BackToPrompt(kPrompt);
      if (byte != kAck) return {};
      state_ = State::Count;
      countBytes_ = 0;
      blockCount_ = 0;
      return {};
    case State::Count: {
      blockCount_ = (blockCount_ << 8) | byte;
      if (++countBytes_ < 2) return {};
      const uint64_t bytes = uint64_t{blockCount_} * geometry_.sectorSize;
      // An image the chip cannot hold is refused before anything is erased.
      if (geometry_.sectorSize == 0 || bytes > geometry_.chipSize) {
        return BackToPrompt(std::string(1, static_cast<char>(kNak)));
      }
      const uint8_t answer = Handshake(0);
      if (answer != kAck) return BackToPrompt(std::string(1, static_cast<char>(answer)));
      receiving_.clear();
      receiving_.reserve(bytes);
      blocksDone_ = 0;
      if (blockCount_ == 0) return FinishUpdate(std::string(1, static_cast<char>(kAck)));
      state_ = State::Blocks;
      return {std::string(1, static_cast<char>(kAck)), std::nullopt};
    }
    case State::Blocks: {
      receiving_.push_back(byte);
      if (receiving_.size() % geometry_.sectorSize != 0) return {};
      ++blocksDone_;
      const uint8_t answer = Handshake(blocksDone_);
      if (answer != kAck) return BackToPrompt(std::string(1, static_cast<char>(answer)));
      if (blocksDone_ < blockCount_) return {std::string(1, static_cast<char>(kAck)), std::nullopt};
      return FinishUpdate(std::string(1, static_cast<char>(kAck)));
    }
    case State::Rebooting:
      return {};  // a restarting device hears nothing
  }
  return {};
}

Reaction BiosMode::HandleLine() {
  const std::string command = ToUpperAscii(TrimSpace(line_));
  line_.clear();
  if (command.empty()) return {kPrompt, std::nullopt};
  if (command == "V") return {kBanner, std::nullopt};
  if (command == "UPDATE") {
    state_ = State::AwaitStart;
    return {};
  }
  return {std::string("\r\nUNKNOWN COMMAND") + kPrompt, std::nullopt};
}

uint8_t BiosMode::Handshake(uint32_t point) const {
  if (setup_.blockReply && setup_.blockReplyAt == point) return *setup_.blockReply;
  return kAck;
}

Reaction BiosMode::FinishUpdate(std::string reply) {
  image_ = std::move(receiving_);
  receiving_.clear();
  ++completed_;
  // The installed firmware's time stamp is the one inside the new image.
  if (image_.size() >= 16) {
    setup_.flashTime = uint32_t{image_[12]} | uint32_t{image_[13]} << 8 |
                       uint32_t{image_[14]} << 16 | uint32_t{image_[15]} << 24;
  }
  state_ = State::Rebooting;
  line_.clear();
  return {std::move(reply), std::nullopt};
}

std::string BiosMode::Reboot() {
  if (state_ != State::Rebooting) return {};
  writeError_.clear();
  if (!setup_.flashOutPath.empty()) WriteWhole(setup_.flashOutPath, image_, &writeError_);
  // The BIOS switch is still on, so the boot loader prompts again.
  state_ = State::Prompt;
  return kBanner;
}

Reaction BiosMode::BackToPrompt(std::string reply) {
  state_ = State::Prompt;
  line_.clear();
  return {std::move(reply), std::nullopt};
}

}  // namespace vextune::sim
