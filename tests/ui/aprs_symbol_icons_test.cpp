#include "ui/aprs_symbol_icons.h"

#include <QCryptographicHash>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace vextune::ui {
namespace {

const QSize kIconSize(kSymbolIconWidth, kSymbolIconHeight);

QImage Picture(SymbolTable table, int index, int scale, QIcon::Mode mode = QIcon::Normal) {
  const QPixmap pixmap = AprsSymbolIcon(table, index).pixmap(kIconSize, scale, mode);
  return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 128;
  }
  return count;
}

QString Describe(SymbolTable table, int index) {
  const std::string_view name = SymbolName(table, index);
  return QStringLiteral("%1 %2 \"%3\"")
      .arg(table == SymbolTable::Primary ? "primary" : "alternate")
      .arg(index)
      .arg(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
}

}  // namespace

class AprsSymbolIconsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyEntryHasAPictureOfTheRightSize_data() {
    QTest::addColumn<SymbolTable>("table");
    QTest::addColumn<int>("scale");
    QTest::newRow("primary 1x") << SymbolTable::Primary << 1;
    QTest::newRow("primary 2x") << SymbolTable::Primary << 2;
    QTest::newRow("alternate 1x") << SymbolTable::Alternate << 1;
    QTest::newRow("alternate 2x") << SymbolTable::Alternate << 2;
  }

  void everyEntryHasAPictureOfTheRightSize() {
    QFETCH(SymbolTable, table);
    QFETCH(int, scale);
    for (int index = 0; index < kSymbolCount; ++index) {
      const QPixmap pixmap = AprsSymbolIcon(table, index).pixmap(kIconSize, scale);
      QCOMPARE(pixmap.size(), kIconSize * scale);
      QCOMPARE(pixmap.devicePixelRatio(), qreal(scale));
      QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(kIconSize));
      // Even the thinnest pictures (a small ring, a dashed frame) cover
      // more than this; an empty or nearly empty picture is a fault.
      const int minimum = 20 * scale * scale;
      QVERIFY2(OpaquePixels(pixmap.toImage()) >= minimum, qPrintable(Describe(table, index)));
    }
  }

  // A 2x picture is drawn at 2x, not enlarged from the 1x one.
  void doubleScalePicturesAreDrawnNotEnlarged() {
    for (SymbolTable table : {SymbolTable::Primary, SymbolTable::Alternate}) {
      for (int index = 0; index < kSymbolCount; ++index) {
        const QImage enlarged = Picture(table, index, 1).scaled(kIconSize * 2);
        QVERIFY2(Picture(table, index, 2) != enlarged, qPrintable(Describe(table, index)));
      }
    }
  }

  void placeholderEntriesShareOnePicture() {
    for (int scale : {1, 2}) {
      const QImage placeholder = Picture(SymbolTable::Primary, 89, scale);  // "No Symbol [90]"
      int shared = 0;
      for (SymbolTable table : {SymbolTable::Primary, SymbolTable::Alternate}) {
        for (int index = 0; index < kSymbolCount; ++index) {
          const bool same = Picture(table, index, scale) == placeholder;
          QVERIFY2(same == IsPlaceholderSymbol(table, index), qPrintable(Describe(table, index)));
          shared += same;
        }
        QCOMPARE(Picture(table, -1, scale), placeholder);
        QCOMPARE(Picture(table, kSymbolCount, scale), placeholder);
      }
      QCOMPARE(shared, 25);
    }
  }

  // Two entries of one table with the same picture are a copy-paste slip,
  // also where the names are the same ("Grid Square", "No Symbol").
  void noTwoEntriesOfATableLookAlike() {
    for (int scale : {1, 2}) {
      for (SymbolTable table : {SymbolTable::Primary, SymbolTable::Alternate}) {
        QHash<QByteArray, int> seen;
        for (int index = 0; index < kSymbolCount; ++index) {
          if (IsPlaceholderSymbol(table, index)) continue;
          const QImage image = Picture(table, index, scale);
          const QByteArray digest = QCryptographicHash::hash(
              QByteArrayView(image.constBits(), image.sizeInBytes()), QCryptographicHash::Sha1);
          const auto earlier = seen.constFind(digest);
          if (earlier != seen.constEnd() && Picture(table, *earlier, scale) == image) {
            QFAIL(qPrintable(Describe(table, index) + " looks like " + Describe(table, *earlier)));
          }
          seen.insert(digest, index);
        }
      }
    }
  }

  void otherSizesKeepTheProportions() {
    const QIcon icon = AprsSymbolIcon(SymbolTable::Primary, 29);  // "Car"
    QCOMPARE(icon.actualSize(QSize(16, 16)), QSize(16, 15));
    QCOMPARE(icon.actualSize(QSize(200, 100)), QSize(105, 100));
    QCOMPARE(icon.pixmap(QSize(40, 40)).size(), QSize(40, 38));
    QVERIFY(icon.pixmap(QSize(0, 0)).isNull());
  }

  // Painting the icon, as item views do, gives the same picture as its
  // pixmap at the painter's scale.
  void paintingMatchesThePixmap() {
    const QIcon icon = AprsSymbolIcon(SymbolTable::Alternate, 52);  // "Sunny"
    for (int scale : {1, 2}) {
      QImage canvas(QSize(24, 23) * scale, QImage::Format_ARGB32_Premultiplied);
      canvas.setDevicePixelRatio(scale);
      canvas.fill(Qt::transparent);
      QPainter painter(&canvas);
      icon.paint(&painter, QRect(QPoint(2, 2), kIconSize));
      painter.end();
      const QImage expected = Picture(SymbolTable::Alternate, 52, scale);
      QCOMPARE(canvas.copy(QRect(QPoint(2, 2) * scale, expected.size()))
                   .convertToFormat(QImage::Format_ARGB32_Premultiplied),
               expected);
    }
  }

  void disabledPicturesDifferFromNormalOnes() {
    const QImage normal = Picture(SymbolTable::Primary, 14, 1);  // "Red Dot"
    const QImage disabled = Picture(SymbolTable::Primary, 14, 1, QIcon::Disabled);
    QCOMPARE(disabled.size(), normal.size());
    QVERIFY(disabled != normal);
  }
};

}  // namespace vextune::ui

QTEST_MAIN(vextune::ui::AprsSymbolIconsTest)
#include "aprs_symbol_icons_test.moc"
