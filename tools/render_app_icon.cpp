// Renders the application icon's SVG to the PNG sizes of the hicolor icon
// theme: OUT_DIR/hicolor/<N>x<N>/apps/NAME.png for every size given. The
// build runs it; Qt's own SVG renderer draws the same picture the program
// shows in its windows.
//
//   render_app_icon ICON.svg OUT_DIR NAME SIZE...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  const QStringList arguments = application.arguments();
  if (arguments.size() < 5) {
    std::fprintf(stderr, "usage: render_app_icon ICON.svg OUT_DIR NAME SIZE...\n");
    return 2;
  }
  QSvgRenderer renderer(arguments[1]);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "render_app_icon: cannot read %s\n", qPrintable(arguments[1]));
    return 1;
  }
  for (qsizetype i = 4; i < arguments.size(); ++i) {
    bool ok = false;
    const int size = arguments[i].toInt(&ok);
    if (!ok || size < 1 || size > 1024) {
      std::fprintf(stderr, "render_app_icon: bad size %s\n", qPrintable(arguments[i]));
      return 2;
    }
    const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(arguments[2]).arg(size);
    if (!QDir().mkpath(folder)) {
      std::fprintf(stderr, "render_app_icon: cannot create %s\n", qPrintable(folder));
      return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    const QString file = QStringLiteral("%1/%2.png").arg(folder, arguments[3]);
    if (!image.save(file, "PNG")) {
      std::fprintf(stderr, "render_app_icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
