#include "ui/elided_label.h"

#include <QPainter>
#include <QStyle>

namespace vextune::ui {

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
  QLabel::setText(text);
  UpdateToolTip();
  update();
}

QSize ElidedLabel::minimumSizeHint() const {
  return {fontMetrics().averageCharWidth() * 10, QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::sizeHint() const {
  return {minimumWidth(), QLabel::sizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
  style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown,
                        foregroundRole());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  UpdateToolTip();
}

void ElidedLabel::UpdateToolTip() {
  const bool fits = fontMetrics().horizontalAdvance(text()) <= contentsRect().width();
  setToolTip(fits ? QString() : text());
}

}  // namespace vextune::ui
