// The settings runners on a real working record: filled from it, driven by
// the user, taken back on OK only, and what OK accepted is what the dialog
// shows when it opens again.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "common/clock.h"
#include "config/config_data.h"
#include "link/device_state.h"
#include "settings_dialog_test_support.h"
#include "transfer/send_script.h"
#include "ui/aprs_settings_dlg.h"
#include "ui/aprs_settings_runner.h"
#include "ui/general_settings_runner.h"
#include "ui/misc_settings_runner.h"

using vextune::CConfigData;
using vextune::DeviceState;
using vextune::testing::Click;
using vextune::testing::ScriptedPrompt;
using vextune::testing::TypeInto;

namespace {

// Runs `user` on the settings dialog once its modal run has started; a
// dialog the user leaves open (a failed check) is closed with Cancel so that
// the test goes on.
void WhenDialogOpens(std::function<void(QWidget*)> user) {
  QTimer::singleShot(0, [user] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) qFatal("no modal dialog");
    auto close = qScopeGuard([dialog] {
      if (dialog->isVisible()) QTest::keyClick(dialog, Qt::Key_Escape);
    });
    if (!QTest::qWaitForWindowActive(dialog)) return;
    user(dialog);
  });
}

template <class T>
T* Find(QWidget* dialog, const char* name) {
  T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
  if (!widget) qFatal("no control %s", name);
  return widget;
}

// True when value and text of every parameter are equal.
bool Identical(const CConfigData& a, const CConfigData& b) {
  for (const auto& info : CConfigData::Params()) {
    if (a.Get(info).value != b.Get(info).value || a.Get(info).text != b.Get(info).text)
      return false;
  }
  return true;
}

DeviceState Device(int32_t firmware) {
  DeviceState device;
  device.firmwareVersion = firmware;
  return device;
}

enum Dialog { General, Aprs, Misc };

// Opens the dialog on `working` with `user` in front of it; what Edit said.
bool RunDialog(Dialog which, CConfigData& working, ScriptedPrompt& prompt,
               std::function<void(QWidget*)> user) {
  WhenDialogOpens(std::move(user));
  vextune::ui::GeneralSettingsRunner general;
  vextune::ui::AprsSettingsRunner aprs;
  vextune::ui::MiscSettingsRunner misc;
  vextune::ui::SettingsDialogRunner* runners[] = {&general, &aprs, &misc};
  return runners[which]->Edit(nullptr, working, Device(10466), prompt);
}

// The text the field `name` shows when the dialog opens on `working`.
QString ShownOnOpening(Dialog which, CConfigData& working, const char* name) {
  ScriptedPrompt prompt;
  QString shown;
  RunDialog(which, working, prompt, [&](QWidget* dialog) {
    shown = Find<QLineEdit>(dialog, name)->text();
    Click(Find<QPushButton>(dialog, "cancelButton"));
  });
  return shown;
}

}  // namespace

class SettingsDialogRunnersTest : public QObject {
  Q_OBJECT

 private slots:
  void generalTakesBackWhatWasTyped() {
    CConfigData working;
    CConfigData::SetNumberText(working.m_TxDelay, "0030");  // shown as "30"
    const CConfigData before = working;
    ScriptedPrompt prompt;
    WhenDialogOpens([](QWidget* dialog) {
      QCOMPARE(Find<QLineEdit>(dialog, "txDelayEdit")->text(), QStringLiteral("30"));
      TypeInto(Find<QLineEdit>(dialog, "callsignEdit"), QStringLiteral("dl1abc-7"));
      TypeInto(Find<QLineEdit>(dialog, "txDelayEdit"), QStringLiteral("040"));
      Click(Find<QRadioButton>(dialog, "prMode9600Radio"));
      Click(Find<QCheckBox>(dialog, "connectTextOnCheck"));
      TypeInto(Find<QLineEdit>(dialog, "connectTextEdit"), QStringLiteral("Moin \u00B0"));
      Click(Find<QCheckBox>(dialog, "monitorICheck"));
      Click(Find<QPushButton>(dialog, "okButton"));
    });
    vextune::ui::GeneralSettingsRunner runner;
    QVERIFY(runner.Edit(nullptr, working, Device(10466), prompt));
    QVERIFY(prompt.shown().empty());

    QCOMPARE(working.m_Callsign.text, std::string("DL1ABC-7"));
    QCOMPARE(working.m_TxDelay.value, 40);
    QCOMPARE(working.m_TxDelay.text, std::string("040"));
    QCOMPARE(working.m_PrModeIndex.value, 4);
    QCOMPARE(working.m_PrMode.text, std::string("9600"));
    QCOMPARE(working.m_ConnectMode.value, 1);
    QCOMPARE(working.m_ConnectText.text, std::string("Moin \xB0"));
    QCOMPARE(working.m_MonitorI.value, 1);
    // Exactly these parameters changed.
    std::vector<std::string> changed;
    for (const auto* info : before.Differences(working, true)) changed.push_back(info->memberName);
    QCOMPARE(changed,
             (std::vector<std::string>{"m_Callsign", "m_MonitorI", "m_PrModeIndex", "m_PrMode",
                                       "m_TxDelay", "m_ConnectMode", "m_ConnectText"}));

    // The send script carries what was typed.
    vextune::SystemClock clock;
    const auto line = [&](vextune::SendStep step) {
      const auto lines = vextune::SendStepCommands(step, working, Device(10466), clock);
      return lines.empty() ? std::string() : lines.front();
    };
    QCOMPARE(line(vextune::SendStep::TxDelay), std::string("\x1bt 040\r"));
    QCOMPARE(line(vextune::SendStep::PrMode), std::string("\x1b%B 9600\r"));
    QCOMPARE(line(vextune::SendStep::Callsign), std::string("\x1bi DL1ABC-7\r"));
  }

