// Measures how responsive the desktop program stays: drives the real dialogs
// offscreen against the simulated DAV-OZI (the read at start, a send with
// verification, an update of a 64 KiB image) and prints, for each, the
// longest time the UI thread's event loop was blocked. A timer ticks every
// 2 ms on the UI thread; the largest gap between two ticks, less the 2 ms,
// is the blocked time. Then starts the vextune program itself several times
// and prints the time from the process's start to its first dialog on screen
// (a plug-in loaded into vextune prints that moment).
//
//   bench_gui [--runs N]     N start-ups (default 10; 1 with VEXTUNE_BENCH_SMOKE=1)
//
// Each run is judged by its result (the device's parameters, the flashed
// image), never by the text of a message, so a reworded message cannot break
// it; the messages shown are printed when a run fails.
//
// Offscreen unless QT_QPA_PLATFORM names another platform, e.g.
// QT_QPA_PLATFORM=xcb xvfb-run -a bench_gui; the started programs use the same.

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_smoke.h"
#include "common/unattended_prompt.h"
#include "link/configuration_check.h"
#include "sim/davozi_simulator.h"
#include "ui/application_state.h"
#include "ui/configuration_main_dlg.h"
#include "ui/settings_dialog_runners.h"
#include "ui/update_dlg.h"
#include "update/firmware_update.h"
#include "update/packed_time.h"

namespace {

using namespace vextune;

constexpr int kTickMs = 2;
constexpr int kRunTimeoutMs = 60000;

/// Prints the messages shown so far on stderr, for a run that failed.
void PrintMessages(const UnattendedPrompt& prompt) {
  for (const std::string& text : prompt.shown)
    std::fprintf(stderr, "bench_gui: message: %s\n", text.c_str());
}

/// The largest gap between two ticks of a timer on the UI thread.
class StallMeter {
 public:
  StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      largestGapNs_ = std::max(largestGapNs_, now - lastNs_);
      lastNs_ = now;
    });
  }
  void Start() {
    largestGapNs_ = 0;
    clock_.start();
    lastNs_ = 0;
    timer_.start(kTickMs);
  }
  /// The longest blocked time since Start, in ms.
  double Stop() {
    timer_.stop();
    const qint64 now = clock_.nsecsElapsed();
    largestGapNs_ = std::max(largestGapNs_, now - lastNs_);
    return std::max(0.0, largestGapNs_ / 1e6 - kTickMs);
  }
  double ElapsedMs() const { return clock_.nsecsElapsed() / 1e6; }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 lastNs_ = 0;
  qint64 largestGapNs_ = 0;
};

/// Runs the event loop until `done` holds; false after kRunTimeoutMs.
bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > kRunTimeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

void Report(const char* what, double blockedMs, double tookMs) {
  std::printf("%-34s event loop blocked at most %6.1f ms  (run took %7.0f ms)\n", what, blockedMs,
              tookMs);
}

/// True once the dialog's transfer has started and ended again.
std::function<bool()> TransferEnded(const ui::CConfigurationMainDlg& dialog) {
  auto started = std::make_shared<bool>(false);
  return [&dialog, started] {
    *started = *started || dialog.transferRunning();
    return *started && !dialog.transferRunning();
  };
}

/// The read at start and a send with verification in the configuration
/// main dialog. False when either failed: the read did not bring the
/// device's parameters, or the device does not hold and keep the sent value.
bool MeasureTransfers(UnattendedPrompt& prompt) {
  sim::DavoziSimulator simulator(sim::SimulatorOptions{});
  std::string error;
  const std::string port = simulator.Start(&error);
  if (port.empty()) {
    std::fprintf(stderr, "bench_gui: simulator: %s\n", error.c_str());
    return false;
  }
  ui::ApplicationState state(&std::cerr);
  state.device.SelectPort(port);
  if (!RunConfigurationCheck(state.device.link(), state.device.state(), state.device.cancel())
           .passed()) {
    std::fprintf(stderr, "bench_gui: the configuration check failed\n");
    return false;
  }

  StallMeter meter;
  meter.Start();
  ui::CConfigurationMainDlg dialog(state, prompt, ui::SettingsDialogRunners{});
  dialog.show();
  if (!WaitFor(TransferEnded(dialog))) {
    std::fprintf(stderr, "bench_gui: the read at start did not end\n");
    return false;
  }
  const double readTook = meter.ElapsedMs();
  Report("read at start", meter.Stop(), readTook);
  if (!state.document.working().IsEqual(simulator.Store(), false)) {
    std::fprintf(stderr, "bench_gui: the read at start did not bring the device's parameters\n");
    PrintMessages(prompt);
    return false;
  }

  const int sentTxDelay = simulator.Store().m_TxDelay.value == 40 ? 41 : 40;
  CConfigData::SetNumber(state.document.working().m_TxDelay, sentTxDelay);
  meter.Start();
  dialog.findChild<QPushButton*>(QStringLiteral("sendButton"))->click();
  if (!WaitFor(TransferEnded(dialog))) {
    std::fprintf(stderr, "bench_gui: the send did not end\n");
    return false;
  }
  const double sendTook = meter.ElapsedMs();
  Report("send with verification", meter.Stop(), sendTook);
  if (simulator.Store().m_TxDelay.value != sentTxDelay ||
      simulator.Nonvolatile().m_TxDelay.value != sentTxDelay) {
    std::fprintf(stderr, "bench_gui: the device does not hold and keep the sent value\n");
    PrintMessages(prompt);
    return false;
  }
  prompt.shown.clear();
  return true;
}

