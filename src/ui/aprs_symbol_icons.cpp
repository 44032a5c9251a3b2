#include "ui/aprs_symbol_icons.h"

#include <QPainter>
#include <QPixmap>

namespace vextune::ui {

// Until every symbol has its drawing, all entries show the shared
// placeholder: a grey frame with a question mark.
QIcon AprsSymbolIcon(SymbolTable /*table*/, int /*index*/) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(kSymbolIconWidth * scale, kSymbolIconHeight * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawRect(QRectF(1.5, 1.5, kSymbolIconWidth - 3, kSymbolIconHeight - 3));
    painter.drawText(QRectF(0, 0, kSymbolIconWidth, kSymbolIconHeight), Qt::AlignCenter,
                     QStringLiteral("?"));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace vextune::ui