  void cancelAndClosingChangeNothing_data() {
    QTest::addColumn<bool>("misc");
    QTest::addColumn<int>("leave");  // 0 Abbrechen, 1 Escape, 2 closing the window
    QTest::newRow("general, Abbrechen") << false << 0;
    QTest::newRow("general, window closed") << false << 2;
    QTest::newRow("misc, Escape") << true << 1;
  }

  void cancelAndClosingChangeNothing() {
    QFETCH(bool, misc);
    QFETCH(int, leave);
    CConfigData working;
    const CConfigData before = working;
    ScriptedPrompt prompt;
    WhenDialogOpens([misc, leave](QWidget* dialog) {
      TypeInto(Find<QLineEdit>(dialog, misc ? "frackEdit" : "txDelayEdit"), QStringLiteral("99"));
      Click(Find<QCheckBox>(dialog, misc ? "echoCheck" : "monitorUCheck"));
      if (leave == 0) Click(Find<QPushButton>(dialog, "cancelButton"));
      if (leave == 1) QTest::keyClick(dialog, Qt::Key_Escape);
      if (leave == 2) dialog->close();
    });
    vextune::ui::GeneralSettingsRunner general;
    vextune::ui::MiscSettingsRunner misc_runner;
    vextune::ui::SettingsDialogRunner& runner =
        misc ? static_cast<vextune::ui::SettingsDialogRunner&>(misc_runner) : general;
    QVERIFY(!runner.Edit(nullptr, working, Device(10466), prompt));
    QVERIFY(Identical(before, working));
    QVERIFY(prompt.shown().empty());
  }

  void miscTakesBackWhatWasChosen() {
    CConfigData working;
    CConfigData::SetNumberText(working.m_FlowControl, "03");  // entry 3, not entry 0
    ScriptedPrompt prompt;
    WhenDialogOpens([](QWidget* dialog) {
      QCOMPARE(Find<QComboBox>(dialog, "flowControlList")->currentIndex(), 3);
      TypeInto(Find<QLineEdit>(dialog, "frackEdit"), QStringLiteral("1500"));
      TypeInto(Find<QLineEdit>(dialog, "retryEdit"), QString());
      Click(Find<QCheckBox>(dialog, "syncClockCheck"));
      Click(Find<QCheckBox>(dialog, "txFreqTrackCheck"));  // disabled: keeps its state
      auto* flow = Find<QComboBox>(dialog, "flowControlList");
      flow->setFocus();
      QTest::keyClick(flow, Qt::Key_Up);
      Click(Find<QPushButton>(dialog, "okButton"));
    });
    vextune::ui::MiscSettingsRunner runner;
    QVERIFY(runner.Edit(nullptr, working, Device(10080), prompt));
    QCOMPARE(working.m_Frack.value, 1500);
    QCOMPARE(working.m_Retry.value, 0);  // an empty field reads as 0, not as the default
    QCOMPARE(working.m_SyncClock.value, 1);
    QCOMPARE(working.m_TxFreqTrack.value, 1);
    QCOMPARE(working.m_FlowControl.value, 2);
    QCOMPARE(working.m_FlowControl.text, std::string("2"));
  }

