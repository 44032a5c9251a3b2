// The misc settings dialog driven as a user drives it: the field check on
// leaving a field, OK running all nine checks, the lists and the switches.
#include "ui/misc_settings_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "editor/misc_settings.h"
#include "link/device_state.h"
#include "settings_dialog_test_support.h"

using vextune::DeviceState;
using vextune::MiscField;
using vextune::MiscSettingsValues;
using vextune::testing::Click;
using vextune::testing::ScriptedPrompt;
using vextune::testing::TypeInto;
using vextune::ui::CMiscSettings;

namespace {

// What a default record fills in.
MiscSettingsValues DefaultValues() {
  MiscSettingsValues v;
  v.addLinefeed = v.echo = v.digipeat = v.ptt = v.txFreqTrack = true;
  v.numbers = {"500", "10", "2", "32", "10", "10", "60", "150", "18000"};
  v.flowControl = "3";
  v.timestamp = "0";
  return v;
}

}  // namespace

class MiscSettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  struct Open {
    ScriptedPrompt prompt;
    std::unique_ptr<CMiscSettings> dialog;

    template <class T>
    T* Find(const char* name) const {
      T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
      if (!widget) qFatal("no control %s", name);
      return widget;
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    void ClickOk() const { Click(Find<QPushButton>("okButton")); }
    QStringList Messages() const {
      QStringList texts;
      for (const auto& text : prompt.Texts()) texts << QString::fromStdString(text);
      return texts;
    }
  };

  std::unique_ptr<Open> OpenDialog(const MiscSettingsValues& values, int32_t firmware = 10466) {
    auto open = std::make_unique<Open>();
    DeviceState device;
    device.firmwareVersion = firmware;
    open->dialog = std::make_unique<CMiscSettings>(values, device, open->prompt);
    if (!vextune::testing::ShowActive(open->dialog.get())) qFatal("dialog not active");
    return open;
  }

 private slots:
  // The captions and list entries are the parameter help's, so the command
  // line names a parameter and its values as the dialog does.
  void captionsAndListsAreTheParameterHelps() {
    auto open = OpenDialog(DefaultValues());
    QCOMPARE(vextune::testing::HelpLabelsNotShown(open->dialog.get(),
                                                  vextune::SettingsDialog::Misc),
             QStringList());
    for (const auto& [list, member] : {std::pair{"flowControlList", "m_FlowControl"},
                                       std::pair{"timestampList", "m_Timestamp"}}) {
      auto* combo = open->Find<QComboBox>(list);
      const vextune::ParamInfo& info = *vextune::CConfigData::FindParam(member);
      QCOMPARE(combo->count(), info.max + 1);
      for (int i = 0; i < combo->count(); ++i)
        QCOMPARE(combo->itemText(i), QString::fromUtf8(vextune::ChoiceMeaning(info, i)));
    }
  }

  void leavingAFieldChecksIt_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: passes
    QTest::addColumn<QString>("shownAfter");

