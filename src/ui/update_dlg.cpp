#include "ui/update_dlg.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <cerrno>

#include "link/system_serial_port.h"
#include "ui/application_state.h"
#include "ui/dialog_controls.h"
#include "ui/elided_label.h"
#include "ui/thread_handoff.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {

/// Calls `call` on `receiver`'s thread, from the worker, with what the
/// worker did before made visible to it.
template <typename F>
void PostTo(QObject* receiver, F call) {
  QMetaObject::invokeMethod(receiver, HandedOver(std::move(call)), Qt::QueuedConnection);
}
constexpr const char* kOpenFileError = "ERROR opening file!";
constexpr const char* kUpdateFilter = "ambrel update files (*.amb)";
/// Room for every line of the findings, so that nothing scrolls.
constexpr int kFindingsLines = 6;
/// A firmware version not known (yet).
constexpr const char* kNoVersion = "-";

/// The status line once a guided run has ended.
std::string GuidedStatus(const GuidedUpdateReport& report) {
  switch (report.outcome) {
    case GuidedOutcome::Completed:
      if (report.startedInBios)
        return "Firmware updated to " + FirmwareShown(report.firmwareAfter) + ".";
      return "Firmware updated from " + FirmwareShown(report.firmwareBefore) + " to " +
             FirmwareShown(report.firmwareAfter) + ".";
    case GuidedOutcome::Cancelled:
      return "Update cancelled.";
    case GuidedOutcome::Declined:
      return "Update not sent.";
    case GuidedOutcome::Failed:
      break;
  }
  const std::string& text = report.endMessage.text;
  return "Update failed: " + text.substr(0, text.find('\n'));
}

QString VersionText(const std::string& firmwareText) {
  return firmwareText.empty() ? QString::fromLatin1(kNoVersion)
                              : QString::fromStdString(FirmwareShown(firmwareText));
}
}  // namespace

