#include "transfer/transfer_messages.h"

namespace vextune {
namespace {

constexpr const char* kOpenError =
    "Error Opening serial connection\nor ambrel occupied by other program!";
constexpr const char* kIncomplete =
    "An Error occured while transferring configuration.\nConfiguration may be incomplete.";

}  // namespace

std::optional<TransferMessage> SendResultMessage(TransferResult result) {
  switch (static_cast<int>(result)) {
    case 0:
      return std::nullopt;
    case 1:
      return TransferMessage{kSendCaption, "Configuration Transfer Aborted!", MessageIcon::Warning};
    case 2:
      return TransferMessage{kSendCaption, kOpenError, MessageIcon::Error};
    case 3:
      return TransferMessage{kSendCaption,
                             "Ambrel is running in BIOS mode.\nSwitch BIOS OFF and restart ambrel.",
                             MessageIcon::Warning};
    case 4:
      return TransferMessage{kSendCaption, "Communication Error.", MessageIcon::Error};
    default:
      return TransferMessage{kSendCaption, kIncomplete, MessageIcon::Error};
  }
}

TransferMessage VerificationFailedMessage() {
  return TransferMessage{kSendCaption, kIncomplete, MessageIcon::Error};
}

std::optional<TransferMessage> ReadResultMessage(TransferResult result,
                                                 const std::string& outOfRange) {
  switch (static_cast<int>(result)) {
    case 0:
      return std::nullopt;
    case 1:
      return TransferMessage{kReadCaption,
                             "Configuration Transfer Aborted!\nConfiguration NOT read completely!",
                             MessageIcon::Warning};
    case 2:
      return TransferMessage{kReadCaption, kOpenError, MessageIcon::Error};
    case 3:
      return TransferMessage{
          kReadCaption,
          "The following parameters were out of Range and have been set to default:\n" + outOfRange,
          MessageIcon::Information};
    case 4:
      return TransferMessage{kReadCaption, "DAV-OZI is not responding.", MessageIcon::Error};
    default:
      return TransferMessage{kReadCaption, "An error occured while reading DAV-OZI configuration.",
                             MessageIcon::Error};
  }
}

}  // namespace vextune
