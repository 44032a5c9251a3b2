// The update dialog against the simulated DAV-OZI in BIOS mode: the file
// choice, the state table across runs, cancel and the time-stamp question.
#include "ui/update_dlg.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "config/config_file.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "transfer/guided_update.h"
#include "ui/application_state.h"
#include "ui/elided_label.h"
#include "update/firmware_update.h"
#include "update/packed_time.h"
#include "update/update_file.h"

using namespace vextune;
using vextune::testing::ScriptedPrompt;
using vextune::testing::SimulatedDavozi;
using vextune::testing::TempFolder;

namespace {

constexpr int kRunTimeoutMs = 30000;
constexpr PackedTime kNewerThanDevice = PackTime(2024, 5, 17, 12, 30, 0);
constexpr PackedTime kOlderThanDevice = PackTime(2019, 3, 1, 8, 0, 0);
/// The simulated flash (AT29C040A) takes blocks of 256 bytes.
constexpr size_t kSector = 256;

/// An update image of `size` bytes with the time stamp `stamp` at offset 12.
std::string Image(size_t size, PackedTime stamp) {
  std::string image(size, '\0');
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<char>((i * 13 + 5) & 0xFF);
  for (size_t i = 0; i < 4; ++i) image[12 + i] = static_cast<char>(stamp >> (8 * i));
  return image;
}

sim::SimulatorOptions InBiosMode() {
  sim::SimulatorOptions options;
  options.bios = true;
  return options;
}

}  // namespace

class UpdateDialogTest : public QObject {
  Q_OBJECT

