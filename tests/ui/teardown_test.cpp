// Closing, cancelling and ending the program in the middle of the read at
// start, a Read, a Send with its verification and an Update, against a
// simulated DAV-OZI that behaves, hangs up or falls silent at a chosen byte.
// Each run happens inside the dialog's exec(), as in the program. Every run
// must end (a hang fails through the test's time-out), with a message when
// the user stays, with the port free for the next program and nothing but
// the abort path's own bytes sent after the close.
#include <signal.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

#include "line_checks.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "ui/application_state.h"
#include "ui/configuration_main_dlg.h"
#include "ui/signal_exit.h"
#include "ui/update_dlg.h"
#include "update/firmware_update.h"
#include "update/packed_time.h"

using namespace vextune;
using vextune::testing::FakeSettingsRunner;
using vextune::testing::PortIsFree;
using vextune::testing::ScriptedPrompt;
using vextune::testing::SimulatedDavozi;
using vextune::testing::TempFolder;
using vextune::testing::WithoutLeaveFrame;

namespace {

enum class Stage { ReadAtStart, Read, Send, Update };
/// What the simulated device does from the chosen byte on.
enum class Fault { None, HangUp, Silent };
/// What the user does once the device has received the chosen byte.
enum class Action { Nothing, CloseWindow, Cancel, Signal };

struct Case {
  const char* name;
  Stage stage;
  Fault fault;
  uint64_t atByte;  ///< counted from the start of the stage's own run
  Action action;
};

/// The longest single write of each run: what may still arrive after the
/// close because it was on its way (a command line; an update block).
constexpr size_t kLongestTransferWrite = 96;
constexpr size_t kLongestUpdateWrite = 256;

std::string UpdateImage(size_t size, PackedTime stamp = PackTime(2024, 5, 17, 12, 30, 0)) {
  std::string image(size, '\0');
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<char>((i * 29 + 3) & 0xFF);
  for (size_t i = 0; i < 4; ++i) image[12 + i] = static_cast<char>(stamp >> (8 * i));
  return image;
}

/// Ends the event loops' "exit" state that a handled signal leaves, so that
/// the next exec() runs again.
void ResetExit() {
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

}  // namespace

class TeardownTest : public QObject {
  Q_OBJECT

 private:
  struct Outcome {
    bool acted = false;
    bool reachedByte = false;
    bool stageStarted = false;
    std::string receivedAtAction;
    std::string receivedAtEnd;
    size_t messagesAtAction = 0;
    std::vector<ScriptedPrompt::Shown> shown;
    bool stillRunningAtEnd = false;
  };

  sim::SimulatorOptions OptionsFor(const Case& c) const {
    sim::SimulatorOptions options;
    options.bios = c.stage == Stage::Update;
    if (c.fault == Fault::HangUp) options.hangupAfter = c.atByte;
    if (c.fault == Fault::Silent) options.stopAfter = c.atByte;
    return options;
  }

  static void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
  }
  /// The update alone: these devices are in BIOS mode from the start.
  static void Unguided(QWidget& dialog) {
    dialog.findChild<QCheckBox*>(QStringLiteral("guidedCheck"))->setChecked(false);
  }

  /// Does `c.action` once; the run under test goes on until it ends.
  static void Act(const Case& c, QDialog& dialog, const char* cancelButton) {
    switch (c.action) {
      case Action::Nothing:
        break;
      case Action::CloseWindow:
        dialog.close();
        break;
      case Action::Cancel:
        Click(dialog, cancelButton);
        break;
      case Action::Signal:
        raise(SIGTERM);
        break;
    }
  }

