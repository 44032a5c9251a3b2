#pragma once

#include <QDialog>
#include <QString>

#include "common/dialog_prompt.h"
#include "link/com_port.h"
#include "link/configuration_check.h"
#include "ui/settings_editors.h"

class QLabel;
class QPushButton;

namespace vextune::ui {

struct ApplicationState;
class BackgroundOperation;
class ElidedLabel;

/// The program's window: finds the DAV-OZI when it is created and offers
/// Configuration, Update and Serial Port Settings. The program ends when it
/// closes.
class CMainSelectionDlg final : public QDialog {
  Q_OBJECT

 public:
  /// Runs port discovery at once, unless `state.presetPort` names a port to
  /// use; when none or several devices are found, asks the user 50 ms later.
  /// `editors` are handed on to the configuration main dialog.
  CMainSelectionDlg(ApplicationState& state, DialogPrompt& prompt, const SettingsEditors& editors,
                    QWidget* parent = nullptr);
  ~CMainSelectionDlg() override;

  /// "Olvane Vextune   V. 1.0.1.51"
  static QString Caption();

  /// True while the configuration check runs.
  bool checkRunning() const;

  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnConfiguration();
  void OnUpdate();
  void OnSerialPortSettings();
  void OnAbout();
  void OnNoDeviceFound();
  void OnSeveralDevicesFound();
  void OnCheckFinished();
  void OpenConfigurationDialog();
  /// Disables every button while the check runs, or gives them back.
  void LockForCheck(bool locked);
  void ShowStatus(const QString& text);

  ApplicationState& state_;
  DialogPrompt& prompt_;
  SettingsEditors editors_;
  BackgroundOperation* operation_ = nullptr;

  /// What the check on the worker thread hands back.
  CheckResult check_result_;
  LinkSettings check_settings_;
  DeviceState check_state_;
  /// Which buttons were enabled before the check locked them.
  struct Enabled {
    bool configuration, update, serialPort;
  } before_check_{};

  QPushButton* configuration_ = nullptr;
  QPushButton* update_ = nullptr;
  QPushButton* serial_port_ = nullptr;
  ElidedLabel* status_ = nullptr;
  QPushButton* about_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vextune::ui
