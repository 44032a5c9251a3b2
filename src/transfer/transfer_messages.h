#pragma once

#include <optional>
#include <string>

#include "common/user_message.h"
#include "transfer/transfer_result.h"

namespace vextune {

inline constexpr const char* kSendCaption = "Send User Config";
inline constexpr const char* kReadCaption = "Read User Config";

/// Status line texts while a transfer runs.
inline constexpr const char* kSendingStatus = "Transferring config to DAV-OZI...";
inline constexpr const char* kCheckingStatus = "Checking config in DAV-OZI...";
inline constexpr const char* kReadingStatus = "Reading Configuration from DAV-OZI...";
inline constexpr const char* kReadDoneStatus = "Configuration loaded from DAV-OZI.";

/// The message after a send; nothing for Complete, which the verification
/// follows.
std::optional<UserMessage> SendResultMessage(SendResult result);

/// The message when the read-back differs from what was sent.
UserMessage VerificationFailedMessage();

/// The message after a read; nothing for Complete. `outOfRange` is the list
/// the read handed over with OutOfRange.
std::optional<UserMessage> ReadResultMessage(ReadResult result, const std::string& outOfRange);

/// Where a send that did not end verified left the device.
enum class DeviceAfterSend {
  Unchanged,       ///< no parameter went out
  ChangedUnsaved,  ///< parameters went out, the store command did not
  Stored,          ///< the store command went out
};

/// Which program the user gets the configuration back with.
enum class RestoreRoute {
  CommandLine,     ///< a command line to copy
  DesktopProgram,  ///< Backups in the configuration dialog, then Send Configuration
};

/// What the user is told about the device after a send that ended early or
/// was not verified, and how to get the configuration back: switching the
/// device off and on before the store command, sending `backupFile` after it
/// (by `route`); without a backup, sending a complete file.
std::string SendRecoveryHint(DeviceAfterSend device, const std::string& backupFile,
                             RestoreRoute route = RestoreRoute::CommandLine);

/// Added in the desktop program to the message of a send that did not end
/// verified: the dialog stays open with the user's values.
inline constexpr const char* kChangesKeptNote =
    "Your configuration is kept in the dialog: send it again, or save it to a file.";

/// The main selection's status line after a verified send to `port`.
std::string SentAndVerifiedStatus(const std::string& port, bool stored);
/// The same after a send that found the DAV-OZI on `port` holding every
/// value already: nothing but the store command (when `stored`) went out.
std::string NothingToChangeStatus(const std::string& port, bool stored);

/// `path` as one word of a shell command line: quoted when it needs it.
std::string ShellWord(const std::string& path);

}  // namespace vextune