/// An update of a 64 KiB image (8 KiB in a smoke run) in the update dialog.
/// False when the dialog did not report it complete or the device's flash
/// does not hold the image.
bool MeasureUpdate(UnattendedPrompt& prompt) {
  sim::SimulatorOptions options;
  options.bios = true;
  sim::DavoziSimulator simulator(options);
  std::string error;
  const std::string port = simulator.Start(&error);
  if (port.empty()) {
    std::fprintf(stderr, "bench_gui: simulator: %s\n", error.c_str());
    return false;
  }
  char pattern[] = "/tmp/bench-gui-XXXXXX.amb";
  const int fd = mkstemps(pattern, 4);
  if (fd < 0) return false;
  close(fd);
  std::string image((bench::SmokeRun() ? 8 : 64) * 1024, '\0');
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 13 + 5) & 0xFF);
  const PackedTime stamp = PackTime(2024, 5, 17, 12, 30, 0);  // newer than the device's
  for (size_t i = 0; i < 4; ++i) image[12 + i] = static_cast<char>(stamp >> (8 * i));
  std::ofstream(pattern, std::ios::binary) << image;

  ui::ApplicationState state(&std::cerr);
  state.device.SelectPort(port);
  prompt.fileToOpen = pattern;
  bool completed = false;
  {
    ui::CUpdateDlg dialog(state, prompt);
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    // The simulator starts in BIOS mode: the update alone is measured.
    dialog.findChild<QCheckBox*>(QStringLiteral("guidedCheck"))->setChecked(false);
    StallMeter meter;
    meter.Start();
    dialog.findChild<QPushButton*>(QStringLiteral("sendUpdateButton"))->click();
    if (WaitFor([&] { return dialog.lastOutcome().has_value(); })) {
      const double took = meter.ElapsedMs();
      const std::string what = "update of a " + std::to_string(image.size() / 1024) + " KiB image";
      Report(what.c_str(), meter.Stop(), took);
      const std::vector<uint8_t> flash = simulator.FlashImage();
      completed = *dialog.lastOutcome() == UpdateOutcome::Completed &&
                  simulator.CompletedUpdates() == 1 && flash.size() >= image.size() &&
                  std::equal(image.begin(), image.end(), flash.begin(),
                             [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
    }
  }
  std::remove(pattern);
  if (!completed) {
    std::fprintf(stderr, "bench_gui: the update did not complete\n");
    PrintMessages(prompt);
  }
  prompt.shown.clear();
  return completed;
}

/// Time from starting `vextune args` to its line saying the first dialog is
/// on screen, in ms; negative when it never came.
double StartUpMs(const QString& program, const QStringList& args) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), qEnvironmentVariable("QT_QPA_PLATFORM"));
  environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(STARTUP_PROBE_PLUGINS));
  environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"),
                     QStringLiteral("vextune-startup-probe"));
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::SeparateChannels);
  QElapsedTimer clock;
  clock.start();
  process.start(program, args);
  double shownMs = -1;
  while (shownMs < 0 && process.state() != QProcess::NotRunning) {
    process.waitForReadyRead(10000);
    if (process.readAllStandardOutput().contains("first dialog shown"))
      shownMs = clock.nsecsElapsed() / 1e6;
    if (clock.elapsed() > 10000) break;
  }
  process.waitForFinished(10000);
  return shownMs;
}

bool MeasureStartUp(int runs) {
  const QString program = QString::fromLatin1(VEXTUNE_PATH);
  const struct {
    const char* what;
    QStringList args;
  } cases[] = {{"start-up to first dialog, --simulate", {QStringLiteral("--simulate")}},
               {"start-up to first dialog, discovery", {}}};
  bool ok = true;
  for (const auto& c : cases) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      const double ms = StartUpMs(program, c.args);
      if (ms < 0) {
        std::fprintf(stderr, "bench_gui: %s never showed its first dialog\n", VEXTUNE_PATH);
        return false;
      }
      times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-38s median %6.1f ms, slowest %6.1f ms (%d runs)\n", c.what,
                times[times.size() / 2], times.back(), runs);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = bench::SmokeRun() ? 1 : 10;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: bench_gui [--runs N]\n");
      return 2;
    }
  }
  if (runs < 1) {
    std::fprintf(stderr, "bench_gui: --runs needs a count of 1 or more\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
  // The dialogs run offscreen unless a platform is asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::printf(
      "bench_gui: the dialogs against the simulated DAV-OZI, UI thread ticked every %d ms\n",
      kTickMs);
  UnattendedPrompt prompt;
  prompt.answerYes = true;
  bool ok = MeasureTransfers(prompt);
  ok = ok && MeasureUpdate(prompt);
  ok = ok && MeasureStartUp(runs);
  return ok ? 0 : 1;
}
