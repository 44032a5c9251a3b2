#include "sim/command_mode.h"

#include "common/text_util.h"
#include "sim/command_line.h"

namespace vextune::sim {
namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kCr = 0x0D;

std::string Line(std::string_view text) {
  return "\r\n" + std::string(text) + "\r\n";
}

}  // namespace

CommandMode::CommandMode(ParameterStore& store, std::string identification,
                         std::optional<std::string> sReply)
    : store_(&store), identification_(std::move(identification)), sReply_(std::move(sReply)) {}

void CommandMode::Reset() {
  inLine_ = false;
  overflow_ = false;
  line_.clear();
}

Reaction CommandMode::Feed(uint8_t byte) {
  if (byte == kEsc) {
    // ESC always starts a fresh command line.
    inLine_ = true;
    overflow_ = false;
    line_.clear();
    return {};
  }
  if (!inLine_) return {};
  if (byte == kCr) {
    inLine_ = false;
    if (overflow_) return {Line("LINE TOO LONG"), std::nullopt};
    return HandleLine(line_);
  }
  if (line_.size() < kMaxLine) {
    line_.push_back(static_cast<char>(byte));
  } else {
    overflow_ = true;
  }
  return {};
}

Reaction CommandMode::HandleLine(std::string_view text) {
  if (TrimSpace(text).empty()) return {};  // the wake-up line
  const CommandLine cmd = SplitCommandLine(text);
  if (cmd.name == "V") return {identification_, std::nullopt};
  if (cmd.name == "JHOST1") return {{}, DeviceMode::Host};
  if (cmd.name == "%ZS") {
    storeError_.clear();
    if (store_->StoreNonvolatile(&storeError_)) return {};
    return {Line("STORE FAILED"), std::nullopt};
  }
  if (cmd.name == "S" && cmd.args.empty()) {
    if (sReply_) return {*sReply_, std::nullopt};
    return {"* " + std::to_string(store_->Params().m_Channel.value) + " *\r\n", std::nullopt};
  }
  if (cmd.args.empty()) {
    if (auto answer = store_->Query(cmd.name)) return {Line(*answer), std::nullopt};
    return {Line("INVALID COMMAND: " + cmd.name), std::nullopt};
  }
  switch (store_->Apply(cmd.name, cmd.args)) {
    case ApplyResult::Applied:
      return {};
    case ApplyResult::Refused:
      return {Line("INVALID VALUE: " + cmd.name), std::nullopt};
    case ApplyResult::Unknown:
      break;
  }
  return {Line("INVALID COMMAND: " + cmd.name), std::nullopt};
}

}  // namespace vextune::sim
