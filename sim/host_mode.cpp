#include "sim/host_mode.h"

#include "sim/command_line.h"

namespace vextune::sim {
namespace {

constexpr size_t kGarbageLength = 300;

}  // namespace

HostMode::HostMode(ParameterStore& store, HostModeSetup setup)
    : store_(&store), setup_(std::move(setup)) {}

void HostMode::Reset() {
  headerSeen_ = 0;
  text_.clear();
}

Reaction HostMode::Feed(uint8_t byte) {
  switch (headerSeen_) {
    case 0:
      channel_ = byte;
      headerSeen_ = 1;
      return {};
    case 1:
      kind_ = byte;
      headerSeen_ = 2;
      return {};
    case 2:
      length_ = static_cast<size_t>(byte) + 1;
      headerSeen_ = 3;
      text_.clear();
      return {};
    default:
      text_.push_back(static_cast<char>(byte));
      if (text_.size() < length_) return {};
      headerSeen_ = 0;
      return HandleFrame();
  }
}

Reaction HostMode::HandleFrame() {
  if (kind_ != 1) {
    // Information for the link on this channel: taken, nothing to say.
    return {Encode(channel_, kOk, {}), std::nullopt};
  }
  uint8_t code = kOk;
  std::optional<DeviceMode> next;
  std::string answer = Execute(channel_, text_, code, next);
  if (auto it = setup_.replies.find(text_); it != setup_.replies.end()) {
    code = kOkText;
    answer = it->second;
  }
  if (code == kOkText && setup_.code0) code = kOk;
  if (code == kOkText && setup_.garbage) {
    std::string bytes(1, static_cast<char>(channel_));
    bytes.push_back(static_cast<char>(kOkText));
    for (size_t i = 0; i < kGarbageLength; ++i) {
      // xorshift: varied bytes, never a zero byte.
      garbageSeed_ ^= garbageSeed_ << 13;
      garbageSeed_ ^= garbageSeed_ >> 17;
      garbageSeed_ ^= garbageSeed_ << 5;
      bytes.push_back(static_cast<char>(1 + garbageSeed_ % 255));
    }
    bytes.push_back('\0');
    return {bytes, next};
  }
  return {Encode(channel_, code, answer), next};
}

std::string HostMode::Execute(uint8_t channel, std::string_view text, uint8_t& code,
                              std::optional<DeviceMode>& next) {
  const CommandLine cmd = SplitCommandLine(text);
  const int maxChannel = store_->Params().m_Channels.value;
  code = kOk;
  if (cmd.name == "JHOST0") {
    next = DeviceMode::Command;
    return {};
  }
  if (cmd.name == "JHOST1") return {};
  if (cmd.name == "V") {
    code = kOkText;
    return setup_.identification;
  }
  if (cmd.name == "%ZS") {
    storeError_.clear();
    if (store_->StoreNonvolatile(&storeError_)) return {};
    code = kError;
    return "STORE FAILED";
  }
  if (cmd.name == "C" || cmd.name == "D") {
    if (channel < 1 || channel > maxChannel) {
      code = kError;
      return "INVALID CHANNEL NUMBER";
    }
    const bool linked = setup_.connected.count(channel) != 0;
    if (cmd.name == "D") {
      // Disconnect: the link is gone at once.
      if (!linked) {
        code = kError;
        return "CHANNEL NOT CONNECTED";
      }
      setup_.connected.erase(channel);
      return {};
    }
    if (!cmd.args.empty()) {
      code = kError;
      return "LINK SETUP NOT SIMULATED";
    }
    code = kOkText;
    if (!linked) return "CHANNEL NOT CONNECTED";
    return "CONNECTED to SIM-" + std::to_string(channel);
  }
  if (cmd.args.empty()) {
    if (auto answer = store_->Query(cmd.name)) {
      code = kOkText;
      return *answer;
    }
    code = kError;
    return "INVALID COMMAND: " + cmd.name;
  }
  switch (store_->Apply(cmd.name, cmd.args)) {
    case ApplyResult::Applied:
      return {};
    case ApplyResult::Refused:
      code = kError;
      return "INVALID VALUE: " + cmd.name;
    case ApplyResult::Unknown:
      break;
  }
  code = kError;
  return "INVALID COMMAND: " + cmd.name;
}

std::string HostMode::Encode(uint8_t channel, uint8_t code, std::string_view text) {
  std::string bytes;
  bytes.push_back(static_cast<char>(channel));
  bytes.push_back(static_cast<char>(code));
  if (code != kOk) {
    bytes.append(text);
    bytes.push_back('\0');
  }
  return bytes;
}

}  // namespace vextune::sim
