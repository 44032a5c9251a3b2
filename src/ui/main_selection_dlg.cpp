#include "ui/main_selection_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <cerrno>

#include "common/user_message.h"
#include "common/version.h"
#include "link/system_serial_port.h"
#include "ui/about_dlg.h"
#include "ui/application_state.h"
#include "ui/choose_davozi_dlg.h"
#include "ui/com_port_einstellung.h"
#include "ui/configuration_main_dlg.h"
#include "ui/device_list_watcher.h"
#include "ui/dialog_controls.h"
#include "ui/elided_label.h"
#include "ui/update_dlg.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {

/// The questions wait this long, so that the window shows first.
constexpr int kAskDelayMs = 50;

constexpr const char* kNoDeviceQuestion =
    "No DAV-OZI found or DAV-OZI occupied by other program!\n\nIf You want to edit a "
    "configuration file instead, Click 'YES'.\nOtherwise click 'NO' to manually select a "
    "virtual COM Port";
constexpr const char* kSeveralDevicesMessage =
    "Multiple DAV-OZIs found in Device Manager!\nPlease select one from 'Choose DAV-OZI' Dialog";

QString ManuallySetText(const std::string& port) {
  return QStringLiteral("COM Port manually set to %1.").arg(QString::fromStdString(port));
}

}  // namespace

template <typename Show>
auto CMainSelectionDlg::Modal(Show&& show) {
  ++modal_depth_;
  struct Leave {
    CMainSelectionDlg* dialog;
    ~Leave() {
      if (--dialog->modal_depth_ == 0 && dialog->rediscover_pending_) {
        QTimer::singleShot(0, dialog, &CMainSelectionDlg::OnDeviceListChanged);
      }
    }
  } leave{this};
  return show();
}

QString CMainSelectionDlg::Caption() {
  return QStringLiteral("Olvane Vextune   V. %1.%2.%3.%4")
      .arg(version::kMajor)
      .arg(version::kMinor)
      .arg(version::kPatch)
      .arg(version::kTweak);
}

CMainSelectionDlg::CMainSelectionDlg(ApplicationState& state, DialogPrompt& prompt,
                                     const SettingsDialogRunners& runners, QWidget* parent)
    : OperationDialog(prompt, state.device.cancel(), parent),
      state_(state),
      prompt_(prompt),
      runners_(runners) {
  setObjectName(QStringLiteral("mainSelectionDialog"));

  QGroupBox* selection = new QGroupBox(QStringLiteral("Vextune Main Selection"), this);
  selection->setObjectName(QStringLiteral("mainSelectionGroup"));
  configuration_ = NewButton(QStringLiteral("&Configuration"), "configurationButton", selection);
  update_ = NewButton(QStringLiteral("&Update"), "updateButton", selection);
  serial_port_ = NewButton(QStringLiteral("&Serial Port Settings"), "serialPortButton", selection);
  serial_port_->setEnabled(false);
  auto* selectionLayout = new QVBoxLayout(selection);
  selectionLayout->addWidget(configuration_);
  selectionLayout->addWidget(update_);
  selectionLayout->addWidget(serial_port_);

  QGroupBox* info = new QGroupBox(QStringLiteral("Info"), this);
  info->setObjectName(QStringLiteral("infoGroup"));
  status_ = new ElidedLabel(QStringLiteral("No DAVOZI found."), info);
  status_->setObjectName(QStringLiteral("statusText"));
  status_->setAccessibleDescription(QStringLiteral("Info"));
  status_->setMinimumWidth(300);
  auto* infoLayout = new QVBoxLayout(info);
  infoLayout->addWidget(status_);

  about_ = NewButton(QString::fromUtf8("&Info über Vextune..."), "aboutButton", this);
  about_->setToolTip(QStringLiteral("F1"));
  const OkCancelRow buttons = NewOkCancelButtons(this, ButtonWidth::Roomy);
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  UseOkCancelButtons(buttons);
  buttons.layout->insertWidget(0, about_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selection);
  layout->addWidget(info);
  layout->addLayout(buttons.layout);

  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, &CMainSelectionDlg::OnAbout);
  connect(configuration_, &QPushButton::clicked, this, &CMainSelectionDlg::OnConfiguration);
  connect(update_, &QPushButton::clicked, this, &CMainSelectionDlg::OnUpdate);
  connect(serial_port_, &QPushButton::clicked, this, &CMainSelectionDlg::OnSerialPortSettings);
  connect(about_, &QPushButton::clicked, this, &CMainSelectionDlg::OnAbout);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  QString caption = Caption();
  if (state_.simulated) caption += QStringLiteral("  (simulated DAV-OZI)");
  setWindowTitle(caption);

  state_.document.ClearFileLoaded();
  state_.device.state() = DeviceState{};
  if (state_.presetPort.empty()) {
    // Made before the first look, so that a device plugged in between is seen.
    watcher_ = new DeviceListWatcher(state_.watchSerialPorts(), this);
    connect(watcher_, &DeviceListWatcher::changed, this, &CMainSelectionDlg::OnDeviceListChanged);
  }
  if (!state_.presetPort.empty()) {
    // A port from the command line counts as chosen by hand.
    state_.discovery = PortDiscovery{};
    state_.device.SelectPort(state_.presetPort);
    serial_port_->setEnabled(true);
    ShowStatus(ManuallySetText(state_.presetPort));
  } else {
    const std::vector<SerialDevice> devices = state_.listSerialPorts();
    known_ports_ = DevicePorts(devices);
    FindDevicePorts(devices, state_.discovery);
    if (state_.discovery.devicesFound == 1) {
      state_.device.SelectPort(state_.discovery.selectedPort);
      ShowStatus(QString::fromStdString(state_.discovery.statusText));
    } else if (state_.discovery.devicesFound > 1) {
      QTimer::singleShot(kAskDelayMs, this, &CMainSelectionDlg::OnSeveralDevicesFound);
    } else {
      QTimer::singleShot(kAskDelayMs, this, &CMainSelectionDlg::OnNoDeviceFound);
    }
  }
}

