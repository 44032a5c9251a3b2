// vextune: the desktop program. Finds the DAV-OZI, or takes the port from
// --port, or starts a simulated DAV-OZI with --simulate, and runs the main
// selection dialog until it closes or SIGTERM or SIGINT ends it.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include "common/version.h"
#include "sim/davozi_simulator.h"
#include "ui/application_icon.h"
#include "ui/application_state.h"
#include "ui/aprs_settings_runner.h"
#include "ui/general_settings_runner.h"
#include "ui/main_selection_dlg.h"
#include "ui/misc_settings_runner.h"
#include "ui/qt_prompt.h"
#include "ui/settings_dialog_runners.h"
#include "ui/signal_exit.h"
#include "ui/widget_support.h"

namespace {

struct Options {
  QCommandLineOption port{QStringLiteral("port"),
                          QStringLiteral("Use the DAV-OZI on PATH (/dev/ttyACM0 or ttyACM0) "
                                         "instead of looking for it."),
                          QStringLiteral("PATH")};
  QCommandLineOption simulate{QStringLiteral("simulate"),
                              QStringLiteral("Start a simulated DAV-OZI inside the program and "
                                             "use it, so that everything can be tried without a "
                                             "device.")};
  QCommandLineOption trace{QStringLiteral("trace"),
                           QStringLiteral("Write every byte written to and read from the serial "
                                          "line to FILE, with times, for a bug report."),
                           QStringLiteral("FILE")};
};

void Describe(QCommandLineParser& parser, Options& options) {
  parser.setApplicationDescription(
      QStringLiteral("Configures a DAV-OZI (Ambrel) and updates its firmware."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addOption(options.port);
  parser.addOption(options.simulate);
  parser.addOption(options.trace);
}

/// --help and --version answer without a display.
bool AsksForTextOnly(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    for (const char* flag : {"--help", "-h", "-?", "--help-all", "--version", "-v"}) {
      if (std::strcmp(argv[i], flag) == 0) return true;
    }
  }
  return false;
}

void SetApplicationNames() {
  QCoreApplication::setOrganizationName(QStringLiteral("Olvane"));
  QCoreApplication::setApplicationName(QString::fromLatin1(vextune::ui::kApplicationName));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(vextune::version::kText));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vextune;
  if (AsksForTextOnly(argc, argv)) {
    QCoreApplication app(argc, argv);
    SetApplicationNames();
    QCommandLineParser parser;
    Options options;
    Describe(parser, options);
    parser.process(app);  // prints and exits
    return 0;
  }

  QApplication app(argc, argv);
  SetApplicationNames();
  app.setWindowIcon(ui::ApplicationIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("vextune"));
  QCommandLineParser parser;
  Options options;
  Describe(parser, options);
  parser.process(app);
  if (!parser.positionalArguments().isEmpty()) {
    std::cerr << "vextune: unexpected argument "
              << parser.positionalArguments().front().toStdString() << " (see --help)\n";
    return 2;
  }
  if (parser.isSet(options.port) && parser.isSet(options.simulate)) {
    std::cerr << "vextune: give either --port or --simulate, not both\n";
    return 2;
  }

  std::ofstream traceFile;
  if (parser.isSet(options.trace)) {
    const std::string tracePath = parser.value(options.trace).toStdString();
    traceFile.open(tracePath, std::ios::binary | std::ios::trunc);
    if (tracePath.empty() || !traceFile) {
      std::cerr << "vextune: cannot write the trace to " << tracePath << ": "
                << std::strerror(errno) << '\n';
      return 2;
    }
  }
  ui::ApplicationState state(&std::cerr, traceFile.is_open() ? &traceFile : nullptr);
  ui::SignalExit signalExit(state.device);
  std::unique_ptr<sim::DavoziSimulator> simulator;
  if (parser.isSet(options.simulate)) {
    simulator = std::make_unique<sim::DavoziSimulator>(sim::SimulatorOptions{});
    std::string error;
    state.presetPort = simulator->Start(&error);
    if (state.presetPort.empty()) {
      std::cerr << "vextune: the simulated DAV-OZI did not start: " << error << '\n';
      return 1;
    }
    state.simulated = true;
    state.switchSimulatedBios = [device = simulator.get()](bool on) { device->Restart(on); };
  } else if (parser.isSet(options.port)) {
    state.presetPort = parser.value(options.port).trimmed().toStdString();
    if (state.presetPort.empty()) {
      std::cerr << "vextune: --port needs a path\n";
      return 2;
    }
  }

  ui::QtPrompt prompt(QString::fromLatin1(ui::kApplicationName));
  ui::GeneralSettingsRunner generalSettings;
  ui::MiscSettingsRunner miscSettings;
  ui::AprsSettingsRunner aprsSettings;
  ui::SettingsDialogRunners runners{&generalSettings, &aprsSettings, &miscSettings};
  ui::CMainSelectionDlg dialog(state, prompt, runners);
  prompt.SetParentWindow(&dialog);
  dialog.exec();
  return 0;
}
