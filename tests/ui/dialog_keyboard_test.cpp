// The settings dialogs driven with the keyboard alone: where Tab goes in
// radio groups and the position fields, and what a press on "Abbrechen"
// does to a field check pending.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "config/config_data.h"
#include "editor/aprs_settings_record.h"
#include "editor/general_settings_record.h"
#include "editor/misc_settings_record.h"
#include "link/device_state.h"
#include "scripted_prompt.h"
#include "settings_dialog_test_support.h"
#include "ui/aprs_settings_dlg.h"
#include "ui/general_settings_dlg.h"
#include "ui/misc_settings_dlg.h"

using namespace vextune;
using vextune::testing::ScriptedPrompt;

namespace {

QString Focused() {
  QWidget* focus = QApplication::focusWidget();
  return focus ? focus->objectName() : QString();
}

}  // namespace

class DialogKeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  // Tab enters the PR mode group at the mode that is set, and the arrow
  // keys reach the robust modes from there.
  void tabLandsOnTheCheckedRadio() {
    ScriptedPrompt prompt;
    GeneralSettingsValues values = GeneralSettingsFromRecord(CConfigData());
    values.prMode = 3;  // 1200 Bd
    DeviceState device;
    device.firmwareVersion = -1;
    ui::CGeneralSettings dialog(values, device, prompt);
    QVERIFY(testing::ShowActive(&dialog));
    dialog.findChild<QWidget*>(QStringLiteral("monitorCCheck"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(Focused(), QStringLiteral("prMode1200Radio"));

    for (int i = 0; i < 6 && !Focused().startsWith(QLatin1String("prModeR")); ++i)
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    const QString robust = Focused();
    QVERIFY2(robust.startsWith(QLatin1String("prModeR")), qPrintable(robust));
    QVERIFY(dialog.findChild<QRadioButton*>(robust)->isChecked());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(Focused(), QStringLiteral("okButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(Focused(), robust);
  }

  void positionFieldsComeBeforeTheirButtons() {
    ScriptedPrompt prompt;
    AprsSettingsValues values = AprsSettingsFromRecord(CConfigData());
    values.beaconMode.assign(1, '2');
    DeviceState device;
    device.firmwareVersion = -1;
    ui::CAprsSettings dialog(values, device, prompt);
    QVERIFY(testing::ShowActive(&dialog));
    dialog.findChild<QWidget*>(QStringLiteral("latitudeEdit"))->setFocus();
    QStringList reached{Focused()};
    for (int i = 0; i < 3; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      reached << Focused();
    }
    QCOMPARE(reached, QStringList({"latitudeEdit", "longitudeEdit", "latitudeHemisphereButton",
                                   "longitudeHemisphereButton"}));
  }

  // The press on "Abbrechen" takes the focus from the field before the
  // click is through; the value it leaves is thrown away, unannounced.
  void abbrechenDiscardsAFieldWithoutAMessage() {
    ScriptedPrompt prompt;
    DeviceState device;
    device.firmwareVersion = -1;
    ui::CMiscSettings dialog(MiscSettingsFromRecord(CConfigData()), device, prompt);
    QVERIFY(testing::ShowActive(&dialog));
    testing::TypeInto(dialog.findChild<QLineEdit*>(QStringLiteral("frackEdit")), "0");
    auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"));
    QTest::mousePress(cancel, Qt::LeftButton);
    QTest::qWait(50);  // a user's click takes longer than one turn of the event loop
    QTest::mouseRelease(cancel, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(prompt.shown().empty());
  }
};

QTEST_MAIN(DialogKeyboardTest)
#include "dialog_keyboard_test.moc"
