// The whole way of a changed setting, as a user goes it: the configuration
// main dialog reads the simulated DAV-OZI, the three settings dialogs are
// opened from it and edited with keys and clicks, Send Configuration sends
// and verifies, and the device ends up holding exactly what was entered.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <set>
#include <string>

#include "link/configuration_check.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "settings_dialog_test_support.h"
#include "ui/application_state.h"
#include "ui/aprs_settings_dlg.h"
#include "ui/aprs_settings_runner.h"
#include "ui/configuration_main_dlg.h"
#include "ui/general_settings_dlg.h"
#include "ui/general_settings_runner.h"
#include "ui/misc_settings_dlg.h"
#include "ui/misc_settings_runner.h"

using namespace vextune;
using vextune::testing::ScriptedPrompt;
using vextune::testing::SimulatedDavozi;
using vextune::testing::WhenShown;

namespace {

/// A read takes a few seconds, a send with its read-back about ten.
constexpr int kTransferTimeoutMs = 30000;

template <typename T = QWidget>
T* Child(QWidget& dialog, const char* name) {
  T* child = dialog.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("no control %s", name);
  return child;
}

QLineEdit* Field(QWidget& dialog, const char* name) {
  return Child<QLineEdit>(dialog, name);
}

void ClickButton(QWidget& dialog, const char* name) {
  vextune::testing::Click(Child<QAbstractButton>(dialog, name));
}

/// Makes a dialog that just opened the active window, as it is in front of
/// a user.
void Activate(QWidget& dialog) {
  QApplication::setActiveWindow(&dialog);
  if (!QTest::qWaitForWindowActive(&dialog))
    qWarning("%s is not active", qPrintable(dialog.objectName()));
}

/// Tabs into a position field (its caret goes to the first digit) and types
/// the digits; the field's mask supplies the degree sign and the point.
void TabIntoAndType(QWidget& dialog, const char* name, const QString& digits) {
  QLineEdit* field = Field(dialog, name);
  field->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(field, digits);
}

/// Picks entry `index` of a drop-down with the keyboard: Home, then Down.
void PickByKeys(QComboBox* box, int index) {
  box->setFocus(Qt::TabFocusReason);
  QTest::keyClick(box, Qt::Key_Home);
  for (int i = 0; i < index; ++i) QTest::keyClick(box, Qt::Key_Down);
}

/// The members in which two records differ, the clock flag included.
std::set<std::string> ChangedMembers(const CConfigData& before, const CConfigData& after) {
  std::set<std::string> names;
  for (const ParamInfo* p : after.Differences(before, true)) names.insert(p->memberName);
  return names;
}

}  // namespace

class SettingsRoundTripTest : public QObject {
  Q_OBJECT

