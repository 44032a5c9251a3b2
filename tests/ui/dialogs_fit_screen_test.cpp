// Every dialog fits into the screen it opens on, with its OK button in
// sight: run on the screen the environment gives (CTest runs it on a low
// 1024x600 screen and on a 1280x1024 one at twice the scale).
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "every_dialog.h"
#include "settings_dialog_test_support.h"

using vextune::testing::EveryDialog;

class DialogsFitScreenTest : public QObject {
  Q_OBJECT

 private slots:
  void everyDialogKeepsItsButtonsOnScreen() {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    qInfo("screen %dx%d at scale %s", available.width(), available.height(),
          qPrintable(qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"))));
    EveryDialog dialogs;
    for (const EveryDialog::Maker& maker : dialogs.Makers()) {
      const std::unique_ptr<QDialog> dialog = maker.make();
      dialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
      const QString where = maker.name + QStringLiteral(": ");
      const QRect frame = dialog->frameGeometry();
      QVERIFY2(available.contains(frame), qPrintable(where + QStringLiteral("window %1,%2 %3x%4")
                                                                 .arg(frame.x())
                                                                 .arg(frame.y())
                                                                 .arg(frame.width())
                                                                 .arg(frame.height())));
      for (const char* name : {"okButton", "cancelButton"}) {
        auto* button = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
        if (button == nullptr) continue;  // the about box has OK only
        QVERIFY2(button->isVisible(), qPrintable(where + QString::fromLatin1(name)));
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        QVERIFY2(available.contains(onScreen), qPrintable(where + QString::fromLatin1(name)));
        // Inside the window itself, not hidden under a scrolled part.
        QVERIFY2(dialog->rect().contains(
                     QRect(button->mapTo(dialog.get(), QPoint(0, 0)), button->size())),
                 qPrintable(where + QString::fromLatin1(name)));
      }
      vextune::testing::SaveScreenshotIfAsked(
          dialog.get(),
          maker.name + QStringLiteral("-%1x%2").arg(available.width()).arg(available.height()));
      dialog->close();
    }
  }
};

QTEST_MAIN(DialogsFitScreenTest)
#include "dialogs_fit_screen_test.moc"