  // The callsign filter starts over with every opening: a callsign typed in
  // an earlier run does not keep a stored one out of the field.
  void storedCallsignShowsAfterAnotherWasTyped() {
    CConfigData working;
    ScriptedPrompt prompt;
    vextune::ui::GeneralSettingsRunner runner;
    WhenDialogOpens([](QWidget* dialog) {
      TypeInto(Find<QLineEdit>(dialog, "callsignEdit"), QStringLiteral("AB-1"));
      Click(Find<QPushButton>(dialog, "cancelButton"));
    });
    QVERIFY(!runner.Edit(nullptr, working, Device(10466), prompt));

    CConfigData::SetText(working.m_Callsign, "DL1ABC-7");
    QString shown;
    WhenDialogOpens([&shown](QWidget* dialog) {
      shown = Find<QLineEdit>(dialog, "callsignEdit")->text();
      Click(Find<QPushButton>(dialog, "okButton"));
    });
    QVERIFY(runner.Edit(nullptr, working, Device(10466), prompt));
    QCOMPARE(shown, QStringLiteral("DL1ABC-7"));
    QCOMPARE(working.m_Callsign.text, std::string("DL1ABC-7"));
  }
  void pastedTabNeverGetsLost_data() {
    QTest::addColumn<int>("dialog");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pastable");  // a text the field takes, pasted first
    QTest::newRow("general, connect text") << int(General) << "connectTextEdit"
                                           << "Hello World";
    QTest::newRow("APRS, comment") << int(Aprs) << "commentEdit"
                                   << "Hello World";
    QTest::newRow("APRS, report text") << int(Aprs) << "statusTextEdit"
                                       << "Hello World";
    QTest::newRow("misc, Frack") << int(Misc) << "frackEdit"
                                 << "42";
  }

  void pastedTabNeverGetsLost() {
    QFETCH(int, dialog);
    QFETCH(QString, field);
    QFETCH(QString, pastable);
    const auto which = static_cast<Dialog>(dialog);
    const QByteArray name = field.toLatin1();
    CConfigData working;
    // Switched on, so that the connect text's own check has a text to accept.
    CConfigData::SetNumber(working.m_ConnectMode, 1);
    CConfigData::SetText(working.m_ConnectText, "Hi");
    ScriptedPrompt prompt;
    QString pasted;
    QString atOk;
    const bool accepted = RunDialog(which, working, prompt, [&](QWidget* dlg) {
      QLineEdit* edit = Find<QLineEdit>(dlg, name.constData());
      edit->setFocus(Qt::TabFocusReason);
      const auto pasteOverAll = [edit](const QString& text) {
        edit->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keySequence(edit, QKeySequence::Paste);
      };
      pasteOverAll(pastable);
      pasted = edit->text();
      // The APRS dialog tells of its beeps: the refusal is not silent.
      auto* aprsDialog = qobject_cast<vextune::ui::CAprsSettings*>(dlg);
      std::unique_ptr<QSignalSpy> beeps;
      if (aprsDialog)
        beeps = std::make_unique<QSignalSpy>(aprsDialog, &vextune::ui::CAprsSettings::beeped);
      pasteOverAll(QStringLiteral("Hello\tWorld"));
      atOk = edit->text();
      if (beeps) QCOMPARE(beeps->count(), 1);
      Click(Find<QPushButton>(dlg, "okButton"));
    });
    QVERIFY(accepted);
    QVERIFY2(prompt.shown().empty(), prompt.shown().empty() ? "" : prompt.shown()[0].text.c_str());
    QCOMPARE(pasted, pastable);
    QCOMPARE(atOk, pastable);  // the paste with the tab was refused
    QCOMPARE(ShownOnOpening(which, working, name.constData()), atOk);
  }

  // An empty field passes OK as 0; the record must not put its default in.
  void clearedNumberOpensAsZero() {
    CConfigData working;
    ScriptedPrompt prompt;
    QVERIFY(RunDialog(General, working, prompt, [](QWidget* dialog) {
      Find<QLineEdit>(dialog, "txDelayEdit")->clear();
      Click(Find<QPushButton>(dialog, "okButton"));
    }));
    QVERIFY(prompt.shown().empty());
    QCOMPARE(ShownOnOpening(General, working, "txDelayEdit"), QStringLiteral("0"));
  }
};

QTEST_MAIN(SettingsDialogRunnersTest)
#include "settings_dialog_runners_test.moc"
