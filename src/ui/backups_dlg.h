#pragma once

#include <QDialog>
#include <string>

#include "editor/backup_choice.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vextune::ui {

/// "Olvane Vextune - Backups": the kept backups of the device's
/// configuration, newest first, and what loading the chosen one changes in
/// the working record. "Load Backup" accepts the dialog; the caller loads
/// chosenPath() as a Load does.
class CBackupsDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CBackupsDlg(BackupListing listing, QWidget* parent = nullptr);

  /// The backup chosen; empty when none is (or none can be loaded).
  std::string chosenPath() const;

 private:
  void OnCurrentChanged();
  /// The chosen backup; null when none is.
  const BackupChoice* Chosen() const;

  BackupListing listing_;
  QLabel* note_ = nullptr;
  QTreeWidget* backups_ = nullptr;
  QLabel* problem_ = nullptr;
  QTreeWidget* changes_ = nullptr;
  QPushButton* load_ = nullptr;
};

}  // namespace vextune::ui
