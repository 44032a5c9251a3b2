// Pictures of every dialog of the desktop program for the README: the real
// dialogs, filled as a user meets them, against a simulated DAV-OZI inside
// this program. Runs offscreen on a 1920 x 1200 screen unless QT_QPA_PLATFORM
// says otherwise (e.g. xcb under Xvfb).
//
//   screenshot_dialogs OUT_DIR
//
// Writes OUT_DIR/<dialog>.png. A window's contents are grabbed without the
// window manager's frame, so the window title is drawn above each picture as
// a plain strip. Messages the program would show go to stderr and fail the run.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "common/unattended_prompt.h"
#include "config/backup_store.h"
#include "config/config_file.h"
#include "link/configuration_check.h"
#include "sim/davozi_simulator.h"
#include "transfer/guided_update.h"
#include "ui/about_dlg.h"
#include "ui/application_icon.h"
#include "ui/application_state.h"
#include "ui/aprs_settings_dlg.h"
#include "ui/aprs_settings_runner.h"
#include "ui/choose_davozi_dlg.h"
#include "ui/com_port_einstellung.h"
#include "ui/configuration_main_dlg.h"
#include "ui/general_settings_runner.h"
#include "ui/main_selection_dlg.h"
#include "ui/misc_settings_runner.h"
#include "ui/settings_dialog_runners.h"
#include "ui/update_dlg.h"
#include "update/packed_time.h"

namespace {

using namespace vextune;

/// The window's contents with its title drawn above as a plain strip.
QImage WithTitle(QWidget& window) {
  const QImage content = window.grab().toImage();
  const QFontMetrics metrics(window.font());
  const int strip = metrics.height() + 10;
  QImage picture(content.width(), content.height() + strip, QImage::Format_RGB32);
  picture.fill(QColor(0x3c, 0x4a, 0x5c));
  QPainter painter(&picture);
  painter.setPen(Qt::white);
  painter.setFont(window.font());
  painter.drawText(QRect(8, 0, content.width() - 16, strip), Qt::AlignVCenter | Qt::AlignLeft,
                   metrics.elidedText(window.windowTitle(), Qt::ElideRight, content.width() - 16));
  painter.drawImage(0, strip, content);
  return picture;
}

bool Save(QWidget& window, const QDir& folder, const char* name) {
  // A palette of 256 colours keeps the pictures small; dialogs use few.
  const QImage picture =
      WithTitle(window).convertToFormat(QImage::Format_Indexed8, Qt::AvoidDither);
  const QString path = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
  QImageWriter writer(path, "png");
  writer.setQuality(0);  // the strongest compression
  if (!writer.write(picture)) {
    std::fprintf(stderr, "screenshot_dialogs: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

/// Runs the event loop until `done` holds or `timeoutMs` passed.
bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

/// Runs `open` (which opens a modal dialog) and saves that dialog as `name`
/// once it shows, after `prepare` (when given) has used its controls; then
/// closes it with Abbrechen, so that nothing prepared is kept.
bool SaveModal(const std::function<void()>& open, const QDir& folder, const char* name,
               const std::function<void(QWidget&)>& prepare = {}) {
  bool saved = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    if (prepare) prepare(*dialog);
    saved = Save(*dialog, folder, name);
    if (auto* box = qobject_cast<QDialog*>(dialog)) box->reject();
  });
  open();
  return saved;
}

/// An update image of 64 KiB with a time stamp newer than the simulator's.
std::string WriteUpdateImage(const QDir& folder) {
  const std::string path = folder.filePath(QStringLiteral("ambrel-1.4c.amb")).toStdString();
  std::string image(64 * 1024, '\0');
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 13 + 5) & 0xFF);
  const PackedTime stamp = PackTime(2024, 5, 17, 12, 30, 0);
  for (size_t i = 0; i < 4; ++i) image[12 + i] = static_cast<char>(stamp >> (8 * i));
  std::ofstream(path, std::ios::binary) << image;
  return path;
}

