// The configuration main dialog as a user drives it: file-only mode, files,
// settings, and reads and sends against the simulated DAV-OZI.
#include "ui/configuration_main_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "config/config_file.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "ui/application_state.h"
#include "ui/backups_dlg.h"

using namespace vextune;
using vextune::testing::FakeSettingsRunner;
using vextune::testing::ScriptedPrompt;
using vextune::testing::SimulatedDavozi;
using vextune::testing::TempFolder;
using Kind = ScriptedPrompt::Kind;

namespace {

/// Time a transfer against the simulator may take at most before a test
/// gives up (a read takes a few seconds, a send with its read-back about ten).
constexpr int kTransferTimeoutMs = 30000;

const char* const kLockedControls[] = {"generalSettingsButton",
                                       "aprsSettingsButton",
                                       "miscSettingsButton",
                                       "loadButton",
                                       "saveButton",
                                       "sendButton",
                                       "loadDefaultsButton",
                                       "readButton",
                                       "okButton",
                                       "cancelButton",
                                       "storeCheckBox",
                                       "backupsButton",
                                       "sendAllCheckBox"};

/// A record that differs from the defaults in T and the connect text.
CConfigData Edited(int txDelay) {
  CConfigData record;
  CConfigData::SetNumber(record.m_TxDelay, txDelay);
  CConfigData::SetText(record.m_ConnectText, "HELLO");
  return record;
}

}  // namespace

class ConfigurationMainTest : public QObject {
  Q_OBJECT