CMainSelectionDlg::~CMainSelectionDlg() {
  EndOperation();
}

bool CMainSelectionDlg::checkRunning() const {
  return operation().IsRunning();
}

void CMainSelectionDlg::ShowStatus(const QString& text) {
  status_->setText(text);
}

void CMainSelectionDlg::OnNoDeviceFound() {
  if (state_.discovery.devicesFound != 0) return;  // one was plugged in meanwhile
  ShowStatus(QStringLiteral("No DAV-OZI found."));
  update_->setEnabled(false);
  configuration_->setEnabled(false);
  serial_port_->setEnabled(true);
  // What the doctor would say first, without touching any port.
  const std::string advice =
      NoDeviceAdvice(state_.listSerialPorts(), state_.diagnosePort("", Identification{}));
  const bool fileOnly =
      Modal([&] { return prompt_.AskYesNo("", std::string(kNoDeviceQuestion) + "\n\n" + advice); });
  if (state_.discovery.devicesFound != 0) return;  // one came while the question was open
  if (!fileOnly) {
    serial_port_->setFocus();
    return;
  }
  state_.device.state().fileOnly = true;
  file_only_chosen_ = true;
  configuration_->setEnabled(true);
  OnConfiguration();
}

void CMainSelectionDlg::OnSeveralDevicesFound() {
  if (state_.discovery.devicesFound < 2) return;  // some were unplugged meanwhile
  ShowStatus(QStringLiteral("Multiple DAV-OZIs found."));
  serial_port_->setText(QStringLiteral("Choose &DAV-OZI"));
  update_->setEnabled(false);
  configuration_->setEnabled(false);
  serial_port_->setEnabled(true);
  serial_port_->setFocus();
  Modal([&] {
    prompt_.ShowMessage("", kSeveralDevicesMessage, MessageIcon::Information);
    return 0;
  });
}

void CMainSelectionDlg::OnConfiguration() {
  if (checkRunning()) return;
  if (state_.device.state().fileOnly) {
    // Passes at once, without the port: the firmware version becomes -1.
    RunConfigurationCheck(state_.device.link(), state_.device.state(), state_.device.cancel());
    OpenConfigurationDialog();
    return;
  }
  LockForCheck(true);
  CheckRun run;
  run.settings = state_.device.settings();
  run.state = state_.device.state();
  DeviceContext& context = state_.device;
  operation().Start(
      [run = std::move(run), &context](OperationChannel&) mutable {
        DeviceLink link{context.ports(), run.settings, context.clock()};
        run.result = RunConfigurationCheck(link, run.state, context.cancel());
        return std::move(run);
      },
      [this](const CheckRun& done) { OnCheckFinished(done); });
}

void CMainSelectionDlg::OnCheckFinished(const CheckRun& run) {
  const CheckResult& result = run.result;
  // A failed check keeps what it found out so far, as the passed one does.
  state_.device.settings() = run.settings;
  // The transfers open at the rate the device answered the check at.
  if (result.baudRate != 0) state_.device.settings().baudRate = result.baudRate;
  state_.device.state() = run.state;
  // A new check is a new connection: what was read before may have been
  // changed since, by the user at the device or by another program.
  state_.document.DeviceMayHaveChanged();
  LockForCheck(false);
  if (rediscover_pending_) QTimer::singleShot(0, this, &CMainSelectionDlg::OnDeviceListChanged);
  if (result.passed()) {
    OpenConfigurationDialog();
    return;
  }
  const std::string path = state_.device.SelectedPath();
  UserMessage message = result.message;
  if (message.text.empty()) {
    // The check has no text of its own for a line that cannot be written.
    message = UserMessage{"", "Writing to " + path + " failed.", MessageIcon::Error};
  } else if (IsAccessDenied(result.openError)) {
    message.text += "\n\n" + PermissionHint(path);
  } else if (result.outcome == CheckOutcome::NoAnswer) {
    // The check has just asked the device: the doctor need not ask again.
    Identification silent;
    silent.outcome = Identification::Outcome::NoAnswer;
    silent.baudRate = result.baudRate;
    message.text += "\n\n" + NoAnswerAdvice(path, state_.diagnosePort(path, silent));
  }
  Modal([&] {
    ShowUserMessage(prompt_, message);
    return 0;
  });
}

