#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "common/dialog_prompt.h"
#include "editor/config_document.h"
#include "link/com_port.h"
#include "transfer/transfer_driver.h"
#include "ui/background_operation.h"
#include "ui/settings_dialog_runners.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace vextune::ui {

struct ApplicationState;
class ElidedLabel;

/// "Olvane Vextune - Configuration Main Selection": where the user works on
/// the configuration of the application state's document. Opens the settings
/// dialogs, loads and saves files, and reads and sends the configuration on a
/// worker thread while the window stays live and "Cancel Transfer" works.
/// With a device it reads the configuration 50 ms after it was created.
class CConfigurationMainDlg final : public OperationDialog {
  Q_OBJECT

 public:
  /// `state` gives the records, the selected port, the firmware version and
  /// file-only mode; every message, question and file dialog goes through
  /// `prompt`.
  CConfigurationMainDlg(ApplicationState& state, DialogPrompt& prompt,
                        const SettingsDialogRunners& runners, QWidget* parent = nullptr);
  ~CConfigurationMainDlg() override;

  /// True while a read or send runs.
  bool transferRunning() const;
  /// After a verified send: what the main selection's status line says
  /// about it. Empty otherwise.
  const QString& sentStatus() const { return sent_status_; }

 protected:
  bool MayClose(int result) override;
  void OnDone(int result) override;

 private:
  void OnEditSettings(SettingsDialogRunner* runner);
  void OnLoad();
  void OnSave();
  void OnLoadDefaults();
  /// Opens the backups dialog and loads the backup chosen there as Load does.
  void OnBackups();
  void OnRead();
  void OnSend();
  void OnOk();

  /// The start-up timer: reads unless the user keeps changes not yet sent.
  void OnReadAtStart();
  /// Send Configuration, OK and the leave question: asks before values that
  /// were not read from this device go out, keeps a backup of the device
  /// first, then sends with verification; a verified send closes the dialog.
  /// Unless "Send all parameters" is ticked, only what differs from a
  /// complete read of the device goes out: the device record when the
  /// document trusts it (TrustedDeviceRecord; its backup stands for the
  /// send's), else the backup read just before.
  void Send();
  /// What a Load or a loaded backup shows once `outcome` is known.
  void AfterLoad(LoadOutcome outcome);
  /// The line and the list of changes against the device.
  void ShowComparison();

  /// The read of the Read button and of the start-up timer: locks, reads into
  /// a fresh record and takes it over only when complete.
  void StartRead();
  /// The read that keeps the device's configuration before a send.
  void StartBackup();
  /// Sends with verification; with `onDevice` only what differs from it.
  void StartSend(std::optional<CConfigData> onDevice);
  struct TransferRun;
  void OnTransferFinished(TransferRun run);
  /// Puts back `before`, unless the values shown came neither from this
  /// device nor from a file.
  void ShowStatusAfterIncompleteRead(const QString& before);

  /// Disables everything but "Cancel Transfer", or the reverse.
  void Lock(bool locked);
  /// The controls that are off in file-only mode until a file was loaded.
  void EnableFileControls(bool enabled);
  /// Enables a settings button only when its dialog exists.
  void EnableSettingsButton(QPushButton* button, SettingsDialogRunner* runner, bool enabled);
  void ShowStatus(const QString& text);
  void ShowCurrentFile();
  /// Shows a transfer's message box.
  void Show(const UserMessage& message);

  ApplicationState& state_;
  DialogPrompt& prompt_;
  SettingsDialogRunners runners_;
  /// The status text that a transfer puts back when it ends.
  QString saved_status_;
  /// The newest backup a read of this dialog kept: what a failed send's
  /// message offers to restore.
  std::string last_backup_;
  QString sent_status_;

  /// What a transfer on the worker thread works on and hands back.
  struct TransferRun {
    enum class Kind { Read, Backup, Send } kind = Kind::Read;
    CConfigData working;
    CConfigData baseline;
    ReadOutcome read;
    DeviceBackup backup;
    SendOutcome send;
    /// The backup a complete read kept, or why none was kept.
    std::string backupFile;
    std::string backupError;
  };

  void FinishRead(const TransferRun& run);
  /// Sends after a backup was kept, or when the user agrees to send without.
  void FinishBackup(const TransferRun& run);
  void FinishSend(const TransferRun& run);

  QPushButton* general_ = nullptr;
  QPushButton* aprs_ = nullptr;
  QPushButton* misc_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* defaults_ = nullptr;
  QPushButton* backups_ = nullptr;
  ElidedLabel* status_ = nullptr;
  ElidedLabel* comparison_ = nullptr;
  QPushButton* show_changes_ = nullptr;
  QTreeWidget* changes_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QCheckBox* store_ = nullptr;
  QCheckBox* send_all_ = nullptr;
  QPushButton* read_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* cancel_transfer_ = nullptr;
  QLabel* info_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vextune::ui
