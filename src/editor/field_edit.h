#pragma once

#include <string>
#include <string_view>

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

/// Where the characters that a change brought in start: the first place at
/// which `edited` differs from `remembered`, at most `caret`. The run from
/// there to the caret is what came in, also when a selection was replaced by
/// as many characters as it held, which a count of how much the text grew
/// misses.
int ChangeStart(std::string_view remembered, std::string_view edited, int caret);

/// The change stands: `text` is shown with the caret where the user left it.
FieldEdit AcceptEdit(std::string text, int caret);

/// The change is refused: the remembered text comes back, the caret goes to
/// `caret` (clamped to the text), and the program beeps.
FieldEdit RefuseEdit(std::string remembered, int caret);

}  // namespace vextune
