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

/// What the user is told about the device after a send that ended early or
/// was not verified, and how to get the configuration back: switching the
/// device off and on before the store command, sending `backupFile` after it
/// (a command line to copy); without a backup, sending a complete file.
std::string SendRecoveryHint(DeviceAfterSend device, const std::string& backupFile);

/// `path` as one word of a shell command line: quoted when it needs it.
std::string ShellWord(const std::string& path);

}  // namespace vextune
