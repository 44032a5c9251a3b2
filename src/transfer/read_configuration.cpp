#include "transfer/read_configuration.h"

#include <algorithm>
#include <array>
#include <optional>

#include "link/device_protocol.h"
#include "transfer/read_steps.h"

namespace vextune {
namespace {

constexpr int kChannelStep = 0;
constexpr int kFirstTableStep = 4;
constexpr int kRestoreCallsignStep = 55;
constexpr int kRestoreAprsCallStep = 56;
constexpr int kNormalEndStep = 57;
constexpr int kAbortEnd = -1;  // not a step number: the way out after a failure
constexpr int kFinished = -2;

constexpr int kCallsignStep = 6;
constexpr int kAprsCallStep = 7;

class ReadRun {
 public:
  ReadRun(DeviceLink& link, const DeviceState& device, CConfigData& record, CancelFlag& cancel,
          ProgressListener& progress)
      : link_(link), device_(device), record_(record), cancel_(cancel), progress_(progress) {}

  ReadResult Run(std::string& outOfRange) {
    outOfRange.clear();
    if (cancel_.IsSet()) return ReadResult::Aborted;  // nothing opened, nothing sent
    progress_.SetBusy(true);
    LinkSettings settings = link_.settings;  // the caller's stay as they are
    if (OpenComPort(link_.ports, settings, port_) != kSerialOk) {
      CloseComPort(port_);
      progress_.SetBusy(false);
      return ReadResult::PortError;
    }
    DrainComPort(port_);
    int step = kChannelStep;
    while (step != kFinished) step = Advance(step);
    progress_.SetBusy(false);
    if (result_ == ReadResult::OutOfRange) outOfRange = list_;
    return result_;
  }

 private:
  /// The one place where the step changes.
  int Advance(int step) {
    if (step == kAbortEnd) return AbortEnd();
    progress_.SetBusy(true);
    link_.clock.SleepMs(read_timing::kBeforeStepMs);
    if (cancel_.IsSet()) return Abort(ReadResult::Aborted);
    if (failures_ >= read_timing::kMaxFailures) {
      list_.clear();
      return Abort(ReadResult::NoAnswer);
    }
    return RunStep(step);
  }

  int RunStep(int step) {
    switch (step) {
      case kChannelStep:
        return ReadChannel();
      case kRestoreCallsignStep:
        HostCommandWithoutReply("I " + record_.m_Callsign.text);
        return Finished(step, kRestoreAprsCallStep);
      case kRestoreAprsCallStep:
        HostCommandWithoutReply(record_.m_AprsCall.text.empty() ? "%AM NONE"
                                                                : "%AM " + record_.m_AprsCall.text);
        link_.clock.SleepMs(read_timing::kAfterAprsCallMs);
        return Finished(step, kNormalEndStep);
      case kNormalEndStep:
        return NormalEnd();
      default:
        return ReadTableStep(step);
    }
  }

  int Abort(ReadResult result) {
    // A wait or write that a cancel cut short is an abort, not a failure.
    result_ = cancel_.IsSet() ? ReadResult::Aborted : result;
    return kAbortEnd;
  }

  int Finished(int step, int next) {
    progress_.SetProgress(step);
    return next;
  }

  /// `S` is asked in command mode; its reply carries the channel between stars.
  int ReadChannel() {
    DrainComPort(port_);
    if (WriteComPort(port_, std::string("\x1bS\r")) != kSerialOk) {
      return Abort(ReadResult::NoAnswer);
    }
    link_.clock.SleepMs(read_timing::kAfterWriteMs);
    std::string reply;
    for (size_t i = 0; i < read_timing::kChannelReplyMax; ++i) {
      uint8_t byte = 0;
      size_t got = 0;
      ReadComPort(port_, &byte, 1, &got);
      if (got == 0) break;
      reply.push_back(static_cast<char>(byte));
    }
    reply.resize(std::min(reply.size(), reply.find('\0')));
    const std::optional<std::string> token = ChannelToken(reply);
    if (!token) return Abort(ReadResult::NoAnswer);
    if (!CConfigData::SetNumberText(record_.m_Channel, *token)) list_ += OutOfRangeEntry("S");

    const SerialCode entered = WriteComPort(port_, std::string(line::kEnterHostMode));
    // A line that failed may still have carried it; a cancel kept it back.
    host_mode_entered_ = entered != kSerialCancelled;
    if (entered != kSerialOk) return Abort(ReadResult::NoAnswer);
    link_.clock.SleepMs(read_timing::kAfterWriteMs);
    DrainComPort(port_);
    return Finished(kChannelStep, kFirstTableStep);
  }

