#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "common/dialog_prompt.h"
#include "link/com_port.h"
#include "transfer/transfer_driver.h"
#include "ui/settings_editors.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vextune::ui {

struct ApplicationState;
class BackgroundOperation;
class ElidedLabel;

/// "Olvane Vextune - Configuration Main Selection": where the user works on
/// the configuration of the application state's document. Opens the settings
/// dialogs, loads and saves files, and reads and sends the configuration on a
/// worker thread while the window stays live and "Cancel Transfer" works.
/// With a device it reads the configuration 50 ms after it was created.
class CConfigurationMainDlg final : public QDialog {
  Q_OBJECT

 public:
  /// `state` gives the records, the selected port, the firmware version and
  /// file-only mode; every message, question and file dialog goes through
  /// `prompt`.
  CConfigurationMainDlg(ApplicationState& state, DialogPrompt& prompt,
                        const SettingsEditors& editors, QWidget* parent = nullptr);
  ~CConfigurationMainDlg() override;

  /// True while a read or send runs.
  bool transferRunning() const;

  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnEditSettings(SettingsEditor* editor);
  void OnLoad();
  void OnSave();
  void OnLoadDefaults();
  void OnRead();
  void OnSend();
  void OnOk();

  /// The read of the Read button and of the start-up timer: locks, reads into
  /// a fresh record and takes it over only when complete.
  void StartRead();
  /// Sends with verification, then runs `after`.
  void StartSend(std::function<void()> after);
  void OnTransferFinished();

  /// Disables everything but "Cancel Transfer", or the reverse.
  void Lock(bool locked);
  /// The controls that are off in file-only mode until a file was loaded.
  void EnableFileControls(bool enabled);
  /// Enables a settings button only when its dialog exists.
  void EnableEditorButton(QPushButton* button, SettingsEditor* editor, bool enabled);
  void ShowStatus(const QString& text);
  void ShowCurrentFile();
  /// Shows a transfer's message box.
  void Show(const UserMessage& message);

  ApplicationState& state_;
  DialogPrompt& prompt_;
  SettingsEditors editors_;
  BackgroundOperation* operation_ = nullptr;
  /// The status text that a transfer puts back when it ends.
  QString saved_status_;
  /// The newest backup a read of this dialog kept: what a failed send's
  /// message offers to restore.
  std::string last_backup_;

  /// What a transfer on the worker thread works on and hands back.
  struct TransferRun {
    enum class Kind { Read, Send } kind = Kind::Read;
    CConfigData working;
    CConfigData baseline;
    ReadOutcome read;
    SendOutcome send;
    /// The backup a complete read kept, or why none was kept.
    std::string backupFile;
    std::string backupError;
    std::function<void()> after;
  };
  std::optional<TransferRun> run_;

  QPushButton* general_ = nullptr;
  QPushButton* aprs_ = nullptr;
  QPushButton* misc_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* defaults_ = nullptr;
  ElidedLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QCheckBox* store_ = nullptr;
  QPushButton* read_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* cancel_transfer_ = nullptr;
  QLabel* info_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vextune::ui
