// The APRS settings dialog driven as a user would: what it shows when it
// opens, how the controls react, the keystroke filters, the checks of OK and
// the values handed back.

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "aprs_dialog_harness.h"
#include "ui/position_edit.h"

using vextune::AprsSettingsValues;
using vextune::MessageIcon;
using vextune::testing::AprsDialogHarness;
using vextune::testing::DefaultAprsValues;
using vextune::testing::ScriptedPrompt;

namespace {

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QStringList Entries(const QComboBox* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
  return entries;
}

}  // namespace

class AprsSettingsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void opensShowingTheValues();
  void firmwareRestrictsControlsAndLists();
  void longCommentIsCutBelow1_0Q();
  void controlsReactToClicks();
  void symbolBoxesShowTheSameIndex();
  void hemisphereButtonsToggle();
  void keystrokeFiltersBeepAndRestore();
  void programSetTextsPassTheFilters();
  void statusEveryRuleOnLeavingTheField();
  void okRefusalsShowMessageFocusAndSelection();
  void okHandsBackWhatWasEntered();
  void cancelDiscards();
  void lowScreenScrollsTheContent();
  void everyControlIsNamedAndReachable();
  void tooltipsAndTitle();
  void rendersForALook();
};

// Each case opens on changed values and looks at the controls.
void AprsSettingsDialogTest::opensShowingTheValues() {
  struct Case {
    const char* name;
    std::function<void(AprsSettingsValues&)> change;
    std::function<void(AprsDialogHarness&)> expect;
  };
  const Case cases[] = {
      {"defaults", [](AprsSettingsValues&) {},
       [](AprsDialogHarness& h) {
         QCOMPARE(h.Field("pathEdit")->text(), U("APRS,RELAY,WIDE"));
         QVERIFY(h.Button("manualIntervalRadio")->isChecked());
         QCOMPARE(h.Field("txIntervalEdit")->text(), U("900"));
         QVERIFY(!h.List("autoSpeedList")->isEnabled());
         QCOMPARE(h.List("primarySymbolBox")->currentText(), U("Red Dot"));
         QCOMPARE(h.List("alternateSymbolBox")->currentText(), U("No Symbol [15]"));
         QVERIFY(h.List("primarySymbolBox")->isVisible());
         QVERIFY(!h.List("alternateSymbolBox")->isVisible());
         QCOMPARE(h.Field("latitudeEdit")->text(), U("__°__.__"));
         QCOMPARE(h.Field("longitudeEdit")->text(), U("___°__.__"));
         QCOMPARE(h.Button("latitudeHemisphereButton")->text(), U("N"));
         QCOMPARE(h.Button("longitudeHemisphereButton")->text(), U("W"));
         QVERIFY(h.Button("beaconOffRadio")->isChecked());
         QVERIFY(!h.Field("latitudeEdit")->isEnabled());
         QVERIFY(h.Button("statusNeverRadio")->isChecked());
         QCOMPARE(h.Field("statusEveryEdit")->text(), U("0"));
         QVERIFY(!h.Field("statusEveryEdit")->isEnabled());
         QVERIFY(!h.Button("statusEveryUp")->isEnabled());
         QVERIFY(!h.Button("freqBeaconCheck")->isChecked());
         QCOMPARE(h.Field("freqBeaconEdit")->text(), U("0"));
         QVERIFY(!h.Field("freqBeaconEdit")->isEnabled());
         QVERIFY(!h.Get<QLabel>("freqBeaconIntervalLabel")->isEnabled());
         QVERIFY(h.Button("hfOnlyInHfPrModeRadio")->isChecked());
         QVERIFY(!h.Button("hfOnlyInHfPrModeRadio")->isEnabled());
         QCOMPARE(h.List("altitudeList")->currentIndex(), 1);
         QVERIFY(!h.List("altitudeList")->isEnabled());
         QVERIFY(!h.List("digiAliasList")->isEnabled());
         QCOMPARE(h.List("digiAliasList")->currentIndex(), 0);
         QCOMPARE(h.Field("validEdit")->text(), U("1200"));
         QVERIFY(h.Button("compressedCheck")->isChecked());
         QVERIFY(h.Button("timestampCheck")->isChecked());
       }},
      {"everything switched on",
       [](AprsSettingsValues& v) {
         v.nmeaOut = 4, v.crossMode = 7, v.digipeating = 3, v.altitude = 3, v.statusEvery = 5;
         v.freqBeacon = "600", v.hfToggleSwitch = true, v.hfToggle = 2, v.autoSpeed = 2;
         v.txInterval = "0", v.alternateTable = true, v.symbol = "93", v.beaconMode = "2";
         v.position = "4831.79S 00811.88E", v.unprotoCross = true;
       },
       [](AprsDialogHarness& h) {
         QCOMPARE(h.List("nmeaList")->currentText(), U("APRS + GPS (loopback)"));
         QCOMPARE(h.List("crossModeList")->currentText(), U("HF DUAL"));
         QCOMPARE(h.List("digiAliasList")->currentText(), U("RELAY/ WIDE/ WIDEn-N/ GATE"));
         QCOMPARE(h.List("altitudeList")->currentText(), U("compressed (3)"));
         QVERIFY(h.List("altitudeList")->isEnabled());
         QVERIFY(h.Button("statusOnEveryRadio")->isChecked());
         QCOMPARE(h.Field("statusEveryEdit")->text(), U("5"));
         QCOMPARE(h.Field("freqBeaconEdit")->text(), U("600"));
         QVERIFY(h.Field("freqBeaconEdit")->isEnabled());
         QVERIFY(h.Button("hfAlwaysRadio")->isChecked());
         QVERIFY(h.Button("hfAlwaysRadio")->isEnabled());
         QVERIFY(h.Button("autoIntervalRadio")->isChecked());
         QCOMPARE(h.Field("txIntervalEdit")->text(), U("0"));
         QVERIFY(!h.Field("txIntervalEdit")->isEnabled());
         QVERIFY(h.List("autoSpeedList")->isEnabled());
         QCOMPARE(h.List("autoSpeedList")->currentText(), U("fast"));
         QVERIFY(!h.List("primarySymbolBox")->isVisible());
         QVERIFY(h.List("alternateSymbolBox")->isVisible());
         QCOMPARE(h.List("alternateSymbolBox")->currentIndex(), 93);
         QCOMPARE(h.Field("latitudeEdit")->text(), U("48°31.79"));
         QCOMPARE(h.Button("latitudeHemisphereButton")->text(), U("S"));
         QCOMPARE(h.Get<QLabel>("latitudeHemisphereLabel")->text(), U("S"));
         QCOMPARE(h.Field("longitudeEdit")->text(), U("008°11.88"));
         QCOMPARE(h.Get<QLabel>("longitudeHemisphereLabel")->text(), U("E"));
         QVERIFY(h.Field("latitudeEdit")->isEnabled());
         QVERIFY(h.Button("unprotoCrossCheck")->isChecked());
       }},
  };
  for (const Case& c : cases) {
    AprsSettingsValues values = DefaultAprsValues();
    c.change(values);
    AprsDialogHarness h;
    QVERIFY2(h.Open(values), c.name);
    qInfo("case: %s", c.name);
    c.expect(h);
    QVERIFY2(h.prompt.shown().empty(), c.name);
  }
}

