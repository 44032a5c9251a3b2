#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/operation.h"
#include "config/backup_store.h"
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
  /// Only what differed from the device was to be sent.
  bool incremental = false;
  /// Incremental, and the device held every parameter already: nothing but
  /// the store command was written, and the read before it stands for the
  /// verification.
  bool nothingToChange = false;
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
///
/// With `onDevice`, what a complete read of this device found no earlier
/// than just before this send, only the parameters that differ are written
/// (SendConfiguration); the read-back still compares the whole record. When
/// nothing differs that read is the verification, and nothing is read again.
SendOutcome SendAndVerify(DeviceLink& link, const DeviceState& device, const CConfigData& working,
                          CConfigData& baseline, bool store, CancelFlag& cancel,
                          ProgressListener& progress, const StatusSink& status = {},
                          const CConfigData* onDevice = nullptr);

/// How a read into the working record ended.
struct ReadOutcome {
  ReadResult result = ReadResult::Complete;
  /// With OutOfRange: the parameters that fell back to defaults (" A, %AT").
  std::string outOfRange;
  /// What to tell the user; nothing after a complete read.
  std::optional<UserMessage> message;
};

/// Reads the device into a fresh record and, only when the read is complete,
/// copies it into `working` and makes `baseline` equal to it. On any other
/// result both stay as they were, so edits made before still count as
/// changed.
ReadOutcome ReadIntoWorking(DeviceLink& link, const DeviceState& device, CConfigData& working,
                            CConfigData& baseline, CancelFlag& cancel, ProgressListener& progress,
                            const StatusSink& status = {});

/// The message of a send that did not end verified, with what state it left
/// the device in and how to get back (SendRecoveryHint, naming `backupFile`,
/// which may be empty, by `route`); nothing after a verified send. A send
/// that changed nothing and was not cancelled gets its message alone. In the
/// desktop program it ends with kChangesKeptNote.
std::optional<UserMessage> SendMessageWithRecovery(const SendOutcome& outcome,
                                                   const std::string& backupFile,
                                                   RestoreRoute route = RestoreRoute::CommandLine);

/// How keeping a backup of the device before a send ended.
struct DeviceBackup {
  ReadResult result = ReadResult::Complete;
  /// With OutOfRange: the parameters the read could not take.
  std::string outOfRange;
  /// The backup's path; empty when none was kept.
  std::string file;
  /// With a complete read that could not be kept: why.
  std::string keepError;
  /// What the read found; the device's configuration when it completed.
  CConfigData record;

  bool Kept() const { return !file.empty(); }
  /// Why no backup was kept: the read's message or the keep error.
  std::string WhyNotKept() const;
};

/// Reads the device's whole configuration into a record of its own and keeps
/// it in `store`, before anything is written to the device; only a complete
/// read is kept.
DeviceBackup BackUpDevice(DeviceLink& link, const DeviceState& device, BackupStore& store,
                          CancelFlag& cancel, ProgressListener& progress,
                          const StatusSink& status = {});

/// The question of the desktop program when no backup could be kept (not
/// after a cancel): whether to send without one.
std::string SendWithoutBackupQuestion(const DeviceBackup& backup);

}  // namespace vextune
