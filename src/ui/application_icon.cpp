#include "ui/application_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resource lives in a static library: naming its initialiser here keeps
// the linker from dropping it.
static void InitApplicationIconResource() {
  Q_INIT_RESOURCE(application_icon);
}

namespace vextune::ui {

QIcon ApplicationIcon() {
  InitApplicationIconResource();
  QSvgRenderer renderer(kApplicationIconPath);
  if (!renderer.isValid()) return {};
  QIcon icon;
  for (int size : kApplicationIconSizes) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace vextune::ui
