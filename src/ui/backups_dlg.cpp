#include "ui/backups_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/change_list_view.h"
#include "ui/dialog_controls.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {

/// Rows the lists show without scrolling; small enough for a 600-pixel
/// screen.
constexpr int kBackupRows = 7;
constexpr int kChangeRows = 6;

}  // namespace

CBackupsDlg::CBackupsDlg(BackupListing listing, QWidget* parent)
    : QDialog(parent), listing_(std::move(listing)) {
  setWindowTitle(QStringLiteral("Olvane Vextune - Backups"));
  setObjectName(QStringLiteral("backupsDialog"));

  note_ = new QLabel(QString::fromStdString(listing_.note), this);
  note_->setObjectName(QStringLiteral("backupsNote"));
  note_->setWordWrap(true);
  note_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* listLabel = new QLabel(QStringLiteral("&Backups of the DAV-OZI, newest first:"), this);
  backups_ = NewChangeTree(
      {QStringLiteral("Read at"), QStringLiteral("Firmware"),
       QStringLiteral("Since the one before"), QStringLiteral("Against your configuration")},
      "backupList", QStringLiteral("Backups of the DAV-OZI"), this);
  listLabel->setBuddy(backups_);
  backups_->setMinimumHeight(HeightForRows(backups_, kBackupRows));
  for (const BackupChoice& backup : listing_.backups) {
    auto* row = new QTreeWidgetItem(QStringList{
        QString::fromStdString(backup.when), QString::fromStdString(backup.firmware),
        QString::fromStdString(backup.sinceOlder), QString::fromStdString(backup.againstWorking)});
    row->setToolTip(0, QString::fromStdString(backup.path.string()));
    backups_->addTopLevelItem(row);
  }
  for (int column = 0; column < 3; ++column) backups_->resizeColumnToContents(column);

  auto* changesLabel =
      new QLabel(QStringLiteral("C&hanges that loading it makes to your configuration:"), this);
  changes_ = NewChangeTree(
      {QStringLiteral("Parameter"), QStringLiteral("Yours"), QStringLiteral("Backup")},
      "backupChanges", QStringLiteral("Changes of the backup"), this);
  changesLabel->setBuddy(changes_);
  changes_->setMinimumHeight(HeightForRows(changes_, kChangeRows));
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("backupProblem"));
  problem_->setWordWrap(true);
  problem_->hide();

  load_ = NewButton(QStringLiteral("&Load Backup"), "loadBackupButton", this);
  load_->setToolTip(
      QStringLiteral("Loads the backup as Load does; Send Configuration then restores it."));
  load_->setDefault(true);
  auto* close = NewButton(QStringLiteral("&Close"), "cancelButton", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(load_);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note_);
  layout->addWidget(listLabel);
  layout->addWidget(backups_, 3);
  layout->addWidget(changesLabel);
  layout->addWidget(changes_, 2);
  layout->addWidget(problem_);
  layout->addLayout(buttons);
  setMinimumWidth(620);

  connect(backups_, &QTreeWidget::currentItemChanged, this, &CBackupsDlg::OnCurrentChanged);
  connect(backups_, &QTreeWidget::itemActivated, this, [this] {
    if (load_->isEnabled()) accept();
  });
  connect(load_, &QPushButton::clicked, this, &QDialog::accept);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  if (backups_->topLevelItemCount() > 0) {
    backups_->setCurrentItem(backups_->topLevelItem(0));
    backups_->setFocus();
  }
  OnCurrentChanged();
}

const BackupChoice* CBackupsDlg::Chosen() const {
  const int index = backups_->indexOfTopLevelItem(backups_->currentItem());
  if (index < 0 || index >= static_cast<int>(listing_.backups.size())) return nullptr;
  return &listing_.backups[static_cast<size_t>(index)];
}

void CBackupsDlg::OnCurrentChanged() {
  const BackupChoice* chosen = Chosen();
  load_->setEnabled(chosen != nullptr && chosen->readable);
  changes_->clear();
  problem_->hide();
  if (chosen == nullptr) return;
  if (!chosen->readable) {
    problem_->setText(QStringLiteral("This backup cannot be read: %1")
                          .arg(QString::fromStdString(chosen->error)));
    problem_->show();
    return;
  }
  ShowChanges(changes_, chosen->changes,
              QStringLiteral("No parameter differs from your configuration."));
}

std::string CBackupsDlg::chosenPath() const {
  const BackupChoice* chosen = Chosen();
  return chosen != nullptr && chosen->readable ? chosen->path.string() : std::string();
}

}  // namespace vextune::ui