 private:
  template <typename T = QWidget>
  static T* Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }
  /// Browse, Send Update, Cancel Update, OK, Abbrechen: which are enabled.
  static QString States(QWidget& dialog) {
    QString enabled;
    for (const char* name :
         {"browseButton", "sendUpdateButton", "cancelUpdateButton", "okButton", "cancelButton"})
      enabled += Child(dialog, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return enabled;
  }
  static void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Child<QPushButton>(dialog, name), Qt::LeftButton);
  }
  /// Chooses `path` with Browse; the prompt then holds what Browse showed.
  void Browse(QWidget& dialog, const std::string& path) {
    prompt_.Clear();
    prompt_.ChooseFile(path);
    Click(dialog, "browseButton");
  }
  static QString Findings(QWidget& dialog) {
    return Child<QTextEdit>(dialog, "findingsText")->toPlainText();
  }
  /// The hint until a file is chosen, then the findings area in its place.
  static bool HintShown(QWidget& dialog) {
    const bool hint = Child(dialog, "hintText")->isVisible();
    if (hint == Child(dialog, "findingsText")->isVisible())
      qFatal("hint and findings both %d", hint);
    return hint;
  }
  /// The update alone, on a device already in BIOS mode.
  static void Unguided(QWidget& dialog) {
    Child<QCheckBox>(dialog, "guidedCheck")->setChecked(false);
  }
  /// Shows `dialog` for the update alone with a file `name` holding `bytes`
  /// chosen; the prompt is empty afterwards.
  void ChooseForUpdate(ui::CUpdateDlg& dialog, const char* name, const std::string& bytes) {
    dialog.show();
    Unguided(dialog);
    const std::string path = folder_.Path(name);
    testing::WriteFile(path, bytes);
    Browse(dialog, path);
    prompt_.Clear();
  }
  /// Starts a run and waits for its end.
  void Run(ui::CUpdateDlg& dialog) {
    Click(dialog, "sendUpdateButton");
    QCOMPARE(States(dialog), QStringLiteral("00100"));
    QTRY_VERIFY_WITH_TIMEOUT(dialog.lastOutcome().has_value(), kRunTimeoutMs);
  }

  ScriptedPrompt prompt_;
  TempFolder folder_;

 private slots:
  void init() { prompt_ = ScriptedPrompt(); }

  void browseOpensTheFileOrSaysWhyNot() {
    ui::ApplicationState state(nullptr);
    ui::CUpdateDlg dialog(state, prompt_);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Olvane Vextune - Update"));
    QCOMPARE(States(dialog), QStringLiteral("10011"));
    QVERIFY(HintShown(dialog));

    prompt_.ChooseFile(std::nullopt);
    Click(dialog, "browseButton");
    QCOMPARE(States(dialog), QStringLiteral("10011"));
    QVERIFY(HintShown(dialog));
    QCOMPARE(prompt_.shown()[0].request.title, std::string("Choose an update file"));
    QCOMPARE(prompt_.shown()[0].request.filters,
             std::vector<std::string>{"ambrel update files (*.amb)"});
    QCOMPARE(prompt_.shown()[0].request.defaultExtension, std::string(".amb"));

    // The check the run makes before the port opens shows at once; what it
    // refuses cannot be sent.
    struct Case {
      const char* name;
      std::string bytes;
      const char* states;
      std::string findings;
    };
    const Case cases[] = {
        {"an image", Image(600, kNewerThanDevice), "11011",
         "Image: 600 bytes\nUpdate file: 2024-05-17 12:30:00"},
        {"no time stamp", Image(600, kNewerThanDevice).substr(0, 15), "10011", kUpdateFileTooShort},
    };
    const std::string chosen = folder_.Path("chosen.amb");
    for (const Case& c : cases) {
      testing::WriteFile(chosen, c.bytes);
      Browse(dialog, chosen);
      QCOMPARE(States(dialog), QString::fromLatin1(c.states));
      QCOMPARE(Findings(dialog), QString::fromStdString(c.findings));
      QVERIFY2(!HintShown(dialog), c.name);
      QVERIFY2(prompt_.Texts() == std::vector<std::string>{std::string()}, c.name);  // the dialog
      QCOMPARE(Child<QLineEdit>(dialog, "pathEdit")->text(), QString::fromStdString(chosen));
    }
    auto* findings = Child<QTextEdit>(dialog, "findingsText");
    QVERIFY(findings->isReadOnly());
    QCOMPARE(findings->accessibleName(), QStringLiteral("Update findings"));

    // A later file that cannot be opened leaves nothing to send.
    const std::string missing = folder_.Path("missing.amb");
    Browse(dialog, missing);
    QCOMPARE(prompt_.Texts().back(), std::string("ERROR opening file!"));
    QCOMPARE(Findings(dialog), QStringLiteral("ERROR opening file!\nNo such file or directory"));
    QCOMPARE(Child<QLineEdit>(dialog, "pathEdit")->text(), QString::fromStdString(missing));
    QCOMPARE(States(dialog), QStringLiteral("10011"));
  }

  void completeRunsFollowTheStateTable() {
    SimulatedDavozi device(InBiosMode());
    ui::ApplicationState state(nullptr);
    state.device.SelectPort(device.path());
    ui::CUpdateDlg dialog(state, prompt_);
    const std::string image = Image(10 * kSector + 40, kNewerThanDevice);
    ChooseForUpdate(dialog, "complete.amb", image);

    Click(dialog, "sendUpdateButton");
    QCOMPARE(States(dialog), QStringLiteral("00100"));
    // Only Cancel Update responds: Escape does not close the dialog.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QTRY_VERIFY(Child<QProgressBar>(dialog, "progressBar")->value() > 0);
    QTRY_VERIFY_WITH_TIMEOUT(dialog.lastOutcome().has_value(), kRunTimeoutMs);

    // Nothing left to cancel; the focus rests on OK, not on Send Update.
    QCOMPARE(States(dialog), QStringLiteral("11011"));
    QCOMPARE(QApplication::focusWidget(), Child(dialog, "okButton"));
    QCOMPARE(Child<QProgressBar>(dialog, "progressBar")->value(), 0);
    // What the run found shows in the dialog; the only message is the end.
    QCOMPARE(prompt_.Texts(), std::vector<std::string>{std::string(update_message::kComplete)});
    const std::string findings = Findings(dialog).toStdString();
    QVERIFY2(findings.starts_with("Flash chip: Atmel AT29C040A (maker 1F, device A4)\nChip "
                                  "size: 512 KiB, sector size: 256 bytes\nImage: 2600 bytes in "
                                  "11 blocks\n"),
             findings.c_str());
    QVERIFY2(findings.ends_with("\nUpdate file: 2024-05-17 12:30:00"), findings.c_str());
    QVERIFY(!HintShown(dialog));
    QCOMPARE(prompt_.shown()[0].caption, std::string(update_message::kCaption));
    QCOMPARE(device.device().CompletedUpdates(), 1);
    const std::vector<uint8_t> flash = device.device().FlashImage();
    QCOMPARE(std::string(flash.begin(), flash.begin() + image.size()), image);

    // The same file goes again from its start.
    prompt_.Clear();
    prompt_.AnswerYes();  // the device now holds this very time stamp
    Run(dialog);
    QCOMPARE(device.device().CompletedUpdates(), 2);
    QCOMPARE(States(dialog), QStringLiteral("11011"));
    // An image no newer than the installed one: Enter alone answers No.
    QCOMPARE(prompt_.shown()[0].kind, ScriptedPrompt::Kind::Question);
    QVERIFY(prompt_.shown()[0].defaultNo);
  }

  void cancelUpdateEndsTheRun() {
    SimulatedDavozi device(InBiosMode());
    ui::ApplicationState state(nullptr);
    state.device.SelectPort(device.path());
    ui::CUpdateDlg dialog(state, prompt_);
    ChooseForUpdate(dialog, "cancel.amb", Image(200 * kSector, kNewerThanDevice));

    Click(dialog, "sendUpdateButton");
    QTRY_VERIFY(Child<QProgressBar>(dialog, "progressBar")->value() > 0);
    Click(dialog, "cancelUpdateButton");
    QTRY_VERIFY_WITH_TIMEOUT(dialog.lastOutcome().has_value(), kRunTimeoutMs);
    QCOMPARE(*dialog.lastOutcome(), UpdateOutcome::Cancelled);
    QCOMPARE(prompt_.Texts(), std::vector<std::string>{std::string(update_message::kAborted)});
    QCOMPARE(States(dialog), QStringLiteral("11011"));
    QCOMPARE(device.device().CompletedUpdates(), 0);

    // The cancel belonged to that run: the next Send Update talks to the
    // device again instead of ending as cancelled at once. (The device itself
    // is mid-block after the cut and no longer answers until restarted.)
    prompt_.Clear();
    Click(dialog, "sendUpdateButton");
    QTRY_VERIFY_WITH_TIMEOUT(dialog.lastOutcome().has_value(), kRunTimeoutMs);
    QVERIFY(*dialog.lastOutcome() != UpdateOutcome::Cancelled);
    QVERIFY(!prompt_.Texts().empty());
    QVERIFY(prompt_.Texts().back() != update_message::kAborted);
  }

  void declinedTimeStampQuestionSendsTheAbortByte() {
    SimulatedDavozi device(InBiosMode());
    ui::ApplicationState state(nullptr);
    state.device.SelectPort(device.path());
    ui::CUpdateDlg dialog(state, prompt_);
    ChooseForUpdate(dialog, "old.amb", Image(4 * kSector, kOlderThanDevice));
    prompt_.AnswerNo();
    // While the question waits, the dialog already shows what was found.
    QString shownThen;
    prompt_.onShow = [&](const ScriptedPrompt::Shown&) { shownThen = Findings(dialog); };
    Run(dialog);
    QCOMPARE(*dialog.lastOutcome(), UpdateOutcome::Declined);
    QCOMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].kind, ScriptedPrompt::Kind::Question);
    QVERIFY(prompt_.shown()[0].defaultNo);
    QVERIFY2(shownThen.startsWith(QStringLiteral("Flash chip: Atmel AT29C040A")),
             qPrintable(shownThen));
    // The question shows what was found, both dates among it.
    const std::string question = prompt_.shown()[0].text;
    QVERIFY2(question.starts_with("Flash chip: Atmel AT29C040A"), question.c_str());
    QVERIFY2(question.find("\nInstalled firmware: ") != std::string::npos, question.c_str());
    QVERIFY2(question.ends_with("\nUpdate file: 2019-03-01 08:00:00\n\n" +
                                std::string(update_message::kNotNewerQuestion)),
             question.c_str());
    QCOMPARE(States(dialog), QStringLiteral("11011"));
    const std::string received = device.device().Received();
    const size_t command = received.find(bios::kUpdateCommand);
    QVERIFY(command != std::string::npos);
    QCOMPARE(received.substr(command + bios::kUpdateCommand.size()), std::string("\x06\x1b"));
    QCOMPARE(device.device().CompletedUpdates(), 0);
  }

  void aFileThatIsNoImageIsAskedAboutBeforeAnythingIsSent() {
    SimulatedDavozi device(InBiosMode());
    ui::ApplicationState state(nullptr);
    state.device.SelectPort(device.path());
    ui::CUpdateDlg dialog(state, prompt_);
    ChooseForUpdate(dialog, "notes.amb",
                    "# Notes\n\nNot firmware at all, only a few lines of text.\n");
    prompt_.AnswerNo();
    Run(dialog);
    QCOMPARE(*dialog.lastOutcome(), UpdateOutcome::Declined);
    QCOMPARE(prompt_.shown().size(), size_t{1});
    QCOMPARE(prompt_.shown()[0].kind, ScriptedPrompt::Kind::Question);
    QCOMPARE(prompt_.shown()[0].text,
             folder_.Path("notes.amb") +
                 " does not look like a DAV-OZI update image\nIt holds only text, as no "
                 "firmware does.\n\nSend it anyway?");
    QCOMPARE(device.device().Received(), std::string());
    QCOMPARE(States(dialog), QStringLiteral("11011"));
  }

  // From the normal firmware: the status line says when to switch, Cancel
  // Update ends the wait; the next run the simulated user follows, and the
  // configuration the update reset is sent back.
  void guidedRunFollowsTheSwitchAndCancelEndsItsWait() {
    CConfigData config;
    QVERIFY(CConfigData::SetNumber(config.m_TxDelay, 30));
    const std::string nonvolatile = folder_.Path("nv.vxg");
    std::string error;
    QVERIFY2(SaveConfigFile(nonvolatile, config, &error), error.c_str());
    sim::SimulatorOptions options;
    options.statePath = nonvolatile;
    options.firmwareAfterUpdate = "1.5a";
    options.updateResetsParameters = true;
    SimulatedDavozi device(options);
    ui::ApplicationState state(nullptr);
    state.dataFolder = UserDataFolder(folder_.Path("data"));
    state.device.SelectPort(device.path());
    ui::CUpdateDlg dialog(state, prompt_);
    dialog.show();
    const std::string path = folder_.Path("guided.amb");
    testing::WriteFile(path, Image(4 * kSector, kNewerThanDevice));
    Browse(dialog, path);
    QVERIFY(Child<QCheckBox>(dialog, "guidedCheck")->isChecked());
    auto* status = Child<ui::ElidedLabel>(dialog, "updateStatusLine");

    Click(dialog, "sendUpdateButton");
    QTRY_COMPARE_WITH_TIMEOUT(status->text().toStdString(),
                              std::string(guided_message::kSwitchBiosOn), kRunTimeoutMs);
    Click(dialog, "cancelUpdateButton");
    QTRY_VERIFY_WITH_TIMEOUT(dialog.lastGuided().has_value(), kRunTimeoutMs);
    QCOMPARE(dialog.lastGuided()->outcome, GuidedOutcome::Cancelled);
    QCOMPARE(status->text(), QStringLiteral("Update cancelled."));
    QVERIFY(device.device().Received().find("UPDATE\r") == std::string::npos);
    QCOMPARE(States(dialog), QStringLiteral("11011"));

    prompt_.Clear();
    prompt_.AnswerYes();  // send the backup
    Click(dialog, "sendUpdateButton");
    QTRY_COMPARE_WITH_TIMEOUT(status->text().toStdString(),
                              std::string(guided_message::kSwitchBiosOn), kRunTimeoutMs);
    // A screen reader reads the status line as what it says.
    QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
             status->text());
    // Only Cancel Update responds while the user is at the switch.
    QCOMPARE(States(dialog), QStringLiteral("00100"));
    QTRY_COMPARE(Child<QLabel>(dialog, "firmwareBeforeText")->text(), QStringLiteral("V.1.4b"));
    QVERIFY(device.device().Restart(true));
    QTRY_COMPARE_WITH_TIMEOUT(status->text().toStdString(),
                              std::string(guided_message::kSwitchBiosOff), kRunTimeoutMs);
    QCOMPARE(device.device().CompletedUpdates(), 1);
    QVERIFY(device.device().Restart(false));
    QTRY_VERIFY_WITH_TIMEOUT(dialog.lastGuided().has_value(), kRunTimeoutMs);

    QCOMPARE(dialog.lastGuided()->outcome, GuidedOutcome::Completed);
    QVERIFY(dialog.lastGuided()->backupSent);
    QCOMPARE(Child<QLabel>(dialog, "firmwareAfterText")->text(), QStringLiteral("V.1.5a"));
    QCOMPARE(status->text(), QStringLiteral("Firmware updated from V.1.4b to V.1.5a."));
    QCOMPARE(States(dialog), QStringLiteral("11011"));
    // The one question was the offer, then the closing message.
    QCOMPARE(prompt_.shown().size(), size_t{2});
    QVERIFY2(
        prompt_.shown()[0].text.find("TX-Delay (T): 25 x 10 ms → 30 x 10 ms") != std::string::npos,
        prompt_.shown()[0].text.c_str());
    QVERIFY(device.device().Nonvolatile().IsEqual(config, false));
    // The next operation knows the new firmware.
    QCOMPARE(state.device.state().firmwareText, std::string(" V.1.5a"));
  }

  // The program's own simulated DAV-OZI: its owner follows both instructions
  // by itself, so that a newcomer sees the whole guided update.
  void theSimulatedOwnerFollowsTheSwitchInstructions() {
    SimulatedDavozi device;
    ui::ApplicationState state(nullptr);
    state.dataFolder = UserDataFolder(folder_.Path("data"));
    state.device.SelectPort(device.path());
    std::vector<bool> switched;
    state.switchSimulatedBios = [&](bool on) {
      switched.push_back(on);
      device.device().Restart(on);
    };
    ui::CUpdateDlg dialog(state, prompt_);
    dialog.show();
    const std::string path = folder_.Path("simulated.amb");
    testing::WriteFile(path, Image(4 * kSector, kNewerThanDevice));
    Browse(dialog, path);
    Click(dialog, "sendUpdateButton");
    QTRY_VERIFY_WITH_TIMEOUT(dialog.lastGuided().has_value(), kRunTimeoutMs);
    QCOMPARE(dialog.lastGuided()->outcome, GuidedOutcome::Completed);
    QCOMPARE(switched, (std::vector<bool>{true, false}));
    QCOMPARE(device.device().CompletedUpdates(), 1);
  }
};

QTEST_MAIN(UpdateDialogTest)
#include "update_dlg_test.moc"