void AprsSettingsDialogTest::firmwareRestrictsControlsAndLists() {
  AprsSettingsValues values = DefaultAprsValues();
  values.nmeaOut = 4;  // beyond the list of old firmware
  values.txInterval = "0";
  values.hfToggleSwitch = true;
  values.crossMode = 3;
  values.altitude = 3;
  values.unprotoCross = true;
  values.freqBeacon = "600";

  AprsDialogHarness h;
  QVERIFY(h.Open(values, 10173));
  QCOMPARE(Entries(h.List("nmeaList")),
           QStringList({"APRS datagrams", "PR datagrams", "GPS-data (loopback)"}));
  QCOMPARE(Entries(h.List("digiAliasList")), QStringList({"RELAY", "WIDE", "RELAY WIDE"}));
  QCOMPARE(h.List("crossModeList")->count(), 6);
  QVERIFY(!h.List("autoSpeedList")->isEnabled());
  QCOMPARE(h.List("autoSpeedList")->currentText(), U("medium"));
  QVERIFY(!h.Button("unprotoCrossCheck")->isChecked());
  QVERIFY(!h.Button("unprotoCrossCheck")->isEnabled());
  QVERIFY(h.Button("hfOnlyInHfPrModeRadio")->isChecked());
  QVERIFY(!h.Button("hfOnlyInHfPrModeRadio")->isEnabled());
  QCOMPARE(h.List("crossModeList")->currentIndex(), 0);
  QVERIFY(!h.List("crossModeList")->isEnabled());
  QCOMPARE(h.List("altitudeList")->currentIndex(), 0);
  QVERIFY(!h.Get<QLabel>("altitudeLabel")->isEnabled());
  QVERIFY(!h.Button("freqBeaconCheck")->isEnabled());
  QVERIFY(!h.Get<QGroupBox>("freqBeaconGroup")->isEnabled());

  // The HF toggle switch never brings its buttons back on this firmware.
  h.Click("hfToggleCheck");
  h.Click("hfToggleCheck");
  QVERIFY(h.Button("hfToggleCheck")->isChecked());
  QVERIFY(!h.Button("hfAlwaysRadio")->isEnabled());
  // Nor does Auto TX Interval bring the speed list back below 1.4B.
  h.Click("manualIntervalRadio");
  h.Click("autoIntervalRadio");
  QVERIFY(!h.List("autoSpeedList")->isEnabled());

  // Below 1.0Q a whole set of controls is off.
  AprsDialogHarness old;
  QVERIFY(old.Open(DefaultAprsValues(), 10080));
  for (const char* name : {"aprsCallsignEdit", "validEdit", "statusTextEdit", "statusEveryEdit"})
    QVERIFY2(!old.Field(name)->isEnabled(), name);
  for (const char* name :
       {"digipeatingCheck", "hfToggleCheck", "statusNeverRadio", "statusOnEveryRadio"})
    QVERIFY2(!old.Button(name)->isEnabled(), name);
  QVERIFY(!old.List("nmeaList")->isEnabled());
  QVERIFY(old.Button("nmeaCheck")->isEnabled());  // only its list and labels go
  QVERIFY(old.Field("commentEdit")->isEnabled());
}

