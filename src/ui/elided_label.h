#pragma once

#include <QLabel>

namespace vextune::ui {

/// A one-line status text that never widens its dialog: a text too long for
/// the room it has (a deep file path) is shown shortened in the middle, and
/// whole in its tooltip. text() and screen readers get the whole text.
class ElidedLabel final : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

  /// Shows `text`; also sets the tooltip when it does not fit.
  void setText(const QString& text);

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateToolTip();
};

}  // namespace vextune::ui
