#pragma once

#include <optional>
#include <string>

#include "common/operation.h"
#include "transfer/transfer_result.h"

namespace vextune {

/// One message box of the transfers; the GUI and the command line show the
/// same texts.
struct TransferMessage {
  std::string caption;
  std::string text;
  MessageIcon icon;
};

inline constexpr const char* kSendCaption = "Send User Config";
inline constexpr const char* kReadCaption = "Read User Config";

/// Status line texts while a transfer runs.
inline constexpr const char* kSendingStatus = "Transferring config to DAV-OZI...";
inline constexpr const char* kCheckingStatus = "Checking config in DAV-OZI...";
inline constexpr const char* kReadingStatus = "Reading Configuration from DAV-OZI...";
inline constexpr const char* kReadDoneStatus = "Configuration loaded from DAV-OZI.";

/// The message after a send; nothing for Complete, which the verification
/// follows.
std::optional<TransferMessage> SendResultMessage(TransferResult result);

/// The message when the read-back differs from what was sent.
TransferMessage VerificationFailedMessage();

/// The message after a read; nothing for Complete. `outOfRange` is the list
/// the read handed over with OutOfRange.
std::optional<TransferMessage> ReadResultMessage(TransferResult result,
                                                 const std::string& outOfRange);

}  // namespace vextune