void AprsSettingsDialogTest::longCommentIsCutBelow1_0Q() {
  const std::string comment50(50, 'c');
  struct Case {
    int32_t firmware;
    int notices;
    int shownLength;
  };
  for (const Case& c : {Case{10080, 1, 40}, Case{10081, 0, 50}, Case{-1, 0, 50}}) {
    AprsSettingsValues values = DefaultAprsValues();
    values.comment = comment50;
    AprsDialogHarness h;
    bool visibleAtNotice = true;
    h.prompt.onShow = [&](const ScriptedPrompt::Shown&) {
      visibleAtNotice = h.dialog && h.dialog->isVisible();
    };
    QVERIFY(h.Open(values, c.firmware));
    QCOMPARE(int(h.prompt.shown().size()), c.notices);
    if (c.notices == 1) {
      QCOMPARE(h.prompt.shown()[0].text,
               std::string("APRS Comment will be truncated to 40 chars."));
      QCOMPARE(h.prompt.shown()[0].caption, std::string());
      QCOMPARE(h.prompt.shown()[0].icon, MessageIcon::None);
      QVERIFY(!visibleAtNotice);
    }
    QCOMPARE(h.Field("commentEdit")->text().size(), c.shownLength);
  }
}

void AprsSettingsDialogTest::controlsReactToClicks() {
  AprsDialogHarness h;
  AprsSettingsValues values = DefaultAprsValues();
  values.txInterval = "0";
  QVERIFY(h.Open(values));

  h.Click("manualIntervalRadio");
  QCOMPARE(h.Field("txIntervalEdit")->text(), U("900"));
  QVERIFY(h.Field("txIntervalEdit")->isEnabled());
  QVERIFY(!h.List("autoSpeedList")->isEnabled());
  h.Retype("txIntervalEdit", "120");
  h.Click("manualIntervalRadio");  // a second click keeps what was typed
  QCOMPARE(h.Field("txIntervalEdit")->text(), U("120"));
  h.Click("autoIntervalRadio");
  QCOMPARE(h.Field("txIntervalEdit")->text(), U("0"));
  QVERIFY(!h.Field("txIntervalEdit")->isEnabled());
  QVERIFY(h.List("autoSpeedList")->isEnabled());

  h.Click("beaconFixedRadio");
  QVERIFY(h.Field("latitudeEdit")->isEnabled());
  QVERIFY(h.Button("longitudeHemisphereButton")->isEnabled());
  h.Click("beaconGpsRadio");
  QVERIFY(!h.Field("latitudeEdit")->isEnabled());
  QVERIFY(!h.Get<QLabel>("longitudeLabel")->isEnabled());

  h.Click("digipeatingCheck");
  QVERIFY(h.List("digiAliasList")->isEnabled());
  QVERIFY(h.Get<QLabel>("digiAliasLabel")->isEnabled());
  h.List("digiAliasList")->setCurrentIndex(2);
  h.Click("digipeatingCheck");
  h.Click("digipeatingCheck");
  QCOMPARE(h.List("digiAliasList")->currentIndex(), 0);

  for (const char* check : {"altitudeCheck", "nmeaCheck", "crossModeCheck"}) {
    const char* list = check == QByteArray("altitudeCheck") ? "altitudeList"
                       : check == QByteArray("nmeaCheck")   ? "nmeaList"
                                                            : "crossModeList";
    h.Click(check);
    QVERIFY2(h.List(list)->isEnabled(), check);
    h.Click(check);
    QVERIFY2(!h.List(list)->isEnabled(), check);
  }

  h.Click("freqBeaconCheck");
  QCOMPARE(h.Field("freqBeaconEdit")->text(), U("60"));
  QVERIFY(h.Get<QLabel>("freqBeaconUnitLabel")->isEnabled());
  h.Click("freqBeaconCheck");
  QCOMPARE(h.Field("freqBeaconEdit")->text(), U("0"));
  QVERIFY(!h.Field("freqBeaconEdit")->isEnabled());

  h.Click("hfToggleCheck");
  QVERIFY(h.Button("hfAlwaysRadio")->isEnabled());
  h.Click("hfToggleCheck");
  QVERIFY(!h.Button("hfAlwaysRadio")->isEnabled());

  h.Click("statusOnEveryRadio");
  QCOMPARE(h.Field("statusEveryEdit")->text(), U("3"));
  QVERIFY(h.Field("statusEveryEdit")->isEnabled());
  h.Click("statusEveryUp");
  QCOMPARE(h.Field("statusEveryEdit")->text(), U("4"));
  h.Retype("statusEveryEdit", "20");
  h.Click("statusEveryUp");
  QCOMPARE(h.Field("statusEveryEdit")->text(), U("20"));
  QTest::keyClick(h.Field("statusEveryEdit"), Qt::Key_Down);
  QCOMPARE(h.Field("statusEveryEdit")->text(), U("19"));
  h.Click("statusNeverRadio");
  QCOMPARE(h.Field("statusEveryEdit")->text(), U("0"));
  QVERIFY(!h.Field("statusEveryEdit")->isEnabled());
  QVERIFY(!h.Button("statusEveryDown")->isEnabled());
}