/// Offscreen, the screen is 800 x 600 unless told otherwise; dialogs that fit
/// themselves to the screen would scroll. A desktop-sized screen instead.
void UseLargeOffscreenScreen(QTemporaryFile& config) {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
  if (!config.open()) return;
  config.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, )"
               R"("height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  config.flush();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryFile screenConfig;
  UseLargeOffscreenScreen(screenConfig);
  QApplication app(argc, argv);
  app.setWindowIcon(ui::ApplicationIcon());  // as the program does; the about box shows it
  if (argc != 2) {
    std::fprintf(stderr, "usage: screenshot_dialogs OUT_DIR\n");
    return 2;
  }
  QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "screenshot_dialogs: cannot create %s\n", argv[1]);
    return 1;
  }

  sim::DavoziSimulator simulator(sim::SimulatorOptions{});
  std::string error;
  const std::string port = simulator.Start(&error);
  if (port.empty()) {
    std::fprintf(stderr, "screenshot_dialogs: simulator: %s\n", error.c_str());
    return 1;
  }

  // Every message counts as a fault of the run.
  UnattendedPrompt prompt;
  prompt.onShown = [](const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "screenshot_dialogs: unexpected message \"%s\": %s\n", caption.c_str(),
                 text.c_str());
  };
  ui::GeneralSettingsRunner general;
  ui::MiscSettingsRunner misc;
  ui::AprsSettingsRunner aprs;
  const ui::SettingsDialogRunners runners{&general, &aprs, &misc};
  ui::ApplicationState state(&std::cerr);
  state.presetPort = port;
  state.simulated = true;
  bool ok = true;

  ui::CMainSelectionDlg mainSelection(state, prompt, runners);
  mainSelection.show();
  ok &= Save(mainSelection, folder, "main-selection");

  {
    const std::vector<SerialDevice> ports = {{"/dev/ttyACM0", "Olvane Ambrel"},
                                             {"/dev/ttyS0", "serial8250"}};
    ui::CComPortEinstellung dialog(ports, "/dev/ttyACM0", &mainSelection);
    dialog.show();
    ok &= Save(dialog, folder, "serial-port");
  }
  {
    ui::CChooseDAVOZIDlg dialog({"/dev/ttyACM0", "/dev/ttyACM1"}, &mainSelection);
    dialog.show();
    ok &= Save(dialog, folder, "choose-davozi");
  }
  {
    ui::CAboutDlg dialog(&mainSelection);
    dialog.show();
    ok &= Save(dialog, folder, "about");
  }

  // The configuration dialog as Configuration opens it: the check first,
  // then the read at start from the simulated device.
  const CheckResult check =
      RunConfigurationCheck(state.device.link(), state.device.state(), state.device.cancel());
  if (!check.passed()) {
    std::fprintf(stderr, "screenshot_dialogs: check failed: %s\n", check.message.text.c_str());
    return 1;
  }
  {
    // A few kept backups, as earlier reads of a real device leave them (the
    // simulated device's reads are kept nowhere).
    QTemporaryDir data;
    state.dataFolder = UserDataFolder(data.path().toStdString());
    SystemClock clock;
    BackupStore backups(state.dataFolder.BackupFolder(), clock);
    CConfigData older;
    CConfigData::SetNumber(older.m_TxDelay, 40);
    CConfigData::SetNumber(older.m_AprsInterval, 1200);
    backups.Keep(older, " V.1.4b", nullptr);
    backups.Keep(older, " V.1.4b", nullptr);
    backups.Keep(simulator.Store(), " V.1.4b", nullptr);

    ui::CConfigurationMainDlg dialog(state, prompt, runners, &mainSelection);
    dialog.show();
    const bool read = WaitFor([&] { return dialog.transferRunning(); }, 5000) &&
                      WaitFor([&] { return !dialog.transferRunning(); }, 30000);
    if (!read) {
      std::fprintf(stderr, "screenshot_dialogs: the read at start did not end\n");
      return 1;
    }
    // Loaded from a file, with the changes against the device open.
    QTemporaryDir files;
    CConfigData edited = state.document.working();
    CConfigData::SetNumber(edited.m_TxDelay, 40);
    CConfigData::SetText(edited.m_Callsign, "DL1ABC-7");
    const std::string station = files.filePath(QStringLiteral("station.vxg")).toStdString();
    SaveConfigFile(station, edited, nullptr);
    prompt.fileToOpen = station;
    dialog.findChild<QPushButton*>(QStringLiteral("loadButton"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("showChangesButton"))->click();
    ok &= Save(dialog, folder, "configuration");
    ok &=
        SaveModal([&] { dialog.findChild<QPushButton*>(QStringLiteral("backupsButton"))->click(); },
                  folder, "backups");
    CConfigData& working = state.document.working();
    const DeviceState& device = state.device.state();
    ok &= SaveModal([&] { general.Edit(&dialog, working, device, prompt); }, folder,
                    "general-settings");
    ok &= SaveModal([&] { aprs.Edit(&dialog, working, device, prompt); }, folder, "aprs-settings");
    // The position helper and the path hint in use: a locator typed and
    // used, and a digipeater path typed where the destination goes.
    ok &= SaveModal(
        [&] { aprs.Edit(&dialog, working, device, prompt); }, folder, "aprs-position-helper",
        [](QWidget& aprsDialog) {
          aprsDialog.findChild<QRadioButton*>(QStringLiteral("beaconFixedRadio"))->click();
          aprsDialog.findChild<QLineEdit*>(QStringLiteral("positionFromEdit"))
              ->setText(QStringLiteral("JN48nm"));
          aprsDialog.findChild<QPushButton*>(QStringLiteral("positionUseButton"))->click();
          aprsDialog.findChild<QLineEdit*>(QStringLiteral("pathEdit"))
              ->setText(QStringLiteral("WIDE1-1,WIDE2-1"));
          // The hint's rows are laid out and the dialog fitted
          // again, as it is on the screen.
          QCoreApplication::processEvents();
          if (auto* settings = qobject_cast<ui::CAprsSettings*>(&aprsDialog))
            settings->FitToScreen(aprsDialog.screen()->availableGeometry());
          QCoreApplication::processEvents();
        });
    ok &= SaveModal([&] { misc.Edit(&dialog, working, device, prompt); }, folder, "misc-settings");
    dialog.reject();
  }
  {
    QTemporaryDir files;
    prompt.fileToOpen = WriteUpdateImage(QDir(files.path()));
    ui::CUpdateDlg dialog(state, prompt, &mainSelection);
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    ok &= Save(dialog, folder, "update");
    dialog.reject();
  }
  {
    // The guided update at its first wait: the configuration read, the user
    // told to switch BIOS on. A state of its own keeps the backup in a
    // temporary folder; closing the dialog ends the wait without a message.
    QTemporaryDir files;
    QTemporaryDir data;
    ui::ApplicationState guided(&std::cerr);
    guided.dataFolder = UserDataFolder(data.path().toStdString());
    guided.device.SelectPort(port);
    prompt.fileToOpen = WriteUpdateImage(QDir(files.path()));
    auto dialog = std::make_unique<ui::CUpdateDlg>(guided, prompt, &mainSelection);
    dialog->show();
    dialog->findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    dialog->findChild<QPushButton*>(QStringLiteral("sendUpdateButton"))->click();
    auto* status = dialog->findChild<QLabel*>(QStringLiteral("updateStatusLine"));
    const bool waiting = WaitFor(
        [&] {
          return status->text() == QLatin1String(guided_message::kSwitchBiosOn.data(),
                                                 guided_message::kSwitchBiosOn.size()) &&
                 dialog->findChild<QLabel*>(QStringLiteral("firmwareBeforeText"))->text() !=
                     QStringLiteral("-");
        },
        30000);
    if (!waiting) std::fprintf(stderr, "screenshot_dialogs: the guided update did not wait\n");
    ok &= waiting && Save(*dialog, folder, "guided-update");
    dialog.reset();
  }
  mainSelection.reject();
  return ok && prompt.shown.empty() ? 0 : 1;
}
