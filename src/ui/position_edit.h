#pragma once

#include <QLineEdit>
#include <string>

#include "editor/aprs_position.h"

namespace vextune::ui {

/// A masked field for one axis of the fixed APRS position: it always shows
/// its mask of digit places around a degree sign and a point ("__°__.__"),
/// the user can only overwrite digits, and exactly one digit is selected, so
/// that the caret walks over the digits and skips the fixed characters.
/// Backspace moves left and never deletes; Delete clears the selected digit;
/// Home and Ctrl+A go to the first digit, End to the last; after the last
/// digit is typed the caret stands after it and a further digit beeps;
/// anything else beeps. The mouse cannot drag a selection and has no context
/// menu.
class PositionEdit : public QLineEdit {
  Q_OBJECT

 public:
  PositionEdit(PositionAxis axis, QWidget* parent);

  PositionAxis axis() const { return axis_; }
  const PositionLayout& layout() const { return LayoutOf(axis_); }

  /// 0 when `text` is a valid position part, 1 malformed, 2 out of range.
  int ConvertCheck(const QString& text) const;

  /// The field's text in the record's 8-bit form (degree sign 0xB0).
  std::string Cp1252Text() const;
  /// Shows an 8-bit text (a split stored position or the mask).
  void SetCp1252Text(std::string_view text);

  /// Selects the one character at `position`.
  void SelectCharacter(int position);
  /// The selected digit (the caret when nothing is selected).
  int SelectedPosition() const;

 signals:
  /// A refused key or click; the field has already beeped.
  void beeped();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  void Beep();
  /// Applies the field's rule for `key` (see PressPositionKey).
  void PressKey(PositionKey key, char digit = '\0');
  /// Selects the digit at `position`, or puts the caret after the last one.
  void StandAt(int position);
  void SelectAfterChange();

  PositionAxis axis_;
  int press_position_ = -1;
};

/// The latitude field: "__°__.__", degrees 0..89, N or S.
class CLatPosEdit final : public PositionEdit {
  Q_OBJECT

 public:
  explicit CLatPosEdit(QWidget* parent = nullptr);
};

/// The longitude field: "___°__.__", degrees 0..179, E or W.
class CLonPosEdit final : public PositionEdit {
  Q_OBJECT

 public:
  explicit CLonPosEdit(QWidget* parent = nullptr);
};

}  // namespace vextune::ui