void AprsSettingsDialogTest::symbolBoxesShowTheSameIndex() {
  struct Case {
    bool alternate;
    int index;
    const char* shown;
    const char* number;  // the stored index after OK
  };
  const Case cases[] = {
      {false, 0, "Police Station", "0"},
      {true, 0, "Emergency", "0"},
      {false, 93, "No Symbol [94]", "93"},
      {true, 14, "No Symbol [15]", "14"},
      {true, 4, "", "4"},  // a picture without a name can be chosen
  };
  for (const Case& c : cases) {
    AprsDialogHarness h;
    QVERIFY(h.Open(DefaultAprsValues()));
    if (c.alternate) h.Click("alternateTableCheck");
    QComboBox* shown = h.List(c.alternate ? "alternateSymbolBox" : "primarySymbolBox");
    QComboBox* other = h.List(c.alternate ? "primarySymbolBox" : "alternateSymbolBox");
    QVERIFY(shown->isVisible() && shown->isEnabled());
    QVERIFY(!other->isVisible() && !other->isEnabled());
    shown->setFocus();
    // Choose with the keyboard: Home goes to index 0, Down steps on.
    QTest::keyClick(shown, Qt::Key_Home);
    for (int i = 0; i < c.index; ++i) QTest::keyClick(shown, Qt::Key_Down);
    QCOMPARE(shown->currentText(), U(c.shown));
    QCOMPARE(other->currentIndex(), c.index);
    QVERIFY(!shown->itemIcon(c.index).isNull());
    h.PressOk();
    QVERIFY(h.Accepted());
    QCOMPARE(h.dialog->Values().symbol, std::string(c.number));
    QCOMPARE(h.dialog->Values().alternateTable, c.alternate);
  }
}

void AprsSettingsDialogTest::hemisphereButtonsToggle() {
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));
  h.Click("beaconFixedRadio");
  h.Click("latitudeHemisphereButton");
  QCOMPARE(h.Button("latitudeHemisphereButton")->text(), U("S"));
  QCOMPARE(h.Get<QLabel>("latitudeHemisphereLabel")->text(), U("S"));
  h.Click("latitudeHemisphereButton");
  QCOMPARE(h.Button("latitudeHemisphereButton")->text(), U("N"));
  h.Click("longitudeHemisphereButton");
  QCOMPARE(h.Button("longitudeHemisphereButton")->text(), U("E"));
  QCOMPARE(h.Get<QLabel>("longitudeHemisphereLabel")->text(), U("E"));
}

void AprsSettingsDialogTest::keystrokeFiltersBeepAndRestore() {
  struct Case {
    const char* name;
    const char* field;
    const char* start;  // typed first, accepted
    const char* typed;  // typed at the end afterwards
    const char* shown;
    const char* selection;
    int beeps;
  };
  const Case cases[] = {
      {"callsign second dash", "aprsCallsignEdit", "KLM-9", "-", "KLM-9", "5+0", 1},
      {"path second comma", "pathEdit", "APRS,", ",", "APRS,", "5+0", 1},
      {"interval fifth digit", "txIntervalEdit", "7200", "1", "7200", "0+4", 1},
      {"freq beacon sixth digit", "freqBeaconEdit", "30000", "1", "30000", "0+5", 1},
  };
  for (const Case& c : cases) {
    AprsDialogHarness h;
    QVERIFY(h.Open(DefaultAprsValues()));
    h.Click("freqBeaconCheck");
    h.Retype(c.field, U(c.start));
    QVERIFY2(h.Field(c.field)->text() == U(c.start), c.name);
    QSignalSpy beeps(h.dialog.get(), &vextune::ui::CAprsSettings::beeped);
    h.Append(c.field, U(c.typed));
    QLineEdit* field = h.Field(c.field);
    QVERIFY2(field->text() == U(c.shown), qPrintable(QString(c.name) + ": " + field->text()));
    const QString selection = field->hasSelectedText()
                                  ? AprsDialogHarness::Selection(field)
                                  : QStringLiteral("%1+0").arg(field->cursorPosition());
    QVERIFY2(selection == U(c.selection), qPrintable(QString(c.name) + ": " + selection));
    QVERIFY2(beeps.count() == c.beeps, c.name);
  }

  // Typing in the middle: the caret goes back to where the insertion began.
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));
  QLineEdit* interval = h.Field("txIntervalEdit");
  interval->setFocus();
  interval->setCursorPosition(1);
  QTest::keyClick(interval, Qt::Key_A);
  QCOMPARE(interval->text(), U("900"));
  QCOMPARE(interval->cursorPosition(), 1);
  // Pasting a letter over one selected digit is refused too.
  interval->setSelection(0, 1);
  QTest::keyClicks(interval, "x");
  QCOMPARE(interval->text(), U("900"));

  // Free texts take what the record can hold (Windows-1252) and nothing else.
  h.Retype("commentEdit", U("25° € Ü"));
  AprsDialogHarness::TypeText(h.Field("commentEdit"), U("ł✓"));
  QCOMPARE(h.Field("commentEdit")->text(), U("25° € Ü"));
  h.Retype("statusTextEdit", U("x"));
  AprsDialogHarness::TypeText(h.Field("statusTextEdit"), U("日本"));
  QCOMPARE(h.Field("statusTextEdit")->text(), U("x"));
}

