#include "ui/main_selection_dlg.h"

#include <QCloseEvent>
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
#include "ui/background_operation.h"
#include "ui/choose_davozi_dlg.h"
#include "ui/com_port_einstellung.h"
#include "ui/configuration_main_dlg.h"
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

QString CMainSelectionDlg::Caption() {
  return QStringLiteral("Olvane Vextune   V. %1.%2.%3.%4")
      .arg(version::kMajor)
      .arg(version::kMinor)
      .arg(version::kPatch)
      .arg(version::kTweak);
}

CMainSelectionDlg::CMainSelectionDlg(ApplicationState& state, DialogPrompt& prompt,
                                     const SettingsEditors& editors, QWidget* parent)
    : QDialog(parent), state_(state), prompt_(prompt), editors_(editors) {
  setObjectName(QStringLiteral("mainSelectionDialog"));
  operation_ = new BackgroundOperation(prompt_, state_.device.cancel(), this);

  QGroupBox* selection = new QGroupBox(QStringLiteral("Vextune Main Selection"), this);
  selection->setObjectName(QStringLiteral("mainSelectionGroup"));
  configuration_ = NewButton(QStringLiteral("Configuration"), "configurationButton", selection);
  update_ = NewButton(QStringLiteral("Update"), "updateButton", selection);
  serial_port_ = NewButton(QStringLiteral("Serial Port Settings"), "serialPortButton", selection);
  serial_port_->setEnabled(false);
  auto* selectionLayout = new QVBoxLayout(selection);
  selectionLayout->addWidget(configuration_);
  selectionLayout->addWidget(update_);
  selectionLayout->addWidget(serial_port_);

  QGroupBox* info = new QGroupBox(QStringLiteral("Info"), this);
  info->setObjectName(QStringLiteral("infoGroup"));
  status_ = new ElidedLabel(QStringLiteral("No DAVOZI found."), info);
  status_->setObjectName(QStringLiteral("statusText"));
  status_->setAccessibleName(QStringLiteral("Info"));
  status_->setMinimumWidth(300);
  auto* infoLayout = new QVBoxLayout(info);
  infoLayout->addWidget(status_);

  about_ = NewButton(QString::fromUtf8("&Info über Vextune..."), "aboutButton", this);
  about_->setToolTip(QStringLiteral("F1"));
  ok_ = NewButton(QStringLiteral("OK"), "okButton", this);
  cancel_ = NewButton(QStringLiteral("Abbrechen"), "cancelButton", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(about_);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selection);
  layout->addWidget(info);
  layout->addLayout(buttons);

  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, &CMainSelectionDlg::OnAbout);
  connect(configuration_, &QPushButton::clicked, this, &CMainSelectionDlg::OnConfiguration);
  connect(update_, &QPushButton::clicked, this, &CMainSelectionDlg::OnUpdate);
  connect(serial_port_, &QPushButton::clicked, this, &CMainSelectionDlg::OnSerialPortSettings);
  connect(about_, &QPushButton::clicked, this, &CMainSelectionDlg::OnAbout);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(operation_, &BackgroundOperation::finished, this, &CMainSelectionDlg::OnCheckFinished);

  QString caption = Caption();
  if (state_.simulated) caption += QStringLiteral("  (simulated DAV-OZI)");
  setWindowTitle(caption);

  state_.document.ClearFileLoaded();
  state_.device.state() = DeviceState{};
  if (!state_.presetPort.empty()) {
    // A port from the command line counts as chosen by hand.
    state_.discovery = PortDiscovery{};
    state_.device.SelectPort(state_.presetPort);
    serial_port_->setEnabled(true);
    ShowStatus(ManuallySetText(state_.presetPort));
  } else {
    FindDevicePorts(state_.listSerialPorts(), state_.discovery);
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

CMainSelectionDlg::~CMainSelectionDlg() = default;

bool CMainSelectionDlg::checkRunning() const {
  return operation_->IsRunning();
}

void CMainSelectionDlg::ShowStatus(const QString& text) {
  status_->setText(text);
}

void CMainSelectionDlg::OnNoDeviceFound() {
  ShowStatus(QStringLiteral("No DAV-OZI found."));
  update_->setEnabled(false);
  configuration_->setEnabled(false);
  serial_port_->setEnabled(true);
  if (!prompt_.AskYesNo("", kNoDeviceQuestion)) {
    serial_port_->setFocus();
    return;
  }
  state_.device.state().fileOnly = true;
  configuration_->setEnabled(true);
  OnConfiguration();
}

void CMainSelectionDlg::OnSeveralDevicesFound() {
  ShowStatus(QStringLiteral("Multiple DAV-OZIs found."));
  serial_port_->setText(QStringLiteral("Choose DAV-OZI"));
  update_->setEnabled(false);
  configuration_->setEnabled(false);
  serial_port_->setEnabled(true);
  serial_port_->setFocus();
  prompt_.ShowMessage("", kSeveralDevicesMessage, MessageIcon::Information);
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
  check_settings_ = state_.device.settings();
  check_state_ = state_.device.state();
  DeviceContext& context = state_.device;
  operation_->Start([this, &context](OperationChannel&) {
    DeviceLink link{context.ports(), check_settings_, context.clock()};
    check_result_ = RunConfigurationCheck(link, check_state_, context.cancel());
  });
}

void CMainSelectionDlg::OnCheckFinished() {
  // A failed check keeps what it found out so far, as the passed one does.
  state_.device.settings() = check_settings_;
  // The transfers open at the rate the device answered the check at.
  if (check_result_.baudRate != 0) state_.device.settings().baudRate = check_result_.baudRate;
  state_.device.state() = check_state_;
  LockForCheck(false);
  if (check_result_.passed()) {
    OpenConfigurationDialog();
    return;
  }
  const std::string path = state_.device.SelectedPath();
  UserMessage message = check_result_.message;
  if (message.text.empty()) {
    // The check has no text of its own for a line that cannot be written.
    message = UserMessage{"", "Writing to " + path + " failed.", MessageIcon::Error};
  } else if (IsAccessDenied(check_result_.openError)) {
    message.text += "\n\n" + PermissionHint(path);
  }
  ShowUserMessage(prompt_, message);
}

void CMainSelectionDlg::OpenConfigurationDialog() {
  CConfigurationMainDlg dialog(state_, prompt_, editors_, this);
  dialog.exec();
}

void CMainSelectionDlg::LockForCheck(bool locked) {
  if (locked) {
    before_check_ = {configuration_->isEnabled(), update_->isEnabled(), serial_port_->isEnabled()};
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
  configuration_->setEnabled(!locked && before_check_.configuration);
  update_->setEnabled(!locked && before_check_.update);
  serial_port_->setEnabled(!locked && before_check_.serialPort);
  about_->setEnabled(!locked);
  ok_->setEnabled(!locked);
  cancel_->setEnabled(!locked);
}

void CMainSelectionDlg::OnUpdate() {
  CUpdateDlg dialog(state_, prompt_, this);
  dialog.exec();
}

void CMainSelectionDlg::OnSerialPortSettings() {
  std::string chosen;
  if (state_.discovery.devicesFound > 1) {
    CChooseDAVOZIDlg dialog(state_.discovery.candidates, this);
    if (dialog.exec() != QDialog::Accepted) return;
    chosen = dialog.chosenPort();
  } else if (state_.discovery.devicesFound == 0) {
    CComPortEinstellung dialog(state_.listSerialPorts(), state_.device.settings().portName, this);
    if (dialog.exec() != QDialog::Accepted) return;
    chosen = dialog.chosenPort();
  } else {
    return;
  }
  if (chosen.empty()) return;
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
  dialog.exec();
}

void CMainSelectionDlg::done(int result) {
  if (checkRunning()) return;
  QDialog::done(result);
}

void CMainSelectionDlg::closeEvent(QCloseEvent* event) {
  if (checkRunning()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace vextune::ui