  int ReadTableStep(int number) {
    const auto table = ReadStepTable();
    const auto row = std::find_if(table.begin(), table.end(),
                                  [number](const ReadStep& s) { return s.number == number; });
    if (row == table.end()) return Abort(ReadResult::NoAnswer);  // unreachable
    const int next = row + 1 == table.end() ? kRestoreCallsignStep : (row + 1)->number;
    if (!ReadStepAsked(*row, device_.firmwareVersion)) return Finished(number, next);

    bool read = false;
    for (int attempt = 0; attempt < read_timing::kAttempts && !read; ++attempt) {
      read = Attempt(*row);
    }
    if (read) {
      // While the device is read it must not transmit under its own callsigns.
      if (number == kCallsignStep) HostCommandWithoutReply("I DAVOZI");
      if (number == kAprsCallStep) HostCommandWithoutReply("%AM NONE");
    } else {
      list_ += OutOfRangeEntry(row->query);
      ResetToDefaults(*row);
    }
    return Finished(number, next);
  }

  bool Attempt(const ReadStep& step) {
    const std::optional<std::string> first = Query(step.query);
    if (!first) return false;
    switch (step.pattern) {
      case ReplyPattern::Confirmed: {
        if (!ApplyReadReply(step, *first, record_)) return false;
        const std::optional<std::string> second = Query(step.query);
        if (!second || *second != *first) return false;
        break;
      }
      case ReplyPattern::Labelled:
        if (first->find(step.label) == std::string::npos) return false;
        if (!ApplyReadReply(step, *first, record_)) return false;
        break;
      case ReplyPattern::Single:
        if (!ApplyReadReply(step, *first, record_)) return false;
        break;
    }
    CompleteReadStep(step, *first, record_);
    return true;
  }

  /// A listed parameter is reported as set to its default, so make it so:
  /// a reply that was taken but not confirmed must not stay behind.
  void ResetToDefaults(const ReadStep& step) {
    for (auto member : ReadStepMembers(step)) record_.ResetToDefault(member);
  }

  /// One host-mode query on channel 0; nothing (and one failure counted) when
  /// the frame cannot be written or no usable answer comes.
  std::optional<std::string> Query(std::string_view command) {
    if (SendHostFrame(port_, 0, command)) {
      link_.clock.SleepMs(read_timing::kAfterWriteMs);
      std::string answer = ReadHostAnswer(port_, link_.clock);
      if (!answer.empty()) return answer;
    }
    ++failures_;
    return std::nullopt;
  }

  /// A host command whose answer is thrown away by the drain.
  void HostCommandWithoutReply(const std::string& command) {
    SendHostFrame(port_, 0, command);
    link_.clock.SleepMs(read_timing::kRestorePauseMs);
    link_.clock.SleepMs(read_timing::kRestorePauseMs);
    DrainComPort(port_);
  }

  void LeaveHostMode() {
    // After a cancel only a device that may be in host mode is spoken to; the
    // frame then goes out without waiting, and the drain ends at once.
    if (host_mode_entered_ || !cancel_.IsSet()) {
      WriteComPort(port_, LeaveHostModeFrame(), OnCancel::SendWithoutWaiting);
    }
    DrainComPort(port_);
    CloseComPort(port_);
  }

  int NormalEnd() {
    LeaveHostMode();
    if (list_.empty()) {
      result_ = ReadResult::Complete;
    } else {
      list_.pop_back();  // the trailing comma
      result_ = ReadResult::OutOfRange;
    }
    return kFinished;
  }

  int AbortEnd() {
    // The device may be in host mode whatever failed; leaving costs nothing.
    LeaveHostMode();
    return kFinished;
  }

  DeviceLink& link_;
  const DeviceState& device_;
  CConfigData& record_;
  CancelFlag& cancel_;
  ProgressListener& progress_;
  ComPortHandle port_;
  std::string list_;
  int failures_ = 0;
  bool host_mode_entered_ = false;
  ReadResult result_ = ReadResult::Complete;
};

}  // namespace

ReadResult ReadConfiguration(DeviceLink& link, const DeviceState& device, CConfigData& record,
                             std::string& outOfRange, CancelFlag& cancel,
                             ProgressListener& progress) {
  return ReadRun(link, device, record, cancel, progress).Run(outOfRange);
}

}  // namespace vextune
