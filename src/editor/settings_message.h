#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

/// What the field a refusal names selects once its message is closed.
enum class FieldSelection {
  All,    ///< the whole text
  Range,  ///< `selectionStart`, `selectionLength` characters
  None,   ///< nothing: the caret stays where it is
};

/// A refused entry, as every settings dialog reports it: the message, the
/// field that gets the focus afterwards and what it selects there, and the
/// text the field is given back first, if any.
template <typename Field>
struct SettingsFinding {
  SettingsFinding() = default;
  SettingsFinding(Field refusedField, SettingsMessage refusal)
      : field(refusedField), message(std::move(refusal)) {}

  Field field{};
  SettingsMessage message;
  FieldSelection selection = FieldSelection::All;
  int selectionStart = 0;
  int selectionLength = 0;
  std::optional<std::string> restoredText;

  bool operator==(const SettingsFinding&) const = default;
};

/// A number field's text read as an unsigned decimal number: the leading
/// digits after blanks; an empty text or one that does not start with a digit
/// reads as 0. Runs too long for 32 bits read as INT32_MAX, above every range.
int32_t ReadFieldNumber(std::string_view text);

}  // namespace vextune
