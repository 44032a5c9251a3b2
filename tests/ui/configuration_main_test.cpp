// The configuration main dialog as a user drives it: file-only mode, files,
// settings, and reads and sends against the simulated DAV-OZI.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "config/config_file.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "ui/application_state.h"
#include "ui/configuration_main_dlg.h"

using namespace vextune;
using vextune::testing::FakeSettingsEditor;
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
                                       "storeCheckBox"};

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
        state, prompt_, ui::SettingsEditors{&general_, &aprs_, &misc_});
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

  ScriptedPrompt prompt_;
  FakeSettingsEditor general_, aprs_, misc_;
  TempFolder folder_;

 private slots:
  void init() {
    prompt_ = ScriptedPrompt();
    general_ = aprs_ = misc_ = FakeSettingsEditor();
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

    const std::string path = folder_.Path("a.vxg");
    QVERIFY(SaveConfigFile(path, Edited(40), nullptr));
    prompt_.ChooseFile(path);
    Click(*dialog, "loadButton");
    for (const char* name : fileControls) {
      if (std::string(name) != "storeCheckBox") QVERIFY2(Enabled(*dialog, name), name);
    }
    QVERIFY(!Enabled(*dialog, "storeCheckBox"));
    QCOMPARE(Child<QLabel>(*dialog, "infoLine")->text(), QStringLiteral("Config file loaded."));
    QCOMPARE(Status(*dialog), QString::fromStdString(path));
    QCOMPARE(state.document.working().m_TxDelay.value, 40);
    QVERIFY(prompt_.AllAnswersUsed());
  }

  void missingSettingsDialogKeepsItsButtonDisabled() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    ui::CConfigurationMainDlg dialog(state, prompt_,
                                     ui::SettingsEditors{&general_, nullptr, &misc_});
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
    const std::string path = folder_.Path("c.vxg");
    QVERIFY(SaveConfigFile(path, Edited(40), nullptr));
    prompt_.ChooseFile(path);
    Click(*dialog, "loadButton");

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

  void conversionShowsTheNewFileAndRemovesTheOld() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    auto dialog = Open(state);
    const std::string oldPath = folder_.Path("A.vxr");
    {
      std::ofstream out(oldPath, std::ios::binary);
      QVERIFY(WriteConfigFile(Edited(40), out, 65549));
    }
    prompt_.ChooseFile(oldPath);
    prompt_.AnswerYes();
    prompt_.ChooseFile(folder_.Path("A.vxg"));
    Click(*dialog, "loadButton");
    QCOMPARE(prompt_.shown()[2].request.proposedName, folder_.Path("A.vxg"));
    QVERIFY(!std::filesystem::exists(oldPath));
    QCOMPARE(Status(*dialog), QString::fromStdString(folder_.Path("A.vxg")));
    QCOMPARE(state.document.working().m_TxDelay.value, 40);
    // The controls keep their state after a conversion.
    QVERIFY(!Enabled(*dialog, "generalSettingsButton"));
  }

  void defaultsThenAbbrechenLeavesWithoutAsking() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    auto dialog = Open(state);
    const std::string path = folder_.Path("e.vxg");
    QVERIFY(SaveConfigFile(path, Edited(40), nullptr));
    prompt_.ChooseFile(path);
    Click(*dialog, "loadButton");
    Click(*dialog, "loadDefaultsButton");
    QCOMPARE(Status(*dialog), QStringLiteral("Default configuration loaded..."));
    QCOMPARE(state.document.working().m_ConnectText.text, std::string("HELLO"));
    prompt_.ChooseFile(path);
    Click(*dialog, "loadButton");
    QVERIFY(state.document.fileLoaded());
    CConfigData::SetNumber(state.document.working().m_TxDelay, 60);
    prompt_.Clear();
    Click(*dialog, "cancelButton");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(prompt_.shown().empty());
    QVERIFY(!state.document.fileLoaded());
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
    QVERIFY(Child<QCheckBox>(*dialog, "storeCheckBox")->isChecked());
  }

  void cancelTransferStopsARead() {
    SimulatedDavozi device;
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    CConfigData::SetNumber(state.document.working().m_TxDelay, 33);
    auto dialog = Open(state);
    QTRY_VERIFY(Child<QProgressBar>(*dialog, "progressBar")->value() >= 5);
    // Escape does not leave while the transfer runs.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    Click(*dialog, "cancelTransferButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->transferRunning(), kTransferTimeoutMs);
    QCOMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].caption, std::string("Read User Config"));
    QCOMPARE(prompt_.shown()[0].text,
             std::string("Configuration Transfer Aborted!\nConfiguration NOT read completely!"));
    QCOMPARE(prompt_.shown()[0].icon, MessageIcon::Warning);
    QCOMPARE(state.document.working().m_TxDelay.value, 33);
    QCOMPARE(Status(*dialog), QStringLiteral("No config file loaded"));
    QVERIFY(Enabled(*dialog, "readButton"));
  }

  void outOfRangeReplyIsListedAndChangesNothing() {
    sim::SimulatorOptions options;
    options.replies["%AT"] = "APRS Beacon/Timer = 5";
    SimulatedDavozi device(options);
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    CConfigData::SetNumber(state.document.working().m_TxDelay, 33);
    auto dialog = Open(state);
    QTRY_VERIFY_WITH_TIMEOUT(prompt_.shown().size() == 1, kTransferTimeoutMs);
    QTRY_VERIFY(!dialog->transferRunning());
    QCOMPARE(prompt_.shown()[0].text,
             std::string("The following parameters were out of Range and have been set to "
                         "default:\n %AT"));
    QCOMPARE(prompt_.shown()[0].icon, MessageIcon::Information);
    QCOMPARE(state.document.working().m_TxDelay.value, 33);
    QCOMPARE(Status(*dialog), QStringLiteral("No config file loaded"));
  }

  void sendVerifiesAndClosesWithTheDeviceHoldingTheValues() {
    SimulatedDavozi device;
    ui::ApplicationState state(nullptr);
    WithDevice(state, device.path());
    auto dialog = Open(state);
    QTRY_VERIFY_WITH_TIMEOUT(
        Status(*dialog) == QStringLiteral("Configuration loaded from DAV-OZI."),
        kTransferTimeoutMs);
    // The clock flag is not a device setting: a read-back without it is no
    // error.
    general_.change = [](CConfigData& working) {
      CConfigData::SetNumber(working.m_TxDelay, 61);
      CConfigData::SetNumber(working.m_SyncClock, working.m_SyncClock.value == 0 ? 1 : 0);
    };
    Click(*dialog, "generalSettingsButton");
    Click(*dialog, "sendButton");
    QVERIFY(dialog->transferRunning());
    QTRY_COMPARE(Status(*dialog), QStringLiteral("Transferring config to DAV-OZI..."));
    QTRY_VERIFY_WITH_TIMEOUT(Status(*dialog) == QStringLiteral("Checking config in DAV-OZI..."),
                             kTransferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), kTransferTimeoutMs);
    QVERIFY2(prompt_.shown().empty(),
             prompt_.shown().empty() ? "" : prompt_.shown()[0].text.c_str());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(device.device().Store().m_TxDelay.value, 61);
    QCOMPARE(device.device().Nonvolatile().m_TxDelay.value, 61);
    QVERIFY(!Child<QCheckBox>(*dialog, "storeCheckBox")->isChecked());
    QVERIFY(state.document.baseline().IsEqual(state.document.working(), true));
  }

  void failedSendOffersTheUnsavedFileBeforeClosing() {
    ui::ApplicationState state(nullptr);
    WithDevice(state, folder_.Path("no-such-port"));
    auto dialog = Open(state);
    QTRY_VERIFY(prompt_.shown().size() == 1);  // the read at start fails
    QTRY_VERIFY(!dialog->transferRunning());
    const std::string path = folder_.Path("f.vxg");
    QVERIFY(SaveConfigFile(path, Edited(40), nullptr));
    prompt_.ChooseFile(path);
    Click(*dialog, "loadButton");
    CConfigData::SetNumber(state.document.working().m_TxDelay, 70);

    prompt_.Clear();
    prompt_.AnswerYes();
    Click(*dialog, "sendButton");
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(prompt_.Texts(),
             (std::vector<std::string>{
                 "Error Opening serial connection\nor ambrel occupied by other program!",
                 "User Config File was changed.\nSave changes to " + path + " ?"}));
    QCOMPARE(prompt_.shown()[0].caption, std::string("Send User Config"));
    CConfigData onDisk;
    QVERIFY(LoadConfigFile(path, onDisk, nullptr, nullptr));
    QCOMPARE(onDisk.m_TxDelay.value, 70);
    QVERIFY(!state.document.fileLoaded());
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
    const std::vector<BackupEntry> backups = BackupStore(state.dataFolder.BackupFolder(),
                                                         state.device.clock())
                                                 .List();
    QCOMPARE(backups.size(), size_t{1});
    CConfigData kept;
    QVERIFY(LoadConfigFile(backups[0].path, kept, nullptr, nullptr));
    QVERIFY(kept.IsEqual(memory, false));

    CConfigData::SetNumber(state.document.working().m_TxDelay, 77);
    Click(*dialog, "sendButton");
    QTRY_VERIFY_WITH_TIMEOUT(Child<QProgressBar>(*dialog, "progressBar")->value() >= 10,
                             kTransferTimeoutMs);
    Click(*dialog, "cancelTransferButton");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), kTransferTimeoutMs);
    QCOMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].caption, std::string("Send User Config"));
    QCOMPARE(prompt_.shown()[0].text,
             std::string("Configuration Transfer Aborted!\n\nThe DAV-OZI now runs with part of the "
                         "new configuration, but its stored configuration is unchanged: switch "
                         "the DAV-OZI off and on to get it back."));
    QCOMPARE(prompt_.shown()[0].icon, MessageIcon::Warning);
    QVERIFY(device.device().Nonvolatile().IsEqual(memory, false));
    QVERIFY(!Child<QCheckBox>(*dialog, "storeCheckBox")->isChecked());
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
#include "configuration_main_test.moc"
