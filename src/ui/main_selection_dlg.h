#pragma once

#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "common/dialog_prompt.h"
#include "link/com_port.h"
#include "link/configuration_check.h"
#include "ui/background_operation.h"
#include "ui/settings_dialog_runners.h"

class QLabel;
class QPushButton;

namespace vextune::ui {

struct ApplicationState;
class CComPortEinstellung;
class DeviceListWatcher;
class ElidedLabel;

/// The program's window: finds the DAV-OZI when it is created and offers
/// Configuration, Update and Serial Port Settings. Unless a port was given or
/// chosen by hand, it follows the DAV-OZI plugged in or out while it is open.
/// The program ends when it closes.
class CMainSelectionDlg final : public OperationDialog {
  Q_OBJECT

 public:
  /// Runs port discovery at once, unless `state.presetPort` names a port to
  /// use; when none or several devices are found, asks the user 50 ms later.
  /// `runners` are handed on to the configuration main dialog.
  CMainSelectionDlg(ApplicationState& state, DialogPrompt& prompt,
                    const SettingsDialogRunners& runners, QWidget* parent = nullptr);
  ~CMainSelectionDlg() override;

  /// "Olvane Vextune   V. 1.0.1.51"
  static QString Caption();

  /// True while the configuration check runs.
  bool checkRunning() const;

 private:
  /// What the check on the worker thread hands back.
  struct CheckRun {
    CheckResult result;
    LinkSettings settings;
    DeviceState state;
  };

  void OnConfiguration();
  void OnUpdate();
  void OnSerialPortSettings();
  void OnAbout();
  void OnNoDeviceFound();
  void OnSeveralDevicesFound();
  void OnCheckFinished(const CheckRun& run);
  void OpenConfigurationDialog();
  /// Disables every button while the check runs, or gives them back.
  void LockForCheck(bool locked);
  void ShowStatus(const QString& text);
  /// The device list may have changed: look again now, or once the dialog,
  /// question or check that runs is over.
  void OnDeviceListChanged();
  /// Runs discovery again and shows what it found when the DAV-OZI ports
  /// differ from those found before.
  void Rediscover();
  /// Runs `show` (a dialog's exec, a question) with the discovery held back:
  /// nothing may change the port under an open dialog or a transfer.
  template <typename Show>
  auto Modal(Show&& show);

  ApplicationState& state_;
  DialogPrompt& prompt_;
  SettingsDialogRunners runners_;
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

  DeviceListWatcher* watcher_ = nullptr;
  /// The DAV-OZI ports discovery found last.
  std::vector<std::string> known_ports_;
  /// A port the user chose: discovery no longer changes the selection.
  bool chosen_by_hand_ = false;
  /// The user chose to edit a file without a device.
  bool file_only_chosen_ = false;
  /// Dialogs and questions open above this one.
  int modal_depth_ = 0;
  /// The list changed while a dialog was open or the check ran.
  bool rediscover_pending_ = false;
  /// The port dialog while it is open, so that its list follows the devices.
  QPointer<CComPortEinstellung> port_dialog_;
};

}  // namespace vextune::ui
