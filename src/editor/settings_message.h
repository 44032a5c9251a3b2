#pragma once

#include <string>
#include <string_view>

#include "common/operation.h"

namespace vextune {

/// A message box that a settings dialog shows when a check fails. The texts
/// are UTF-8, as the prompt takes them; an empty caption means the
/// application's name.
struct SettingsMessage {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;

  bool operator==(const SettingsMessage&) const = default;
};

/// A number field's text read as an unsigned decimal number: the leading
/// digits after blanks; an empty text or one that does not start with a digit
/// reads as 0. Runs too long for 32 bits read as INT32_MAX, above every range.
int32_t ReadFieldNumber(std::string_view text);

}  // namespace vextune
