#pragma once

#include "common/operation.h"
#include "config/config_data.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "transfer/transfer_result.h"

namespace vextune {

/// Pacing of the send script, in milliseconds.
namespace send_timing {
inline constexpr uint32_t kBeforeStepMs = 50;    ///< before every step
inline constexpr uint32_t kAfterStoreMs = 1000;  ///< after the store step, stored or not
inline constexpr uint32_t kBeforeCloseMs = 500;  ///< before the port is closed
inline constexpr uint32_t kReopenPauseMs = 10;   ///< before reopening at 115200 Bd
inline constexpr size_t kIdentifyReplyLength = 20;
}  // namespace send_timing

/// How a send ended, and what it left for the next operation.
struct SendReport {
  SendResult result = SendResult::Complete;
  /// The rate the device answered at (the read-back opens at it), or the
  /// last rate tried; 0 when the port was never opened.
  uint32_t baudRate = 0;
  /// The store command went out: the device keeps what was sent so far when
  /// it is switched off and on.
  bool stored = false;
  /// A parameter command went out: the device no longer runs with what it
  /// had before.
  bool wroteParameters = false;
  /// Only the parameters that differ from what the device held were to be
  /// sent.
  bool incremental = false;
  /// Incremental, and the device held every parameter already: no parameter
  /// command was to be sent.
  bool nothingToChange = false;
};

/// Writes `config` to the device as the fixed command script (steps 0 to 58):
/// opens the port at 38400 Bd (115200 Bd as the fallback), identifies the
/// device, quiets it, sends every parameter, restores the quieted ones and,
/// when `store` is set, stores them in the device's nonvolatile memory.
/// `link.settings` is left as it was.
///
/// Which commands are sent depends on `device.firmwareVersion`, the number
/// the configuration check stored: the identification here reads only 20
/// bytes, which need not reach the version, so it is not parsed again.
///
/// Tests `cancel` before every step (a flag set before the call aborts the
/// script before it opens the port; the caller clears it when the user starts
/// an action): a cancel ends it as Aborted, with nothing sent after it.
///
/// With `onDevice`, the device's configuration from a complete read just
/// before, only the steps whose parameters differ are sent (ScriptSteps),
/// each with the very lines it has in the whole script. That read found the
/// device: the port opens at `link.settings`' rate without an identification.
/// The device gets its pause after every command and the store's second;
/// the pauses that only keep the whole script's pace are left out. With
/// nothing to change only the store command goes out, or, without `store`,
/// the port is not even opened.
/// Reports each step number to
/// `progress`. The port is closed on every path. A write that the system
/// refuses (the line went away) ends the script as NoAnswer: a device that
/// cannot be written to is not configured.
SendReport SendConfiguration(DeviceLink& link, const DeviceState& device, const CConfigData& config,
                             bool store, CancelFlag& cancel, ProgressListener& progress,
                             const CConfigData* onDevice = nullptr);

}  // namespace vextune
