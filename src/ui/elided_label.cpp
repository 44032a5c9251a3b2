#include "ui/elided_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>

namespace vextune::ui {
namespace {

// What a screen reader gets: the whole text, even when the line shows it
// shortened, and the role by which "read the status bar" finds it.
class StatusLineAccessible final : public QAccessibleWidget {
 public:
  explicit StatusLineAccessible(QWidget* widget)
      : QAccessibleWidget(widget, QAccessible::StatusBar) {}

  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Name) return static_cast<const QLabel*>(widget())->text();
    return QAccessibleWidget::text(which);
  }
};

QAccessibleInterface* StatusLineFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ElidedLabel::staticMetaObject.className()) &&
      object->isWidgetType())
    return new StatusLineAccessible(static_cast<QWidget*>(object));
  return nullptr;
}

ElidedLabel::Announcer announcer = &QAccessible::updateAccessibility;

}  // namespace

void ElidedLabel::SetAnnouncer(Announcer replacement) {
  announcer = replacement != nullptr ? replacement : &QAccessible::updateAccessibility;
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  static const bool installed = [] {
    QAccessible::installFactory(StatusLineFactory);
    return true;
  }();
  (void)installed;
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
  if (text == QLabel::text()) return;
  QLabel::setText(text);
  UpdateToolTip();
  update();
  // The line tells what just happened: a screen reader hears the new text
  // without having to look for it.
  QAccessibleEvent changed(this, QAccessible::NameChanged);
  announcer(&changed);
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
