#include "ui/aprs_symbol_icons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include "ui/aprs_symbol_catalog.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui {
namespace {

// Paints one symbol's vector drawing at whatever size and scale is asked
// for, so that the picture is sharp on every screen.
class SymbolIconEngine final : public QIconEngine {
 public:
  explicit SymbolIconEngine(symbols::SymbolDrawing drawing) : drawing_(drawing) {}

  QIconEngine* clone() const override { return new SymbolIconEngine(drawing_); }

  QString key() const override { return QStringLiteral("vextune-aprs-symbol"); }

  bool isNull() override { return false; }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    return FittedSize(size);
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    return {QSize(kSymbolIconWidth, kSymbolIconHeight)};
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // `size` is in device pixels already; `scale` is the screen's ratio of
  // device pixels to device-independent ones.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
    const QSize pixels = FittedSize(size);
    if (pixels.isEmpty()) return {};
    const QString cacheKey = QStringLiteral("%1x%2@%3/%4")
                                 .arg(pixels.width())
                                 .arg(pixels.height())
                                 .arg(scale)
                                 .arg(static_cast<int>(mode));
    if (const auto cached = cache_.constFind(cacheKey); cached != cache_.constEnd()) {
      return *cached;
    }
    QPixmap picture = Render(pixels);
    if (mode != QIcon::Normal) picture = StyledForMode(mode, picture);
    picture.setDevicePixelRatio(scale);
    cache_.insert(cacheKey, picture);
    return picture;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap picture = scaledPixmap(rect.size() * scale, mode, state, scale);
    const QSizeF shown = picture.deviceIndependentSize();
    painter->drawPixmap(QPointF(rect.x() + (rect.width() - shown.width()) / 2,
                                rect.y() + (rect.height() - shown.height()) / 2),
                        picture);
  }

 private:
  // The largest size of the symbol's proportions that fits into `bounds`.
  static QSize FittedSize(const QSize& bounds) {
    const qreal fit =
        std::min(bounds.width() / symbols::kCanvasWidth, bounds.height() / symbols::kCanvasHeight);
    return QSize(qRound(symbols::kCanvasWidth * fit), qRound(symbols::kCanvasHeight * fit));
  }

  QPixmap Render(const QSize& pixels) const {
    QPixmap picture(pixels);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels.width() / symbols::kCanvasWidth, pixels.height() / symbols::kCanvasHeight);
    drawing_(painter);
    painter.end();
    return picture;
  }

  // Disabled and selected pictures look as the style makes them look for
  // any other icon.
  static QPixmap StyledForMode(QIcon::Mode mode, const QPixmap& picture) {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!application) return picture;
    QStyleOption option;
    option.palette = QApplication::palette();
    return QApplication::style()->generatedIconPixmap(mode, picture, &option);
  }

  symbols::SymbolDrawing drawing_;
  QHash<QString, QPixmap> cache_;
};

}  // namespace

QIcon AprsSymbolIcon(SymbolTable table, int index) {
  return QIcon(new SymbolIconEngine(symbols::FindSymbolDrawing(table, index)));
}

}  // namespace vextune::ui
