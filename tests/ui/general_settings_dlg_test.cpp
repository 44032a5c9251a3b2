// The general settings dialog driven as a user drives it: keys into fields,
// clicks on boxes and buttons, OK; compared are the values handed back, the
// messages shown and where the focus went.
#include "ui/general_settings_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "editor/general_settings.h"
#include "link/device_state.h"
#include "settings_dialog_test_support.h"

using vextune::DeviceState;
using vextune::GeneralSettingsValues;
using vextune::testing::Click;
using vextune::testing::FocusAtMessage;
using vextune::testing::ScriptedPrompt;
using vextune::testing::TypeInto;
using vextune::ui::CGeneralSettings;

namespace {

// What a default record fills in.
GeneralSettingsValues DefaultValues() {
  GeneralSettingsValues v;
  v.callsign = "DAVOZI";
  v.txDelay = "25";
  v.channel = "0";
  v.centerFreq = "1700";
  v.levelAfsk = "300";
  v.levelFsk = "600";
  v.levelRobust = "200";
  return v;
}

DeviceState Firmware(int32_t version) {
  DeviceState device;
  device.firmwareVersion = version;
  return device;
}

}  // namespace

class GeneralSettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  // A dialog shown and active, with its prompt; messages record the focus.
  struct Open {
    ScriptedPrompt prompt;
    std::vector<FocusAtMessage> seen;
    std::unique_ptr<CGeneralSettings> dialog;

    template <class T>
    T* Find(const char* name) const {
      T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
      if (!widget) qFatal("no control %s", name);
      return widget;
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    void ClickOk() const { Click(Find<QPushButton>("okButton")); }
  };

  std::unique_ptr<Open> OpenDialog(const GeneralSettingsValues& values, int32_t firmware = 10466) {
    auto open = std::make_unique<Open>();
    open->dialog = std::make_unique<CGeneralSettings>(values, Firmware(firmware), open->prompt);
    vextune::testing::RecordFocusAtMessages(open->prompt, open->dialog.get(), open->seen);
    if (!vextune::testing::ShowActive(open->dialog.get())) qFatal("dialog not active");
    return open;
  }

 private slots:
  // The captions and the PR mode buttons are the parameter help's, so the
  // command line names a parameter and its values as the dialog does.
  void captionsAreTheParameterHelps() {
    auto open = OpenDialog(DefaultValues());
    QCOMPARE(vextune::testing::HelpLabelsNotShown(open->dialog.get(),
                                                  vextune::SettingsDialog::General),
             QStringList());
    const vextune::ParamInfo& mode = *vextune::CConfigData::FindParam("m_PrModeIndex");
    for (int index = mode.min; index <= mode.max; ++index) {
      auto* button = open->dialog->findChild<QButtonGroup*>()->button(index);
      QVERIFY(button);
      QCOMPARE(button->text(), QString::fromUtf8(vextune::ChoiceMeaning(mode, index)));
    }
  }

  void okChecksTypedField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: OK closes the dialog
    QTest::addColumn<QString>("caption");

    QTest::newRow("callsign too long") << "callsignEdit"
                                       << "klmnopq"
                                       << "Callsign too long: \"KLMNOPQ\" \nMax. 6 chars allowed."
                                       << "Callsign Error";
    QTest::newRow("TX delay 128") << "txDelayEdit"
                                  << "128"
                                  << "TX-Delay: Enter a value between 0...127!"
                                  << "TX-Delay Error";
    QTest::newRow("channel 11") << "channelEdit"
                                << "11"
                                << "Switch channel: Enter a value between 0...10!"
                                << "Switch channel Error";
    QTest::newRow("AFSK 29") << "levelAfskEdit"
                             << "29"
                             << "XA: Enter a value between 30...3000!"
                             << "XA Error";
    QTest::newRow("FSK 3001") << "levelFskEdit"
                              << "3001"
                              << "XF: Enter a value between 30...3000!"
                              << "XF Error";
    QTest::newRow("Robust empty") << "levelRobustEdit"
                                  << ""
                                  << "XR: Enter a value between 30...3000!"
                                  << "XR Error";
    QTest::newRow("centre 999") << "centerFreqEdit"
                                << "999"
                                << "Audio Center Freq.: Enter a value between 1000...3000 Hz"
                                << "Audio Center Freq. Error";
  }

  void okChecksTypedField() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    auto open = OpenDialog(DefaultValues());
    QLineEdit* edit = open->Edit(field.toLatin1().constData());
    TypeInto(edit, typed);
    const QString shown = edit->text();
    open->ClickOk();

    if (message.isEmpty()) {
      QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
      QVERIFY(open->prompt.shown().empty());
      return;
    }
    QCOMPARE(open->dialog->result(), int(QDialog::Rejected));
    QVERIFY(open->dialog->isVisible());
    QCOMPARE(open->seen.size(), size_t{1});
    QCOMPARE(open->seen[0].text, message);
    QCOMPARE(QString::fromStdString(open->prompt.shown()[0].caption), caption);
    QVERIFY(open->prompt.shown()[0].icon == vextune::MessageIcon::Warning);
    QCOMPARE(open->seen[0].focusedField, field);
    QCOMPARE(open->seen[0].selected, shown.toUpper());
  }

  void lowerCaseCallsignComesBackUpperCase() {
    auto open = OpenDialog(DefaultValues());
    TypeInto(open->Edit("callsignEdit"), QStringLiteral("dl1abc-7"));
    open->ClickOk();
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->Edit("callsignEdit")->text(), QStringLiteral("DL1ABC-7"));
    QCOMPARE(open->dialog->values().callsign, std::string("DL1ABC-7"));
  }

  void upperCasingIsWrittenBackAlsoWhenALaterCheckFails() {
    auto open = OpenDialog(DefaultValues());
    TypeInto(open->Edit("callsignEdit"), QStringLiteral("db0xy"));
    TypeInto(open->Edit("levelFskEdit"), QStringLiteral("1"));
    open->ClickOk();
    QCOMPARE(open->Edit("callsignEdit")->text(), QStringLiteral("DB0XY"));
    QCOMPARE(open->seen.at(0).focusedField, QStringLiteral("levelFskEdit"));
    // The field goes on filtering against the upper-case text.
    QTest::mouseClick(open->Edit("callsignEdit"), Qt::LeftButton);
    QTest::keyClick(open->Edit("callsignEdit"), Qt::Key_End);
    vextune::testing::TypeKeys(open->Edit("callsignEdit"), QStringLiteral("-1"));
    QCOMPARE(open->Edit("callsignEdit")->text(), QStringLiteral("DB0XY-1"));
  }

  void callsignFilterBeepsAndRestores_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");  // where the key goes
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::addColumn<int>("beeps");

    QTest::newRow("second dash in the middle") << "DL1-7" << 2 << "-"
                                               << "DL1-7" << 2 << 1;
    QTest::newRow("dash first") << "" << 0 << "-"
                                << "" << 0 << 1;
    QTest::newRow("first dash") << "DL1" << 3 << "-"
                                << "DL1-" << 4 << 0;
  }

  void callsignFilterBeepsAndRestores() {
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, key);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    QFETCH(int, beeps);
    auto open = OpenDialog(DefaultValues());
    QSignalSpy refused(open->dialog.get(), &CGeneralSettings::callsignKeystrokeRefused);
    QLineEdit* callsign = open->Edit("callsignEdit");
    TypeInto(callsign, before);
    QCOMPARE(callsign->text(), before);
    callsign->setCursorPosition(caret);
    vextune::testing::TypeKeys(callsign, key);
    QCOMPARE(callsign->text(), after);
    QCOMPARE(callsign->cursorPosition(), caretAfter);
    QCOMPARE(refused.count(), beeps);
    // The next key is judged against the restored text.
    callsign->setCursorPosition(callsign->text().size());
    vextune::testing::TypeKeys(callsign, QStringLiteral("9"));
    QCOMPARE(callsign->text(), after + QStringLiteral("9"));
  }

  void fieldsTakeNoMoreThanTheirLimit() {
    auto open = OpenDialog(DefaultValues());
    TypeInto(open->Edit("txDelayEdit"), QStringLiteral("1234"));
    QCOMPARE(open->Edit("txDelayEdit")->text(), QStringLiteral("123"));
    TypeInto(open->Edit("channelEdit"), QStringLiteral("1x0"));
    QCOMPARE(open->Edit("channelEdit")->text(), QStringLiteral("10"));
    TypeInto(open->Edit("callsignEdit"), QStringLiteral("ABCDEF-12345"));
    QCOMPARE(open->Edit("callsignEdit")->text(), QStringLiteral("ABCDEF-123"));
    Click(open->Find<QCheckBox>("connectTextOnCheck"));
    TypeInto(open->Edit("connectTextEdit"), QString(80, QChar(u'x')));
    QCOMPARE(open->Edit("connectTextEdit")->text(), QString(72, QChar(u'x')));
    // The record holds Windows-1252: what it cannot hold is not taken.
    TypeInto(open->Edit("connectTextEdit"), QStringLiteral("Gr\u00FC\u00DFe \u20AC\u2713"));
    QCOMPARE(open->Edit("connectTextEdit")->text(), QStringLiteral("Gr\u00FC\u00DFe \u20AC"));
    open->ClickOk();
    QCOMPARE(open->dialog->values().connectText, std::string("Gr\xFC\xDF"
                                                             "e \x80"));
  }

  // Input limits judge typing only: a longer text the program puts in is
  // shown whole, so OK does not hand back a cut-off number.
  void textsThatTheProgramPutsInAreNotCut() {
    GeneralSettingsValues values = DefaultValues();
    values.txDelay = "0025";
    values.levelAfsk = "000300";
    auto open = OpenDialog(values);
    QCOMPARE(open->Edit("txDelayEdit")->text(), QStringLiteral("0025"));
    open->ClickOk();
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->dialog->values().txDelay, std::string("0025"));
    QCOMPARE(open->dialog->values().levelAfsk, std::string("000300"));
  }

  void opensWithTheStoredState_data() {
    QTest::addColumn<int>("prMode");
    QTest::addColumn<QString>("checkedRadio");
    QTest::addColumn<int>("returnedPrMode");
    QTest::addColumn<QString>("centerFreq");
    QTest::addColumn<QString>("shownCenterFreq");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<bool>("centerFreqEnabled");

    QTest::newRow("R 600 Bd") << 2 << "prModeR600Radio" << 2 << "2200"
                              << "2200" << 10080 << false;
    QTest::newRow("empty centre shows 1700") << 0 << "prMode300Radio" << 0 << ""
                                             << "1700" << 0 << false;
  }

  void opensWithTheStoredState() {
    QFETCH(int, prMode);
    QFETCH(QString, checkedRadio);
    QFETCH(int, returnedPrMode);
    QFETCH(QString, centerFreq);
    QFETCH(QString, shownCenterFreq);
    QFETCH(int, firmware);
    QFETCH(bool, centerFreqEnabled);
    GeneralSettingsValues values = DefaultValues();
    values.prMode = prMode;
    values.centerFreq = centerFreq.toStdString();
    auto open = OpenDialog(values, firmware);
    QVERIFY(open->Find<QRadioButton>(checkedRadio.toLatin1().constData())->isChecked());
    QCOMPARE(open->Edit("centerFreqEdit")->text(), shownCenterFreq);
    QCOMPARE(open->Edit("centerFreqEdit")->isEnabled(), centerFreqEnabled);
    open->ClickOk();
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->dialog->values().prMode, returnedPrMode);
    QCOMPARE(open->dialog->values().centerFreq, shownCenterFreq.toStdString());
  }

  void disabledCentreFrequencyIsStillChecked() {
    GeneralSettingsValues values = DefaultValues();
    values.centerFreq = "999";
    auto open = OpenDialog(values, 10080);
    QVERIFY(!open->Edit("centerFreqEdit")->isEnabled());
    open->ClickOk();
    QCOMPARE(open->seen.size(), size_t{1});
    QCOMPARE(open->seen[0].text,
             QStringLiteral("Audio Center Freq.: Enter a value between 1000...3000 Hz"));
    QVERIFY(open->dialog->isVisible());
  }

  void radioButtonsAndMonitorFlags() {
    auto open = OpenDialog(DefaultValues());
    Click(open->Find<QRadioButton>("prModeR300Radio"));
    Click(open->Find<QCheckBox>("monitorUCheck"));
    Click(open->Find<QCheckBox>("monitorSCheck"));
    Click(open->Find<QCheckBox>("monitorSCheck"));
    Click(open->Find<QCheckBox>("monitorCCheck"));
    QCOMPARE(open->dialog->findChildren<QRadioButton*>().size(), 6);
    QVERIFY(!open->Find<QRadioButton>("prMode1200Radio")->isChecked());
    open->ClickOk();
    const GeneralSettingsValues& v = open->dialog->values();
    QCOMPARE(v.prMode, 1);
    QVERIFY(v.monitorU && !v.monitorI && !v.monitorS && v.monitorC);
  }

  void connectTextControls_data() {
    QTest::addColumn<int>("storedMode");
    QTest::addColumn<QString>("clicks");  // t: the connect-text box, q: the //Q box
    QTest::addColumn<QString>("typed");   // into the connect text, when enabled
    QTest::addColumn<bool>("textEnabled");
    QTest::addColumn<bool>("remoteEnabled");
    QTest::addColumn<bool>("remoteChecked");
    QTest::addColumn<int>("returnedMode");  // -1: the connect-text message shows

    QTest::newRow("stored 2") << 2 << ""
                              << "" << true << true << true << 2;
    QTest::newRow("stored 2, text off") << 2 << "t"
                                        << "" << false << false << false << 0;
    QTest::newRow("stored 2, off and on") << 2 << "tt"
                                          << "" << true << true << false << 1;
    QTest::newRow("switched on, blanks") << 0 << "t"
                                         << "   " << true << true << false << -1;
    QTest::newRow("switched on with //Q") << 0 << "tq"
                                          << " Hi " << true << true << true << 2;
  }

  void connectTextControls() {
    QFETCH(int, storedMode);
    QFETCH(QString, clicks);
    QFETCH(QString, typed);
    QFETCH(bool, textEnabled);
    QFETCH(bool, remoteEnabled);
    QFETCH(bool, remoteChecked);
    QFETCH(int, returnedMode);
    GeneralSettingsValues values = DefaultValues();
    values.connectMode = storedMode;
    values.connectText = storedMode == 0 ? "   " : "Hello";
    auto open = OpenDialog(values);
    auto* text_on = open->Find<QCheckBox>("connectTextOnCheck");
    auto* remote = open->Find<QCheckBox>("remoteDisconnectCheck");
    QLineEdit* text = open->Edit("connectTextEdit");
    QCOMPARE(text_on->isChecked(), storedMode != 0);
    for (QChar click : clicks) Click(click == u't' ? text_on : remote);
    if (!typed.isEmpty()) TypeInto(text, typed);
    QCOMPARE(text->isEnabled(), textEnabled);
    QCOMPARE(remote->isEnabled(), remoteEnabled);
    QCOMPARE(remote->isChecked(), remoteChecked);

    const QString shown = text->text();
    open->ClickOk();
    if (returnedMode < 0) {
      QCOMPARE(open->seen.size(), size_t{1});
      QCOMPARE(open->seen[0].text,
               QStringLiteral("Please enter a connect text or switch connect text OFF!"));
      QCOMPARE(open->seen[0].focusedField, QStringLiteral("connectTextEdit"));
      QCOMPARE(open->seen[0].selected, shown);
      return;
    }
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->dialog->values().connectMode, returnedMode);
    QCOMPARE(open->dialog->values().connectText, shown.toStdString());
  }

  void enterRunsTheChecksToo() {
    auto open = OpenDialog(DefaultValues());
    TypeInto(open->Edit("txDelayEdit"), QStringLiteral("200"));
    QTest::keyClick(open->Edit("txDelayEdit"), Qt::Key_Return);
    QCOMPARE(open->seen.size(), size_t{1});
    QVERIFY(open->dialog->isVisible());
    TypeInto(open->Edit("txDelayEdit"), QStringLiteral("20"));
    QTest::keyClick(open->Edit("txDelayEdit"), Qt::Key_Return);
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->dialog->values().txDelay, std::string("20"));
  }

  void tabOrderNamesAndLook() {
    auto open = OpenDialog(DefaultValues());
    QCOMPARE(
        vextune::testing::TabChain(open->Edit("callsignEdit"), 22),
        QStringList(
            {"callsignEdit",       "txDelayEdit",      "channelEdit",           "centerFreqEdit",
             "connectTextOnCheck", "connectTextEdit",  "remoteDisconnectCheck", "levelAfskEdit",
             "levelFskEdit",       "levelRobustEdit",  "monitorUCheck",         "monitorICheck",
             "monitorSCheck",      "monitorCCheck",    "prMode300Radio",        "prMode1200Radio",
             "prMode9600Radio",    "prMode19200Radio", "prModeR300Radio",       "prModeR600Radio",
             "okButton",           "cancelButton"}));
    QCOMPARE(vextune::testing::UnnamedControls(open->dialog.get()), QStringList());
    QCOMPARE(vextune::testing::ClippedTexts(open->dialog.get()), QStringList());
    vextune::testing::SaveScreenshotIfAsked(open->dialog.get(), QStringLiteral("general_settings"));
  }
};

QTEST_MAIN(GeneralSettingsDialogTest)
#include "general_settings_dlg_test.moc"
