#include "ui/widget_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace vextune::ui {
namespace {

// Asks for the whole content. The width keeps room for the vertical scroll
// bar, so that a window cut in height needs no horizontal one.
class FittingScrollArea final : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;

  QSize sizeHint() const override {
    if (widget() == nullptr) return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    const QSize content = widget()->sizeHint();
    return {content.width() + frame + verticalScrollBar()->sizeHint().width(),
            content.height() + frame};
  }
};

// Gives the Tab stop to the checked button whenever the check or the focus
// moves. The buttons keep their click focus.
class RadioTabStop final : public QObject {
 public:
  RadioTabStop(std::vector<QPointer<QAbstractButton>> buttons, QObject* parent)
      : QObject(parent), buttons_(std::move(buttons)) {
    for (QAbstractButton* button : buttons_) {
      connect(button, &QAbstractButton::toggled, this, &RadioTabStop::Update);
      button->installEventFilter(this);
    }
    Update();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    // The button itself hands the Tab stop to whichever button takes the
    // focus; on leaving the group it goes back to the checked one.
    if (event->type() == QEvent::FocusOut)
      QMetaObject::invokeMethod(this, &RadioTabStop::Update, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
  }

 private:
  void Update() {
    QAbstractButton* stop = nullptr;
    for (QAbstractButton* button : buttons_) {
      if (button == nullptr) continue;
      if (stop == nullptr || button->isChecked()) stop = button;
      if (button->isChecked()) break;
    }
    for (QAbstractButton* button : buttons_) {
      if (button == nullptr || button->hasFocus()) continue;
      button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
  }

  std::vector<QPointer<QAbstractButton>> buttons_;
};

class ScreenKeeper final : public QObject {
 public:
  ScreenKeeper(QWidget* window, QScrollArea* area) : QObject(window), window_(window), area_(area) {
    window->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Show) {
      if (QScreen* screen = window_->screen())
        FitToScreen(window_, area_, screen->availableGeometry());
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* window_;
  QPointer<QScrollArea> area_;
};

}  // namespace

QString WithoutMnemonic(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

void TabToCheckedRadio(std::initializer_list<QAbstractButton*> buttons) {
  if (buttons.size() == 0) return;
  std::vector<QPointer<QAbstractButton>> group(buttons.begin(), buttons.end());
  new RadioTabStop(std::move(group), *buttons.begin());
}

QScrollArea* NewFittingScrollArea(QWidget* content, QWidget* parent) {
  auto* area = new FittingScrollArea(parent);
  area->setObjectName(QStringLiteral("scrollArea"));
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setWidget(content);
  return area;
}

QScrollArea* SetScrolledLayout(QDialog* dialog, QLayout* content, QLayout* buttons) {
  auto* inner = new QWidget;
  inner->setObjectName(QStringLiteral("scrollContent"));
  inner->setLayout(content);
  content->setContentsMargins(0, 0, 0, 0);
  QScrollArea* area = NewFittingScrollArea(inner, dialog);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(area, 1);
  layout->addLayout(buttons);
  KeepOnScreen(dialog, area);
  return area;
}

void KeepOnScreen(QWidget* window, QScrollArea* area) {
  new ScreenKeeper(window, area);
}

void FitToScreen(QWidget* window, QScrollArea* area, const QRect& available) {
  // The title bar and frame count too. Until the window manager has framed
  // the window they read 0; the style's title bar stands in for them then.
  QSize frame = window->frameGeometry().size() - window->geometry().size();
  if (frame.height() <= 0) {
    const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    frame = QSize(2 * border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
  }
  const QSize room = available.size() - frame;
  // The content may have grown while it was polished for showing.
  if (area != nullptr) area->updateGeometry();
  const QSize wanted = window->sizeHint();
  QSize size = wanted;
  // A window too narrow brings a horizontal scroll bar, which needs its own
  // room.
  if (area != nullptr && size.width() > room.width())
    size.rheight() += area->horizontalScrollBar()->sizeHint().height();
  size = size.boundedTo(room);
  window->resize(size);
  if (area != nullptr) {
    // The scroll bars were placed while the window still had the size it
    // was made with; placed again at this size, they show only if needed.
    QResizeEvent placed(area->size(), area->size());
    QCoreApplication::sendEvent(area, &placed);
  }
  if (size != wanted) {
    // Cut to the screen: the whole of it, from its top left corner.
    window->move(available.topLeft());
    return;
  }
  // A window that fits is only moved as far as it takes to be inside.
  const QSize outer = window->size() + frame;
  const auto inside = [](int at, int start, int length, int room) {
    return std::max(start, std::min(at, start + room - length));
  };
  const int x = inside(window->x(), available.left(), outer.width(), available.width());
  const int y = inside(window->y(), available.top(), outer.height(), available.height());
  window->move(x, y);
}

}  // namespace vextune::ui
