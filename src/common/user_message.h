#pragma once

#include <string>
#include <string_view>

#include "common/operation.h"

namespace vextune {

/// What an operation (the configuration check, a send, a read, an update)
/// has to tell the user: the GUI shows it as a message box, the command line
/// prints its text. An empty caption means the application's name.
struct UserMessage {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::Information;

  bool operator==(const UserMessage&) const = default;
};

/// The port cannot be opened (the configuration check and the update).
inline constexpr std::string_view kPortOpenFailedText =
    "Error Opening serial connection\nor DAV-OZI occupied by other program!";

/// Shows `message` through `prompt`.
inline void ShowUserMessage(UserPrompt& prompt, const UserMessage& message) {
  prompt.ShowMessage(message.caption, message.text, message.icon);
}

}  // namespace vextune