 private slots:
  void enteredSettingsReachTheDeviceExactly() {
    SimulatedDavozi device;
    const CConfigData before = device.device().Store();
    ScriptedPrompt prompt;
    ui::ApplicationState state(nullptr);
    state.device.SelectPort(device.path());
    QVERIFY(RunConfigurationCheck(state.device.link(), state.device.state(), state.device.cancel())
                .passed());

    ui::GeneralSettingsRunner general;
    ui::AprsSettingsRunner aprs;
    ui::MiscSettingsRunner misc;
    ui::CConfigurationMainDlg dialog(state, prompt,
                                     ui::SettingsDialogRunners{&general, &aprs, &misc});
    dialog.show();
    QTRY_VERIFY(dialog.transferRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.transferRunning(), kTransferTimeoutMs);
    QCOMPARE(Child<QLabel>(dialog, "statusLine")->text(),
             QStringLiteral("Configuration loaded from DAV-OZI."));

    bool seen = false;
    WhenShown<ui::CGeneralSettings>(
        [](ui::CGeneralSettings& settings) {
          Activate(settings);
          vextune::testing::TypeInto(Field(settings, "txDelayEdit"), QStringLiteral("37"));
          vextune::testing::TypeInto(Field(settings, "callsignEdit"), QStringLiteral("db0xyz-3"));
          ClickButton(settings, "prModeR600Radio");
          ClickButton(settings, "okButton");
        },
        &seen);
    ClickButton(dialog, "generalSettingsButton");
    QVERIFY(seen);

    WhenShown<ui::CMiscSettings>(
        [](ui::CMiscSettings& settings) {
          Activate(settings);
          vextune::testing::TypeInto(Field(settings, "frackEdit"), QStringLiteral("750"));
          ClickButton(settings, "okButton");
        },
        &seen);
    ClickButton(dialog, "miscSettingsButton");
    QVERIFY(seen);

    WhenShown<ui::CAprsSettings>(
        [](ui::CAprsSettings& settings) {
          Activate(settings);
          vextune::testing::TypeInto(Field(settings, "pathEdit"),
                                     QStringLiteral("APZVX via WIDE1-1,WIDE2-1"));
          ClickButton(settings, "beaconFixedRadio");
          TabIntoAndType(settings, "latitudeEdit", QStringLiteral("483179"));
          ClickButton(settings, "latitudeHemisphereButton");  // N -> S
          TabIntoAndType(settings, "longitudeEdit", QStringLiteral("0081188"));
          ClickButton(settings, "longitudeHemisphereButton");  // W -> E
          ClickButton(settings, "alternateTableCheck");
          PickByKeys(Child<QComboBox>(settings, "alternateSymbolBox"), 29);
          ClickButton(settings, "freqBeaconCheck");
          vextune::testing::TypeInto(Field(settings, "freqBeaconEdit"), QStringLiteral("1800"));
          ClickButton(settings, "okButton");
        },
        &seen);
    ClickButton(dialog, "aprsSettingsButton");
    QVERIFY(seen);
    QVERIFY2(prompt.shown().empty(), prompt.shown().empty() ? "" : prompt.shown()[0].text.c_str());

    ClickButton(dialog, "sendButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), kTransferTimeoutMs);
    QVERIFY2(prompt.shown().empty(), prompt.shown().empty() ? "" : prompt.shown()[0].text.c_str());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    // Exactly the entered values changed in the device, and they were stored.
    const CConfigData after = device.device().Store();
    QCOMPARE(after.m_TxDelay.value, 37);
    QCOMPARE(after.m_Callsign.text, std::string("DB0XYZ-3"));
    QCOMPARE(after.m_PrModeIndex.value, 2);
    QCOMPARE(after.m_PrMode.text, std::string("R600"));
    QCOMPARE(after.m_Frack.value, 750);
    QCOMPARE(after.m_AprsBeacon.value, 2);
    QCOMPARE(after.m_AprsPosition.text, std::string("4831.79S 00811.88E"));
    QCOMPARE(after.m_AprsDest.text, std::string("APZVX"));
    QCOMPARE(after.m_AprsVia1.text, std::string("WIDE1-1"));
    QCOMPARE(after.m_AprsVia2.text, std::string("WIDE2-1"));
    QCOMPARE(after.m_AprsVia3.text, std::string(""));
    QCOMPARE(after.m_AprsAltTable.value, 1);
    QCOMPARE(after.m_AprsSymbol.value, 29);
    QCOMPARE(after.m_AprsFreqBeacon.value, 1800);
    const std::set<std::string> expected = {
        "m_TxDelay",      "m_Callsign",     "m_PrModeIndex",   "m_PrMode",   "m_Frack",
        "m_AprsBeacon",   "m_AprsPosition", "m_AprsDest",      "m_AprsVia1", "m_AprsVia2",
        "m_AprsAltTable", "m_AprsSymbol",   "m_AprsFreqBeacon"};
    QCOMPARE(ChangedMembers(before, after), expected);
    QVERIFY(device.device().Nonvolatile().Differences(after, false).empty());
  }
};

QTEST_MAIN(SettingsRoundTripTest)
#include "settings_round_trip_test.moc"
