#include "transfer/send_configuration.h"

#include "link/device_protocol.h"
#include "transfer/send_script.h"

namespace vextune {
namespace {

class ScriptRun {
 public:
  ScriptRun(DeviceLink& link, const DeviceState& device, const CConfigData& config, bool store,
            CancelFlag& cancel, ProgressListener& progress)
      : link_(link),
        settings_(link.settings),
        device_(device),
        config_(config),
        store_(store),
        cancel_(cancel),
        progress_(progress) {}

  SendReport Run() {
    progress_.SetProgress(0);
    progress_.SetBusy(true);
    SendStep step = SendStep::Open;
    while (step != SendStep::Done) step = Advance(step);
    return report_;
  }

 private:
  /// The one place where the step changes. A cancel (also one that cut a
  /// step's wait or write short) ends the script here, as Aborted.
  SendStep Advance(SendStep step) {
    progress_.SetBusy(true);
    link_.clock.SleepMs(send_timing::kBeforeStepMs);
    progress_.DispatchPendingEvents();
    if (cancel_.IsSet()) {
      report_.result = SendResult::Aborted;
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

  SendStep Fail(SendResult result) {
    report_.result = result;
    return SendStep::End;
  }

  SendStep Open() {
    settings_.baudRate = line::kFirstBaudRate;
    report_.baudRate = settings_.baudRate;
    if (OpenComPort(link_.ports, settings_, port_) != kSerialOk) {
      CloseComPort(port_);
      return Fail(SendResult::PortError);
    }
    DrainComPort(port_);
    progress_.SetProgress(0);
    return SendStep::Identify;
  }

  SendStep Identify() {
    const FallbackProbeResult probe =
        ProbeWithFallback(DeviceLink{link_.ports, settings_, link_.clock}, port_,
                          send_timing::kIdentifyReplyLength, send_timing::kReopenPauseMs, cancel_);
    report_.baudRate = probe.baudRate;
    if (probe.reopenError != kSerialOk) return Fail(SendResult::PortError);
    switch (probe.probe.mode) {
      case ProbeMode::NormalFirmware:
        return SendStep::QuietPttAndBeacon;
      case ProbeMode::Bios:
        return Fail(SendResult::BiosMode);
      case ProbeMode::NoAnswer:
        break;
    }
    return Fail(SendResult::NoAnswer);
  }

  SendStep SendParameters(SendStep step) {
    report_.wroteParameters = true;  // even a write that fails may have reached the device
    for (const std::string& command : SendStepCommands(step, config_, device_, link_.clock)) {
      if (WriteComPort(port_, command) != kSerialOk) return Fail(SendResult::NoAnswer);
    }
    return Finished(step);
  }

  SendStep Store() {
    if (store_) {
      // Counted as stored once the command went out: from here on, switching
      // the device off and on no longer brings the old configuration back.
      if (WriteComPort(port_, std::string("\x1b%ZS\r")) != kSerialOk) {
        return Fail(SendResult::NoAnswer);
      }
      report_.stored = true;
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
    progress_.SetBusy(false);
    return SendStep::Done;
  }

  SendStep Finished(SendStep step) {
    progress_.SetProgress(static_cast<int>(step));
    return static_cast<SendStep>(static_cast<int>(step) + 1);
  }

  DeviceLink& link_;
  // The link's settings are the caller's: the script opens with its own copy.
  LinkSettings settings_;
  const DeviceState& device_;
  const CConfigData& config_;
  const bool store_;
  CancelFlag& cancel_;
  ProgressListener& progress_;
  ComPortHandle port_;
  SendReport report_;
};

}  // namespace

SendReport SendConfiguration(DeviceLink& link, const DeviceState& device, const CConfigData& config,
                             bool store, CancelFlag& cancel, ProgressListener& progress) {
  return ScriptRun(link, device, config, store, cancel, progress).Run();
}

}  // namespace vextune