  /// Runs `dialog` modally: `start` begins the stage (returns false until it
  /// could), then the action comes once the device has the chosen byte, and
  /// the dialog is left once the run is over.
  Outcome Drive(const Case& c, ui::OperationDialog& dialog, SimulatedDavozi& device,
                ScriptedPrompt& prompt, const std::function<bool()>& start,
                const char* cancelButton) {
    const auto running = [&dialog] { return dialog.operationRunning(); };
    Outcome outcome;
    int phase = 0;
    QTimer driver;
    connect(&driver, &QTimer::timeout, &dialog, [&] {
      if (phase == 0) {
        if (!start()) return;
        outcome.stageStarted = true;
        phase = 1;
      }
      if (phase == 1) {
        const std::string received = device.device().Received();
        if (received.size() < c.atByte && running()) return;
        outcome.acted = true;
        outcome.reachedByte = received.size() >= c.atByte;
        outcome.receivedAtAction = received;
        outcome.messagesAtAction = prompt.shown().size();
        phase = 2;
        Act(c, dialog, cancelButton);
        return;
      }
      // The user looks at what the run ended with, then leaves.
      if (!running() && dialog.isVisible()) dialog.reject();
    });
    driver.start(2);
    dialog.exec();
    driver.stop();
    // A signal ends exec() with the run still going: the program's dialogs
    // end it in their destructors.
    outcome.stillRunningAtEnd = running();
    outcome.shown = prompt.shown();
    return outcome;
  }

  /// What every case must show once its dialog has gone.
  static void CheckEnd(const Case& c, Outcome& outcome, SimulatedDavozi& device,
                       size_t longestWrite, const std::string& messageCaption) {
    QVERIFY2(outcome.stageStarted, c.name);
    QVERIFY2(outcome.acted, c.name);
    if (!outcome.reachedByte) {
      // The run ended early: say how far it got and what it said.
      std::string why = std::string(c.name) + ": the run ended after " +
                        std::to_string(outcome.receivedAtAction.size()) + " bytes";
      for (const ScriptedPrompt::Shown& shown : outcome.shown) why += "; " + shown.text;
      QFAIL(why.c_str());
    }
    outcome.receivedAtEnd = device.device().Received();
    if (c.action != Action::Signal) QVERIFY2(!outcome.stillRunningAtEnd, c.name);
    if (c.fault != Fault::HangUp) QVERIFY2(PortIsFree(device.path()), c.name);

    const std::vector<ScriptedPrompt::Shown>& shown = outcome.shown;
    const std::vector<ScriptedPrompt::Shown> after(
        shown.begin() + static_cast<std::ptrdiff_t>(outcome.messagesAtAction), shown.end());
    if (c.action == Action::CloseWindow) {
      // The user has gone: nothing more is shown or asked.
      const std::string first = after.empty() ? std::string() : after.front().text;
      QVERIFY2(after.empty(), (std::string(c.name) + ": " + first).c_str());
    }
    if (c.action == Action::Cancel || c.action == Action::Nothing) {
      // The user stays: the run says how it ended, in its own box.
      const bool any = std::any_of(shown.begin(), shown.end(), [&](const auto& s) {
        return s.caption == messageCaption && !s.text.empty();
      });
      QVERIFY2(any, c.name);
    }
    if (c.action == Action::CloseWindow || c.action == Action::Signal ||
        c.action == Action::Cancel) {
      QVERIFY2(outcome.receivedAtEnd.starts_with(outcome.receivedAtAction), c.name);
      const std::string later =
          WithoutLeaveFrame(outcome.receivedAtEnd.substr(outcome.receivedAtAction.size()));
      // At most the rest of the write that was on its way, and the ESC that
      // aborts an update.
      QVERIFY2(
          later.size() <= longestWrite + 1,
          (std::string(c.name) + ": " + std::to_string(later.size()) + " bytes after").c_str());
    }
  }

