#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/dialog_prompt.h"
#include "editor/aprs_settings_check.h"
#include "editor/aprs_settings_record.h"
#include "link/device_state.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QToolButton;

namespace vextune::ui {

class CLatPosEdit;
class CLonPosEdit;
class KeystrokeFilter;

/// The modal dialog "Olvane Vextune - APRS Settings": every APRS parameter
/// of the configuration, with the lists and enabling rules that the
/// device's firmware allows, keystroke filters on the callsign, path and
/// interval fields, and the checks of OK. It works on its own values only;
/// the caller fills them before and reads them after OK.
class CAprsSettings final : public QDialog {
  Q_OBJECT

 public:
  /// Opens on `values` for the device described by `device` (firmware -1:
  /// no device, nothing restricted). Messages go through `prompt`; the
  /// comment truncation notice for old firmware shows while it opens.
  CAprsSettings(const AprsSettingsValues& values, const DeviceState& device, DialogPrompt& prompt,
                QWidget* parent = nullptr);
  ~CAprsSettings() override;

  /// The dialog's values; after OK they hold what the user entered.
  const AprsSettingsValues& Values() const { return values_; }

  /// Makes the dialog fit into `available` (the screen's usable area): when
  /// it is larger, it moves to the area's top left corner and takes what
  /// there is, and its content scrolls. Done whenever the dialog shows.
  void FitToScreen(const QRect& available);

 signals:
  /// The dialog beeped at a refused key, click or entry.
  void beeped();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QWidget* BuildLeftColumn();
  QWidget* BuildRightColumn();
  void SetToolTips();
  void InstallFilters();
  void Open();
  void ConnectReactions();

  void Beep();
  void ShowMessage(const std::string& caption, const std::string& cp1252Text, MessageIcon icon);
  void SetPositionControlsEnabled(bool enabled);
  /// Fills both position fields and their hemisphere letters, as opening
  /// the dialog on a stored position does.
  void ShowPosition(std::string_view latitude, char latitudeHemisphere, std::string_view longitude,
                    char longitudeHemisphere);
  /// Reads the "Position from:" field into the position fields, or says
  /// below it why it cannot.
  void UsePositionFrom();
  void ShowLocator();
  void ShowPathHint();
  void ShowSymbolTable(bool alternate);
  void SetStatusEveryEnabled(bool enabled);
  void SetFreqBeaconIntervalEnabled(bool enabled);
  void StepStatusEvery(int delta);
  /// The rule for leaving the status-every field; true when it refused the
  /// value and took the user back.
  bool ApplyStatusLeaveRule();

  void OnOk();
  AprsDialogControls ReadControls() const;
  void ShowFinding(const AprsFinding& finding, bool focusFirst);
  QLineEdit* FieldOf(AprsField field) const;

  AprsSettingsValues values_;
  int32_t firmware_;
  DialogPrompt& prompt_;
  bool status_leave_pending_ = false;

  QScrollArea* scroll_area_ = nullptr;
  QWidget* content_ = nullptr;

