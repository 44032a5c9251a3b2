// The main selection dialog at start-up and its port dialogs, as a user
// meets them: one device, none, several, a port from the command line.
#include "ui/main_selection_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/clock.h"
#include "fake_sysfs.h"
#include "link/device_watch.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "ui/about_dlg.h"
#include "ui/application_state.h"
#include "ui/choose_davozi_dlg.h"
#include "ui/com_port_einstellung.h"
#include "ui/configuration_main_dlg.h"

using namespace vextune;
using vextune::testing::CountingOpener;
using vextune::testing::FindTopLevel;
using vextune::testing::ScriptedPrompt;
using vextune::testing::SimulatedDavozi;
using vextune::testing::WhenShown;

namespace {

const char* const kNoDeviceQuestion =
    "No DAV-OZI found or DAV-OZI occupied by other program!\n\nIf You want to edit a "
    "configuration file instead, Click 'YES'.\nOtherwise click 'NO' to manually select a "
    "virtual COM Port";

}  // namespace

class MainSelectionTest : public QObject {
  Q_OBJECT

 private:
  /// Application state over a counting opener, with `ports` as the machine's
  /// serial ports.
  std::unique_ptr<ui::ApplicationState> State(std::vector<SerialDevice> ports) {
    auto state = std::make_unique<ui::ApplicationState>(clock_, opener_);
    state->listSerialPorts = [ports] { return ports; };
    // The machine's own plug-ins must not reach the tests.
    state->watchSerialPorts = [] { return std::unique_ptr<DeviceChangeSource>(); };
    state->diagnosePort = [this](const std::string& port, const Identification& answer) {
      diagnosed_.push_back({port, answer.outcome});
      return findings_;
    };
    return state;
  }
  /// Application state whose ports are those of `tree`, watched as the
  /// system's are.
  std::unique_ptr<ui::ApplicationState> State(test::FakeSysfs& tree) {
    auto state = State(std::vector<SerialDevice>{});
    state->listSerialPorts = [&tree] {
      return EnumerateSerialDevices(tree.root(), tree.devRoot());
    };
    state->watchSerialPorts = [&tree] {
      return WatchDeviceChanges(tree.root(), tree.devRoot(), nullptr);
    };
    return state;
  }
  std::unique_ptr<ui::CMainSelectionDlg> Open(ui::ApplicationState& state) {
    auto dialog =
        std::make_unique<ui::CMainSelectionDlg>(state, prompt_, ui::SettingsDialogRunners{});
    dialog->show();
    return dialog;
  }
  /// The dialog on `tree` with a plain serial port only, once the no-device
  /// question was answered No.
  std::unique_ptr<ui::CMainSelectionDlg> OpenWithoutDevice(test::FakeSysfs& tree,
                                                           ui::ApplicationState& state) {
    tree.PlugIn("ttyUSB0", "FTDI", "FT232R USB UART");
    prompt_.AnswerNo();
    auto dialog = Open(state);
    if (!QTest::qWaitFor([this] { return prompt_.shown().size() == 1; }))
      qFatal("the no-device question was not asked");
    return dialog;
  }
  template <typename T = QWidget>
  static T* Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }
  static QString Status(QWidget& dialog) { return Child<QLabel>(dialog, "statusText")->text(); }
  /// Configuration, Update, Serial Port Settings: which are enabled.
  static QString Buttons(QWidget& dialog) {
    QString enabled;
    for (const char* name : {"configurationButton", "updateButton", "serialPortButton"})
      enabled += Child(dialog, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return enabled;
  }
  static void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Child<QPushButton>(dialog, name), Qt::LeftButton);
  }
  /// Waits until the no-device question was asked and answered.
  void WaitForQuestion(const std::string& advice) {
    QTRY_COMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].text, std::string(kNoDeviceQuestion) + "\n\n" + advice);
    QCOMPARE(prompt_.shown()[0].kind, ScriptedPrompt::Kind::Question);
  }

  ScriptedPrompt prompt_;
  /// What the doctor's checks find, and the ports they were asked about.
  std::vector<Finding> findings_;
  std::vector<std::pair<std::string, Identification::Outcome>> diagnosed_;
  SystemClock clock_;
  CountingOpener opener_;

 private slots:
  void init() {
    prompt_ = ScriptedPrompt();
    findings_.clear();
    diagnosed_.clear();
    opener_.opens = 0;
  }

  void aDevicePluggedInLaterIsFoundAndItsUnplugNoticed() {
    test::FakeSysfs tree;
    auto state = State(tree);
    auto dialog = OpenWithoutDevice(tree, *state);
    QCOMPARE(Status(*dialog), QStringLiteral("No DAV-OZI found."));
    QCOMPARE(Buttons(*dialog), QStringLiteral("001"));

    const QString acm = QString::fromStdString(tree.devRoot()) + QStringLiteral("/ttyACM0");
    tree.PlugIn("ttyACM0", "Olvane", "Ambrel");
    QTRY_COMPARE(Status(*dialog), QStringLiteral("DAV-OZI found on ") + acm);
    QCOMPARE(Buttons(*dialog), QStringLiteral("110"));
    QCOMPARE(QString::fromStdString(state->device.settings().portName), acm);

    tree.Unplug("ttyACM0");
    QTRY_COMPARE(Status(*dialog), QStringLiteral("No DAV-OZI found."));
    QCOMPARE(Buttons(*dialog), QStringLiteral("001"));
    QCOMPARE(state->device.settings().portName, std::string());
    // Only the system's list was read: no port was opened, no question came again.
    QCOMPARE(opener_.opens, 0);
    QCOMPARE(prompt_.shown().size(), size_t{1});
  }

  void thePortDialogsListFollowsAndTheFindWaitsForItToClose() {
    test::FakeSysfs tree;
    auto state = State(tree);
    auto dialog = OpenWithoutDevice(tree, *state);
    bool seen = false;
    QString statusWhileOpen;
    WhenShown<ui::CComPortEinstellung>(
        [&](ui::CComPortEinstellung& ports) {
          auto* combo = ports.findChild<QComboBox*>(QStringLiteral("portCombo"));
          QCOMPARE(combo->count(), 1);
          combo->lineEdit()->selectAll();
          QTest::keyClicks(combo->lineEdit(), QStringLiteral("/dev/ttyUSB9"));
          tree.PlugIn("ttyACM4", "Olvane", "Ambrel");
          QTRY_COMPARE(combo->count(), 2);
          QCOMPARE(combo->model()->index(0, 1).data().toString(), QStringLiteral("Olvane Ambrel"));
          QCOMPARE(combo->currentText(), QStringLiteral("/dev/ttyUSB9"));  // what was typed stays
          statusWhileOpen = Status(*dialog);
        },
        &seen);
    Click(*dialog, "serialPortButton");
    QVERIFY(seen);
    // Nothing changed the port under the open dialog; once it closed, the find shows.
    QCOMPARE(statusWhileOpen, QStringLiteral("No DAV-OZI found."));
    QTRY_COMPARE(Status(*dialog), QStringLiteral("DAV-OZI found on ") +
                                      QString::fromStdString(tree.devRoot()) +
                                      QStringLiteral("/ttyACM4"));
    QCOMPARE(Buttons(*dialog), QStringLiteral("110"));
  }

  void oneDeviceIsSelectedAtOnce() {
    auto state = State({{"/dev/ttyACM3", "Olvane Ambrel"}, {"/dev/ttyS0", "serial8250"}});
    auto dialog = Open(*state);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Olvane Vextune   V. 1.0.1.51"));
    QCOMPARE(Status(*dialog), QStringLiteral("DAV-OZI found on /dev/ttyACM3"));
    QCOMPARE(Buttons(*dialog), QStringLiteral("110"));
    QCOMPARE(state->device.settings().portName, std::string("/dev/ttyACM3"));
    QTest::qWait(100);  // past the 50 ms of the questions: none comes
    QVERIFY(prompt_.shown().empty());
  }

  void noDeviceAndNoLeavesOnlyThePortDialog() {
    auto state = State({{"/dev/ttyS0", "serial8250"}, {"/dev/ttyUSB0", "FTDI FT232R USB UART"}});
    prompt_.AnswerNo();
    findings_ = {{FindingStatus::Warning, "brltty is installed (/usr/bin/brltty); ...",
                  "sudo apt remove brltty", DoctorCheck::Brltty}};
    auto dialog = Open(*state);
    QCOMPARE(Status(*dialog), QStringLiteral("No DAVOZI found."));
    WaitForQuestion(
        "Serial ports looked at: /dev/ttyS0, /dev/ttyUSB0; none describes itself as a "
        "DAV-OZI.\nWhat to do: sudo apt remove brltty");
    // Nothing was probed: the question comes from what the system lists.
    QCOMPARE(diagnosed_.size(), size_t{1});
    QCOMPARE(diagnosed_[0].first, std::string());
    QCOMPARE(Status(*dialog), QStringLiteral("No DAV-OZI found."));
    QCOMPARE(Buttons(*dialog), QStringLiteral("001"));
    QVERIFY(!state->device.state().fileOnly);

    // The port dialog lists every port with its description and preselects
    // the first; a short name typed by hand means the path under /dev.
    bool seen = false;
    WhenShown<ui::CComPortEinstellung>(
        [](ui::CComPortEinstellung& ports) {
          auto* combo = ports.findChild<QComboBox*>(QStringLiteral("portCombo"));
          QCOMPARE(combo->count(), 2);
          QCOMPARE(combo->currentText(), QStringLiteral("/dev/ttyS0"));
          QCOMPARE(combo->model()->index(1, 1).data().toString(),
                   QStringLiteral("FTDI FT232R USB UART"));
          QCOMPARE(ports.windowTitle(), QStringLiteral("Olvane Vextune - COM Port Settings"));
          combo->lineEdit()->selectAll();
          QTest::keyClicks(combo->lineEdit(), QStringLiteral("ttyUSB9"));
          QTest::keyClick(&ports, Qt::Key_Return);
        },
        &seen);
    Click(*dialog, "serialPortButton");
    QVERIFY(seen);
    QCOMPARE(Status(*dialog), QStringLiteral("COM Port manually set to /dev/ttyUSB9."));
    QCOMPARE(Buttons(*dialog), QStringLiteral("111"));
    QCOMPARE(state->device.settings().portName, std::string("/dev/ttyUSB9"));

    // Next time the chosen port is preselected, though it is not listed; a
    // cancelled dialog changes nothing.
    WhenShown<ui::CComPortEinstellung>(
        [](ui::CComPortEinstellung& ports) {
          QCOMPARE(ports.findChild<QComboBox*>(QStringLiteral("portCombo"))->currentText(),
                   QStringLiteral("/dev/ttyUSB9"));
          QTest::mouseClick(ports.findChild<QPushButton*>(QStringLiteral("cancelButton")),
                            Qt::LeftButton);
        },
        &seen);
    Click(*dialog, "serialPortButton");
    QVERIFY(seen);
    QCOMPARE(Status(*dialog), QStringLiteral("COM Port manually set to /dev/ttyUSB9."));
    QCOMPARE(state->device.settings().portName, std::string("/dev/ttyUSB9"));
    QCOMPARE(opener_.opens, 0);
  }

  void emptyPortIsRefused() {
    ui::CComPortEinstellung ports({}, "", nullptr);
    ports.show();
    auto* combo = ports.findChild<QComboBox*>(QStringLiteral("portCombo"));
    QCOMPARE(combo->currentText(), QString());
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("   "));
    QTest::keyClick(&ports, Qt::Key_Return);
    QVERIFY(ports.isVisible());
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("/dev/pts/7"));
    QTest::keyClick(&ports, Qt::Key_Return);
    QVERIFY(!ports.isVisible());
    QCOMPARE(ports.chosenPort(), std::string("/dev/pts/7"));
  }

  void noDeviceAndYesOpensFileOnlyModeWithoutTheLine() {
    auto state = State({});
    prompt_.AnswerYes();
    bool seen = false;
    WhenShown<ui::CConfigurationMainDlg>(
        [](ui::CConfigurationMainDlg& config) {
          QCOMPARE(config.findChild<QLabel*>(QStringLiteral("infoLine"))->text(),
                   QStringLiteral("Press 'Load' to open a DAV-OZI config file."));
          config.reject();
        },
        &seen);
    auto dialog = Open(*state);
    QTRY_VERIFY(seen);
    QTRY_VERIFY(FindTopLevel<ui::CConfigurationMainDlg>() == nullptr);
    QCOMPARE(Buttons(*dialog), QStringLiteral("101"));
    QVERIFY(state->device.state().fileOnly);
    QCOMPARE(state->device.state().firmwareVersion, -1);
    QCOMPARE(opener_.opens, 0);

    // Choosing a port ends file-only mode.
    WhenShown<ui::CComPortEinstellung>(
        [](ui::CComPortEinstellung& ports) {
          auto* combo = ports.findChild<QComboBox*>(QStringLiteral("portCombo"));
          QTest::keyClicks(combo->lineEdit(), QStringLiteral("ttyACM0"));
          QTest::keyClick(&ports, Qt::Key_Return);
        },
        &seen);
    Click(*dialog, "serialPortButton");
    QVERIFY(seen);
    QVERIFY(!state->device.state().fileOnly);
    QCOMPARE(state->device.state().firmwareVersion, 0);
    QCOMPARE(Buttons(*dialog), QStringLiteral("111"));
  }

  void severalDevicesAreChosenInTextOrder() {
    auto state = State({{"/dev/ttyACM3", "Olvane Ambrel"}, {"/dev/ttyACM12", "Olvane Ambrel"}});
    auto dialog = Open(*state);
    QTRY_COMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].text,
             std::string("Multiple DAV-OZIs found in Device Manager!\nPlease select one from "
                         "'Choose DAV-OZI' Dialog"));
    QCOMPARE(Status(*dialog), QStringLiteral("Multiple DAV-OZIs found."));
    QCOMPARE(Child<QPushButton>(*dialog, "serialPortButton")->text(),
             QStringLiteral("Choose &DAV-OZI"));  // shown without the "&", Alt+D
    QCOMPARE(Buttons(*dialog), QStringLiteral("001"));

    bool seen = false;
    WhenShown<ui::CChooseDAVOZIDlg>(
        [](ui::CChooseDAVOZIDlg& choose) {
          QCOMPARE(choose.windowTitle(), QStringLiteral("Olvane Vextune - Choose DAVOZI "));
          auto* combo = choose.findChild<QComboBox*>(QStringLiteral("portCombo"));
          QCOMPARE(combo->count(), 2);
          QCOMPARE(combo->itemText(0), QStringLiteral("/dev/ttyACM12"));
          QCOMPARE(combo->currentText(), QStringLiteral("/dev/ttyACM12"));
          QTest::keyClick(&choose, Qt::Key_Return);
        },
        &seen);
    Click(*dialog, "serialPortButton");
    QVERIFY(seen);
    QCOMPARE(Status(*dialog), QStringLiteral("COM Port manually set to /dev/ttyACM12."));
    QCOMPARE(Buttons(*dialog), QStringLiteral("111"));
  }

  void portFromTheCommandLineIsUsedWithoutAQuestion() {
    auto state = State({{"/dev/ttyACM3", "Olvane Ambrel"}});
    state->presetPort = "/dev/pts/4";
    auto dialog = Open(*state);
    QCOMPARE(Status(*dialog), QStringLiteral("COM Port manually set to /dev/pts/4."));
    QCOMPARE(Buttons(*dialog), QStringLiteral("111"));
    QCOMPARE(state->device.settings().portName, std::string("/dev/pts/4"));
    QTest::qWait(100);
    QVERIFY(prompt_.shown().empty());
  }

  void aboutBoxByButtonAndF1() {
    auto state = State({{"/dev/ttyACM3", "Olvane Ambrel"}});
    auto dialog = Open(*state);
    for (int way = 0; way < 2; ++way) {
      // Keys go to the active window.
      dialog->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
      bool seen = false;
      WhenShown<ui::CAboutDlg>(
          [](ui::CAboutDlg& about) {
            QCOMPARE(about.windowTitle(), QString::fromUtf8("Info über Vextune"));
            QCOMPARE(about.findChild<QLabel*>(QStringLiteral("versionText"))->text(),
                     QStringLiteral("Vextune Version 1.0"));
            QTest::keyClick(&about, Qt::Key_Return);
          },
          &seen);
      if (way == 0) {
        Click(*dialog, "aboutButton");
      } else {
        QTest::keyClick(dialog.get(), Qt::Key_F1);
      }
      QVERIFY2(seen, way == 0 ? "button" : "F1");
    }
  }

  void configurationChecksReadsAndAVerifiedSendSaysWhatHappened() {
    SimulatedDavozi device;
    ui::ApplicationState state(nullptr);
    state.presetPort = device.path();
    ui::CMainSelectionDlg dialog(state, prompt_, ui::SettingsDialogRunners{});
    dialog.show();
    bool seen = false;
    WhenShown<ui::CConfigurationMainDlg>(
        [&state](ui::CConfigurationMainDlg& config) {
          auto* status = config.findChild<QLabel*>(QStringLiteral("statusLine"));
          QTRY_COMPARE_WITH_TIMEOUT(status->text(),
                                    QStringLiteral("Configuration loaded from DAV-OZI."), 30000);
          QCOMPARE(config.findChild<QLabel*>(QStringLiteral("infoLine"))->text(),
                   QStringLiteral("Firmware installed in DAV-OZI:  V.1.4b"));
          QCOMPARE(state.device.state().firmwareVersion, 10466);
          // The status line shows the end of the read before the dialog has
          // taken it over.
          QTRY_VERIFY(!config.transferRunning());
          CConfigData::SetNumber(state.document.working().m_TxDelay, 61);
          QTest::mouseClick(config.findChild<QPushButton*>(QStringLiteral("sendButton")),
                            Qt::LeftButton);
        },
        &seen, 30000);
    Click(dialog, "configurationButton");
    // The check runs on the worker: every button waits meanwhile.
    QCOMPARE(Buttons(dialog), QStringLiteral("000"));
    QVERIFY(!Child(dialog, "okButton")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(seen, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(FindTopLevel<ui::CConfigurationMainDlg>() == nullptr, 60000);
    QCOMPARE(Buttons(dialog), QStringLiteral("111"));
    QCOMPARE(Status(dialog),
             QString::fromStdString("Configuration sent to DAV-OZI on " + device.path() +
                                    " and verified; stored in nonvolatile memory."));
    QCOMPARE(device.device().Nonvolatile().m_TxDelay.value, 61);
    QVERIFY2(prompt_.shown().empty(),
             prompt_.shown().empty() ? "" : prompt_.shown()[0].text.c_str());
  }

  void failedCheckShowsItsMessageAndOpensNothing() {
    auto state = State({});
    state->presetPort = "/nonexistent/ttyX";
    auto dialog = Open(*state);
    Click(*dialog, "configurationButton");
    QTRY_COMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].text,
             std::string("Error Opening serial connection\nor DAV-OZI occupied by other program!"));
    QTRY_COMPARE(Buttons(*dialog), QStringLiteral("111"));
    QVERIFY(FindTopLevel<ui::CConfigurationMainDlg>() == nullptr);
    QCOMPARE(opener_.opens, 1);
  }

  void aSilentDeviceGetsTheRatesTriedAndTheFirstFix() {
    sim::SimulatorOptions silent;
    silent.stopAfter = 0;
    SimulatedDavozi device(silent);
    auto state = State({});
    state->presetPort = device.path();
    findings_ = {{FindingStatus::Failed, device.path() + " is open in minicom (process 900).",
                  "Quit minicom, or end it: kill 900", DoctorCheck::Holders}};
    auto dialog = Open(*state);
    Click(*dialog, "configurationButton");
    QTRY_COMPARE_WITH_TIMEOUT(prompt_.shown().size(), size_t{1}, 30000);
    QCOMPARE(prompt_.shown()[0].text,
             "Communication Error!\nDAV-OZI possibly switched off.\n\nNo answer on " +
                 device.path() + " at 38400 or 115200 Bd.\n" + device.path() +
                 " is open in minicom (process 900).\nWhat to do: Quit minicom, or end it: kill "
                 "900");
    QCOMPARE(diagnosed_.size(), size_t{1});
    QCOMPARE(diagnosed_[0].first, device.path());
    QVERIFY(diagnosed_[0].second == Identification::Outcome::NoAnswer);
    QCOMPARE(opener_.opens, 2);  // the check's two rates, nothing more
  }
};

QTEST_MAIN(MainSelectionTest)
#include "main_selection_dlg_test.moc"