 private:
  /// The dialog over `state`, shown, with all three settings dialogs.
  std::unique_ptr<ui::CConfigurationMainDlg> Open(ui::ApplicationState& state) {
    auto dialog = std::make_unique<ui::CConfigurationMainDlg>(
        state, prompt_, ui::SettingsDialogRunners{&general_, &aprs_, &misc_});
    dialog->show();
    return dialog;
  }
  template <typename T = QWidget>
  static T* Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }
  static void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Child<QPushButton>(dialog, name), Qt::LeftButton);
  }
  static QString Status(QWidget& dialog) { return Child<QLabel>(dialog, "statusLine")->text(); }
  static bool Enabled(QWidget& dialog, const char* name) {
    return Child(dialog, name)->isEnabled();
  }
  /// A state with a device on `port` whose check found firmware 1.4b.
  static void WithDevice(ui::ApplicationState& state, const std::string& port) {
    state.device.SelectPort(port);
    state.device.state() = DeviceState{10466, " V.1.4b", false};
  }
  /// The simulator's nonvolatile memory as a file holding `record`.
  std::string DeviceMemory(const CConfigData& record) {
    const std::string path = folder_.Path("device.vxg");
    if (!SaveConfigFile(path, record, nullptr)) qFatal("cannot write %s", path.c_str());
    return path;
  }

  /// Writes Edited(40) into `name` and loads it with the Load button.
  std::string LoadThroughDialog(QWidget& dialog, const char* name) {
    const std::string path = folder_.Path(name);
    if (!SaveConfigFile(path, Edited(40), nullptr)) qFatal("cannot write %s", path.c_str());
    prompt_.ChooseFile(path);
    Click(dialog, "loadButton");
    return path;
  }

  ScriptedPrompt prompt_;
  FakeSettingsRunner general_, aprs_, misc_;
  TempFolder folder_;

 private slots:
  void init() {
    prompt_ = ScriptedPrompt();
    general_ = aprs_ = misc_ = FakeSettingsRunner();
  }

  void fileOnlyModeEnablesTheControlsAfterALoad() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    state.device.state().firmwareVersion = -1;
    auto dialog = Open(state);
    const std::vector<const char*> fileControls = {"generalSettingsButton",
                                                   "aprsSettingsButton",
                                                   "miscSettingsButton",
                                                   "saveButton",
                                                   "sendButton",
                                                   "loadDefaultsButton",
                                                   "readButton",
                                                   "storeCheckBox"};
    for (const char* name : fileControls) QVERIFY2(!Enabled(*dialog, name), name);
    for (const char* name : {"loadButton", "okButton", "cancelButton"})
      QVERIFY2(Enabled(*dialog, name), name);
    QVERIFY(!Enabled(*dialog, "cancelTransferButton"));
    QCOMPARE(Child<QLabel>(*dialog, "infoLine")->text(),
             QStringLiteral("Press 'Load' to open a DAV-OZI config file."));
    QCOMPARE(Status(*dialog), QStringLiteral("No config file loaded"));
    QCOMPARE(Child<QLabel>(*dialog, "comparisonLine")->text(),
             QStringLiteral("No DAV-OZI to compare with: file-only mode."));
    QVERIFY(!Enabled(*dialog, "showChangesButton"));
    QVERIFY(!Enabled(*dialog, "sendAllCheckBox"));

    const std::string path = LoadThroughDialog(*dialog, "a.vxg");
    // Without a port, a read or send could only fail.
    for (const char* name : fileControls) {
      const bool enabled = std::string(name) != "storeCheckBox" &&
                           std::string(name) != "sendButton" && std::string(name) != "readButton";
      QVERIFY2(Enabled(*dialog, name) == enabled, name);
    }
    QCOMPARE(Child<QLabel>(*dialog, "infoLine")->text(), QStringLiteral("Config file loaded."));
    QCOMPARE(Status(*dialog), QString::fromStdString(path));
    QCOMPARE(state.document.working().m_TxDelay.value, 40);
    QVERIFY(prompt_.AllAnswersUsed());
  }

  void missingSettingsDialogKeepsItsButtonDisabled() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    ui::CConfigurationMainDlg dialog(state, prompt_,
                                     ui::SettingsDialogRunners{&general_, nullptr, &misc_});
    dialog.show();
    const std::string path = folder_.Path("b.vxg");
    QVERIFY(SaveConfigFile(path, CConfigData{}, nullptr));
    prompt_.ChooseFile(path);
    Click(dialog, "loadButton");
    QVERIFY(Enabled(dialog, "generalSettingsButton"));
    QVERIFY(!Enabled(dialog, "aprsSettingsButton"));
    QVERIFY(Enabled(dialog, "miscSettingsButton"));
  }

  void settingsChangeClearsTheStatusLineAndIsOfferedForSaving() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    auto dialog = Open(state);
    const std::string path = LoadThroughDialog(*dialog, "c.vxg");

    // Cancelled: nothing changes, the status line keeps the file.
    general_.accept = false;
    Click(*dialog, "generalSettingsButton");
    QCOMPARE(general_.calls, 1);
    QCOMPARE(Status(*dialog), QString::fromStdString(path));

    // OK without a change: still the file.
    general_.accept = true;
    Click(*dialog, "generalSettingsButton");
    QCOMPARE(Status(*dialog), QString::fromStdString(path));

    misc_.change = [](CConfigData& working) { CConfigData::SetNumber(working.m_TxDelay, 50); };
    Click(*dialog, "miscSettingsButton");
    QCOMPARE(Status(*dialog), QString());

    // Loading again offers the changes for the loaded file first.
    prompt_.Clear();
    prompt_.AnswerNo();
    prompt_.ChooseFile(std::nullopt);
    Click(*dialog, "loadButton");
    QCOMPARE(prompt_.shown().size(), size_t{2});
    QCOMPARE(prompt_.shown()[0].text,
             "User Config File was changed.\nSave changes to " + path + " ?");
  }

  void conversionKeepsTheOriginalAndEnablesTheControlsAsALoad() {
    ui::ApplicationState state(nullptr);
    state.dataFolder = UserDataFolder(folder_.Path("data"));
    state.device.state().fileOnly = true;
    auto dialog = Open(state);
    const std::string oldPath = folder_.Path("old-station.vxn");
    {
      std::ofstream out(oldPath, std::ios::binary);
      QVERIFY(WriteConfigFile(Edited(40), out, 65549));
    }
    prompt_.ChooseFile(oldPath);
    prompt_.AnswerYes();
    prompt_.ChooseFile(folder_.Path("old-station.vxg"));
    Click(*dialog, "loadButton");
    QCOMPARE(prompt_.shown()[2].request.proposedName, folder_.Path("old-station.vxg"));
    QVERIFY(!std::filesystem::exists(oldPath));
    const std::filesystem::path backups = state.dataFolder.BackupFolder();
    QVERIFY(std::filesystem::exists(backups / "old-station.vxn"));
    QCOMPARE(Status(*dialog),
             QString::fromStdString("old-station.vxn was converted to old-station.vxg; the "
                                    "original is kept in " +
                                    backups.string()));
    QCOMPARE(state.document.working().m_TxDelay.value, 40);
    for (const char* name : {"generalSettingsButton", "saveButton", "loadDefaultsButton"})
      QVERIFY2(Enabled(*dialog, name), name);
    for (const char* name : {"readButton", "sendButton", "storeCheckBox"})
      QVERIFY2(!Enabled(*dialog, name), name);
    QCOMPARE(Child<QLabel>(*dialog, "infoLine")->text(), QStringLiteral("Config file loaded."));
  }

  void defaultsThenAbbrechenLeavesWithoutAsking() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    auto dialog = Open(state);
    const std::string path = LoadThroughDialog(*dialog, "e.vxg");
    Click(*dialog, "loadDefaultsButton");
    QCOMPARE(Status(*dialog), QStringLiteral("Default configuration loaded..."));
    QCOMPARE(state.document.working().m_ConnectText.text, std::string("HELLO"));
    prompt_.ChooseFile(path);
    Click(*dialog, "loadButton");
    QVERIFY(state.document.fileLoaded());
    prompt_.Clear();
    Click(*dialog, "cancelButton");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(prompt_.shown().empty());
    QVERIFY(!state.document.fileLoaded());
  }

  void leavingWithChangesAsksFirst() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    auto dialog = Open(state);
    const std::string path = LoadThroughDialog(*dialog, "g.vxg");
    misc_.change = [](CConfigData& working) { CConfigData::SetNumber(working.m_TxDelay, 60); };
    Click(*dialog, "miscSettingsButton");

    // Abbrechen, Escape and the window's close button each ask; Cancel stays.
    const std::vector<std::function<void()>> ways = {
        [&] { Click(*dialog, "cancelButton"); },
        [&] { QTest::keyClick(dialog.get(), Qt::Key_Escape); },
        [&] { dialog->close(); },
    };
    for (const auto& leave : ways) {
      prompt_.Clear();
      prompt_.AnswerChoice("Cancel");
      leave();
      QVERIFY(dialog->isVisible());
      QCOMPARE(prompt_.shown().size(), size_t{1});
      QCOMPARE(prompt_.shown()[0].kind, Kind::Choice);
      QCOMPARE(prompt_.shown()[0].choice.choices,
               (std::vector<std::string>{"Save", "Discard", "Cancel"}));
    }
    QCOMPARE(state.document.working().m_TxDelay.value, 60);

    prompt_.AnswerChoice("Discard");
    Click(*dialog, "cancelButton");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(state.document.working().m_TxDelay.value, 40);
    QVERIFY(prompt_.AllAnswersUsed());
  }

  void readAtStartFillsTheWorkingRecord() {
    CConfigData memory = Edited(42);
    CConfigData::SetNumber(memory.m_AprsInterval, 1200);
    sim::SimulatorOptions options;
    options.statePath = DeviceMemory(memory);
    SimulatedDavozi device(options);
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    auto dialog = Open(state);
    QCOMPARE(Child<QLabel>(*dialog, "infoLine")->text(),
             QStringLiteral("Firmware installed in DAV-OZI:  V.1.4b"));

    // The read starts by itself and locks the dialog meanwhile.
    QTRY_VERIFY(dialog->transferRunning());
    for (const char* name : kLockedControls) QVERIFY2(!Enabled(*dialog, name), name);
    QVERIFY(Enabled(*dialog, "cancelTransferButton"));
    QTRY_COMPARE(Status(*dialog), QStringLiteral("Reading Configuration from DAV-OZI..."));
    QTRY_VERIFY(Child<QProgressBar>(*dialog, "progressBar")->value() > 0);

    QTRY_VERIFY_WITH_TIMEOUT(!dialog->transferRunning(), kTransferTimeoutMs);
    QVERIFY2(prompt_.shown().empty(),
             prompt_.shown().empty() ? "" : prompt_.shown()[0].text.c_str());
    QCOMPARE(Status(*dialog), QStringLiteral("Configuration loaded from DAV-OZI."));
    QCOMPARE(state.document.working().m_TxDelay.value, 42);
    QCOMPARE(state.document.working().m_AprsInterval.value, 1200);
    QVERIFY(!state.document.IsChanged());
    QCOMPARE(Child<QProgressBar>(*dialog, "progressBar")->value(), 0);
    for (const char* name : kLockedControls) QVERIFY2(Enabled(*dialog, name), name);
    QVERIFY(!Enabled(*dialog, "cancelTransferButton"));
    // The focus that Cancel Transfer had goes on to OK.
    QCOMPARE(dialog->focusWidget(), Child<QPushButton>(*dialog, "okButton"));
    QVERIFY(Child<QCheckBox>(*dialog, "storeCheckBox")->isChecked());
  }

  void cancelTransferStopsARead() {
    SimulatedDavozi device;
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    CConfigData::SetNumber(state.document.working().m_TxDelay, 33);
    prompt_.AnswerYes();  // read over the change
    auto dialog = Open(state);
    QTRY_VERIFY(Child<QProgressBar>(*dialog, "progressBar")->value() >= 5);
    // Escape does not leave while the transfer runs.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    Click(*dialog, "cancelTransferButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->transferRunning(), kTransferTimeoutMs);
    QCOMPARE(prompt_.shown().size(), size_t{2});
    QCOMPARE(prompt_.shown()[1].caption, std::string("Read User Config"));
    QCOMPARE(prompt_.shown()[1].text,
             std::string("Configuration Transfer Aborted!\nConfiguration NOT read completely!"));
    QCOMPARE(prompt_.shown()[1].icon, MessageIcon::Warning);
    QCOMPARE(state.document.working().m_TxDelay.value, 33);
    // The edit made before the read is still one.
    QVERIFY(state.document.IsChanged());
    QCOMPARE(Status(*dialog),
             QStringLiteral("The configuration shown was not read from the DAV-OZI."));
    QVERIFY(Enabled(*dialog, "readButton"));
  }

  void closingTheWindowDuringAReadAsksNothing() {
    SimulatedDavozi device;
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    CConfigData::SetNumber(state.document.working().m_TxDelay, 33);
    prompt_.AnswerYes();  // read over the change
    auto dialog = Open(state);
    QTRY_VERIFY(Child<QProgressBar>(*dialog, "progressBar")->value() >= 5);
    dialog->close();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), kTransferTimeoutMs);
    // Closing the window means: stop and go, without the leave question.
    QCOMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.unscripted(), 0);
    QCOMPARE(state.document.working().m_TxDelay.value, 33);
  }

  void readAtStartAsksBeforeReadingOverChanges() {
    sim::SimulatorOptions options;
    options.statePath = DeviceMemory(Edited(42));
    SimulatedDavozi device(options);
    for (bool yes : {false, true}) {
      ui::ApplicationState state(nullptr);
      WithDevice(state, device.path());
      CConfigData::SetNumber(state.document.working().m_TxDelay, 33);
      prompt_ = ScriptedPrompt();
      yes ? prompt_.AnswerYes() : prompt_.AnswerNo();
      auto dialog = Open(state);
      QTRY_COMPARE(prompt_.shown().size(), size_t{1});
      QCOMPARE(prompt_.shown()[0].text,
               std::string("Read the configuration from the DAV-OZI? Your changes that were not "
                           "sent will be lost."));
      const QString status =
          yes ? QStringLiteral("Configuration loaded from DAV-OZI.")
              : QStringLiteral("The configuration shown was not read from the DAV-OZI.");
      QTRY_VERIFY_WITH_TIMEOUT(Status(*dialog) == status && !dialog->transferRunning(),
                               kTransferTimeoutMs);
      QCOMPARE(state.document.working().m_TxDelay.value, yes ? 42 : 33);
      QCOMPARE(state.document.IsChanged(), !yes);
    }
  }

  void cancelledReadThenSendAsksBeforeWritingUnreadValues() {
    CConfigData memory = Edited(42);
    sim::SimulatorOptions options;
    options.statePath = DeviceMemory(memory);
    SimulatedDavozi device(options);
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    auto dialog = Open(state);
    QTRY_VERIFY(Child<QProgressBar>(*dialog, "progressBar")->value() >= 5);
    Click(*dialog, "cancelTransferButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->transferRunning(), kTransferTimeoutMs);
    QCOMPARE(Status(*dialog),
             QStringLiteral("The configuration shown was not read from the DAV-OZI."));
    general_.change = [](CConfigData& working) { CConfigData::SetNumber(working.m_TxDelay, 33); };
    Click(*dialog, "generalSettingsButton");

    prompt_.Clear();
    prompt_.AnswerNo();
    Click(*dialog, "sendButton");
    QCOMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].text,
             std::string("The values to be sent were not read from this DAV-OZI: they replace its "
                         "whole configuration. Send them?"));
    QVERIFY(prompt_.shown()[0].defaultNo);
    QVERIFY(!dialog->transferRunning());
    QVERIFY(dialog->isVisible());
    QVERIFY(device.device().Nonvolatile().IsEqual(memory, false));
    QCOMPARE(state.document.working().m_TxDelay.value, 33);
  }

  void outOfRangeReplyIsListedAndChangesNothing() {
    sim::SimulatorOptions options;
    options.replies["%AT"] = "APRS Beacon/Timer = 5";
    SimulatedDavozi device(options);
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    CConfigData::SetNumber(state.document.working().m_TxDelay, 33);
    prompt_.AnswerYes();  // read over the change
    auto dialog = Open(state);
    QTRY_VERIFY_WITH_TIMEOUT(prompt_.shown().size() == 2, kTransferTimeoutMs);
    QTRY_VERIFY(!dialog->transferRunning());
    QCOMPARE(prompt_.shown()[1].text,
             std::string("The following parameters were out of Range and have been set to "
                         "default:\n %AT"));
    QCOMPARE(prompt_.shown()[1].icon, MessageIcon::Information);
    QCOMPARE(state.document.working().m_TxDelay.value, 33);
    QCOMPARE(Status(*dialog),
             QStringLiteral("The configuration shown was not read from the DAV-OZI."));
  }

  void sendVerifiesAndClosesWithTheDeviceHoldingTheValues() {
    SimulatedDavozi device;
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    auto dialog = Open(state);
    QTRY_VERIFY_WITH_TIMEOUT(
        Status(*dialog) == QStringLiteral("Configuration loaded from DAV-OZI."),
        kTransferTimeoutMs);
    QTRY_VERIFY(!dialog->transferRunning());  // the status shows before the end
    // The clock flag is not a device setting: a read-back without it is no
    // error.
    general_.change = [](CConfigData& working) {
      CConfigData::SetNumber(working.m_TxDelay, 61);
      CConfigData::SetNumber(working.m_SyncClock, working.m_SyncClock.value == 0 ? 1 : 0);
    };
    Click(*dialog, "generalSettingsButton");
    Child<QCheckBox>(*dialog, "sendAllCheckBox")->setChecked(true);
    const size_t before = device.device().Received().size();
    Click(*dialog, "sendButton");
    QVERIFY(dialog->transferRunning());
    // The device's configuration is kept first.
    QTRY_COMPARE(Status(*dialog), QStringLiteral("Reading Configuration from DAV-OZI..."));
    QTRY_VERIFY_WITH_TIMEOUT(Status(*dialog) == QStringLiteral("Transferring config to DAV-OZI..."),
                             kTransferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(Status(*dialog) == QStringLiteral("Checking config in DAV-OZI..."),
                             kTransferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), kTransferTimeoutMs);
    QVERIFY2(prompt_.shown().empty(),
             prompt_.shown().empty() ? "" : prompt_.shown()[0].text.c_str());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(device.device().Store().m_TxDelay.value, 61);
    QCOMPARE(device.device().Nonvolatile().m_TxDelay.value, 61);
    // The whole script: unchanged parameters go out too.
    QVERIFY(device.device().Received().find("%AT ", before) != std::string::npos);
    QVERIFY(!Child<QCheckBox>(*dialog, "storeCheckBox")->isChecked());
    QVERIFY(state.document.baseline().IsEqual(state.document.working(), true));
    QCOMPARE(dialog->sentStatus(),
             QString::fromStdString("Configuration sent to DAV-OZI on " + device.path() +
                                    " and verified; stored in nonvolatile memory."));
  }

  void failedSendKeepsTheDialogOpenWithTheEdits() {
    ui::ApplicationState state(nullptr);
    state.dataFolder = UserDataFolder(folder_.Path("data"));
    WithDevice(state, folder_.Path("no-such-port"));
    auto dialog = Open(state);
    QTRY_VERIFY(prompt_.shown().size() == 1);  // the read at start fails
    QTRY_VERIFY(!dialog->transferRunning());
    const std::string path = LoadThroughDialog(*dialog, "f.vxg");
    CConfigData::SetNumber(state.document.working().m_TxDelay, 70);

    // No backup can be kept: nothing is sent unless the user says so.
    const std::string noBackup =
        "No backup of the DAV-OZI's configuration could be kept:\nError Opening serial "
        "connection\nor ambrel occupied by other program!\n\nSend the configuration without a "
        "backup? It replaces the DAV-OZI's whole configuration.";
    prompt_.Clear();
    prompt_.AnswerNo();
    Click(*dialog, "sendButton");
    QTRY_VERIFY(!dialog->transferRunning());
    QCOMPARE(prompt_.Texts(), std::vector<std::string>{noBackup});
    QVERIFY(prompt_.shown()[0].defaultNo);
    QVERIFY(dialog->isVisible());

    // Abbrechen offers to send; the send fails and the dialog stays.
    prompt_.Clear();
    prompt_.AnswerChoice("Send");
    prompt_.AnswerYes();
    Click(*dialog, "cancelButton");
    QTRY_VERIFY(prompt_.shown().size() == 3);
    QTRY_VERIFY(!dialog->transferRunning());
    QCOMPARE(prompt_.shown()[1].text, noBackup);
    QCOMPARE(prompt_.shown()[2].caption, std::string("Send User Config"));
    QCOMPARE(prompt_.shown()[2].text,
             std::string("Error Opening serial connection\nor ambrel occupied by other "
                         "program!\n\nYour configuration is kept in the dialog: send it again, "
                         "or save it to a file."));
    QVERIFY(dialog->isVisible());
    QCOMPARE(state.document.working().m_TxDelay.value, 70);
    QVERIFY(state.document.IsChanged());
    QVERIFY(state.document.fileLoaded());
    QVERIFY(dialog->sentStatus().isEmpty());
    QVERIFY(prompt_.AllAnswersUsed());
  }

  void readsAreKeptAsBackupsAndACancelledSendSaysHowToGetBack() {
    CConfigData memory = Edited(42);
    sim::SimulatorOptions options;
    options.statePath = DeviceMemory(memory);
    SimulatedDavozi device(options);
    ui::ApplicationState state(nullptr);
    state.dataFolder = UserDataFolder(folder_.Path("data"));
    WithDevice(state, device.path());
    auto dialog = Open(state);
    QTRY_VERIFY_WITH_TIMEOUT(
        Status(*dialog) == QStringLiteral("Configuration loaded from DAV-OZI."),
        kTransferTimeoutMs);
    QTRY_VERIFY(!dialog->transferRunning());  // the status shows before the end
    const std::vector<BackupEntry> backups =
        BackupStore(state.dataFolder.BackupFolder(), state.device.clock()).List();
    QCOMPARE(backups.size(), size_t{1});
    CConfigData kept;
    QVERIFY(LoadConfigFile(backups[0].path, kept, nullptr, nullptr));
    QVERIFY(kept.IsEqual(memory, false));

    CConfigData::SetNumber(state.document.working().m_TxDelay, 77);
    Child<QCheckBox>(*dialog, "sendAllCheckBox")->setChecked(true);
    Click(*dialog, "sendButton");
    QTRY_VERIFY_WITH_TIMEOUT(Status(*dialog) == QStringLiteral("Transferring config to DAV-OZI..."),
                             kTransferTimeoutMs);
    // The send kept a backup of its own first.
    QCOMPARE(BackupStore(state.dataFolder.BackupFolder(), state.device.clock()).List().size(),
             size_t{2});
    QTRY_VERIFY_WITH_TIMEOUT(Child<QProgressBar>(*dialog, "progressBar")->value() >= 10,
                             kTransferTimeoutMs);
    Click(*dialog, "cancelTransferButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->transferRunning(), kTransferTimeoutMs);
    QVERIFY(dialog->isVisible());
    QCOMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].caption, std::string("Send User Config"));
    QCOMPARE(prompt_.shown()[0].text,
             std::string("Configuration Transfer Aborted!\n\nThe DAV-OZI now runs with part of the "
                         "new configuration, but its stored configuration is unchanged: switch "
                         "the DAV-OZI off and on to get it back.\n\nYour configuration is kept in "
                         "the dialog: send it again, or save it to a file."));
    QCOMPARE(prompt_.shown()[0].icon, MessageIcon::Warning);
    QVERIFY(device.device().Nonvolatile().IsEqual(memory, false));
    QVERIFY(!Child<QCheckBox>(*dialog, "storeCheckBox")->isChecked());
    QCOMPARE(state.document.working().m_TxDelay.value, 77);
    QVERIFY(state.document.IsChanged());
  }

  void backupsLoadTheChosenOneAsALoadDoes() {
    ui::ApplicationState state(nullptr);
    state.dataFolder = UserDataFolder(folder_.Path("restore"));
    state.device.state().fileOnly = true;
    const std::filesystem::path backups = state.dataFolder.BackupFolder();
    std::filesystem::create_directories(backups);
    std::tm at{};
    at.tm_year = 126, at.tm_mday = 9;
    const std::filesystem::path kept = backups / BackupFileName(at, 0, "V.1.4b");
    QVERIFY(SaveConfigFile(kept, Edited(44), nullptr));
    testing::WriteFile((backups / BackupFileName(at, 1, "V.1.4b")).string(), "broken");
    auto dialog = Open(state);

    bool seen = false;
    bool brokenLoads = true;
    testing::WhenShown<ui::CBackupsDlg>(
        [&](ui::CBackupsDlg& backupsDialog) {
          auto* list = backupsDialog.findChild<QTreeWidget*>(QStringLiteral("backupList"));
          auto* load = backupsDialog.findChild<QPushButton*>(QStringLiteral("loadBackupButton"));
          brokenLoads = load->isEnabled();  // the newest is chosen first
          list->setCurrentItem(list->topLevelItem(1));
          QTest::mouseClick(load, Qt::LeftButton);
        },
        &seen);
    Click(*dialog, "backupsButton");
    QVERIFY(seen);
    QVERIFY(!brokenLoads);
    QCOMPARE(state.document.working().m_TxDelay.value, 44);
    QCOMPARE(Status(*dialog), QString::fromStdString(kept.string()));
    QVERIFY(Enabled(*dialog, "saveButton"));
    QVERIFY(prompt_.shown().empty());
  }

  // The whole script ("Send all parameters"):
  // sendVerifiesAndClosesWithTheDeviceHoldingTheValues.
  void sendShowsAndWritesOnlyWhatDiffersFromTheDevice() {
    SimulatedDavozi device;
    struct Case {
      const char* folder;
      bool reconnect;  // the device was checked again after the read
      int txDelay;     // what is sent: each row changes the device again
    };
    for (const Case& c : {Case{"fresh", false, 61}, Case{"reconnected", true, 62}}) {
      ui::ApplicationState state(nullptr);
      state.dataFolder = UserDataFolder(folder_.Path(c.folder));
      WithDevice(state, device.path());
      auto dialog = Open(state);
      auto* line = Child<QLabel>(*dialog, "comparisonLine");
      QCOMPARE(line->text(), QStringLiteral("Cannot compare with the DAV-OZI: its configuration "
                                            "was not read yet."));
      QTRY_VERIFY_WITH_TIMEOUT(
          Status(*dialog) == QStringLiteral("Configuration loaded from DAV-OZI."),
          kTransferTimeoutMs);
      QTRY_VERIFY(!dialog->transferRunning());
      QCOMPARE(line->text(),
               QStringLiteral("No changes against the DAV-OZI: it holds these values."));
      if (c.reconnect) state.document.DeviceMayHaveChanged();
      const int txDelay = c.txDelay;
      const int onDevice = state.document.working().m_TxDelay.value;
      general_.change = [txDelay](CConfigData& working) {
        CConfigData::SetNumber(working.m_TxDelay, txDelay);
      };
      Click(*dialog, "generalSettingsButton");
      // The changes show without a question, before anything is written.
      QVERIFY(line->text().startsWith(QStringLiteral("1 change against the DAV-OZI")));
      Click(*dialog, "showChangesButton");
      const QTreeWidgetItem* row = Child<QTreeWidget>(*dialog, "changeList")->topLevelItem(0);
      QCOMPARE(QStringList({row->text(0), row->text(1), row->text(2)}),
               QStringList({"TX-Delay (T)", QStringLiteral("%1 x 10 ms").arg(onDevice),
                            QStringLiteral("%1 x 10 ms").arg(txDelay)}));
      const size_t before = device.device().Received().size();
      Click(*dialog, "sendButton");
      QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), kTransferTimeoutMs);
      QVERIFY2(prompt_.shown().empty(),
               prompt_.shown().empty() ? "" : prompt_.shown()[0].text.c_str());
      QCOMPARE(device.device().Nonvolatile().m_TxDelay.value, txDelay);
      QVERIFY2(device.device().Received().find("%AT ", before) == std::string::npos, c.folder);
      // A fresh read needs no second one; after a new check the device is
      // read (and kept) first.
      QCOMPARE(BackupStore(state.dataFolder.BackupFolder(), state.device.clock()).List().size(),
               size_t{c.reconnect ? 2u : 1u});
      QVERIFY(state.document.baseline().IsEqual(state.document.working(), true));
    }
  }

  void okWithoutChangesClosesWithoutAQuestion() {
    ui::ApplicationState state(nullptr);
    WithDevice(state, folder_.Path("no-such-port"));
    auto dialog = Open(state);
    QTRY_VERIFY(prompt_.shown().size() == 1);
    QTRY_VERIFY(!dialog->transferRunning());
    prompt_.Clear();
    Click(*dialog, "okButton");
    QVERIFY(!dialog->isVisible());
    QVERIFY(prompt_.shown().empty());
  }
};

QTEST_MAIN(ConfigurationMainTest)
#include "configuration_main_dlg_test.moc"