  // Left column
  QGroupBox* aprs_group_ = nullptr;
  QLabel* callsign_label_ = nullptr;
  QLineEdit* callsign_edit_ = nullptr;
  QLabel* path_label_ = nullptr;
  QLineEdit* path_edit_ = nullptr;
  QGroupBox* position_group_ = nullptr;
  QRadioButton* beacon_off_radio_ = nullptr;
  QRadioButton* beacon_gps_radio_ = nullptr;
  QRadioButton* beacon_fixed_radio_ = nullptr;
  QLabel* latitude_label_ = nullptr;
  QPushButton* latitude_button_ = nullptr;
  CLatPosEdit* latitude_edit_ = nullptr;
  QLabel* latitude_hemisphere_label_ = nullptr;
  QLabel* longitude_label_ = nullptr;
  QPushButton* longitude_button_ = nullptr;
  CLonPosEdit* longitude_edit_ = nullptr;
  QLabel* longitude_hemisphere_label_ = nullptr;
  QLabel* locator_label_ = nullptr;
  QLabel* position_from_label_ = nullptr;
  QLineEdit* position_from_edit_ = nullptr;
  QPushButton* position_use_button_ = nullptr;
  QLabel* position_problem_label_ = nullptr;
  QLabel* path_hint_label_ = nullptr;
  QPushButton* path_hint_button_ = nullptr;
  std::string suggested_path_;  // 8-bit, what the hint's button applies
  QGroupBox* interval_group_ = nullptr;
  QRadioButton* auto_interval_radio_ = nullptr;
  QComboBox* auto_speed_list_ = nullptr;
  QRadioButton* manual_interval_radio_ = nullptr;
  QLineEdit* interval_edit_ = nullptr;
  QLabel* interval_unit_label_ = nullptr;
  QGroupBox* symbol_group_ = nullptr;
  QComboBox* primary_symbol_box_ = nullptr;
  QComboBox* alternate_symbol_box_ = nullptr;
  QCheckBox* alternate_table_check_ = nullptr;
  QGroupBox* altitude_group_ = nullptr;
  QCheckBox* altitude_check_ = nullptr;
  QLabel* altitude_label_ = nullptr;
  QComboBox* altitude_list_ = nullptr;
  QCheckBox* compressed_check_ = nullptr;
  QCheckBox* timestamp_check_ = nullptr;
  QLabel* valid_label_ = nullptr;
  QLineEdit* valid_edit_ = nullptr;
  QLabel* valid_unit_label_ = nullptr;
  QGroupBox* nmea_group_ = nullptr;
  QCheckBox* nmea_check_ = nullptr;
  QLabel* nmea_output_label_ = nullptr;
  QComboBox* nmea_list_ = nullptr;
  QLabel* nmea_port_label_ = nullptr;

  // Right column
  QGroupBox* tracking_group_ = nullptr;
  QCheckBox* track_only_check_ = nullptr;
  QLabel* comment_label_ = nullptr;
  QLineEdit* comment_edit_ = nullptr;
  QGroupBox* status_group_ = nullptr;
  QLabel* status_text_label_ = nullptr;
  QLineEdit* status_text_edit_ = nullptr;
  QLabel* status_every_label_ = nullptr;
  QRadioButton* status_never_radio_ = nullptr;
  QRadioButton* status_on_every_radio_ = nullptr;
  QLineEdit* status_every_edit_ = nullptr;
  QToolButton* status_every_up_ = nullptr;
  QToolButton* status_every_down_ = nullptr;
  QLabel* status_transmission_label_ = nullptr;
  QGroupBox* hf_group_ = nullptr;
  QCheckBox* hf_toggle_check_ = nullptr;
  QRadioButton* hf_only_radio_ = nullptr;
  QRadioButton* hf_always_radio_ = nullptr;
  QGroupBox* gateway_group_ = nullptr;
  QGroupBox* digipeating_group_ = nullptr;
  QCheckBox* digipeating_check_ = nullptr;
  QLabel* digi_alias_label_ = nullptr;
  QComboBox* digi_alias_list_ = nullptr;
  QGroupBox* cross_mode_group_ = nullptr;
  QCheckBox* cross_mode_check_ = nullptr;
  QLabel* cross_mode_label_ = nullptr;
  QComboBox* cross_mode_list_ = nullptr;
  QCheckBox* unproto_cross_check_ = nullptr;
  QLabel* unproto_cross_label_ = nullptr;
  QGroupBox* freq_beacon_group_ = nullptr;
  QCheckBox* freq_beacon_check_ = nullptr;
  QLabel* freq_beacon_label_ = nullptr;
  QLineEdit* freq_beacon_edit_ = nullptr;
  QLabel* freq_beacon_unit_label_ = nullptr;

  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
};

}  // namespace vextune::ui
