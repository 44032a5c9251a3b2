#pragma once

#include <string_view>

#include "editor/field_edit.h"

namespace vextune {

/// The keystroke filter of the own-callsign field, run after every change the
/// user makes. `remembered` is the field's last accepted text, `edited` its
/// text after the change, `caret` the end of the selection after the change.
///
/// A change that does not lengthen the text stands, unless the characters it
/// brought in (a selection replaced, see ChangeStart) are not all ASCII
/// letters, digits or "-". Otherwise the inserted
/// characters are the ones ending at the caret; the change is refused when one
/// of them is not an ASCII letter, digit or "-", when they hold more than one
/// "-", when they hold a "-" and `remembered` already has one, or when they
/// start at position 0 with a "-". A refused change brings `remembered` back
/// with the caret where the insertion started, and beeps.
///
/// Texts are Windows-1252, one byte per character.
FieldEdit FilterCallsignEdit(std::string_view remembered, std::string_view edited, int caret);

}  // namespace vextune
