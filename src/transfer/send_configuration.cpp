#include "transfer/send_configuration.h"

#include "link/device_protocol.h"
#include "transfer/send_script.h"

namespace vextune {
namespace {

class ScriptRun {
 public:
  ScriptRun(DeviceLink& link, const DeviceState& device, const CConfigData& config,
            bool& saveOption, CancelFlag& cancel, ProgressListener& progress)
      : link_(link),
        device_(device),
        config_(config),
        save_option_(saveOption),
        cancel_(cancel),
        progress_(progress) {}

  TransferResult Run() {
    progress_.SetProgress(0);
    progress_.SetBusy(true);
    SendStep step = SendStep::Open;
    while (step != SendStep::Done) step = Advance(step);
    return result_;
  }

 private:
  /// The one place where the step changes. A cancel (also one that cut a
  /// step's wait or write short) ends the script here, as Aborted.
  SendStep Advance(SendStep step) {
    progress_.SetBusy(true);
    link_.clock.SleepMs(send_timing::kBeforeStepMs);
    progress_.DispatchPendingEvents();
    if (cancel_.IsSet()) {
      result_ = TransferResult::Aborted;
      step = SendStep::End;
    }
    return RunStep(step);
  }

  SendStep RunStep(SendStep step) {
    switch (step) {
      case SendStep::Open:
        return Open();
      case SendStep::Identify:
        return Identify();
      case SendStep::Store:
        return Store();
      case SendStep::End:
        return End();
      case SendStep::Done:
        return SendStep::Done;
      default:
        return SendParameters(step);
    }
  }

  SendStep Fail(TransferResult result) {
    result_ = result;
    return SendStep::End;
  }

  SendStep Open() {
    link_.settings.baudRate = line::kFirstBaudRate;
    if (OpenComPort(link_.ports, link_.settings, port_) != kSerialOk) {
      CloseComPort(port_);
      return Fail(TransferResult::PortError);
    }
    DrainComPort(port_);
    progress_.SetProgress(0);
    return SendStep::Identify;
  }

  SendStep Identify() {
    const FallbackProbeResult probe = ProbeWithFallback(
        link_, port_, send_timing::kIdentifyReplyLength, send_timing::kReopenPauseMs, cancel_);
    if (probe.reopenError != kSerialOk) return Fail(TransferResult::PortError);
    switch (probe.probe.mode) {
      case ProbeMode::NormalFirmware:
        return SendStep::QuietPttAndBeacon;
      case ProbeMode::Bios:
        return Fail(TransferResult::BiosMode);
      case ProbeMode::NoAnswer:
        break;
    }
    return Fail(TransferResult::NoAnswer);
  }

  SendStep SendParameters(SendStep step) {
    for (const std::string& command : SendStepCommands(step, config_, device_, link_.clock)) {
      if (WriteComPort(port_, command) != kSerialOk) return Fail(TransferResult::NoAnswer);
    }
    return Finished(step);
  }

  SendStep Store() {
    if (save_option_ && WriteComPort(port_, std::string("\x1b%ZS\r")) != kSerialOk) {
      return Fail(TransferResult::NoAnswer);
    }
    // The device needs the time to write its memory; the pause keeps the
    // timing the same whether or not it stores.
    link_.clock.SleepMs(send_timing::kAfterStoreMs);
    return Finished(SendStep::Store);
  }

  SendStep End() {
    // Replies and prompts were never read; throw them away before closing.
    // After a cancel the port and the clock cut both short.
    if (port_) DrainComPort(port_);
    link_.clock.SleepMs(send_timing::kBeforeCloseMs);
    CloseComPort(port_);
    progress_.SetProgress(0);
    save_option_ = false;
    progress_.SetBusy(false);
    return SendStep::Done;
  }

  SendStep Finished(SendStep step) {
    progress_.SetProgress(static_cast<int>(step));
    return static_cast<SendStep>(static_cast<int>(step) + 1);
  }

  DeviceLink& link_;
  const DeviceState& device_;
  const CConfigData& config_;
  bool& save_option_;
  CancelFlag& cancel_;
  ProgressListener& progress_;
  ComPortHandle port_;
  TransferResult result_ = TransferResult::Complete;
};

}  // namespace

TransferResult SendConfiguration(DeviceLink& link, const DeviceState& device,
                                 const CConfigData& config, bool& saveOption, CancelFlag& cancel,
                                 ProgressListener& progress) {
  return ScriptRun(link, device, config, saveOption, cancel, progress).Run();
}

}  // namespace vextune