CUpdateDlg::CUpdateDlg(ApplicationState& state, DialogPrompt& prompt, QWidget* parent)
    : OperationDialog(prompt, state.device.cancel(), parent), state_(state), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Olvane Vextune - Update"));
  setObjectName(QStringLiteral("updateDialog"));

  auto* fileGroup = new QGroupBox(QStringLiteral("Update File"), this);
  fileGroup->setObjectName(QStringLiteral("updateFileGroup"));
  path_ = new QLineEdit(fileGroup);
  path_->setObjectName(QStringLiteral("pathEdit"));
  path_->setReadOnly(true);
  path_->setAccessibleName(QStringLiteral("Update File"));
  path_->setMinimumWidth(320);
  browse_ = NewButton(QStringLiteral("&Browse"), "browseButton", fileGroup);
  hint_ = new QLabel(QStringLiteral("Click \"Browse\" to select an update file."), fileGroup);
  hint_->setObjectName(QStringLiteral("hintText"));
  findings_ = new QTextEdit(fileGroup);
  findings_->setObjectName(QStringLiteral("findingsText"));
  findings_->setAccessibleName(QStringLiteral("Update findings"));
  findings_->setReadOnly(true);
  // Read with the keyboard too; Tab goes on to the next control.
  findings_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  findings_->setTabChangesFocus(true);
  findings_->setLineWrapMode(QTextEdit::WidgetWidth);
  findings_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  findings_->setFixedHeight(findings_->fontMetrics().lineSpacing() * kFindingsLines +
                            2 * (findings_->frameWidth() + 4));
  findings_->hide();
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(path_, 1);
  pathRow->addWidget(browse_);
  auto* fileLayout = new QVBoxLayout(fileGroup);
  fileLayout->addLayout(pathRow);
  fileLayout->addWidget(hint_);
  fileLayout->addWidget(findings_);

  auto* updateGroup = new QGroupBox(QStringLiteral("Update"), this);
  updateGroup->setObjectName(QStringLiteral("updateGroup"));
  progress_ = new QProgressBar(updateGroup);
  progress_->setObjectName(QStringLiteral("progressBar"));
  progress_->setAccessibleName(QStringLiteral("Update progress"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  send_ = NewButton(QStringLiteral("&Send Update"), "sendUpdateButton", updateGroup);
  cancel_update_ = NewButton(QStringLiteral("&Cancel Update"), "cancelUpdateButton", updateGroup);
  send_->setEnabled(false);
  cancel_update_->setEnabled(false);
  guided_ = NewCheckBox(
      "guidedCheck", QStringLiteral("&Guide through the BIOS switch and keep the configuration"));
  guided_->setParent(updateGroup);
  guided_->setChecked(true);
  guided_->setToolTip(QStringLiteral(
      "Start with the DAV-OZI in its normal firmware: its configuration is kept as a backup, "
      "you are told when to switch BIOS on and off, and the backup is offered back if the "
      "update changed the configuration. Off: the DAV-OZI must be in BIOS mode already."));
  status_ = new ElidedLabel(QString(), updateGroup);
  status_->setObjectName(QStringLiteral("updateStatusLine"));
  status_->setAccessibleDescription(QStringLiteral("Update"));
  before_ = new QLabel(QString::fromLatin1(kNoVersion), updateGroup);
  before_->setObjectName(QStringLiteral("firmwareBeforeText"));
  before_->setAccessibleDescription(QStringLiteral("Firmware before"));
  after_ = new QLabel(QString::fromLatin1(kNoVersion), updateGroup);
  after_->setObjectName(QStringLiteral("firmwareAfterText"));
  after_->setAccessibleDescription(QStringLiteral("Firmware after"));
  auto* versions = new QFormLayout;
  versions->addRow(QStringLiteral("Firmware before:"), before_);
  versions->addRow(QStringLiteral("Firmware after:"), after_);
  auto* runRow = new QHBoxLayout;
  runRow->addWidget(send_);
  runRow->addWidget(cancel_update_);
  runRow->addStretch();
  auto* updateLayout = new QVBoxLayout(updateGroup);
  updateLayout->addWidget(guided_);
  updateLayout->addWidget(progress_);
  updateLayout->addWidget(status_);
  updateLayout->addLayout(versions);
  updateLayout->addLayout(runRow);

  const OkCancelRow buttons = NewOkCancelButtons(this, ButtonWidth::Roomy);
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  UseOkCancelButtons(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileGroup);
  layout->addWidget(updateGroup);
  layout->addLayout(buttons.layout);

  // Tab follows the layout: the check box sits above the progress bar.
  QWidget::setTabOrder(findings_, guided_);
  QWidget::setTabOrder(guided_, send_);
  QWidget::setTabOrder(send_, cancel_update_);
  QWidget::setTabOrder(cancel_update_, ok_);
  browse_->setFocus();

  connect(browse_, &QPushButton::clicked, this, &CUpdateDlg::OnBrowse);
  connect(send_, &QPushButton::clicked, this, &CUpdateDlg::OnSendUpdate);
  connect(cancel_update_, &QPushButton::clicked, this, [this] { state_.device.cancel().Set(); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(&operation(), &BackgroundOperation::progressChanged, progress_, &QProgressBar::setValue);
  connect(&operation(), &BackgroundOperation::statusChanged, this, &CUpdateDlg::OnStatus);
}

CUpdateDlg::~CUpdateDlg() {
  EndOperation();
}

void CUpdateDlg::OnBrowse() {
  FileDialogRequest request;
  request.title = "Choose an update file";
  request.filters = {kUpdateFilter};
  request.defaultExtension = ".amb";
  const std::optional<std::string> path = prompt_.ChooseFileToOpen(request);
  if (!path) return;
  // The file chosen before is closed; Send Update needs the new one open.
  file_.reset();
  path_->setText(QString::fromStdString(*path));
  std::string reason;
  file_ = OpenUpdateFile(*path, &reason);
  if (!file_) {
    send_->setEnabled(false);
    ShowFindings(std::string(kOpenFileError) + "\n" + reason);
    prompt_.ShowMessage("", kOpenFileError, MessageIcon::Error);
    return;
  }
  // The check the run makes before the port opens, shown at once: a file it
  // would refuse cannot be sent, a doubtful one says why.
  const UpdateImageCheck check = CheckUpdateImage(*file_);
  ShowFindings(
      UpdateFileSummary(check, QFileInfo(QString::fromStdString(*path)).fileName().toStdString()));
  send_->setEnabled(check.info.has_value());
}

void CUpdateDlg::ShowFindings(const std::string& text) {
  findings_->setPlainText(QString::fromStdString(text));
  hint_->hide();
  findings_->show();
}

void CUpdateDlg::OnSendUpdate() {
  if (!file_ || operation().IsRunning()) return;
  last_outcome_.reset();
  last_guided_.reset();
  browse_->setEnabled(false);
  send_->setEnabled(false);
  guided_->setEnabled(false);
  ShowBusy(true);
  cancel_update_->setEnabled(true);
  cancel_update_->setFocus();
  if (guided_->isChecked()) {
    StartGuided();
    return;
  }
  status_->setText(QString());

  const LinkSettings settings = state_.device.settings();
  std::shared_ptr<UpdateSource> file = file_;
  DeviceContext& device = state_.device;
  // A file that does not look like firmware is asked about; what the run
  // finds shows in the findings area, with no message box to click away.
  UpdateOptions options;
  options.fileName = path_->text().toStdString();
  options.onDoubt = ImageDoubtPolicy::Ask;
  struct Run {
    UpdateOutcome outcome = UpdateOutcome::Failed;
    UpdateRunInfo info;
  };
  operation().Start(
      [file, settings, options, &device](OperationChannel& channel) mutable {
        options.onFindings = [&channel](const UpdateRunInfo& found) {
          channel.ShowStatus(FindingsText(found));
        };
        LinkSettings at = settings;
        DeviceLink link{device.ports(), at, device.clock()};
        Run run;
        run.outcome = RunFirmwareUpdate(link, *file, device.cancel(), channel, channel.prompt(),
                                        &run.info, options);
        return run;
      },
      [this](Run run) { OnRunFinished(run.outcome, run.info); });
}

void CUpdateDlg::StartGuided() {
  guided_running_ = true;
  status_->setText(QString());
  ShowVersions({}, {});
  const LinkSettings settings = state_.device.settings();
  const DeviceState known = state_.device.state();
  std::shared_ptr<UpdateSource> file = file_;
  DeviceContext& device = state_.device;
  // The simulated device's reads stay out of the user's backups.
  std::optional<std::filesystem::path> backups;
  if (state_.dataFolder.known() && !state_.simulated) backups = state_.dataFolder.BackupFolder();
  GuidedUpdateOptions options;
  options.update.fileName = path_->text().toStdString();
  options.update.onDoubt = ImageDoubtPolicy::Ask;
  options.portPresent = SerialPortPresent;
  // The simulated device's configuration is compared from memory, unasked.
  if (state_.simulated) options.noBackupReason.clear();
  struct Run {
    GuidedUpdateReport report;
    DeviceState device;
  };
  operation().Start(
      [this, file, settings, known, backups, options, &device](OperationChannel& channel) mutable {
        // The findings take the findings area; the status line is the steps'.
        options.update.onFindings = [this](const UpdateRunInfo& found) {
          PostTo(this, [this, text = FindingsText(found)] { ShowFindings(text); });
        };
        std::optional<BackupStore> store;
        if (backups) store.emplace(*backups, device.clock());
        options.backups = store ? &*store : nullptr;
        Run run;
        run.device = known;
        LinkSettings at = settings;
        DeviceLink link{device.ports(), at, device.clock()};
        const StatusSink status = [this, &channel, &run](const std::string& text) {
          // The version read at the start shows while the user is at the switch.
          if (text == guided_message::kSwitchBiosOn) {
            PostTo(this, [this, before = run.device.firmwareText] { ShowVersions(before, {}); });
          }
          if (text == guided_message::kSwitchBiosOn || text == guided_message::kSwitchBiosOff) {
            PostTo(this, [this, on = text == guided_message::kSwitchBiosOn] {
              SwitchSimulatedBiosSoon(on);
            });
          }
          channel.ShowStatus(text);
        };
        run.report = RunGuidedUpdate(link, run.device, *file, device.cancel(), channel,
                                     channel.prompt(), status, options);
        return run;
      },
      [this](Run run) { OnGuidedFinished(std::move(run.report), run.device); });
}

void CUpdateDlg::OnStatus(const QString& text) {
  if (guided_running_) {
    status_->setText(text);
  } else {
    ShowFindings(text.toStdString());
  }
}

void CUpdateDlg::SwitchSimulatedBiosSoon(bool on) {
  if (!state_.switchSimulatedBios) return;
  // Time to read the instruction before the simulated owner follows it; a
  // run cancelled meanwhile is not followed.
  constexpr int kOwnerAtTheSwitchMs = 1500;
  QTimer::singleShot(kOwnerAtTheSwitchMs, this, [this, on] {
    if (guided_running_) state_.switchSimulatedBios(on);
  });
}

void CUpdateDlg::ShowVersions(const std::string& before, const std::string& after) {
  before_->setText(VersionText(before));
  after_->setText(VersionText(after));
}

void CUpdateDlg::OnGuidedFinished(GuidedUpdateReport report, const DeviceState& device) {
  guided_running_ = false;
  last_outcome_ = report.update;
  // What the run found of the device holds for the next operation too.
  if (report.baudRate != 0) state_.device.settings().baudRate = report.baudRate;
  state_.device.state().firmwareVersion = device.firmwareVersion;
  state_.device.state().firmwareText = device.firmwareText;
  ShowVersions(report.firmwareBefore, report.firmwareAfter);
  if (report.startedInBios) before_->setText(QStringLiteral("not known (BIOS mode)"));
  status_->setText(QString::fromStdString(GuidedStatus(report)));
  if (IsAccessDenied(report.openError)) {
    prompt_.ShowMessage("", PermissionHint(state_.device.SelectedPath()), MessageIcon::Information);
  }
  last_guided_ = std::move(report);
  EndRun();
}

void CUpdateDlg::OnRunFinished(UpdateOutcome outcome, const UpdateRunInfo& info) {
  last_outcome_ = outcome;
  // The next operation starts where this one found the device.
  if (info.baudRate != 0) state_.device.settings().baudRate = info.baudRate;
  if (IsAccessDenied(info.openError)) {
    prompt_.ShowMessage("", PermissionHint(state_.device.SelectedPath()), MessageIcon::Information);
  }
  EndRun();
}

void CUpdateDlg::EndRun() {
  guided_->setEnabled(true);
  browse_->setEnabled(true);
  send_->setEnabled(file_ != nullptr);
  // Nothing left to cancel, and the focus away from Send Update, one key
  // from flashing again.
  cancel_update_->setEnabled(false);
  ShowBusy(false);
  ok_->setFocus();
}

void CUpdateDlg::OnDone(int) {
  file_.reset();
}

}  // namespace vextune::ui