// A stored value is shown as it is, whatever the field remembered before.
void AprsSettingsDialogTest::programSetTextsPassTheFilters() {
  AprsSettingsValues first = DefaultAprsValues();
  first.callsign = "AB-1";
  {
    AprsDialogHarness h;
    QVERIFY(h.Open(first));
    h.Append("aprsCallsignEdit", "2");
    h.dialog->reject();
  }
  AprsSettingsValues second = DefaultAprsValues();
  second.callsign = "KLMNOP-15";
  second.txInterval = "07200";
  second.freqBeacon = "030000";
  second.path[2] = "WIDE_1";
  AprsDialogHarness h;
  QVERIFY(h.Open(second));
  QCOMPARE(h.Field("aprsCallsignEdit")->text(), U("KLMNOP-15"));
  QCOMPARE(h.Field("txIntervalEdit")->text(), U("07200"));
  QCOMPARE(h.Field("freqBeaconEdit")->text(), U("030000"));
  QCOMPARE(h.Field("pathEdit")->text(), U("APRS,RELAY,WIDE_1"));

  // Auto, then Manual: the program's "900" is taken and then edited by hand.
  h.Click("autoIntervalRadio");
  h.Click("manualIntervalRadio");
  h.Append("txIntervalEdit", "0");
  QCOMPARE(h.Field("txIntervalEdit")->text(), U("9000"));
  h.Retype("txIntervalEdit", "7200");
  h.PressOk();
  QVERIFY(h.Accepted());
  QCOMPARE(h.dialog->Values().callsign, std::string("KLMNOP-15"));
  QCOMPARE(h.dialog->Values().freqBeacon, std::string("030000"));
  QCOMPARE(h.dialog->Values().path[2], std::string("WIDE_1"));
}

