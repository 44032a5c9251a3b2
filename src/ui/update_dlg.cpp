#include "ui/update_dlg.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <cerrno>

#include "link/system_serial_port.h"
#include "ui/application_state.h"
#include "ui/dialog_controls.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {
constexpr const char* kOpenFileError = "ERROR opening file!";
constexpr const char* kUpdateFilter = "ambrel update files (*.amb)";
/// Room for every line of the findings, so that nothing scrolls.
constexpr int kFindingsLines = 6;
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
  auto* runRow = new QHBoxLayout;
  runRow->addWidget(send_);
  runRow->addWidget(cancel_update_);
  runRow->addStretch();
  auto* updateLayout = new QVBoxLayout(updateGroup);
  updateLayout->addWidget(progress_);
  updateLayout->addLayout(runRow);

  const OkCancelRow buttons = NewOkCancelButtons(this, ButtonWidth::Roomy);
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  UseOkCancelButtons(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileGroup);
  layout->addWidget(updateGroup);
  layout->addLayout(buttons.layout);

  browse_->setFocus();

  connect(browse_, &QPushButton::clicked, this, &CUpdateDlg::OnBrowse);
  connect(send_, &QPushButton::clicked, this, &CUpdateDlg::OnSendUpdate);
  connect(cancel_update_, &QPushButton::clicked, this, [this] { state_.device.cancel().Set(); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(&operation(), &BackgroundOperation::progressChanged, progress_, &QProgressBar::setValue);
  connect(&operation(), &BackgroundOperation::statusChanged, this,
          [this](const QString& text) { ShowFindings(text.toStdString()); });
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
  browse_->setEnabled(false);
  send_->setEnabled(false);
  ShowBusy(true);
  cancel_update_->setEnabled(true);
  cancel_update_->setFocus();

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

void CUpdateDlg::OnRunFinished(UpdateOutcome outcome, const UpdateRunInfo& info) {
  last_outcome_ = outcome;
  // The next operation starts where this one found the device.
  if (info.baudRate != 0) state_.device.settings().baudRate = info.baudRate;
  if (IsAccessDenied(info.openError)) {
    prompt_.ShowMessage("", PermissionHint(state_.device.SelectedPath()), MessageIcon::Information);
  }
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
