#include "ui/application_icon.h"

#include <QImage>
#include <QtTest>

namespace vextune::ui {

class ApplicationIconTest : public QObject {
  Q_OBJECT

 private slots:
  // The window icon comes from the resource compiled into the program, at
  // every size a desktop asks for, with the tile filling the picture.
  void iconHasEverySizeDrawn() {
    const QIcon icon = ApplicationIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QCOMPARE(sizes.size(), static_cast<qsizetype>(std::size(kApplicationIconSizes)));
    for (int size : kApplicationIconSizes) {
      QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
      const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
      QCOMPARE(image.size(), QSize(size, size));
      // The middle is opaque tile, the very corner transparent (rounded).
      QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
      QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
  }
};

}  // namespace vextune::ui

QTEST_MAIN(vextune::ui::ApplicationIconTest)
#include "application_icon_test.moc"