void AprsSettingsDialogTest::statusEveryRuleOnLeavingTheField() {
  AprsSettingsValues values = DefaultAprsValues();
  values.statusEvery = 3;

  // 25 and Tab: 20, the message, and back in the field with the text selected.
  {
    AprsDialogHarness h;
    QVERIFY(h.Open(values));
    QSignalSpy beeps(h.dialog.get(), &vextune::ui::CAprsSettings::beeped);
    QLineEdit* every = h.Field("statusEveryEdit");
    QString selectedAtMessage;
    h.prompt.onShow = [&](const ScriptedPrompt::Shown&) {
      selectedAtMessage = h.dialog->focusWidget() == every ? every->selectedText() : QString();
    };
    h.Retype("statusEveryEdit", "25");
    QTest::keyClick(every, Qt::Key_Tab);
    QTRY_COMPARE(h.prompt.shown().size(), size_t(1));
    QCOMPARE(h.prompt.shown()[0].caption, std::string("APRS Status Report Error"));
    QCOMPARE(h.prompt.shown()[0].text,
             std::string("APRS Status Report max. on every 20th APRS Transmission"));
    QCOMPARE(h.prompt.shown()[0].icon, MessageIcon::Warning);
    QCOMPARE(every->text(), U("20"));
    QCOMPARE(selectedAtMessage, U("20"));
    QCOMPARE(beeps.count(), 1);
  }
  // 0 and Tab: "Never".
  {
    AprsDialogHarness h;
    QVERIFY(h.Open(values));
    h.Retype("statusEveryEdit", "0");
    QTest::keyClick(h.Field("statusEveryEdit"), Qt::Key_Tab);
    QTRY_VERIFY(h.Button("statusNeverRadio")->isChecked());
    QVERIFY(!h.Button("statusOnEveryRadio")->isChecked());
    QVERIFY(!h.Field("statusEveryEdit")->isEnabled());
    QVERIFY(h.prompt.shown().empty());
  }
  // 21 and Enter: the field keeps the focus, OK's own check speaks.
  {
    AprsDialogHarness h;
    QVERIFY(h.Open(values));
    h.Retype("statusEveryEdit", "21");
    QTest::keyClick(h.Field("statusEveryEdit"), Qt::Key_Return);
    QCOMPARE(h.prompt.shown().size(), size_t(1));
    QCOMPARE(h.prompt.shown()[0].text,
             std::string("APRS status Every: Only values between 0...20 allowed! "));
    QCOMPARE(h.prompt.shown()[0].icon, MessageIcon::None);
    QVERIFY(h.dialog->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(h.prompt.shown().size(), size_t(1));  // no second message afterwards
  }
  // 25 and a click on OK: leaving the field first, so only its rule speaks and
  // the dialog stays open.
  {
    AprsDialogHarness h;
    QVERIFY(h.Open(values));
    h.Retype("statusEveryEdit", "25");
    h.Get<QPushButton>("okButton")->setFocus(Qt::MouseFocusReason);
    h.PressOk();
    QCoreApplication::processEvents();
    QCOMPARE(h.prompt.shown().size(), size_t(1));
    QCOMPARE(h.prompt.shown()[0].caption, std::string("APRS Status Report Error"));
    QVERIFY(h.dialog->isVisible());
    QCOMPARE(h.Field("statusEveryEdit")->text(), U("20"));
  }
}

// OK with one entry wrong: the message, then focus and selection there.
void AprsSettingsDialogTest::okRefusalsShowMessageFocusAndSelection() {
  struct Case {
    const char* name;
    std::function<void(AprsDialogHarness&)> act;
    int32_t firmware;
    const char* caption;
    const char* message;  // UTF-8
    const char* focus;
    const char* selection;  // "start+length" in the focused field
  };
  const auto type = [](const char* field, const char* text) {
    return [field, text](AprsDialogHarness& h) { h.Retype(field, U(text)); };
  };
  const auto typeLatitude = [](const char* digits) {
    return [digits](AprsDialogHarness& h) {
      h.Click("beaconFixedRadio");
      h.Field("latitudeEdit")->setFocus(Qt::TabFocusReason);
      QTest::keyClicks(h.Field("latitudeEdit"), digits);
    };
  };
  const Case cases[] = {
      {"path emptied", type("pathEdit", ""), -1, "APRS Path Error",
       "APRS Path can only be replaced, but NOT deleted.\nPlease enter an APRS Path!", "pathEdit",
       "0+15"},
      {"path WIDE-0", type("pathEdit", "APRS,WIDE-0"), -1, "APRS Path Error",
       "Missing SSID: \"WIDE-\" ", "pathEdit", "5+5"},
      {"path SSID 16 in lower case", type("pathEdit", "APRS,wide-16"), -1, "APRS Path Error",
       "Wrong SSID: \"WIDE-16\" \n(SSID must be between 0...15) ", "pathEdit", "-1+0"},
      {"interval 7201", type("txIntervalEdit", "7201"), -1, "APRS TX Interval Error",
       "TX Interval:  \"7201\"  is out of range!\nEnter a TX Interval between 10...7200 seconds!",
       "txIntervalEdit", "0+4"},
      {"freq beacon 59",
       [](AprsDialogHarness& h) { h.Click("freqBeaconCheck"), h.Retype("freqBeaconEdit", "59"); },
       -1, "APRS Frequency beacon Error",
       "APRS Frequency beacon:  \"59\"  is out of range!\nEnter a TX Interval between "
       "60...30000 seconds!",
       "freqBeaconEdit", "0+2"},
      {"valid 9", type("validEdit", "9"), -1, "APRS Valid Error",
       "Enter a value between 10...3600 sec.", "validEdit", "0+1"},
      {"comment of 41 below 1.0Q", type("commentEdit", "12345678901234567890123456789012345678901"),
       10080, "", "APRS Comment: Comment too long (max. 40 chars)! ", "commentEdit", "40+1"},
      {"latitude 90", typeLatitude("900000"), -1, "Latitude Error",
       "Unable to convert this value:\n\t'90°00.00 N'\ninto a valid position (max. Latitude: "
       "89°59.99 N/S)!",
       "latitudeEdit", "0+1"},
      {"longitude 180",
       [](AprsDialogHarness& h) {
         h.Click("beaconFixedRadio");
         h.Field("latitudeEdit")->setFocus(Qt::TabFocusReason);
         QTest::keyClicks(h.Field("latitudeEdit"), "483179");
         h.Field("longitudeEdit")->setFocus(Qt::TabFocusReason);
         QTest::keyClicks(h.Field("longitudeEdit"), "1800000");
       },
       -1, "Longitude Error",
       "Unable to convert this value:\n\t'180°00.00 W'\ninto a valid position (max. Longitude "
       "179°59.99 E/W)!",
       "longitudeEdit", "0+1"},
      {"callsign too long", type("aprsCallsignEdit", "klmnopq"), -1, "APRS Callsign Error",
       "Callsign too long: \"KLMNOPQ\" \nMax. 6 chars allowed.", "aprsCallsignEdit", "0+7"},
  };
  for (const Case& c : cases) {
    AprsDialogHarness h;
    QVERIFY(h.Open(DefaultAprsValues(), c.firmware));
    c.act(h);
    h.PressOk();
    QVERIFY2(h.dialog->isVisible(), c.name);
    QVERIFY2(h.prompt.shown().size() == 1, c.name);
    const ScriptedPrompt::Shown& shown = h.prompt.shown()[0];
    QVERIFY2(shown.caption == c.caption, c.name);
    QVERIFY2(shown.text == c.message, qPrintable(QString(c.name) + ": " + U(shown.text.c_str())));
    QVERIFY2(shown.icon == (*c.caption ? MessageIcon::Warning : MessageIcon::None), c.name);
    QLineEdit* focused = h.Field(c.focus);
    QVERIFY2(h.dialog->focusWidget() == focused, c.name);
    const QString selection = AprsDialogHarness::Selection(focused);
    QVERIFY2(selection == U(c.selection), qPrintable(QString(c.name) + ": " + selection));
  }

  // The emptied path is refilled before its message shows; the callsign is
  // in capitals even though it was refused.
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));
  h.Retype("pathEdit", "");
  QString pathAtMessage;
  h.prompt.onShow = [&](const ScriptedPrompt::Shown&) {
    pathAtMessage = h.Field("pathEdit")->text();
  };
  h.PressOk();
  QCOMPARE(pathAtMessage, U("APRS,RELAY,WIDE"));
  h.Retype("aprsCallsignEdit", "klmnopq");
  h.PressOk();
  QCOMPARE(h.Field("aprsCallsignEdit")->text(), U("KLMNOPQ"));
}

