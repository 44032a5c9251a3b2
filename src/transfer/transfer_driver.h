#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/operation.h"
#include "config/config_data.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "transfer/transfer_messages.h"
#include "transfer/transfer_result.h"

namespace vextune {

/// Shows a status line while a transfer runs (the GUI's text in the "Config"
/// group, a line on the terminal). May be empty.
using StatusSink = std::function<void(const std::string&)>;

/// How a send with verification ended.
struct SendOutcome {
  TransferResult sendResult = TransferResult::Complete;
  /// Sent completely, but the read-back did not complete or does not equal
  /// what was sent.
  bool verificationFailed = false;
  /// How the read-back ended; Complete also when it did not run.
  TransferResult readBackResult = TransferResult::Complete;
  /// With readBackResult OutOfRange: the parameters it could not read.
  std::string readBackOutOfRange;
  /// What to tell the user; nothing when the configuration was sent and
  /// verified.
  std::optional<TransferMessage> message;

  bool Verified() const { return sendResult == TransferResult::Complete && !verificationFailed; }
};

/// Sends `working` (SendConfiguration) and, when that completed, reads the
/// device back into a fresh record and compares it with `working`, the clock
/// flag left out. At the start of the read-back `baseline` is made equal to
/// `working`. Only a read-back that completed and equals `working` verifies
/// the send: what an incomplete read could not read keeps its default and
/// would match a file that holds the default. A cancel that arrives after the
/// send's last step stops the read-back before it begins; the send then
/// counts as not verified.
SendOutcome SendAndVerify(DeviceLink& link, const DeviceState& device, const CConfigData& working,
                          CConfigData& baseline, bool& saveOption, CancelFlag& cancel,
                          ProgressListener& progress, const StatusSink& status = {});

/// How a read into the working record ended.
struct ReadOutcome {
  TransferResult result = TransferResult::Complete;
  /// With OutOfRange: the parameters that fell back to defaults (" A, %AT").
  std::string outOfRange;
  /// What to tell the user; nothing after a complete read.
  std::optional<TransferMessage> message;
};

/// Reads the device into a fresh record and, only when the read is complete,
/// copies it into `working` and makes `baseline` equal to it. `baseline` is
/// made equal to `working` when the read starts, as every read does. On any
/// other result `working` stays as it was.
ReadOutcome ReadIntoWorking(DeviceLink& link, const DeviceState& device, CConfigData& working,
                            CConfigData& baseline, CancelFlag& cancel, ProgressListener& progress,
                            const StatusSink& status = {});

}  // namespace vextune