  void RunTransfer(const Case& c) {
    SimulatedDavozi device(OptionsFor(c));
    ui::ApplicationState state(nullptr);
    state.device.state() = DeviceState{10466, " V.1.4b", false};
    // Before a Read or Send the read at start fails at once on a port that
    // does not exist, so that the device's bytes are the stage's own.
    const bool atStart = c.stage == Stage::ReadAtStart;
    state.device.SelectPort(atStart ? device.path() : folder_.Path("no-such-port"));
    ScriptedPrompt prompt;
    FakeSettingsRunner general, aprs, misc;
    auto owned = std::make_unique<ui::CConfigurationMainDlg>(
        state, prompt, ui::SettingsDialogRunners{&general, &aprs, &misc});
    ui::CConfigurationMainDlg& dialog = *owned;
    // The button is pressed once: a run that does not start then fails the
    // case at once, rather than pressing it again until the time-out.
    bool pressed = false;
    const auto start = [&] {
      if (atStart) return dialog.transferRunning();
      if (pressed) return true;
      if (dialog.transferRunning() || prompt.shown().empty()) return false;
      pressed = true;
      state.device.SelectPort(device.path());
      prompt.Clear();
      // The read at start failed, so the send first asks whether values
      // that were not read from this device may replace its configuration.
      if (c.stage == Stage::Send) prompt.AnswerYes();
      // The whole script, whose bytes the table's points count: the device
      // already holds these values, so only the store would go out otherwise.
      dialog.findChild<QCheckBox*>(QStringLiteral("sendAllCheckBox"))->setChecked(true);
      Click(dialog, c.stage == Stage::Read ? "readButton" : "sendButton");
      return true;
    };
    DriveAndCheck(c, std::move(owned), state, device, prompt, start, "cancelTransferButton",
                  kLongestTransferWrite,
                  c.stage == Stage::Send ? "Send User Config" : "Read User Config");
  }

  void RunUpdate(const Case& c) {
    SimulatedDavozi device(OptionsFor(c));
    ui::ApplicationState state(nullptr);
    state.device.SelectPort(device.path());
    const std::string path = folder_.Path("teardown.amb");
    testing::WriteFile(path, UpdateImage(40 * kLongestUpdateWrite + 17));
    ScriptedPrompt prompt;
    auto owned = std::make_unique<ui::CUpdateDlg>(state, prompt);
    ui::CUpdateDlg& dialog = *owned;
    const auto start = [&] {
      prompt.ChooseFile(path);
      Click(dialog, "browseButton");
      prompt.Clear();
      Unguided(dialog);
      Click(dialog, "sendUpdateButton");
      return true;
    };
    DriveAndCheck(c, std::move(owned), state, device, prompt, start, "cancelUpdateButton",
                  kLongestUpdateWrite, std::string(update_message::kCaption));
  }

  /// Runs the case in `dialog`, which goes as the program's dialogs go, then
  /// looks at what it left.
  void DriveAndCheck(const Case& c, std::unique_ptr<ui::OperationDialog> dialog,
                     ui::ApplicationState& state, SimulatedDavozi& device, ScriptedPrompt& prompt,
                     const std::function<bool()>& start, const char* cancelButton,
                     size_t longestWrite, const std::string& caption) {
    std::optional<ui::SignalExit> signalExit;
    if (c.action == Action::Signal) signalExit.emplace(state.device);
    Outcome outcome = Drive(c, *dialog, device, prompt, start, cancelButton);
    dialog.reset();
    CheckEnd(c, outcome, device, longestWrite, caption);
  }

  void Run(const Case& c) {
    if (c.stage == Stage::Update) {
      RunUpdate(c);
    } else {
      RunTransfer(c);
    }
    if (c.action == Action::Signal) ResetExit();
  }

  TempFolder folder_;