void AprsSettingsDialogTest::okHandsBackWhatWasEntered() {
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));
  h.Retype("aprsCallsignEdit", "klmnop-9");
  h.Retype("pathEdit", "apz via wide1-01 WIDE-00");
  h.Click("beaconFixedRadio");
  h.Field("latitudeEdit")->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(h.Field("latitudeEdit"), "483179");
  h.Click("latitudeHemisphereButton");
  h.Field("longitudeEdit")->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(h.Field("longitudeEdit"), "0081188");
  h.Click("longitudeHemisphereButton");
  h.Click("autoIntervalRadio");
  h.List("autoSpeedList")->setCurrentIndex(2);
  h.Click("alternateTableCheck");
  h.List("alternateSymbolBox")->setCurrentIndex(4);
  h.Retype("commentEdit", U("Über 25°"));
  h.Retype("statusTextEdit", "Status");
  h.Click("statusOnEveryRadio");
  h.Click("hfToggleCheck");
  h.Click("hfAlwaysRadio");
  h.Click("altitudeCheck");
  h.List("altitudeList")->setCurrentIndex(2);
  h.Click("nmeaCheck");
  h.List("nmeaList")->setCurrentIndex(3);
  h.Click("digipeatingCheck");
  h.List("digiAliasList")->setCurrentIndex(1);
  h.Click("crossModeCheck");
  h.List("crossModeList")->setCurrentIndex(6);
  h.Click("unprotoCrossCheck");
  h.Click("freqBeaconCheck");
  h.Retype("freqBeaconEdit", "30000");
  h.Retype("validEdit", "3600");
  h.Click("trackOnlyCheck");
  h.Click("compressedCheck");
  h.Click("timestampCheck");
  h.PressOk();
  QVERIFY(h.prompt.shown().empty());
  QVERIFY(h.Accepted());

  const AprsSettingsValues& v = h.dialog->Values();
  QCOMPARE(v.callsign, std::string("KLMNOP-9"));
  QCOMPARE(v.path, (vextune::AprsPathEntries{"APZ", "WIDE1-1", "WIDE", "", "", "", "", "", ""}));
  QCOMPARE(v.beaconMode, std::string("2"));
  QCOMPARE(v.position, std::string("4831.79S 00811.88E"));
  QCOMPARE(v.txInterval, std::string("0"));
  QCOMPARE(v.autoSpeed, 2);
  QVERIFY(v.alternateTable);
  QCOMPARE(v.symbol, std::string("4"));
  QCOMPARE(v.comment, std::string("\xDC"
                                  "ber 25\xB0"));  // Windows-1252
  QCOMPARE(v.statusText, std::string("Status"));
  QCOMPARE(v.statusEvery, 3);
  QVERIFY(v.hfToggleSwitch);
  QCOMPARE(v.hfToggle, 2);
  QCOMPARE(v.altitude, 3);
  QCOMPARE(v.nmeaOut, 4);
  QCOMPARE(v.digipeating, 2);
  QCOMPARE(v.crossMode, 7);
  QVERIFY(v.unprotoCross);
  QCOMPARE(v.freqBeacon, std::string("30000"));
  QCOMPARE(v.valid, std::string("3600"));
  QVERIFY(v.trackOnly);
  QVERIFY(!v.compressed);
  QVERIFY(!v.timestamp);
}

void AprsSettingsDialogTest::cancelDiscards() {
  AprsDialogHarness h;
  const AprsSettingsValues before = DefaultAprsValues();
  QVERIFY(h.Open(before));
  h.Retype("aprsCallsignEdit", "KLM");
  h.Click("alternateTableCheck");
  h.Click("cancelButton");
  QCOMPARE(h.dialog->result(), int(QDialog::Rejected));
  QVERIFY(h.prompt.shown().empty());
}

