#include "ui/keystroke_filter.h"

#include <QLineEdit>

#include "ui/cp1252_field_text.h"

namespace vextune::ui {

KeystrokeFilter::KeystrokeFilter(QLineEdit* edit, Rule rule, std::function<void()> beep)
    : QObject(edit),
      edit_(edit),
      rule_(std::move(rule)),
      beep_(std::move(beep)),
      remembered_(FieldTextToCp1252(edit->text())) {
  connect(edit_, &QLineEdit::textChanged, this, &KeystrokeFilter::OnTextChanged);
}

void KeystrokeFilter::OnTextChanged(const QString& text) {
  if (applying_) return;
  // setText() clears the modified flag; only the user's edits set it.
  if (!edit_->isModified()) {
    remembered_ = FieldTextToCp1252(text);
    return;
  }
  // The rules take the end of the selection, should the edit have left one
  // (an undo brings a removed selection back).
  const int caret = edit_->hasSelectedText()
                        ? edit_->selectionStart() + static_cast<int>(edit_->selectedText().size())
                        : edit_->cursorPosition();
  const FieldEdit edit = rule_(remembered_, FieldTextToCp1252(text), caret);
  remembered_ = edit.text;
  if (!edit.beep) return;
  beep_();
  applying_ = true;
  edit_->setText(Cp1252ToFieldText(edit.text));
  edit_->setModified(true);
  if (edit.selectionLength > 0) {
    edit_->setSelection(edit.selectionStart, edit.selectionLength);
  } else {
    edit_->setCursorPosition(edit.caret);
  }
  applying_ = false;
}

}  // namespace vextune::ui