 private slots:
  // The worker waits for the answer to the time-stamp question while the
  // message box is open; SIGTERM ends the box's loop, the question counts as
  // No, and the program's end does not wait for a user who is gone.
  void signalWhileTheWorkerWaitsForAnAnswer() {
    sim::SimulatorOptions options;
    options.bios = true;
    SimulatedDavozi device(options);
    ui::ApplicationState state(nullptr);
    state.device.SelectPort(device.path());
    const std::string path = folder_.Path("older.amb");
    testing::WriteFile(path, UpdateImage(8 * kLongestUpdateWrite, PackTime(2019, 3, 1, 8, 0, 0)));
    ScriptedPrompt prompt;
    auto dialog = std::make_unique<ui::CUpdateDlg>(state, prompt);
    ui::SignalExit signalExit(state.device);
    bool asked = false;
    std::string atSignal;
    prompt.onShow = [&](const ScriptedPrompt::Shown& shown) {
      if (shown.kind != ScriptedPrompt::Kind::Question) return;
      asked = true;
      atSignal = device.device().Received();
      raise(SIGTERM);
      QEventLoop box;  // the message box's own loop
      box.exec();
    };
    QTimer::singleShot(0, dialog.get(), [&] {
      prompt.ChooseFile(path);
      Click(*dialog, "browseButton");
      Unguided(*dialog);
      Click(*dialog, "sendUpdateButton");
    });
    dialog->exec();
    dialog.reset();
    ResetExit();
    QVERIFY(asked);
    QCOMPARE(signalExit.received(), SIGTERM);
    QVERIFY(PortIsFree(device.path()));
    const std::string all = device.device().Received();
    QVERIFY(all.starts_with(atSignal));
    // No block went out: at most the ESC that declines.
    QVERIFY2(all.size() - atSignal.size() <= 1,
             std::to_string(all.size() - atSignal.size()).c_str());
    QCOMPARE(device.device().CompletedUpdates(), 0);
  }

  // At each chosen byte the device behaves, hangs up or falls silent, and at
  // that moment the user closes the window, presses Cancel, ends the
  // program, or waits for the run to end by itself. One row per case, so
  // that each has QtTest's time-out to itself and a failure names it.
  void closingCancellingAndSignallingMidRun_data() {
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("fault");
    QTest::addColumn<qulonglong>("atByte");
    QTest::addColumn<int>("action");
    /// Bytes into each stage's run (a read takes about 440 bytes, a send
    /// reads a backup first, then writes 410 and verifies with another
    /// read; the update 10500): in the middle of the host-mode questions,
    /// of the backup, of the script and of its verification, and of the
    /// update's blocks.
    struct Point {
      Stage stage;
      uint64_t atByte;
      const char* name;
    };
    constexpr Point kPoints[] = {
        {Stage::ReadAtStart, 150, "read at start"}, {Stage::Read, 150, "read"},
        {Stage::Send, 200, "send's backup"},        {Stage::Send, 640, "send"},
        {Stage::Send, 1100, "send's verification"}, {Stage::Update, 3000, "update"}};
    struct Combination {
      Fault fault;
      Action action;
      const char* name;
    };
    constexpr Combination kCombinations[] = {
        {Fault::None, Action::CloseWindow, "window closed"},
        {Fault::None, Action::Signal, "SIGTERM"},
        {Fault::HangUp, Action::Nothing, "hung up"},
        {Fault::HangUp, Action::CloseWindow, "hung up, window closed"},
        {Fault::HangUp, Action::Cancel, "hung up, Cancel"},
        {Fault::HangUp, Action::Signal, "hung up, SIGTERM"},
        {Fault::Silent, Action::Nothing, "silent"},
        {Fault::Silent, Action::CloseWindow, "silent, window closed"},
        {Fault::Silent, Action::Cancel, "silent, Cancel"},
        {Fault::Silent, Action::Signal, "silent, SIGTERM"},
    };
    for (const Point& point : kPoints) {
      for (const Combination& combination : kCombinations) {
        QTest::addRow("%s: %s", point.name, combination.name)
            << static_cast<int>(point.stage) << static_cast<int>(combination.fault)
            << static_cast<qulonglong>(point.atByte) << static_cast<int>(combination.action);
      }
    }
  }

  void closingCancellingAndSignallingMidRun() {
    QFETCH(int, stage);
    QFETCH(int, fault);
    QFETCH(qulonglong, atByte);
    QFETCH(int, action);
    Run(Case{QTest::currentDataTag(), static_cast<Stage>(stage), static_cast<Fault>(fault), atByte,
             static_cast<Action>(action)});
  }
};

QTEST_MAIN(TeardownTest)
#include "teardown_test.moc"
