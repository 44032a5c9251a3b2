#include "ui/configuration_main_dlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "transfer/send_script.h"
#include "ui/application_state.h"
#include "ui/background_operation.h"
#include "ui/cp1252_field_text.h"
#include "ui/elided_label.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {

/// The read starts this long after the dialog was created, so that it shows
/// before the device is asked anything.
constexpr int kReadAtStartDelayMs = 50;

QGroupBox* NewGroup(const QString& title, const char* objectName, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(QString::fromLatin1(objectName));
  return group;
}

/// A group box holding nothing but `button`.
QGroupBox* GroupAround(QPushButton* button, const char* objectName, QWidget* parent) {
  QGroupBox* group = NewGroup(button->text(), objectName, parent);
  button->setParent(group);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(button);
  return group;
}

}  // namespace

CConfigurationMainDlg::CConfigurationMainDlg(ApplicationState& state, DialogPrompt& prompt,
                                             const SettingsEditors& editors, QWidget* parent)
    : QDialog(parent), state_(state), prompt_(prompt), editors_(editors) {
  setWindowTitle(QStringLiteral("Olvane Vextune - Configuration Main Selection"));
  setObjectName(QStringLiteral("configurationMainDialog"));
  operation_ = new BackgroundOperation(prompt_, state_.device.cancel(), this);

  // Widgets are created in the order of the layout, which is the tab order.
  general_ = NewButton(QStringLiteral("General Settings"), "generalSettingsButton", this);
  aprs_ = NewButton(QStringLiteral("APRS Settings"), "aprsSettingsButton", this);
  misc_ = NewButton(QStringLiteral("Misc Settings"), "miscSettingsButton", this);
  auto* settingsRow = new QHBoxLayout;
  settingsRow->addWidget(GroupAround(general_, "generalSettingsGroup", this));
  settingsRow->addWidget(GroupAround(aprs_, "aprsSettingsGroup", this));
  settingsRow->addWidget(GroupAround(misc_, "miscSettingsGroup", this));

  QGroupBox* files =
      NewGroup(QStringLiteral("Load / Save User Configuration"), "loadSaveGroup", this);
  load_ = NewButton(QStringLiteral("Load"), "loadButton", files);
  save_ = NewButton(QStringLiteral("Save"), "saveButton", files);
  defaults_ = NewButton(QStringLiteral("Load Defaults"), "loadDefaultsButton", files);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(load_);
  fileRow->addWidget(save_);
  fileRow->addWidget(defaults_);
  fileRow->addStretch();

  QGroupBox* config = NewGroup(QStringLiteral("Config"), "configGroup", files);
  status_ = new ElidedLabel(
      QString::fromLatin1(document_text::kNoFileLoaded.data(), document_text::kNoFileLoaded.size()),
      config);
  status_->setObjectName(QStringLiteral("statusLine"));
  status_->setAccessibleName(QStringLiteral("Config"));
  status_->setMinimumWidth(420);
  auto* configLayout = new QVBoxLayout(config);
  configLayout->addWidget(status_);

  progress_ = new QProgressBar(files);
  progress_->setObjectName(QStringLiteral("progressBar"));
  progress_->setAccessibleName(QStringLiteral("Load / Save User Configuration progress"));
  progress_->setRange(0, kLastTransferStep);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setEnabled(false);

  store_ = new QCheckBox(QStringLiteral("Save parameters in nonvolatile DAV-OZI memory"), files);
  store_->setObjectName(QStringLiteral("storeCheckBox"));
  store_->setChecked(true);

  read_ = NewButton(QStringLiteral("Read Configuration"), "readButton", files);
  send_ = NewButton(QStringLiteral("Send Configuration"), "sendButton", files);
  cancel_transfer_ = NewButton(QStringLiteral("Cancel Transfer"), "cancelTransferButton", files);
  cancel_transfer_->setEnabled(false);
  auto* transferRow = new QHBoxLayout;
  transferRow->addWidget(read_);
  transferRow->addWidget(send_);
  transferRow->addWidget(cancel_transfer_);
  transferRow->addStretch();

  auto* filesLayout = new QVBoxLayout(files);
  filesLayout->addLayout(fileRow);
  filesLayout->addWidget(config);
  filesLayout->addWidget(progress_);
  filesLayout->addWidget(store_);
  filesLayout->addLayout(transferRow);

  QGroupBox* infoGroup = NewGroup(QStringLiteral("Info"), "infoGroup", this);
  info_ = new QLabel(infoGroup);
  info_->setObjectName(QStringLiteral("infoLine"));
  info_->setAccessibleName(QStringLiteral("Info"));
  auto* infoLayout = new QVBoxLayout(infoGroup);
  infoLayout->addWidget(info_);

  ok_ = NewButton(QStringLiteral("OK"), "okButton", this);
  cancel_ = NewButton(QStringLiteral("Abbrechen"), "cancelButton", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(settingsRow);
  layout->addWidget(files);
  layout->addWidget(infoGroup);
  layout->addLayout(buttons);

  connect(general_, &QPushButton::clicked, this, [this] { OnEditSettings(editors_.general); });
  connect(aprs_, &QPushButton::clicked, this, [this] { OnEditSettings(editors_.aprs); });
  connect(misc_, &QPushButton::clicked, this, [this] { OnEditSettings(editors_.misc); });
  connect(load_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnLoad);
  connect(save_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnSave);
  connect(defaults_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnLoadDefaults);
  connect(read_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnRead);
  connect(send_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnSend);
  connect(cancel_transfer_, &QPushButton::clicked, this, [this] { state_.device.cancel().Set(); });
  connect(ok_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(operation_, &BackgroundOperation::progressChanged, progress_, &QProgressBar::setValue);
  connect(operation_, &BackgroundOperation::statusChanged, this,
          &CConfigurationMainDlg::ShowStatus);
  connect(operation_, &BackgroundOperation::finished, this,
          &CConfigurationMainDlg::OnTransferFinished);

  EnableEditorButton(general_, editors_.general, true);
  EnableEditorButton(aprs_, editors_.aprs, true);
  EnableEditorButton(misc_, editors_.misc, true);
  info_->setText(QStringLiteral("Firmware installed in DAV-OZI: %1")
                     .arg(Cp1252ToFieldText(state_.device.state().firmwareText)));
  if (state_.device.state().fileOnly) {
    EnableFileControls(false);
    store_->setEnabled(false);
    info_->setText(QStringLiteral("Press 'Load' to open a DAV-OZI config file."));
  } else {
    QTimer::singleShot(kReadAtStartDelayMs, this, [this] {
      if (!transferRunning()) StartRead();
    });
  }
}

CConfigurationMainDlg::~CConfigurationMainDlg() = default;

bool CConfigurationMainDlg::transferRunning() const {
  return operation_->IsRunning();
}

void CConfigurationMainDlg::EnableEditorButton(QPushButton* button, SettingsEditor* editor,
                                               bool enabled) {
  button->setEnabled(enabled && editor != nullptr);
}

void CConfigurationMainDlg::EnableFileControls(bool enabled) {
  EnableEditorButton(general_, editors_.general, enabled);
  EnableEditorButton(aprs_, editors_.aprs, enabled);
  EnableEditorButton(misc_, editors_.misc, enabled);
  save_->setEnabled(enabled);
  send_->setEnabled(enabled);
  defaults_->setEnabled(enabled);
  read_->setEnabled(enabled);
}

void CConfigurationMainDlg::Lock(bool locked) {
  EnableFileControls(!locked);
  load_->setEnabled(!locked);
  ok_->setEnabled(!locked);
  cancel_->setEnabled(!locked);
  store_->setEnabled(!locked);
  cancel_transfer_->setEnabled(locked);
  progress_->setEnabled(locked);
  if (locked) {
    setCursor(Qt::BusyCursor);
    cancel_transfer_->setFocus();
  } else {
    unsetCursor();
  }
}

void CConfigurationMainDlg::ShowStatus(const QString& text) {
  status_->setText(text);
}

void CConfigurationMainDlg::ShowCurrentFile() {
  ShowStatus(QString::fromStdString(state_.document.currentFile()));
}

void CConfigurationMainDlg::Show(const UserMessage& message) {
  ShowUserMessage(prompt_, message);
}

void CConfigurationMainDlg::OnEditSettings(SettingsEditor* editor) {
  if (editor == nullptr) return;
  if (!editor->Edit(this, state_.document.working(), state_.device.state(), prompt_)) return;
  if (state_.document.IsChanged()) ShowStatus(QString());
}

void CConfigurationMainDlg::OnLoad() {
  const LoadOutcome outcome = state_.document.LoadFile(prompt_);
  if (outcome != LoadOutcome::Loaded && outcome != LoadOutcome::Converted) return;
  ShowCurrentFile();
  // A converted file leaves the controls as they were.
  if (outcome == LoadOutcome::Loaded && state_.device.state().fileOnly) {
    EnableFileControls(true);
    store_->setEnabled(false);
    info_->setText(QStringLiteral("Config file loaded."));
  }
}

void CConfigurationMainDlg::OnSave() {
  if (state_.document.SaveFile(prompt_)) ShowCurrentFile();
}

void CConfigurationMainDlg::OnLoadDefaults() {
  state_.document.LoadDefaults(prompt_);
  ShowCurrentFile();
}

void CConfigurationMainDlg::OnRead() {
  state_.document.OfferSaveChanges(prompt_);
  state_.document.ClearFileLoaded();
  StartRead();
}

void CConfigurationMainDlg::OnSend() {
  StartSend([this] {
    state_.document.OfferSaveChanges(prompt_);
    state_.document.ClearFileLoaded();
    accept();
  });
}

void CConfigurationMainDlg::OnOk() {
  const LeaveAction action = state_.document.LeaveWithOk(prompt_, state_.device.state().fileOnly);
  if (action == LeaveAction::SendThenClose) {
    StartSend([this] { accept(); });
  } else {
    accept();
  }
}

void CConfigurationMainDlg::StartRead() {
  if (transferRunning()) return;
  Lock(true);
  progress_->setValue(0);
  saved_status_ = status_->text();

  TransferRun& run = run_.emplace();
  run.kind = TransferRun::Kind::Read;
  run.working = state_.document.working();
  run.baseline = state_.document.baseline();
  // The worker works on copies; OnTransferFinished takes the results over.
  // The read opens at the rate the check or the last send found.
  const DeviceState device = state_.device.state();
  const LinkSettings settings = state_.device.settings();
  const std::filesystem::path backups = state_.dataFolder.BackupFolder();
  // The simulated device's reads stay out of the user's backups.
  const bool keepBackup = !state_.simulated;
  DeviceContext& context = state_.device;
  operation_->Start([&run, device, settings, backups, keepBackup,
                     &context](OperationChannel& channel) {
    LinkSettings at = settings;
    DeviceLink link{context.ports(), at, context.clock()};
    run.read = ReadIntoWorking(link, device, run.working, run.baseline, context.cancel(), channel,
                               [&channel](const std::string& s) { channel.ShowStatus(s); });
    if (run.read.result != ReadResult::Complete || !keepBackup) return;
    BackupStore store(backups, context.clock());
    if (auto path = store.Keep(run.working, device.firmwareText, &run.backupError)) {
      run.backupFile = path->string();
    }
  });
}

void CConfigurationMainDlg::StartSend(std::function<void()> after) {
  if (transferRunning()) return;
  Lock(true);
  saved_status_ = status_->text();

  TransferRun& run = run_.emplace();
  run.kind = TransferRun::Kind::Send;
  run.working = state_.document.working();
  run.baseline = state_.document.baseline();
  run.after = std::move(after);
  const bool store = store_->isChecked();
  const DeviceState device = state_.device.state();
  const LinkSettings settings = state_.device.settings();
  DeviceContext& context = state_.device;
  operation_->Start([&run, device, settings, store, &context](OperationChannel& channel) {
    LinkSettings at = settings;
    DeviceLink link{context.ports(), at, context.clock()};
    run.send = SendAndVerify(link, device, run.working, run.baseline, store, context.cancel(),
                             channel, [&channel](const std::string& s) { channel.ShowStatus(s); });
  });
}

void CConfigurationMainDlg::OnTransferFinished() {
  if (!run_) return;
  TransferRun run = std::move(*run_);
  run_.reset();
  // Every read starts by making the baseline equal to the working record.
  state_.document.baseline() = run.baseline;

  if (run.kind == TransferRun::Kind::Read) {
    if (run.read.result == ReadResult::Complete) {
      state_.document.working() = run.working;
      if (!run.backupFile.empty()) last_backup_ = run.backupFile;
      if (!run.backupError.empty()) {
        Show(UserMessage{kReadCaption,
                         "No backup of the configuration was kept:\n" + run.backupError,
                         MessageIcon::Warning});
      }
    } else {
      ShowStatus(saved_status_);
      if (run.read.message) Show(*run.read.message);
    }
    progress_->setValue(0);
    Lock(false);
    return;
  }

  // The next send finds the device where this one did.
  if (run.send.baudRate != 0) state_.device.settings().baudRate = run.send.baudRate;
  // Every send uses up the store option: a second send does not store
  // unless the user ticks it again.
  store_->setChecked(false);
  if (auto message = SendMessageWithRecovery(run.send, last_backup_)) Show(*message);
  ShowStatus(saved_status_);
  Lock(false);
  if (run.after) run.after();
}

void CConfigurationMainDlg::done(int result) {
  // While a transfer runs only "Cancel Transfer" responds (Escape included).
  if (transferRunning()) return;
  if (result == QDialog::Rejected) state_.document.ClearFileLoaded();
  QDialog::done(result);
}

void CConfigurationMainDlg::closeEvent(QCloseEvent* event) {
  if (transferRunning()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace vextune::ui