void AprsSettingsDialogTest::lowScreenScrollsTheContent() {
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));
  auto* area = h.Get<QScrollArea>("scrollArea");
  // On a screen with room the dialog is as large as its content.
  h.dialog->FitToScreen(QRect(0, 0, 1600, 1200));
  QCoreApplication::processEvents();
  const QSize full = h.dialog->size();
  QCOMPARE(area->verticalScrollBar()->maximum(), 0);
  QCOMPARE(area->horizontalScrollBar()->maximum(), 0);

  h.dialog->FitToScreen(QRect(100, 50, 1600, 360));
  QCoreApplication::processEvents();
  QVERIFY(h.dialog->height() <= 360);
  QCOMPARE(h.dialog->width(), full.width());
  QCOMPARE(h.dialog->pos(), QPoint(100, 50));
  QVERIFY(area->verticalScrollBar()->maximum() > 0);
  QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
  QVERIFY(h.Get<QPushButton>("okButton")->isVisible());
  QVERIFY(h.Get<QPushButton>("okButton")->geometry().bottom() < h.dialog->height());

  // A refusal far down scrolls its field into view.
  h.Click("freqBeaconCheck");
  h.Retype("freqBeaconEdit", "59");
  area->verticalScrollBar()->setValue(0);
  h.PressOk();
  QVERIFY(area->verticalScrollBar()->value() > 0);
}

void AprsSettingsDialogTest::everyControlIsNamedAndReachable() {
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues(), -1));
  const QList<QWidget*> widgets = h.dialog->findChildren<QWidget*>();
  int controls = 0;
  for (QWidget* w : widgets) {
    const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QComboBox*>(w);
    if (!control || w->parent() == nullptr || qobject_cast<QComboBox*>(w->parentWidget())) continue;
    if (w->objectName().startsWith(QLatin1String("qt_"))) continue;  // inside Qt's own widgets
    ++controls;
    QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
    QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
             qPrintable(w->objectName()));
  }
  QVERIFY(controls > 40);

  // Tab walks the left column top to bottom first.
  h.Field("aprsCallsignEdit")->setFocus(Qt::TabFocusReason);
  QStringList order;
  for (int i = 0; i < 6; ++i) {
    order << h.dialog->focusWidget()->objectName();
    QTest::keyClick(h.dialog->focusWidget(), Qt::Key_Tab);
  }
  // A radio group is entered at its checked button.
  QCOMPARE(order, QStringList({"aprsCallsignEdit", "pathEdit", "beaconOffRadio",
                               "manualIntervalRadio" /* position fields are off */,
                               "txIntervalEdit", "primarySymbolBox"}));
}

void AprsSettingsDialogTest::tooltipsAndTitle() {
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));
  QCOMPARE(h.dialog->windowTitle(), U("Olvane Vextune - APRS Settings"));
  const struct {
    const char* control;
    const char* tip;
  } tips[] = {
      {"aprsCallsignEdit", "Own APRS callsign [max. 6 chars + SSID]"},
      {"statusEveryEdit",
       "Defines Status Report interval  (e.g.: 3 = Report after every third Position packet)"},
      {"timestampCheck", "Enables / disables APRS-\u201CTimestamp\u201C-function"},
      {"latitudeEdit",
       "Enter Latitude position in the following format: \u201C48\u00B031.79\u201D"},
      {"crossModeList",
       "APRS-Packets will be digipeated in the selected Mode (differing from Receive-Mode)"},
      {"autoSpeedList", "Select Auto TX Intervall (slow, medium or fast)"},
  };
  for (const auto& tip : tips)
    QCOMPARE(h.dialog->findChild<QWidget*>(tip.control)->toolTip(), U(tip.tip));
}

// Renders the dialog as it opens, filled, on old firmware and on a low
// screen. With VEXTUNE_SCREENSHOT_DIR set the pictures are saved there.
void AprsSettingsDialogTest::rendersForALook() {
  const QString folder = qEnvironmentVariable("VEXTUNE_SCREENSHOT_DIR");
  AprsSettingsValues filled = DefaultAprsValues();
  filled.callsign = "KLMNOP-9";
  filled.path = {"APRS", "WIDE1-1", "WIDE2-2", "", "", "", "", "", ""};
  filled.beaconMode = "2";
  filled.position = "4831.79N 00811.88E";
  filled.alternateTable = true;
  filled.symbol = "29";
  filled.comment = "Fixed station, 25\xB0 tilt";
  filled.statusEvery = 3;
  filled.statusText = "On the air";
  filled.nmeaOut = 4;
  filled.digipeating = 2;
  filled.freqBeacon = "1800";
  filled.hfToggleSwitch = true;
  const struct {
    const char* name;
    AprsSettingsValues values;
    int32_t firmware;
    int screenHeight;
  } looks[] = {
      {"aprs-settings", DefaultAprsValues(), -1, 1200},
      {"aprs-settings-filled", filled, 10466, 1200},
      {"aprs-settings-1.0p", filled, 10080, 1200},
      {"aprs-settings-low", filled, -1, 420},
  };
  for (const auto& look : looks) {
    AprsDialogHarness h;
    QVERIFY(h.Open(look.values, look.firmware));
    h.dialog->FitToScreen(QRect(0, 0, 1600, look.screenHeight));
    QCoreApplication::processEvents();
    const QPixmap picture = h.dialog->grab();
    QVERIFY(!picture.isNull());
    QVERIFY(picture.height() <= look.screenHeight);
    if (!folder.isEmpty()) QVERIFY(picture.save(folder + "/" + look.name + ".png"));
  }
}

QTEST_MAIN(AprsSettingsDialogTest)
#include "aprs_settings_dlg_test.moc"
