#include "link/configuration_check.h"

#include "common/text_util.h"
#include "link/device_protocol.h"

namespace vextune {

namespace {

constexpr size_t kIdentifyReplyLength = 40;
constexpr int kMaxChannels = 10;
constexpr std::string_view kChannelFree = "CHANNEL NOT CONNECTED";

UserMessage CheckMessage(std::string_view text) {
  return UserMessage{"", std::string(text), MessageIcon::Error};
}

CheckResult Fail(CheckOutcome outcome, std::string_view message) {
  CheckResult result;
  result.outcome = outcome;
  if (!message.empty()) result.message = CheckMessage(message);
  return result;
}

CheckResult Cancelled() {
  return Fail(CheckOutcome::Cancelled, check_message::kAborted);
}

/// Steps in host mode: the channel count, then every link channel in turn.
CheckResult CheckLinksInHostMode(ComPortHandle& port, Clock& clock, const CancelFlag& cancel) {
  if (cancel.IsSet()) return Cancelled();
  std::string answer;
  const int channels = HostCommand(port, clock, 0, "Y", answer) ? ParseChannelCount(answer) : -1;
  if (cancel.IsSet()) return Cancelled();
  if (channels < 0) return Fail(CheckOutcome::BadChannelCount, check_message::kBadChannelCount);

  CheckResult result;
  result.channels = channels;
  for (int n = 1; n <= channels; ++n) {
    std::string reply;
    const bool answered = HostCommand(port, clock, static_cast<uint8_t>(n), "C", reply);
    if (cancel.IsSet()) return Cancelled();
    if (answered && reply.find(kChannelFree) != std::string::npos) continue;
    // A channel that does not answer may well be connected: not free either,
    // but the user is told what really happened.
    result.outcome = answered ? CheckOutcome::LinkConnected : CheckOutcome::LinkQueryUnanswered;
    result.message = CheckMessage(answered ? check_message::kLinkConnected
                                           : check_message::kLinkQueryUnanswered);
    result.busyChannel = n;
    return result;
  }
  return result;
}

}  // namespace

int ParseChannelCount(std::string_view answer) {
  answer = TrimSpace(answer);
  int count = 0;
  size_t digits = 0;
  for (; digits < answer.size() && IsDigit(answer[digits]); ++digits) {
    count = count * 10 + (answer[digits] - '0');
    if (count > kMaxChannels) return -1;
  }
  return digits == 0 ? -1 : count;
}

CheckResult RunConfigurationCheck(DeviceLink& link, DeviceState& state, const CancelFlag& cancel) {
  if (state.fileOnly) {
    state.firmwareVersion = -1;
    return {CheckOutcome::FileOnly, {}, kSerialOk, -1, 0};
  }
  if (cancel.IsSet()) return Cancelled();

  ComPortHandle port;
  LinkSettings first = link.settings;
  first.baudRate = line::kFirstBaudRate;
  if (SerialCode code = OpenComPort(link.ports, first, port); code != kSerialOk) {
    CloseComPort(port);
    CheckResult result = Fail(CheckOutcome::OpenFailed, check_message::kOpenFailed);
    result.openError = code;
    result.baudRate = first.baudRate;
    return result;
  }

  const FallbackProbeResult probe =
      ProbeWithFallback(DeviceLink{link.ports, first, link.clock}, port, kIdentifyReplyLength,
                        line::kCheckReopenPauseMs, cancel);
  CheckResult result;
  if (cancel.IsSet()) {
    result = Cancelled();
  } else if (probe.reopenError != kSerialOk) {
    result = Fail(CheckOutcome::OpenFailed, check_message::kOpenFailed);
    result.openError = probe.reopenError;
  } else if (probe.probe.mode == ProbeMode::Bios) {
    result = Fail(CheckOutcome::BiosMode, check_message::kBiosMode);
  } else if (probe.probe.mode == ProbeMode::NoAnswer) {
    result = Fail(CheckOutcome::NoAnswer, check_message::kNoAnswer);
  } else if (auto version = ParseFirmwareVersion(probe.probe.reply); !version) {
    result = Fail(CheckOutcome::VersionUnknown, check_message::kNoVersion);
  } else {
    state.firmwareVersion = version->number;
    state.firmwareText = version->text;
    if (WriteComPort(port, std::string(line::kEnterHostMode)) != kSerialOk) {
      result = cancel.IsSet() ? Cancelled() : Fail(CheckOutcome::EnterHostFailed, {});
    } else {
      DrainComPort(port);
      result = CheckLinksInHostMode(port, link.clock, cancel);
      // Whatever the links said, the device must not stay in host mode: the
      // leave frame goes out after a cancel too.
      if (WriteComPort(port, LeaveHostModeFrame(), OnCancel::SendWithoutWaiting) != kSerialOk &&
          result.passed()) {
        result = Fail(CheckOutcome::LeaveHostFailed, {});
      }
    }
  }
  CloseComPort(port);
  result.baudRate = probe.baudRate;
  return result;
}

}  // namespace vextune
