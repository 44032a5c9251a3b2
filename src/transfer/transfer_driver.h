#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/operation.h"
#include "config/config_data.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "transfer/send_configuration.h"
#include "transfer/transfer_messages.h"
#include "transfer/transfer_result.h"

namespace vextune {

/// Shows a status line while a transfer runs (the GUI's text in the "Config"
/// group, a line on the terminal). May be empty.
using StatusSink = std::function<void(const std::string&)>;

/// How a send with verification ended.
struct SendOutcome {
  SendResult sendResult = SendResult::Complete;
  /// The rate the device answered the send at (the read-back used it), or
  /// the last rate tried; 0 when the port was never opened.
  uint32_t baudRate = 0;
  /// The store command went out.
  bool stored = false;
  /// A parameter command went out.
  bool wroteParameters = false;
  /// Sent completely, but the read-back did not complete or does not equal
  /// what was sent.
  bool verificationFailed = false;
  /// How the read-back ended; Complete also when it did not run.
  ReadResult readBackResult = ReadResult::Complete;
  /// With readBackResult OutOfRange: the parameters it could not read.
  std::string readBackOutOfRange;
  /// What to tell the user; nothing when the configuration was sent and
  /// verified.
  std::optional<UserMessage> message;

  bool Verified() const { return sendResult == SendResult::Complete && !verificationFailed; }
  /// Where the send left the device.
  DeviceAfterSend Device() const;
};

/// Sends `working` (SendConfiguration) and, when that completed, reads the
/// device back into a fresh record and compares it with `working`, the clock
/// flag left out. At the start of the read-back `baseline` is made equal to
/// `working`. Only a read-back that completed and equals `working` verifies
/// the send: what an incomplete read could not read keeps its default and
/// would match a file that holds the default. A cancel that arrives after the
/// send's last step stops the read-back before it begins; the send then
/// counts as not verified. `store` adds the store command. The read-back
/// opens at the rate the send found the device at; `link.settings` is left
/// as it was.
SendOutcome SendAndVerify(DeviceLink& link, const DeviceState& device, const CConfigData& working,
                          CConfigData& baseline, bool store, CancelFlag& cancel,
                          ProgressListener& progress, const StatusSink& status = {});

/// How a read into the working record ended.
struct ReadOutcome {
  ReadResult result = ReadResult::Complete;
  /// With OutOfRange: the parameters that fell back to defaults (" A, %AT").
  std::string outOfRange;
  /// What to tell the user; nothing after a complete read.
  std::optional<UserMessage> message;
};

/// Reads the device into a fresh record and, only when the read is complete,
/// copies it into `working` and makes `baseline` equal to it. `baseline` is
/// made equal to `working` when the read starts, as every read does. On any
/// other result `working` stays as it was.
ReadOutcome ReadIntoWorking(DeviceLink& link, const DeviceState& device, CConfigData& working,
                            CConfigData& baseline, CancelFlag& cancel, ProgressListener& progress,
                            const StatusSink& status = {});

/// The message of a send that did not end verified, with what state it left
/// the device in and how to get back (SendRecoveryHint, naming `backupFile`,
/// which may be empty); nothing after a verified send. A send that changed
/// nothing and was not cancelled gets its message alone.
std::optional<UserMessage> SendMessageWithRecovery(const SendOutcome& outcome,
                                                   const std::string& backupFile);

}  // namespace vextune
