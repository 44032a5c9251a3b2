// The APRS dialog's helpers around the position and the path, used as a
// user would: a locator typed and Return pressed, a text it cannot read,
// and the path hint with its button.

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "aprs_dialog_harness.h"
#include "editor/aprs_path.h"

using vextune::AprsSettingsValues;
using vextune::testing::AprsDialogHarness;
using vextune::testing::DefaultAprsValues;

namespace {

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

/// The position fields and their hemisphere buttons as one line.
QString Position(const AprsDialogHarness& h) {
  return QStringList({h.Field("latitudeEdit")->text(), h.Button("latitudeHemisphereButton")->text(),
                      h.Field("longitudeEdit")->text(),
                      h.Button("longitudeHemisphereButton")->text()})
      .join(QLatin1Char(' '));
}

AprsSettingsValues FixedBeacon() {
  AprsSettingsValues v = DefaultAprsValues();
  v.beaconMode = "2";
  v.position = "4831.79S 00811.88W";
  return v;
}

}  // namespace

class AprsPositionHelperTest : public QObject {
  Q_OBJECT

 private slots:
  void returnFillsTheFieldsAndOkStoresIt();
  void refusedTextShowsItsProblemAndKeepsTheFields();
  void helperFollowsTheBeaconMode();
  void pathHintAppliesTheSuggestedPath();
};

void AprsPositionHelperTest::returnFillsTheFieldsAndOkStoresIt() {
  AprsDialogHarness h;
  QVERIFY(h.Open(FixedBeacon()));
  auto* locator = h.dialog->findChild<QLabel*>(QStringLiteral("locatorLabel"));
  QCOMPARE(locator->text(), U("Locator: IE51vl"));

  h.Retype("positionFromEdit", U("JN48nm"));
  QTest::keyClick(h.Field("positionFromEdit"), Qt::Key_Return);
  QVERIFY(h.dialog->isVisible());  // Return does not reach OK
  QCOMPARE(Position(h), U("48°31.25 N 009°07.50 E"));
  QCOMPARE(h.dialog->findChild<QLabel*>(QStringLiteral("latitudeHemisphereLabel"))->text(), U("N"));
  QCOMPARE(h.dialog->findChild<QLabel*>(QStringLiteral("longitudeHemisphereLabel"))->text(),
           U("E"));
  QCOMPARE(locator->text(), U("Locator: JN48nm"));

  // The locator follows the fields as they are edited by hand.
  h.Click("longitudeHemisphereButton");
  QCOMPARE(locator->text(), U("Locator: IN58km"));
  h.Click("longitudeHemisphereButton");

  h.PressOk();
  QVERIFY(h.Accepted());
  QCOMPARE(h.dialog->Values().position, std::string("4831.25N 00907.50E"));
}

void AprsPositionHelperTest::refusedTextShowsItsProblemAndKeepsTheFields() {
  AprsDialogHarness h;
  QVERIFY(h.Open(FixedBeacon()));
  auto* problem = h.dialog->findChild<QLabel*>(QStringLiteral("positionProblemLabel"));
  QVERIFY(!problem->isVisible());

  h.Retype("positionFromEdit", U("somewhere nice"));
  h.Click("positionUseButton");
  QVERIFY(problem->isVisible());
  QVERIFY(!problem->text().isEmpty());
  QVERIFY(h.prompt.shown().empty());  // no message box
  QCOMPARE(Position(h), U("48°31.79 S 008°11.88 W"));

  // Typing again takes the stale complaint away.
  h.Retype("positionFromEdit", U("48.5298, 8.1980"));
  QVERIFY(!problem->isVisible());
  QTest::keyClick(h.Field("positionFromEdit"), Qt::Key_Return);
  QCOMPARE(Position(h), U("48°31.79 N 008°11.88 E"));
}

void AprsPositionHelperTest::helperFollowsTheBeaconMode() {
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));  // beacon off
  QVERIFY(!h.Field("positionFromEdit")->isEnabled());
  QVERIFY(!h.Button("positionUseButton")->isEnabled());
  h.Click("beaconFixedRadio");
  QVERIFY(h.Field("positionFromEdit")->isEnabled());
  QVERIFY(h.Button("positionUseButton")->isEnabled());
  h.Click("beaconGpsRadio");
  QVERIFY(!h.Field("positionFromEdit")->isEnabled());
}

void AprsPositionHelperTest::pathHintAppliesTheSuggestedPath() {
  AprsDialogHarness h;
  QVERIFY(h.Open(DefaultAprsValues()));
  auto* hint = h.dialog->findChild<QLabel*>(QStringLiteral("pathHintLabel"));
  auto* apply = h.dialog->findChild<QPushButton*>(QStringLiteral("pathHintButton"));
  QVERIFY(!hint->isVisible());
  QVERIFY(!apply->isVisible());

  h.Retype("pathEdit", U("WIDE1-1,WIDE2-1"));
  QVERIFY(hint->isVisible());
  QCOMPARE(hint->text(), U("WIDE1-1 is the destination here. Did you mean APRS,WIDE1-1,WIDE2-1?"));
  QVERIFY(apply->isVisible());
  h.Click("pathHintButton");
  QCOMPARE(h.Field("pathEdit")->text(), U("APRS,WIDE1-1,WIDE2-1"));
  QVERIFY(!hint->isVisible());
  QVERIFY(!apply->isVisible());

  h.PressOk();
  QVERIFY(h.Accepted());
  QCOMPARE(vextune::JoinAprsPath(h.dialog->Values().path), std::string("APRS,WIDE1-1,WIDE2-1"));
}

QTEST_MAIN(AprsPositionHelperTest)
#include "aprs_position_helper_test.moc"
