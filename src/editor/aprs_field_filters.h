#pragma once

#include <string>
#include <string_view>

#include "editor/field_edit.h"

namespace vextune {

/// Keystroke filters of the APRS dialog's fields, run after each change the
/// user makes. Texts are 8-bit (one byte per character); `caret` is the end
/// of the selection after the change. A filter that remembers the field's
/// last accepted text takes it as `remembered`; the caller remembers the
/// returned text when the edit is accepted, and sets the field's text and
/// caret or selection from the result when it is refused (`beep`).

/// The callsign field: the filter of the own callsign (FilterCallsignEdit),
/// ASCII letters, digits and one "-" that does not come first.
FieldEdit FilterAprsCallsignEdit(std::string_view remembered, std::string_view text, int caret);

/// The two interval fields (TX interval, 4 digits; frequency beacon, 5
/// digits). Non-digits bring the remembered text back with the caret where
/// the insertion started; a text grown beyond `maxLength` brings it back
/// with all of it selected.
FieldEdit FilterIntervalEdit(std::string_view remembered, std::string_view text, int caret,
                             int maxLength);

inline constexpr int kTxIntervalMaxLength = 4;
inline constexpr int kFreqBeaconMaxLength = 5;

/// The path field, filtered as a whole: letters and digits stay; a blank,
/// "," or "-" stays unless it would come first or repeat the character
/// before it; anything else goes. When something went, the caret moves back
/// by the number of characters removed.
FieldEdit FilterAprsPathEdit(std::string_view text, int caret);

}  // namespace vextune
