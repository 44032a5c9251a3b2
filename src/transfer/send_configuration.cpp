#include "transfer/send_configuration.h"

#include <algorithm>

#include "link/device_protocol.h"
#include "transfer/send_script.h"

namespace vextune {
namespace {

class ScriptRun {
 public:
  ScriptRun(DeviceLink& link, const DeviceState& device, const CConfigData& config, bool store,
            CancelFlag& cancel, ProgressListener& progress, const CConfigData* onDevice)
      : link_(link),
        settings_(link.settings),
        device_(device),
        config_(config),
        store_(store),
        cancel_(cancel),
        progress_(progress),
        steps_(ScriptSteps(config, onDevice, store)) {
    report_.incremental = onDevice != nullptr;
    // What was read before differs nowhere when only the frame (at most the
    // store) is left to send.
    report_.nothingToChange =
        report_.incremental && std::all_of(steps_.begin(), steps_.end(), [](SendStep step) {
          return RoleOf(step) == StepRole::Frame;
        });
  }

  SendReport Run() {
    progress_.SetProgress(0);
    if (steps_.empty()) {
      // Nothing to write and nothing to store: the port stays closed.
      if (cancel_.IsSet()) report_.result = SendResult::Aborted;
      return report_;
    }
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
    // The whole script keeps its fixed pace. A send of what changed pauses
    // where the device needs it: after each command it was sent.
    if (!report_.incremental || unpaused_) link_.clock.SleepMs(send_timing::kBeforeStepMs);
    unpaused_ = false;
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
    // A send of what changed follows a complete read, which found the device
    // in its normal firmware at the caller's rate: no identification.
    if (!report_.incremental) settings_.baudRate = line::kFirstBaudRate;
    report_.baudRate = settings_.baudRate;
    if (OpenComPort(link_.ports, settings_, port_) != kSerialOk) {
      CloseComPort(port_);
      return Fail(SendResult::PortError);
    }
    // Only the identification reads; a send without one never looks at what
    // the device says.
    if (!report_.incremental) DrainComPort(port_);
    progress_.SetProgress(0);
    return Next(SendStep::Open);
  }

  SendStep Identify() {
    const FallbackProbeResult probe =
        ProbeWithFallback(DeviceLink{link_.ports, settings_, link_.clock}, port_,
                          send_timing::kIdentifyReplyLength, send_timing::kReopenPauseMs, cancel_);
    report_.baudRate = probe.baudRate;
    if (probe.reopenError != kSerialOk) return Fail(SendResult::PortError);
    switch (probe.probe.mode) {
      case ProbeMode::NormalFirmware:
        return Next(SendStep::Identify);
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
      unpaused_ = true;
      if (WriteComPort(port_, command) != kSerialOk) return Fail(SendResult::NoAnswer);
    }
    return Finished(step);
  }

  SendStep Store() {
    if (store_) {
      // Counted as stored once the command went out: from here on, switching
      // the device off and on no longer brings the old configuration back.
      if (WriteComPort(port_, std::string(kStoreCommand)) != kSerialOk) {
        return Fail(SendResult::NoAnswer);
      }
      report_.stored = true;
    }
    // The device needs the time to write its memory; in the whole script the
    // pause keeps the timing the same whether or not it stores.
    if (!report_.incremental || store_) link_.clock.SleepMs(send_timing::kAfterStoreMs);
    return Finished(SendStep::Store);
  }

  SendStep End() {
    // Replies and prompts were never read; throw them away before closing.
    // After a cancel the port and the clock cut both short. After a send of
    // what changed the read-back follows at once, and its open drains too.
    if (!report_.incremental) {
      if (port_) DrainComPort(port_);
      link_.clock.SleepMs(send_timing::kBeforeCloseMs);
    }
    CloseComPort(port_);
    progress_.SetProgress(0);
    progress_.SetBusy(false);
    return SendStep::Done;
  }

  SendStep Finished(SendStep step) {
    progress_.SetProgress(static_cast<int>(step));
    return Next(step);
  }

  SendStep Next(SendStep step) const {
    const auto at = std::find(steps_.begin(), steps_.end(), step);
    return at == steps_.end() || at + 1 == steps_.end() ? SendStep::End : *(at + 1);
  }

  DeviceLink& link_;
  // The link's settings are the caller's: the script opens with its own copy.
  LinkSettings settings_;
  const DeviceState& device_;
  const CConfigData& config_;
  const bool store_;
  CancelFlag& cancel_;
  ProgressListener& progress_;
  const std::vector<SendStep> steps_;
  bool unpaused_ = false;  ///< a command line went out since the last pause
  ComPortHandle port_;
  SendReport report_;
};

}  // namespace

SendReport SendConfiguration(DeviceLink& link, const DeviceState& device, const CConfigData& config,
                             bool store, CancelFlag& cancel, ProgressListener& progress,
                             const CConfigData* onDevice) {
  return ScriptRun(link, device, config, store, cancel, progress, onDevice).Run();
}

}  // namespace vextune
