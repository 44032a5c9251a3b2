#pragma once

#include <QLabel>

class QAccessibleEvent;

namespace vextune::ui {

/// A dialog's status line: one line of text that never widens its dialog (a
/// text too long for the room it has, a deep file path, is shown shortened
/// in the middle and whole in its tooltip), read by a screen reader as what
/// it says. Its accessible name is always its whole text, its role that of
/// a status bar, and a change of the text is announced; the accessible
/// description may say what the line is about (its group's title).
class ElidedLabel final : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

  /// Shows `text`, announces it when it differs from what was shown, and
  /// sets the tooltip when it does not fit.
  void setText(const QString& text);

  /// Where the announcements go: Qt's accessibility bridge
  /// (QAccessible::updateAccessibility), unless a test listens instead.
  using Announcer = void (*)(QAccessibleEvent* event);
  static void SetAnnouncer(Announcer announcer);

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateToolTip();
};

}  // namespace vextune::ui