    QTest::newRow("Frack 0") << "frackEdit"
                             << "0"
                             << "Frack: Enter a value between 1...15000!"
                             << "500";
    QTest::newRow("Frack 15000") << "frackEdit"
                                 << "15000"
                                 << ""
                                 << "15000";
    QTest::newRow("Retry empty") << "retryEdit"
                                 << ""
                                 << ""
                                 << "";
    QTest::newRow("MaxFrame holds one digit") << "maxFrameEdit"
                                              << "78"
                                              << ""
                                              << "7";
    QTest::newRow("Ipoll 257") << "iPollEdit"
                               << "257"
                               << "Ipoll: Enter a value between 1...256!"
                               << "60";
  }

  void leavingAFieldChecksIt() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shownAfter);
    auto open = OpenDialog(DefaultValues());
    QLineEdit* edit = open->Edit(field.toLatin1().constData());
    TypeInto(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    const QStringList expected = message.isEmpty() ? QStringList() : QStringList{message};
    QTRY_COMPARE(open->Messages(), expected);
    QCOMPARE(edit->text(), shownAfter);
    if (!message.isEmpty()) {
      QCOMPARE(open->prompt.shown()[0].caption, std::string());  // the application's name
      QVERIFY(open->prompt.shown()[0].icon == vextune::MessageIcon::None);
    }
    // OK now succeeds: a failed field shows its accepted text again.
    open->ClickOk();
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->Messages(), expected);
    const auto index = open->dialog->findChildren<QLineEdit*>().indexOf(edit);
    QVERIFY(index >= 0);
    QCOMPARE(QString::fromStdString(open->dialog->values().numbers[size_t(index)]), shownAfter);
  }

  void okShowsEveryWrongFieldInOrder() {
    MiscSettingsValues values = DefaultValues();
    values.number(MiscField::Retry) = "200";
    values.number(MiscField::Persistence) = "300";
    auto open = OpenDialog(values);
    open->ClickOk();
    QCOMPARE(open->Messages(), QStringList({"Retry: Enter a value between 0...127!",
                                            "Persistence: Enter a value between 0...255!"}));
    QVERIFY(open->dialog->isVisible());
    QCOMPARE(open->Edit("retryEdit")->text(), QStringLiteral("200"));
    QCOMPARE(open->Edit("persistenceEdit")->text(), QStringLiteral("300"));

    // Values it opened with stay wrong until the user replaces them.
    open->prompt.Clear();
    TypeInto(open->Edit("retryEdit"), QStringLiteral("100"));
    TypeInto(open->Edit("persistenceEdit"), QStringLiteral("255"));
    open->ClickOk();
    QTRY_COMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->Messages(), QStringList());
    QCOMPARE(open->dialog->values().number(MiscField::Retry), std::string("100"));
    QCOMPARE(open->dialog->values().number(MiscField::Persistence), std::string("255"));
  }

  void clickingOkAfterAWrongFieldShowsOneMessage() {
    auto open = OpenDialog(DefaultValues());
    TypeInto(open->Edit("frackEdit"), QStringLiteral("0"));
    open->ClickOk();  // takes the focus from the field, then runs OK's checks
    QCOMPARE(open->Messages(), QStringList({"Frack: Enter a value between 1...15000!"}));
    QVERIFY(open->dialog->isVisible());
    QTest::qWait(0);  // the leaving check of the field finds its accepted text
    QCOMPARE(open->Messages().size(), 1);
    open->ClickOk();
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    QCOMPARE(open->dialog->values().number(MiscField::Frack), std::string("500"));
  }

  // A real message box runs its own event loop; the check of the field just
  // left must not slip in between OK's messages.
  void messageBoxEventLoopDoesNotRepeatOrSkipMessages() {
    MiscSettingsValues values = DefaultValues();
    values.number(MiscField::Frack) = "0";
    auto open = OpenDialog(values);
    open->prompt.onShow = [](const ScriptedPrompt::Shown&) { QCoreApplication::processEvents(); };
    TypeInto(open->Edit("retryEdit"), QStringLiteral("200"));
    open->ClickOk();
    QTest::qWait(0);
    QCOMPARE(open->Messages(), QStringList({"Frack: Enter a value between 1...15000!",
                                            "Retry: Enter a value between 0...127!"}));
    QVERIFY(open->dialog->isVisible());
    QCOMPARE(open->Edit("retryEdit")->text(), QStringLiteral("10"));
  }

  void enterTwiceSucceedsTheSecondTime() {
    auto open = OpenDialog(DefaultValues());
    TypeInto(open->Edit("slotTimeEdit"), QStringLiteral("128"));
    QTest::keyClick(open->Edit("slotTimeEdit"), Qt::Key_Return);
    QCOMPARE(open->Messages(), QStringList({"Slottime: Enter a value between 0...127!"}));
    QCOMPARE(open->Edit("slotTimeEdit")->text(), QStringLiteral("10"));
    QTest::keyClick(open->Edit("slotTimeEdit"), Qt::Key_Return);
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
  }

  void cancelAfterAWrongFieldShowsNothing() {
    auto open = OpenDialog(DefaultValues());
    TypeInto(open->Edit("timer2Edit"), QStringLiteral("999999"));
    Click(open->Find<QPushButton>("cancelButton"));
    QTest::qWait(0);
    QCOMPARE(open->dialog->result(), int(QDialog::Rejected));
    QCOMPARE(open->Messages(), QStringList());
  }

  void listsSelectByText_data() {
    QTest::addColumn<QString>("flowControl");
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<QString>("shownFlow");
    QTest::addColumn<QString>("shownTimestamp");

    QTest::newRow("Z 3") << "3"
                         << "2"
                         << "Flow-Control on, XON/XOFF on"
                         << "Status + Monitor outputs";
    QTest::newRow("other texts") << "03"
                                 << "3"
                                 << "Flow-Control off, XON/XOFF off"
                                 << "OFF";
  }

  void listsSelectByText() {
    QFETCH(QString, flowControl);
    QFETCH(QString, timestamp);
    QFETCH(QString, shownFlow);
    QFETCH(QString, shownTimestamp);
    MiscSettingsValues values = DefaultValues();
    values.flowControl = flowControl.toStdString();
    values.timestamp = timestamp.toStdString();
    auto open = OpenDialog(values);
    QCOMPARE(open->Find<QComboBox>("flowControlList")->currentText(), shownFlow);
    QCOMPARE(open->Find<QComboBox>("timestampList")->currentText(), shownTimestamp);
  }

  void choosingEntriesAndSwitches() {
    auto open = OpenDialog(DefaultValues());
    auto* flow = open->Find<QComboBox>("flowControlList");
    flow->setFocus();
    QTest::keyClick(flow, Qt::Key_Home);
    auto* timestamp = open->Find<QComboBox>("timestampList");
    timestamp->setFocus();
    QTest::keyClick(timestamp, Qt::Key_Down);
    for (const char* name : {"echoCheck", "duplexCheck", "uiPollCheck", "syncClockCheck",
                             "callCheckCheck", "sendFlagsCheck", "pttCheck"})
      Click(open->Find<QCheckBox>(name));
    open->ClickOk();
    QCOMPARE(open->dialog->result(), int(QDialog::Accepted));
    const MiscSettingsValues& v = open->dialog->values();
    QCOMPARE(v.flowControl, std::string("0"));
    QCOMPARE(v.timestamp, std::string("1"));
    QVERIFY(v.addLinefeed && !v.echo && v.digipeat && !v.ptt && v.duplex && v.sendFlags &&
            v.uiPoll && v.callCheck && v.txFreqTrack && v.syncClock);
  }

  void txFreqTrackDisabledBelow1_0QKeepsItsState_data() {
    QTest::addColumn<int>("firmware");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("1.0P, on") << 10080 << true << false;
    QTest::newRow("1.0P, off") << 10080 << false << false;
    QTest::newRow("1.0Q") << 10081 << true << true;
    QTest::newRow("file-only mode") << -1 << false << true;
  }

  void txFreqTrackDisabledBelow1_0QKeepsItsState() {
    QFETCH(int, firmware);
    QFETCH(bool, stored);
    QFETCH(bool, enabled);
    MiscSettingsValues values = DefaultValues();
    values.txFreqTrack = stored;
    auto open = OpenDialog(values, firmware);
    auto* track = open->Find<QCheckBox>("txFreqTrackCheck");
    QCOMPARE(track->isEnabled(), enabled);
    QCOMPARE(track->isChecked(), stored);
    Click(track);
    open->ClickOk();
    QCOMPARE(open->dialog->values().txFreqTrack, enabled ? !stored : stored);
  }

  void tabOrderNamesAndLook() {
    auto open = OpenDialog(DefaultValues());
    QCOMPARE(vextune::testing::TabChain(open->Find<QCheckBox>("addLinefeedCheck"), 23),
             QStringList({"addLinefeedCheck", "echoCheck",      "digipeatCheck",   "pttCheck",
                          "duplexCheck",      "sendFlagsCheck", "uiPollCheck",     "callCheckCheck",
                          "txFreqTrackCheck", "frackEdit",      "retryEdit",       "maxFrameEdit",
                          "persistenceEdit",  "slotTimeEdit",   "channelsEdit",    "iPollEdit",
                          "timer2Edit",       "timer3Edit",     "flowControlList", "timestampList",
                          "syncClockCheck",   "okButton",       "cancelButton"}));
    QCOMPARE(vextune::testing::UnnamedControls(open->dialog.get()), QStringList());
    QCOMPARE(vextune::testing::ClippedTexts(open->dialog.get()), QStringList());
    vextune::testing::SaveScreenshotIfAsked(open->dialog.get(), QStringLiteral("misc_settings"));
  }
};

QTEST_MAIN(MiscSettingsDialogTest)
#include "misc_settings_dlg_test.moc"