void CMainSelectionDlg::OpenConfigurationDialog() {
  CConfigurationMainDlg dialog(state_, prompt_, runners_, this);
  Modal([&] { return dialog.exec(); });
  // The dialog closes by itself after a verified send: say what happened.
  if (!dialog.sentStatus().isEmpty()) ShowStatus(dialog.sentStatus());
}

void CMainSelectionDlg::LockForCheck(bool locked) {
  if (locked)
    before_check_ = {configuration_->isEnabled(), update_->isEnabled(), serial_port_->isEnabled()};
  configuration_->setEnabled(!locked && before_check_.configuration);
  update_->setEnabled(!locked && before_check_.update);
  serial_port_->setEnabled(!locked && before_check_.serialPort);
  about_->setEnabled(!locked);
  ShowBusy(locked);
}

void CMainSelectionDlg::OnUpdate() {
  CUpdateDlg dialog(state_, prompt_, this);
  Modal([&] { return dialog.exec(); });
}

void CMainSelectionDlg::OnSerialPortSettings() {
  std::string chosen;
  if (state_.discovery.devicesFound > 1) {
    CChooseDAVOZIDlg dialog(state_.discovery.candidates, this);
    if (Modal([&] { return dialog.exec(); }) != QDialog::Accepted) return;
    chosen = dialog.chosenPort();
  } else if (state_.discovery.devicesFound == 0) {
    CComPortEinstellung dialog(state_.listSerialPorts(), state_.device.settings().portName, this);
    port_dialog_ = &dialog;
    const int answer = Modal([&] { return dialog.exec(); });
    port_dialog_ = nullptr;
    if (answer != QDialog::Accepted) return;
    chosen = dialog.chosenPort();
  } else {
    return;
  }
  if (chosen.empty()) return;
  chosen_by_hand_ = true;
  state_.device.SelectPort(chosen);
  // A chosen port is what Configuration is meant to use: file-only mode ends,
  // and with it the version that stood for "no device".
  if (state_.device.state().fileOnly) state_.device.state() = DeviceState{};
  update_->setEnabled(true);
  configuration_->setEnabled(true);
  ShowStatus(ManuallySetText(chosen));
}

void CMainSelectionDlg::OnAbout() {
  if (checkRunning()) return;
  CAboutDlg dialog(this);
  Modal([&] { return dialog.exec(); });
}

void CMainSelectionDlg::OnDeviceListChanged() {
  // The port dialog lists every port, so any change counts there.
  if (port_dialog_) port_dialog_->SetPorts(state_.listSerialPorts());
  if (modal_depth_ > 0 || checkRunning()) {
    rediscover_pending_ = true;
    return;
  }
  rediscover_pending_ = false;
  Rediscover();
}

void CMainSelectionDlg::Rediscover() {
  if (chosen_by_hand_ || !state_.presetPort.empty()) return;
  const std::vector<SerialDevice> devices = state_.listSerialPorts();
  std::vector<std::string> ports = DevicePorts(devices);
  if (ports == known_ports_) return;
  known_ports_ = std::move(ports);
  // A device plugged in or out: what was read before may not be on the line.
  state_.document.DeviceMayHaveChanged();
  FindDevicePorts(devices, state_.discovery);
  // Only the list of the system is read; the port is opened when the user
  // asks for Configuration or Update, as after the start.
  if (state_.device.state().fileOnly || state_.discovery.devicesFound == 1) {
    state_.device.state() = DeviceState{};
  }
  serial_port_->setText(QStringLiteral("&Serial Port Settings"));
  if (state_.discovery.devicesFound == 1) {
    state_.device.SelectPort(state_.discovery.selectedPort);
    ShowStatus(QString::fromStdString(state_.discovery.statusText));
    configuration_->setEnabled(true);
    update_->setEnabled(true);
    serial_port_->setEnabled(false);
    return;
  }
  state_.device.SelectPort("");
  if (state_.discovery.devicesFound > 1) {
    ShowStatus(QStringLiteral("Multiple DAV-OZIs found."));
    serial_port_->setText(QStringLiteral("Choose &DAV-OZI"));
  } else {
    ShowStatus(QStringLiteral("No DAV-OZI found."));
  }
  // The device gone, the configuration file the user chose to edit is back.
  const bool fileOnly = state_.discovery.devicesFound == 0 && file_only_chosen_;
  state_.device.state().fileOnly = fileOnly;
  configuration_->setEnabled(fileOnly);
  update_->setEnabled(false);
  serial_port_->setEnabled(true);
}

}  // namespace vextune::ui
