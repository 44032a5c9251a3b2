#include "ui/update_dlg.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cerrno>

#include "link/system_serial_port.h"
#include "ui/application_state.h"
#include "ui/background_operation.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {
constexpr const char* kOpenFileError = "ERROR opening file!";
constexpr const char* kUpdateFilter = "ambrel update files (*.amb)";
}  // namespace

CUpdateDlg::CUpdateDlg(ApplicationState& state, DialogPrompt& prompt, QWidget* parent)
    : QDialog(parent), state_(state), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Olvane Vextune - Update"));
  setObjectName(QStringLiteral("updateDialog"));
  operation_ = new BackgroundOperation(prompt_, state_.device.cancel(), this);

  auto* fileGroup = new QGroupBox(QStringLiteral("Update File"), this);
  fileGroup->setObjectName(QStringLiteral("updateFileGroup"));
  path_ = new QLineEdit(fileGroup);
  path_->setObjectName(QStringLiteral("pathEdit"));
  path_->setReadOnly(true);
  path_->setAccessibleName(QStringLiteral("Update File"));
  path_->setMinimumWidth(320);
  browse_ = NewButton(QStringLiteral("Browse"), "browseButton", fileGroup);
  auto* hint = new QLabel(QStringLiteral("Click \"Browse\" to select an update file."), fileGroup);
  hint->setObjectName(QStringLiteral("hintText"));
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(path_, 1);
  pathRow->addWidget(browse_);
  auto* fileLayout = new QVBoxLayout(fileGroup);
  fileLayout->addLayout(pathRow);
  fileLayout->addWidget(hint);

  auto* updateGroup = new QGroupBox(QStringLiteral("Update"), this);
  updateGroup->setObjectName(QStringLiteral("updateGroup"));
  progress_ = new QProgressBar(updateGroup);
  progress_->setObjectName(QStringLiteral("progressBar"));
  progress_->setAccessibleName(QStringLiteral("Update progress"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  send_ = NewButton(QStringLiteral("Send Update"), "sendUpdateButton", updateGroup);
  cancel_update_ = NewButton(QStringLiteral("Cancel Update"), "cancelUpdateButton", updateGroup);
  send_->setEnabled(false);
  cancel_update_->setEnabled(false);
  auto* runRow = new QHBoxLayout;
  runRow->addWidget(send_);
  runRow->addWidget(cancel_update_);
  runRow->addStretch();
  auto* updateLayout = new QVBoxLayout(updateGroup);
  updateLayout->addWidget(progress_);
  updateLayout->addLayout(runRow);

  ok_ = NewButton(QStringLiteral("OK"), "okButton", this);
  cancel_ = NewButton(QStringLiteral("Abbrechen"), "cancelButton", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileGroup);
  layout->addWidget(updateGroup);
  layout->addLayout(buttons);

  browse_->setFocus();

  connect(browse_, &QPushButton::clicked, this, &CUpdateDlg::OnBrowse);
  connect(send_, &QPushButton::clicked, this, &CUpdateDlg::OnSendUpdate);
  connect(cancel_update_, &QPushButton::clicked, this, [this] { state_.device.cancel().Set(); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(operation_, &BackgroundOperation::progressChanged, progress_, &QProgressBar::setValue);
  connect(operation_, &BackgroundOperation::finished, this, &CUpdateDlg::OnRunFinished);
}

CUpdateDlg::~CUpdateDlg() = default;

void CUpdateDlg::OnBrowse() {
  FileDialogRequest request;
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
    prompt_.ShowMessage("", kOpenFileError, MessageIcon::Error);
    return;
  }
  send_->setEnabled(true);
}

void CUpdateDlg::OnSendUpdate() {
  if (!file_ || operation_->IsRunning()) return;
  last_outcome_.reset();
  browse_->setEnabled(false);
  send_->setEnabled(false);
  ok_->setEnabled(false);
  cancel_->setEnabled(false);
  cancel_update_->setEnabled(true);
  setCursor(Qt::BusyCursor);

  run_settings_ = state_.device.settings();
  UpdateSource& file = *file_;
  DeviceContext& device = state_.device;
  // A file that does not look like firmware is asked about, and the run says
  // what it found before it writes.
  run_options_.fileName = path_->text().toStdString();
  run_options_.onDoubt = ImageDoubtPolicy::Ask;
  run_options_.reportFindings = true;
  operation_->Start([this, &file, &device](OperationChannel& channel) {
    DeviceLink link{device.ports(), run_settings_, device.clock()};
    run_info_ = UpdateRunInfo{};
    run_outcome_ = RunFirmwareUpdate(link, file, device.cancel(), channel, channel.prompt(),
                                     &run_info_, run_options_);
  });
}

void CUpdateDlg::OnRunFinished() {
  last_outcome_ = run_outcome_;
  // The next operation starts where this one found the device.
  if (run_info_.baudRate != 0) state_.device.settings().baudRate = run_info_.baudRate;
  if (IsAccessDenied(run_info_.openError)) {
    prompt_.ShowMessage("", PermissionHint(state_.device.SelectedPath()), MessageIcon::Information);
  }
  unsetCursor();
  browse_->setEnabled(true);
  send_->setEnabled(file_ != nullptr);
  cancel_update_->setEnabled(true);
  ok_->setEnabled(true);
  cancel_->setEnabled(true);
}

void CUpdateDlg::done(int result) {
  // While a run lasts only Cancel Update responds (Escape included).
  if (operation_->IsRunning()) return;
  file_.reset();
  QDialog::done(result);
}

void CUpdateDlg::closeEvent(QCloseEvent* event) {
  if (operation_->IsRunning()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace vextune::ui
