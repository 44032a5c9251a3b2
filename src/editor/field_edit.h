#pragma once

#include <string>

namespace vextune {

/// What a keystroke filter decides after the user changed a field: the text
/// the field shows from now on, where the caret goes, what is selected, and
/// whether to beep because the change was refused. Positions count
/// characters of the field's text.
struct FieldEdit {
  std::string text;
  int caret = 0;
  /// Selection from `selectionStart`, `selectionLength` characters long; a
  /// length of 0 selects nothing.
  int selectionStart = 0;
  int selectionLength = 0;
  bool beep = false;
};

/// The change stands: `text` is shown with the caret where the user left it.
FieldEdit AcceptEdit(std::string text, int caret);

/// The change is refused: the remembered text comes back, the caret goes to
/// `caret` (clamped to the text), and the program beeps.
FieldEdit RefuseEdit(std::string remembered, int caret);

}  // namespace vextune
