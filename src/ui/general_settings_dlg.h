#pragma once

#include <QDialog>
#include <QString>

#include "common/dialog_prompt.h"
#include "editor/general_settings.h"
#include "link/device_state.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLayout;
class QLineEdit;

namespace vextune::ui {

/// The modal "General Settings" dialog: own callsign, TX delay, switch
/// channel, audio centre frequency, connect text, TX levels, monitor flags
/// and PR mode. Opens with `values`, checks everything on OK and then holds
/// the edited values; the record is never touched here.
class CGeneralSettings final : public QDialog {
  Q_OBJECT

 public:
  /// `device` decides whether the centre frequency can be edited (firmware
  /// 1.0Q and later, or file-only mode). Messages go through `prompt`, which
  /// must outlive the dialog.
  CGeneralSettings(const GeneralSettingsValues& values, const DeviceState& device,
                   DialogPrompt& prompt, QWidget* parent = nullptr);

  /// The values after the dialog ended with OK: the callsign in upper case,
  /// the PR mode of the checked radio button, the connect mode of the two
  /// check boxes, every other field's text as it stands.
  const GeneralSettingsValues& values() const { return values_; }

  /// OK: runs the checks in order; the first failure shows its message,
  /// focuses its field with the whole text selected and keeps the dialog open.
  void accept() override;

 signals:
  /// A keystroke into the callsign field was refused; the program beeps.
  void callsignKeystrokeRefused();

 private:
  void BuildControls();
  QLayout* BuildFieldRows();
  QGroupBox* BuildConnectTextGroup();
  QGroupBox* BuildLevelsGroup();
  QGroupBox* BuildMonitorGroup();
  QGroupBox* BuildPrModeGroup();
  void SetToolTips();
  void Fill(const GeneralSettingsValues& values, const DeviceState& device);
  void UpdateConnectTextControls();
  GeneralSettingsEntries ReadEntries() const;
  QLineEdit* Field(GeneralField field) const;

  DialogPrompt& prompt_;
  GeneralSettingsValues values_;

  QLineEdit* callsign_ = nullptr;
  QLineEdit* tx_delay_ = nullptr;
  QLineEdit* channel_ = nullptr;
  QLineEdit* center_freq_ = nullptr;
  QCheckBox* connect_text_on_ = nullptr;
  QLineEdit* connect_text_ = nullptr;
  QCheckBox* remote_disconnect_ = nullptr;
  QLineEdit* level_afsk_ = nullptr;
  QLineEdit* level_fsk_ = nullptr;
  QLineEdit* level_robust_ = nullptr;
  QCheckBox* monitor_u_ = nullptr;
  QCheckBox* monitor_i_ = nullptr;
  QCheckBox* monitor_s_ = nullptr;
  QCheckBox* monitor_c_ = nullptr;
  QButtonGroup* pr_mode_ = nullptr;
};

}  // namespace vextune::ui
