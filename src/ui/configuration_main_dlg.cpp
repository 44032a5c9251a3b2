#include "ui/configuration_main_dlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editor/backup_choice.h"
#include "transfer/send_script.h"
#include "ui/application_state.h"
#include "ui/backups_dlg.h"
#include "ui/change_list_view.h"
#include "ui/cp1252_field_text.h"
#include "ui/dialog_controls.h"
#include "ui/elided_label.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {

/// The read starts this long after the dialog was created, so that it shows
/// before the device is asked anything.
constexpr int kReadAtStartDelayMs = 50;

/// Rows the list of changes shows without scrolling: the dialog still fits
/// a 600-pixel screen with the list open.
constexpr int kChangeRows = 5;

/// A group box holding nothing but `button`.
QGroupBox* GroupAround(QPushButton* button, const char* objectName, QWidget* parent) {
  auto* group = Make<QGroupBox>(parent, objectName, WithoutMnemonic(button->text()));
  button->setParent(group);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(button);
  return group;
}

}  // namespace

CConfigurationMainDlg::CConfigurationMainDlg(ApplicationState& state, DialogPrompt& prompt,
                                             const SettingsDialogRunners& runners, QWidget* parent)
    : OperationDialog(prompt, state.device.cancel(), parent),
      state_(state),
      prompt_(prompt),
      runners_(runners) {
  setWindowTitle(QStringLiteral("Olvane Vextune - Configuration Main Selection"));
  setObjectName(QStringLiteral("configurationMainDialog"));
  state_.document.SetBackupFolder(state_.dataFolder.BackupFolder());

  // Widgets are created in the order of the layout, which is the tab order.
  general_ = NewButton(QStringLiteral("&General Settings"), "generalSettingsButton", this);
  aprs_ = NewButton(QStringLiteral("A&PRS Settings"), "aprsSettingsButton", this);
  misc_ = NewButton(QStringLiteral("&Misc Settings"), "miscSettingsButton", this);
  auto* settingsRow = new QHBoxLayout;
  settingsRow->addWidget(GroupAround(general_, "generalSettingsGroup", this));
  settingsRow->addWidget(GroupAround(aprs_, "aprsSettingsGroup", this));
  settingsRow->addWidget(GroupAround(misc_, "miscSettingsGroup", this));

  QGroupBox* files =
      Make<QGroupBox>(this, "loadSaveGroup", QStringLiteral("Load / Save User Configuration"));
  load_ = NewButton(QStringLiteral("&Load"), "loadButton", files);
  save_ = NewButton(QStringLiteral("&Save"), "saveButton", files);
  defaults_ = NewButton(QStringLiteral("Load &Defaults"), "loadDefaultsButton", files);
  backups_ = NewButton(QStringLiteral("&Backups"), "backupsButton", files);
  backups_->setToolTip(
      QStringLiteral("The configurations read from the DAV-OZI: load one to "
                     "send it back"));
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(load_);
  fileRow->addWidget(save_);
  fileRow->addWidget(defaults_);
  fileRow->addStretch();
  fileRow->addWidget(backups_);

  QGroupBox* config = Make<QGroupBox>(files, "configGroup", QStringLiteral("Config"));
  status_ = new ElidedLabel(
      QString::fromLatin1(document_text::kNoFileLoaded.data(), document_text::kNoFileLoaded.size()),
      config);
  status_->setObjectName(QStringLiteral("statusLine"));
  status_->setAccessibleDescription(QStringLiteral("Config"));
  status_->setMinimumWidth(420);
  auto* configLayout = new QVBoxLayout(config);
  configLayout->addWidget(status_);

  // Announced like the status line: it says what a send would change.
  comparison_ = new ElidedLabel(QString(), files);
  comparison_->setObjectName(QStringLiteral("comparisonLine"));
  show_changes_ = NewButton(QStringLiteral("Show &Changes"), "showChangesButton", files);
  show_changes_->setCheckable(true);
  auto* comparisonRow = new QHBoxLayout;
  comparisonRow->addWidget(comparison_, 1);
  comparisonRow->addWidget(show_changes_);
  changes_ =
      NewChangeTree({QStringLiteral("Parameter"), QStringLiteral("DAV-OZI"), QStringLiteral("New")},
                    "changeList", QStringLiteral("Changes against the DAV-OZI"), files);
  changes_->setMaximumHeight(HeightForRows(changes_, kChangeRows));
  changes_->hide();

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
  send_all_ = new QCheckBox(QStringLiteral("Send all parameters"), files);
  send_all_->setObjectName(QStringLiteral("sendAllCheckBox"));
  send_all_->setToolTip(
      QStringLiteral("Sends every parameter, not only those that differ from "
                     "the DAV-OZI"));
  auto* optionRow = new QHBoxLayout;
  optionRow->addWidget(store_);
  optionRow->addStretch();
  optionRow->addWidget(send_all_);

  read_ = NewButton(QStringLiteral("&Read Configuration"), "readButton", files);
  send_ = NewButton(QStringLiteral("Se&nd Configuration"), "sendButton", files);
  cancel_transfer_ = NewButton(QStringLiteral("Cancel &Transfer"), "cancelTransferButton", files);
  cancel_transfer_->setEnabled(false);
  auto* transferRow = new QHBoxLayout;
  transferRow->addWidget(read_);
  transferRow->addWidget(send_);
  transferRow->addWidget(cancel_transfer_);
  transferRow->addStretch();

  auto* filesLayout = new QVBoxLayout(files);
  filesLayout->addLayout(fileRow);
  filesLayout->addWidget(config);
  filesLayout->addLayout(comparisonRow);
  filesLayout->addWidget(changes_);
  filesLayout->addWidget(progress_);
  filesLayout->addLayout(optionRow);
  filesLayout->addLayout(transferRow);

  QGroupBox* infoGroup = Make<QGroupBox>(this, "infoGroup", QStringLiteral("Info"));
  info_ = new QLabel(infoGroup);
  info_->setObjectName(QStringLiteral("infoLine"));
  info_->setAccessibleDescription(QStringLiteral("Info"));
  auto* infoLayout = new QVBoxLayout(infoGroup);
  infoLayout->addWidget(info_);

  const OkCancelRow buttons = NewOkCancelButtons(this, ButtonWidth::Roomy);
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  UseOkCancelButtons(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(settingsRow);
  layout->addWidget(files);
  layout->addWidget(infoGroup);
  layout->addLayout(buttons.layout);

  connect(general_, &QPushButton::clicked, this, [this] { OnEditSettings(runners_.general); });
  connect(aprs_, &QPushButton::clicked, this, [this] { OnEditSettings(runners_.aprs); });
  connect(misc_, &QPushButton::clicked, this, [this] { OnEditSettings(runners_.misc); });
  connect(load_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnLoad);
  connect(save_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnSave);
  connect(defaults_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnLoadDefaults);
  connect(backups_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnBackups);
  connect(show_changes_, &QPushButton::toggled, this, [this](bool on) {
    show_changes_->setText(on ? QStringLiteral("Hide &Changes") : QStringLiteral("Show &Changes"));
    changes_->setVisible(on);
    adjustSize();
  });
  connect(read_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnRead);
  connect(send_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnSend);
  connect(cancel_transfer_, &QPushButton::clicked, this, [this] { state_.device.cancel().Set(); });
  connect(ok_, &QPushButton::clicked, this, &CConfigurationMainDlg::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(&operation(), &BackgroundOperation::progressChanged, progress_, &QProgressBar::setValue);
  connect(&operation(), &BackgroundOperation::statusChanged, this,
          &CConfigurationMainDlg::ShowStatus);

  EnableSettingsButton(general_, runners_.general, true);
  EnableSettingsButton(aprs_, runners_.aprs, true);
  EnableSettingsButton(misc_, runners_.misc, true);
  info_->setText(QStringLiteral("Firmware installed in DAV-OZI: %1")
                     .arg(Cp1252ToFieldText(state_.device.state().firmwareText)));
  ShowComparison();
  if (state_.device.state().fileOnly) {
    EnableFileControls(false);
    store_->setEnabled(false);
    send_all_->setEnabled(false);
    info_->setText(QStringLiteral("Press 'Load' to open a DAV-OZI config file."));
  } else {
    QTimer::singleShot(kReadAtStartDelayMs, this, &CConfigurationMainDlg::OnReadAtStart);
  }
}

CConfigurationMainDlg::~CConfigurationMainDlg() {
  EndOperation();
}

bool CConfigurationMainDlg::transferRunning() const {
  return operation().IsRunning();
}

void CConfigurationMainDlg::EnableSettingsButton(QPushButton* button, SettingsDialogRunner* runner,
                                                 bool enabled) {
  button->setEnabled(enabled && runner != nullptr);
}

void CConfigurationMainDlg::EnableFileControls(bool enabled) {
  EnableSettingsButton(general_, runners_.general, enabled);
  EnableSettingsButton(aprs_, runners_.aprs, enabled);
  EnableSettingsButton(misc_, runners_.misc, enabled);
  save_->setEnabled(enabled);
  defaults_->setEnabled(enabled);
  // Without a port a transfer can only fail.
  const bool transfers = enabled && !state_.device.state().fileOnly;
  send_->setEnabled(transfers);
  read_->setEnabled(transfers);
}

void CConfigurationMainDlg::Lock(bool locked) {
  EnableFileControls(!locked);
  load_->setEnabled(!locked);
  backups_->setEnabled(!locked);
  // OK and Abbrechen come back before Cancel Transfer goes, so that the focus
  // it had moves on to OK.
  ShowBusy(locked);
  store_->setEnabled(!locked);
  send_all_->setEnabled(!locked);
  cancel_transfer_->setEnabled(locked);
  progress_->setEnabled(locked);
  if (locked) cancel_transfer_->setFocus();
}

void CConfigurationMainDlg::ShowStatus(const QString& text) {
  status_->setText(text);
}

void CConfigurationMainDlg::ShowComparison() {
  const DeviceComparison comparison = CompareWithDevice(
      state_.document, state_.device.SelectedPath(), state_.device.state().fileOnly);
  comparison_->setText(QString::fromStdString(comparison.summary));
  show_changes_->setEnabled(comparison.comparable);
  if (!comparison.comparable) show_changes_->setChecked(false);
  ShowChanges(changes_, comparison.changes,
              QStringLiteral("No parameter differs from the DAV-OZI."));
}

void CConfigurationMainDlg::ShowCurrentFile() {
  ShowStatus(QString::fromStdString(state_.document.currentFile()));
}

void CConfigurationMainDlg::Show(const UserMessage& message) {
  ShowUserMessage(prompt_, message);
}

void CConfigurationMainDlg::OnEditSettings(SettingsDialogRunner* runner) {
  if (runner == nullptr) return;
  if (!runner->Edit(this, state_.document.working(), state_.device.state(), prompt_)) return;
  if (state_.document.IsChanged()) ShowStatus(QString());
  ShowComparison();
}

void CConfigurationMainDlg::OnLoad() {
  AfterLoad(state_.document.LoadFile(prompt_));
}

void CConfigurationMainDlg::OnBackups() {
  const std::filesystem::path folder = state_.dataFolder.BackupFolder();
  CBackupsDlg dialog(ListBackups(folder, state_.document.working()), this);
  if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().empty()) return;
  state_.document.OfferSaveChanges(prompt_);
  AfterLoad(state_.document.LoadFromPath(dialog.chosenPath(), prompt_));
}

void CConfigurationMainDlg::AfterLoad(LoadOutcome outcome) {
  if (outcome != LoadOutcome::Loaded && outcome != LoadOutcome::Converted) return;
  ShowComparison();
  ShowStatus(QString::fromStdString(state_.document.loadStatus()));
  if (state_.device.state().fileOnly) {
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
  ShowComparison();
}

void CConfigurationMainDlg::OnRead() {
  state_.document.OfferSaveChanges(prompt_);
  state_.document.ClearFileLoaded();
  StartRead();
}

void CConfigurationMainDlg::OnReadAtStart() {
  if (transferRunning()) return;
  if (state_.document.ConfirmReadOverChanges(prompt_)) {
    StartRead();
  } else {
    ShowStatusAfterIncompleteRead(status_->text());
  }
}

void CConfigurationMainDlg::OnSend() {
  Send();
}

void CConfigurationMainDlg::OnOk() {
  const LeaveAction action = state_.document.LeaveWithOk(prompt_, state_.device.state().fileOnly);
  if (action == LeaveAction::SendThenClose) {
    Send();
  } else {
    accept();
  }
}

void CConfigurationMainDlg::Send() {
  if (transferRunning()) return;
  if (!state_.document.ConfirmSend(prompt_, state_.device.SelectedPath())) return;
  Lock(true);
  saved_status_ = status_->text();
  if (!send_all_->isChecked()) {
    // The simulated device's configuration stays out of the user's backups,
    // so there a recent read needs none.
    if (const DeviceRecord* trusted = state_.document.TrustedDeviceRecord(
            state_.device.SelectedPath(), state_.device.clock().NowMs(), !state_.simulated)) {
      if (!trusted->backupFile.empty()) last_backup_ = trusted->backupFile;
      StartSend(trusted->record);
      return;
    }
  }
  if (state_.simulated) {
    StartSend(std::nullopt);
  } else {
    StartBackup();
  }
}

void CConfigurationMainDlg::ShowStatusAfterIncompleteRead(const QString& before) {
  const std::optional<std::string> status =
      state_.document.StatusAfterIncompleteRead(state_.device.SelectedPath());
  ShowStatus(status ? QString::fromStdString(*status) : before);
}

void CConfigurationMainDlg::StartRead() {
  if (transferRunning()) return;
  Lock(true);
  progress_->setValue(0);
  saved_status_ = status_->text();

  TransferRun run;
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
  operation().Start(
      [run = std::move(run), device, settings, backups, keepBackup,
       &context](OperationChannel& channel) mutable {
        LinkSettings at = settings;
        DeviceLink link{context.ports(), at, context.clock()};
        run.read =
            ReadIntoWorking(link, device, run.working, run.baseline, context.cancel(), channel,
                            [&channel](const std::string& s) { channel.ShowStatus(s); });
        if (run.read.result != ReadResult::Complete || !keepBackup) return std::move(run);
        BackupStore store(backups, context.clock());
        if (auto path = store.Keep(run.working, device.firmwareText, &run.backupError)) {
          run.backupFile = path->string();
        }
        return std::move(run);
      },
      [this](TransferRun done) { OnTransferFinished(std::move(done)); });
}

void CConfigurationMainDlg::StartBackup() {
  progress_->setValue(0);
  TransferRun run;
  run.kind = TransferRun::Kind::Backup;
  const DeviceState device = state_.device.state();
  const LinkSettings settings = state_.device.settings();
  const std::filesystem::path backups = state_.dataFolder.BackupFolder();
  DeviceContext& context = state_.device;
  operation().Start(
      [run = std::move(run), device, settings, backups,
       &context](OperationChannel& channel) mutable {
        LinkSettings at = settings;
        DeviceLink link{context.ports(), at, context.clock()};
        BackupStore store(backups, context.clock());
        run.backup = BackUpDevice(link, device, store, context.cancel(), channel,
                                  [&channel](const std::string& s) { channel.ShowStatus(s); });
        return std::move(run);
      },
      [this](TransferRun done) { OnTransferFinished(std::move(done)); });
}

void CConfigurationMainDlg::StartSend(std::optional<CConfigData> onDevice) {
  progress_->setValue(0);
  TransferRun run;
  run.kind = TransferRun::Kind::Send;
  run.working = state_.document.working();
  run.baseline = state_.document.baseline();
  const bool store = store_->isChecked();
  const DeviceState device = state_.device.state();
  const LinkSettings settings = state_.device.settings();
  DeviceContext& context = state_.device;
  operation().Start(
      [run = std::move(run), device, settings, store, onDevice = std::move(onDevice),
       &context](OperationChannel& channel) mutable {
        LinkSettings at = settings;
        DeviceLink link{context.ports(), at, context.clock()};
        run.send = SendAndVerify(
            link, device, run.working, run.baseline, store, context.cancel(), channel,
            [&channel](const std::string& s) { channel.ShowStatus(s); },
            onDevice ? &*onDevice : nullptr);
        return std::move(run);
      },
      [this](TransferRun done) { OnTransferFinished(std::move(done)); });
}

void CConfigurationMainDlg::OnTransferFinished(TransferRun run) {
  switch (run.kind) {
    case TransferRun::Kind::Read:
      FinishRead(run);
      return;
    case TransferRun::Kind::Backup:
      FinishBackup(run);
      return;
    case TransferRun::Kind::Send:
      FinishSend(run);
      return;
  }
}

void CConfigurationMainDlg::FinishRead(const TransferRun& run) {
  if (run.read.result == ReadResult::Complete) {
    state_.document.TakeDeviceRead(run.working, state_.device.SelectedPath(),
                                   state_.device.clock().NowMs(), run.backupFile);
    if (!run.backupFile.empty()) last_backup_ = run.backupFile;
    if (!run.backupError.empty()) {
      Show(UserMessage{kReadCaption, "No backup of the configuration was kept:\n" + run.backupError,
                       MessageIcon::Warning});
    }
  } else {
    ShowStatusAfterIncompleteRead(saved_status_);
    if (run.read.message) Show(*run.read.message);
  }
  progress_->setValue(0);
  Lock(false);
  ShowComparison();
}

void CConfigurationMainDlg::FinishBackup(const TransferRun& run) {
  // A complete read, kept or not, is what the device holds now.
  std::optional<CConfigData> onDevice;
  if (run.backup.result == ReadResult::Complete) {
    state_.document.NoteDeviceRead(run.backup.record, state_.device.SelectedPath(),
                                   state_.device.clock().NowMs(), run.backup.file);
    if (!send_all_->isChecked()) onDevice = run.backup.record;
  }
  if (run.backup.Kept()) {
    last_backup_ = run.backup.file;
    StartSend(onDevice);
    return;
  }
  // A cancel here has written nothing.
  if (run.backup.result == ReadResult::Aborted) {
    SendOutcome nothingSent;
    nothingSent.sendResult = SendResult::Aborted;
    nothingSent.message = SendResultMessage(SendResult::Aborted);
    Show(*SendMessageWithRecovery(nothingSent, "", RestoreRoute::DesktopProgram));
  } else if (prompt_.AskYesNoDefaultNo(kSendCaption, SendWithoutBackupQuestion(run.backup))) {
    StartSend(onDevice);
    return;
  }
  ShowStatus(saved_status_);
  progress_->setValue(0);
  Lock(false);
}

void CConfigurationMainDlg::FinishSend(const TransferRun& run) {
  // The next send finds the device where this one did.
  if (run.send.baudRate != 0) state_.device.settings().baudRate = run.send.baudRate;
  // Every send uses up the store option: a second send does not store
  // unless the user ticks it again.
  store_->setChecked(false);
  ShowStatus(saved_status_);
  progress_->setValue(0);
  Lock(false);
  const std::string port = state_.device.SelectedPath();
  if (run.send.Verified()) {
    state_.document.TakeVerifiedSend(port, state_.device.clock().NowMs());
    sent_status_ = QString::fromStdString(run.send.nothingToChange
                                              ? NothingToChangeStatus(port, run.send.stored)
                                              : SentAndVerifiedStatus(port, run.send.stored));
    accept();
    return;
  }
  // What the device holds now is not known: the next send reads it first.
  state_.document.DeviceMayHaveChanged();
  ShowComparison();
  // The dialog stays open with the values, so nothing is lost.
  if (auto message =
          SendMessageWithRecovery(run.send, last_backup_, RestoreRoute::DesktopProgram)) {
    Show(*message);
  }
}

bool CConfigurationMainDlg::MayClose(int result) {
  if (result != QDialog::Rejected) return true;
  // Abbrechen, Escape and the window's close button lose no changes
  // without asking.
  switch (state_.document.LeaveWithCancel(prompt_, state_.device.state().fileOnly)) {
    case LeaveAction::Stay:
      return false;
    case LeaveAction::SendThenClose:
      Send();
      return false;
    case LeaveAction::Close:
      break;
  }
  return true;
}

void CConfigurationMainDlg::OnDone(int result) {
  if (result == QDialog::Rejected) state_.document.ClearFileLoaded();
}

}  // namespace vextune::ui
