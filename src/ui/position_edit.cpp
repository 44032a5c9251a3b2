#include "ui/position_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/cp1252_field_text.h"

namespace vextune::ui {
namespace {

bool IsDigitKey(const QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  return modifiers == Qt::NoModifier && event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9;
}

}  // namespace

PositionEdit::PositionEdit(PositionAxis axis, QWidget* parent) : QLineEdit(parent), axis_(axis) {
  setMaxLength(layout().Length());
  setContextMenuPolicy(Qt::PreventContextMenu);
  setAcceptDrops(false);
  setDragEnabled(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  SetCp1252Text(layout().mask);
  connect(this, &QLineEdit::textChanged, this, &PositionEdit::SelectAfterChange);
}

int PositionEdit::ConvertCheck(const QString& text) const {
  return vextune::ConvertCheck(axis_, FieldTextToCp1252(text));
}

std::string PositionEdit::Cp1252Text() const {
  return FieldTextToCp1252(text());
}

void PositionEdit::SetCp1252Text(std::string_view text) {
  setText(Cp1252ToFieldText(text));
}

void PositionEdit::SelectCharacter(int position) {
  setSelection(std::clamp(position, 0, layout().Length() - 1), 1);
}

int PositionEdit::SelectedPosition() const {
  return hasSelectedText() ? selectionStart() : cursorPosition();
}

void PositionEdit::Beep() {
  QApplication::beep();
  emit beeped();
}

void PositionEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) {
    // The whole field is never selected; Ctrl+A goes to its start, as Home.
    PressKey(PositionKey::Home);
    return;
  }
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Left:
      PressKey(PositionKey::Left);
      return;
    case Qt::Key_Right:
      PressKey(PositionKey::Right);
      return;
    case Qt::Key_Home:
      PressKey(PositionKey::Home);
      return;
    case Qt::Key_End:
      PressKey(PositionKey::End);
      return;
    case Qt::Key_Delete:
      if (!plain) break;
      PressKey(PositionKey::Delete);
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      // Moving on and the dialog's own keys belong to the dialog.
      event->ignore();
      return;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
      // A modifier on its own is half of a key (Shift+Tab); it types nothing.
      return;
    default:
      break;
  }
  if (event->modifiers() & Qt::AltModifier) {
    // Alt+letter is a button's mnemonic in the dialog.
    event->ignore();
    return;
  }
  if (IsDigitKey(event)) {
    PressKey(PositionKey::Digit, char('0' + (event->key() - Qt::Key_0)));
    return;
  }
  Beep();
}

void PositionEdit::PressKey(PositionKey key, char digit) {
  const PositionFieldState state =
      PressPositionKey(axis_, Cp1252Text(), SelectedPosition(), key, digit);
  if (state.beep) Beep();
  if (state.text != Cp1252Text()) SetCp1252Text(state.text);
  StandAt(state.position);
}

void PositionEdit::StandAt(int position) {
  if (position >= layout().Length()) {
    deselect();
    setCursorPosition(layout().Length());
    return;
  }
  SelectCharacter(position);
}

void PositionEdit::SelectAfterChange() {
  SelectCharacter(DigitAtOrAfter(axis_, cursorPosition()));
}

void PositionEdit::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    // No context menu, and no pasting of the selection with the middle button.
    Beep();
    return;
  }
  press_position_ = cursorPositionAt(event->position().toPoint());
  setCursorPosition(press_position_);
}

void PositionEdit::mouseMoveEvent(QMouseEvent* /*event*/) {}

void PositionEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || press_position_ < 0) return;
  SelectCharacter(DigitAtOrAfter(axis_, press_position_));
  press_position_ = -1;
}

void PositionEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  // A second click is a click, not a word selection.
  mousePressEvent(event);
}

void PositionEdit::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
}

void PositionEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (selectionStart() == 0 && selectedText().size() == text().size()) SelectCharacter(0);
}

void PositionEdit::inputMethodEvent(QInputMethodEvent* event) {
  event->ignore();
}

CLatPosEdit::CLatPosEdit(QWidget* parent) : PositionEdit(PositionAxis::Latitude, parent) {}

CLonPosEdit::CLonPosEdit(QWidget* parent) : PositionEdit(PositionAxis::Longitude, parent) {}

}  // namespace vextune::ui
