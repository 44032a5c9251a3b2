#pragma once

#include <QDialog>
#include <array>

#include "common/dialog_prompt.h"
#include "editor/misc_settings.h"
#include "link/device_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vextune::ui {

/// The modal "Misc Settings" dialog: the AX.25 protocol and terminal
/// switches, nine numbers, flow control, time stamp and clock sync. Each
/// number is checked when its field loses the focus and all nine again on
/// OK; a wrong number shows its message and the field gets its last accepted
/// text back. The record is never touched here.
class CMiscSettings final : public QDialog {
  Q_OBJECT

 public:
  /// `device` decides whether "TX Freq. track. (%T)" can be edited (firmware
  /// 1.0Q and later, or file-only mode). Messages go through `prompt`, which
  /// must outlive the dialog.
  CMiscSettings(const MiscSettingsValues& values, const DeviceState& device, DialogPrompt& prompt,
                QWidget* parent = nullptr);

  /// The values after the dialog ended with OK.
  const MiscSettingsValues& values() const { return values_; }

  /// OK: the nine field checks in order, each failure with its message; ends
  /// the dialog only when all nine fields are valid.
  void accept() override;

 protected:
  /// Watches the number fields for the loss of focus.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void SetToolTips();
  void Fill(const MiscSettingsValues& values, const DeviceState& device);
  void CheckFieldOnLeaving(MiscField field);
  void Show(const std::vector<MiscFieldFinding>& findings);
  std::array<std::string, kMiscFieldCount> FieldTexts() const;
  MiscSettingsValues ReadValues() const;

  DialogPrompt& prompt_;
  MiscSettingsValues values_;
  MiscFieldChecks checks_;
  /// True while findings are being shown.
  bool showing_messages_ = false;

  QCheckBox* add_linefeed_ = nullptr;
  QCheckBox* echo_ = nullptr;
  QCheckBox* digipeat_ = nullptr;
  QCheckBox* ptt_ = nullptr;
  QCheckBox* duplex_ = nullptr;
  QCheckBox* send_flags_ = nullptr;
  QCheckBox* ui_poll_ = nullptr;
  QCheckBox* call_check_ = nullptr;
  QCheckBox* tx_freq_track_ = nullptr;
  /// Indexed by Index(MiscField).
  std::array<QLineEdit*, kMiscFieldCount> numbers_{};
  QComboBox* flow_control_ = nullptr;
  QComboBox* timestamp_ = nullptr;
  QCheckBox* sync_clock_ = nullptr;
};

}  // namespace vextune::ui
