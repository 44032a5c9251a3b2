#include "ui/aprs_settings_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

#include "common/dialog_prompt.h"
#include "common/text_codec.h"
#include "editor/aprs_dialog_hints.h"
#include "editor/aprs_dialog_state.h"
#include "editor/aprs_field_filters.h"
#include "editor/aprs_position.h"
#include "link/device_state.h"
#include "ui/aprs_symbol_box.h"
#include "ui/cp1252_field_text.h"
#include "ui/dialog_controls.h"
#include "ui/keystroke_filter.h"
#include "ui/position_edit.h"
#include "ui/widget_support.h"

namespace vextune::ui {
namespace {

void ShowList(QComboBox* list, const AprsListState& state) {
  // Wide enough for its longest entry from the start, so that the dialog's
  // size is known before it shows.
  list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  list->clear();
  for (const std::string& entry : state.entries) list->addItem(QString::fromStdString(entry));
  list->setCurrentIndex(state.index);
  list->setEnabled(state.enabled);
}

void ShowSwitched(QLineEdit* edit, const AprsSwitchedField& field) {
  if (field.text) edit->setText(Cp1252ToFieldText(*field.text));
  edit->setEnabled(field.enabled);
}

char HemisphereOf(const QPushButton* button) {
  const std::string letter = FieldTextToCp1252(button->text());
  return letter.empty() ? ' ' : letter.front();
}

void SetHemisphere(QPushButton* button, QLabel* label, char letter) {
  const QString text = Cp1252ToFieldText(std::string(1, letter));
  button->setText(text);
  label->setText(text);
}

}  // namespace

CAprsSettings::CAprsSettings(const AprsSettingsValues& values, const DeviceState& device,
                             DialogPrompt& prompt, QWidget* parent)
    : QDialog(parent), values_(values), firmware_(device.firmwareVersion), prompt_(prompt) {
  BuildControls();
  SetToolTips();
  InstallFilters();
  Open();
  ConnectReactions();
}

CAprsSettings::~CAprsSettings() = default;

void CAprsSettings::InstallFilters() {
  const auto beep = [this] { Beep(); };
  new KeystrokeFilter(callsign_edit_, FilterAprsCallsignEdit, beep);
  new KeystrokeFilter(
      interval_edit_,
      [](std::string_view remembered, std::string_view text, int caret) {
        return FilterIntervalEdit(remembered, text, caret, kTxIntervalMaxLength);
      },
      beep);
  new KeystrokeFilter(
      freq_beacon_edit_,
      [](std::string_view remembered, std::string_view text, int caret) {
        return FilterIntervalEdit(remembered, text, caret, kFreqBeaconMaxLength);
      },
      beep);
  new KeystrokeFilter(
      path_edit_,
      [](std::string_view, std::string_view text, int caret) {
        return FilterAprsPathEdit(text, caret);
      },
      beep);
  // A paste the field's validator refuses as a whole is not silent either.
  for (QLineEdit* edit : {callsign_edit_, comment_edit_, status_text_edit_})
    connect(edit, &QLineEdit::inputRejected, this, &CAprsSettings::Beep);
  connect(latitude_edit_, &PositionEdit::beeped, this, &CAprsSettings::beeped);
  connect(longitude_edit_, &PositionEdit::beeped, this, &CAprsSettings::beeped);
  status_every_edit_->installEventFilter(this);
  position_from_edit_->installEventFilter(this);
}

// The opening sequence: every control shows its value, lists get the
// entries the firmware knows, and the controls that do not apply are off.
void CAprsSettings::Open() {
  const AprsDialogState s = AprsOpeningState(values_, firmware_);
  callsign_edit_->setText(Cp1252ToFieldText(s.callsign));
  path_edit_->setText(Cp1252ToFieldText(s.path));
  comment_edit_->setText(Cp1252ToFieldText(s.comment));
  status_text_edit_->setText(Cp1252ToFieldText(s.statusText));
  valid_edit_->setText(Cp1252ToFieldText(s.valid));
  interval_edit_->setText(Cp1252ToFieldText(s.txInterval));
  status_every_edit_->setText(Cp1252ToFieldText(s.statusEvery));
  freq_beacon_edit_->setText(Cp1252ToFieldText(s.freqBeacon));

  track_only_check_->setChecked(s.trackOnly);
  compressed_check_->setChecked(s.compressed);
  timestamp_check_->setChecked(s.timestamp);
  alternate_table_check_->setChecked(s.alternateTable);
  hf_toggle_check_->setChecked(s.hfToggleSwitch);
  unproto_cross_check_->setChecked(s.unprotoCross);
  digipeating_check_->setChecked(s.digipeatingOn);
  nmea_check_->setChecked(s.nmeaOn);
  cross_mode_check_->setChecked(s.crossModeOn);
  altitude_check_->setChecked(s.altitudeOn);
  freq_beacon_check_->setChecked(s.freqBeaconOn);

  auto_interval_radio_->setChecked(!s.manualInterval);
  manual_interval_radio_->setChecked(s.manualInterval);
  status_on_every_radio_->setChecked(s.statusOnEvery);
  status_never_radio_->setChecked(!s.statusOnEvery);
  hf_always_radio_->setChecked(s.hfAlways);
  hf_only_radio_->setChecked(!s.hfAlways);
  if (s.beacon) {
    beacon_off_radio_->setChecked(*s.beacon == AprsBeaconMode::Off);
    beacon_gps_radio_->setChecked(*s.beacon == AprsBeaconMode::Gps);
    beacon_fixed_radio_->setChecked(*s.beacon == AprsBeaconMode::Fixed);
  }

  FillSymbolBox(*primary_symbol_box_, SymbolTable::Primary);
  FillSymbolBox(*alternate_symbol_box_, SymbolTable::Alternate);
  primary_symbol_box_->setCurrentIndex(s.symbolIndex);
  alternate_symbol_box_->setCurrentIndex(s.symbolIndex);
  ShowSymbolTable(s.alternateTable);

  ShowPosition(s.latitude, s.latitudeHemisphere, s.longitude, s.longitudeHemisphere);
  ShowPathHint();

  ShowList(auto_speed_list_, s.autoSpeed);
  ShowList(digi_alias_list_, s.digiAlias);
  ShowList(nmea_list_, s.nmeaOut);
  ShowList(cross_mode_list_, s.crossMode);
  ShowList(altitude_list_, s.altitude);

  const AprsControlsEnabled& on = s.enabled;
  const auto enable = [](bool enabled, std::initializer_list<QWidget*> widgets) {
    for (QWidget* w : widgets) w->setEnabled(enabled);
  };
  enable(on.callsign, {callsign_edit_, callsign_label_});
  SetPositionControlsEnabled(on.positionFields);
  enable(on.txInterval, {interval_edit_});
  enable(on.valid, {valid_edit_, valid_label_, valid_unit_label_});
  enable(on.statusText, {status_group_, status_text_edit_, status_text_label_});
  enable(on.statusEveryChoice, {status_every_label_, status_transmission_label_,
                                status_never_radio_, status_on_every_radio_});
  SetStatusEveryEnabled(on.statusEvery);
  enable(on.hfGroup, {hf_group_, hf_toggle_check_});
  enable(on.hfChoice, {hf_only_radio_, hf_always_radio_});
  enable(on.digipeatingGroup, {digipeating_group_, digipeating_check_});
  enable(s.digiAlias.enabled, {digi_alias_label_});
  enable(on.nmeaLabels, {nmea_output_label_, nmea_port_label_});
  enable(on.altitudeLabel, {altitude_label_});
  enable(on.unprotoCross, {unproto_cross_check_, unproto_cross_label_});
  enable(on.freqBeaconGroup, {freq_beacon_group_, freq_beacon_check_});
  SetFreqBeaconIntervalEnabled(on.freqBeaconInterval);

  // Shown while the dialog opens, before it is on the screen.
  if (s.notice) ShowMessage("", *s.notice, MessageIcon::None);
}

void CAprsSettings::ConnectReactions() {
  connect(alternate_table_check_, &QCheckBox::clicked, this, [this](bool checked) {
    values_.alternateTable = checked;
    ShowSymbolTable(checked);
  });
  connect(primary_symbol_box_, &QComboBox::currentIndexChanged, alternate_symbol_box_,
          &QComboBox::setCurrentIndex);
  connect(alternate_symbol_box_, &QComboBox::currentIndexChanged, primary_symbol_box_,
          &QComboBox::setCurrentIndex);

  // Only a change of the choice resets the interval: a second click on the
  // checked button keeps what the user typed.
  const auto intervalChosen = [this](bool manual) {
    const AprsIntervalChoice choice = ChooseAprsInterval(manual, firmware_);
    ShowSwitched(interval_edit_, choice.interval);
    auto_speed_list_->setEnabled(choice.speedListEnabled);
  };
  connect(auto_interval_radio_, &QRadioButton::toggled, this, [intervalChosen](bool on) {
    if (on) intervalChosen(false);
  });
  connect(manual_interval_radio_, &QRadioButton::toggled, this, [intervalChosen](bool on) {
    if (on) intervalChosen(true);
  });

  const auto beacon = [this](const char* mode) {
    values_.beaconMode = mode;
    SetPositionControlsEnabled(AprsPositionEditable(values_.beaconMode));
  };
  connect(beacon_off_radio_, &QRadioButton::clicked, this, [beacon] { beacon("0"); });
  connect(beacon_gps_radio_, &QRadioButton::clicked, this, [beacon] { beacon("1"); });
  connect(beacon_fixed_radio_, &QRadioButton::clicked, this, [beacon] { beacon("2"); });

  connect(latitude_button_, &QPushButton::clicked, this, [this] {
    SetHemisphere(latitude_button_, latitude_hemisphere_label_,
                  ToggleHemisphere(PositionAxis::Latitude, HemisphereOf(latitude_button_)));
    ShowLocator();
  });
  connect(longitude_button_, &QPushButton::clicked, this, [this] {
    SetHemisphere(longitude_button_, longitude_hemisphere_label_,
                  ToggleHemisphere(PositionAxis::Longitude, HemisphereOf(longitude_button_)));
    ShowLocator();
  });
  connect(latitude_edit_, &QLineEdit::textChanged, this, &CAprsSettings::ShowLocator);
  connect(longitude_edit_, &QLineEdit::textChanged, this, &CAprsSettings::ShowLocator);
  connect(position_use_button_, &QPushButton::clicked, this, &CAprsSettings::UsePositionFrom);
  // A new text makes an old complaint about the previous one stale.
  connect(position_from_edit_, &QLineEdit::textEdited, position_problem_label_, [this] {
    position_problem_label_->clear();
    position_problem_label_->hide();
  });
  connect(path_edit_, &QLineEdit::textChanged, this, &CAprsSettings::ShowPathHint);
  connect(path_hint_button_, &QPushButton::clicked, this, [this] {
    if (suggested_path_.empty()) return;
    path_edit_->setText(Cp1252ToFieldText(suggested_path_));
    path_edit_->setFocus(Qt::OtherFocusReason);
  });

  connect(digipeating_check_, &QCheckBox::clicked, this, [this](bool checked) {
    digi_alias_list_->setEnabled(checked);
    digi_alias_label_->setEnabled(checked);
    // Switched on, digipeating starts from the first alias.
    if (checked) digi_alias_list_->setCurrentIndex(0);
  });
  connect(hf_toggle_check_, &QCheckBox::clicked, this, [this](bool checked) {
    const std::optional<bool> choice = SwitchAprsHfToggle(checked, firmware_);
    if (!choice) return;
    hf_only_radio_->setEnabled(*choice);
    hf_always_radio_->setEnabled(*choice);
  });
  connect(altitude_check_, &QCheckBox::clicked, altitude_list_, &QWidget::setEnabled);
  connect(nmea_check_, &QCheckBox::clicked, nmea_list_, &QWidget::setEnabled);
  connect(cross_mode_check_, &QCheckBox::clicked, cross_mode_list_, &QWidget::setEnabled);
  connect(freq_beacon_check_, &QCheckBox::clicked, this, [this](bool checked) {
    const AprsSwitchedField field = SwitchAprsFreqBeacon(checked);
    ShowSwitched(freq_beacon_edit_, field);
    SetFreqBeaconIntervalEnabled(field.enabled);
  });

  const auto statusChosen = [this](bool onEvery) {
    const AprsSwitchedField field =
        ChooseAprsStatusEvery(onEvery, FieldTextToCp1252(status_every_edit_->text()));
    ShowSwitched(status_every_edit_, field);
    SetStatusEveryEnabled(field.enabled);
  };
  connect(status_never_radio_, &QRadioButton::clicked, this,
          [statusChosen] { statusChosen(false); });
  connect(status_on_every_radio_, &QRadioButton::clicked, this,
          [statusChosen] { statusChosen(true); });
  connect(status_every_up_, &QToolButton::clicked, this, [this] { StepStatusEvery(1); });
  connect(status_every_down_, &QToolButton::clicked, this, [this] { StepStatusEvery(-1); });

  connect(ok_button_, &QPushButton::clicked, this, &CAprsSettings::OnOk);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);
}

void CAprsSettings::Beep() {
  QApplication::beep();
  emit beeped();
}

void CAprsSettings::ShowMessage(const std::string& caption, const std::string& cp1252Text,
                                MessageIcon icon) {
  prompt_.ShowMessage(caption, Cp1252ToUtf8(cp1252Text), icon);
}

void CAprsSettings::SetPositionControlsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           latitude_button_, latitude_edit_, latitude_hemisphere_label_, latitude_label_,
           longitude_button_, longitude_edit_, longitude_hemisphere_label_, longitude_label_,
           locator_label_, position_from_label_, position_from_edit_, position_use_button_,
           position_problem_label_})
    w->setEnabled(enabled);
}

void CAprsSettings::ShowPosition(std::string_view latitude, char latitudeHemisphere,
                                 std::string_view longitude, char longitudeHemisphere) {
  latitude_edit_->SetCp1252Text(latitude);
  longitude_edit_->SetCp1252Text(longitude);
  SetHemisphere(latitude_button_, latitude_hemisphere_label_, latitudeHemisphere);
  SetHemisphere(longitude_button_, longitude_hemisphere_label_, longitudeHemisphere);
  ShowLocator();
}

void CAprsSettings::UsePositionFrom() {
  const PositionEntry entry = PositionEntryOf(position_from_edit_->text().toStdString());
  if (!entry.parts) {
    position_problem_label_->setText(QString::fromStdString(entry.problem));
    position_problem_label_->show();
    Beep();
    return;
  }
  position_problem_label_->clear();
  position_problem_label_->hide();
  const PositionParts& p = *entry.parts;
  ShowPosition(p.latitude, p.latitudeHemisphere, p.longitude, p.longitudeHemisphere);
}

void CAprsSettings::ShowLocator() {
  locator_label_->setText(QString::fromStdString(
      LocatorLine(latitude_edit_->Cp1252Text(), HemisphereOf(latitude_button_),
                  longitude_edit_->Cp1252Text(), HemisphereOf(longitude_button_))));
}

void CAprsSettings::ShowPathHint() {
  const std::optional<AprsPathHint> hint = AprsPathHintOf(FieldTextToCp1252(path_edit_->text()));
  suggested_path_ = hint ? hint->suggestedPath : std::string();
  path_hint_label_->setText(hint ? Cp1252ToFieldText(hint->text) : QString());
  path_hint_label_->setVisible(hint.has_value());
  path_hint_button_->setVisible(!suggested_path_.empty());
}

void CAprsSettings::ShowSymbolTable(bool alternate) {
  primary_symbol_box_->setEnabled(!alternate);
  primary_symbol_box_->setVisible(!alternate);
  alternate_symbol_box_->setEnabled(alternate);
  alternate_symbol_box_->setVisible(alternate);
}

void CAprsSettings::SetStatusEveryEnabled(bool enabled) {
  // The arrows belong to the edit: they must not change a switched-off value.
  status_every_edit_->setEnabled(enabled);
  status_every_up_->setEnabled(enabled);
  status_every_down_->setEnabled(enabled);
}

void CAprsSettings::SetFreqBeaconIntervalEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{freq_beacon_edit_, freq_beacon_label_,
                                                    freq_beacon_unit_label_})
    w->setEnabled(enabled);
}

void CAprsSettings::StepStatusEvery(int delta) {
  status_every_edit_->setText(
      Cp1252ToFieldText(StepAprsStatusEvery(FieldTextToCp1252(status_every_edit_->text()), delta)));
}

bool CAprsSettings::eventFilter(QObject* watched, QEvent* event) {
  // Return in the "Position from:" field uses the position; it must not
  // reach the default button and close the dialog.
  if (watched == position_from_edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (position_from_edit_->isEnabled()) UsePositionFrom();
      return true;
    }
  }
  if (watched == status_every_edit_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Up || key == Qt::Key_Down) {
        StepStatusEvery(key == Qt::Key_Up ? 1 : -1);
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      // The focus moving to another control of this dialog leaves the field;
      // a message box or another window taking it for a while does not.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        status_leave_pending_ = true;
        // After the focus change has finished; a click on OK runs it first.
        QTimer::singleShot(0, this, [this] { ApplyStatusLeaveRule(); });
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool CAprsSettings::ApplyStatusLeaveRule() {
  if (!status_leave_pending_) return false;
  status_leave_pending_ = false;
  if (!isVisible() || !status_every_edit_->isEnabled()) return false;
  const AprsStatusLeave leave = LeaveAprsStatusEvery(FieldTextToCp1252(status_every_edit_->text()));
  switch (leave.action) {
    case AprsStatusLeave::Action::Keep:
      return false;
    case AprsStatusLeave::Action::Refuse:
      Beep();
      ShowFinding(leave.refusal, /*focusFirst=*/true);
      return true;
    case AprsStatusLeave::Action::Never:
      status_never_radio_->setChecked(true);
      SetStatusEveryEnabled(false);
      return false;
  }
  return false;
}

void CAprsSettings::FitToScreen(const QRect& available) {
  ui::FitToScreen(this, scroll_area_, available);
}

AprsDialogControls CAprsSettings::ReadControls() const {
  AprsDialogControls c;
  c.callsign = FieldTextToCp1252(callsign_edit_->text());
  c.comment = FieldTextToCp1252(comment_edit_->text());
  c.statusText = FieldTextToCp1252(status_text_edit_->text());
  c.valid = FieldTextToCp1252(valid_edit_->text());
  c.txIntervalText = FieldTextToCp1252(interval_edit_->text());
  c.freqBeaconText = FieldTextToCp1252(freq_beacon_edit_->text());
  c.trackOnly = track_only_check_->isChecked();
  c.compressed = compressed_check_->isChecked();
  c.timestamp = timestamp_check_->isChecked();
  c.alternateTable = alternate_table_check_->isChecked();
  c.hfToggleSwitch = hf_toggle_check_->isChecked();
  c.unprotoCross = unproto_cross_check_->isChecked();
  c.autoSpeedIndex = auto_speed_list_->currentIndex();
  c.path = FieldTextToCp1252(path_edit_->text());
  c.freqBeaconOn = freq_beacon_check_->isChecked();
  c.crossModeOn = cross_mode_check_->isChecked();
  c.crossModeIndex = cross_mode_list_->currentIndex();
  c.hfOnlyInHfPrMode = hf_only_radio_->isChecked();
  c.statusEveryText = FieldTextToCp1252(status_every_edit_->text());
  c.digipeatingOn = digipeating_check_->isChecked();
  c.digiAliasIndex = digi_alias_list_->currentIndex();
  c.latitude = latitude_edit_->Cp1252Text();
  c.latitudeHemisphere = HemisphereOf(latitude_button_);
  c.longitude = longitude_edit_->Cp1252Text();
  c.longitudeHemisphere = HemisphereOf(longitude_button_);
  c.manualInterval = manual_interval_radio_->isChecked();
  c.altitudeOn = altitude_check_->isChecked();
  c.altitudeIndex = altitude_list_->currentIndex();
  c.nmeaOn = nmea_check_->isChecked();
  c.nmeaIndex = nmea_list_->currentIndex();
  c.primarySymbolIndex = primary_symbol_box_->currentIndex();
  c.alternateSymbolIndex = alternate_symbol_box_->currentIndex();
  return c;
}

void CAprsSettings::OnOk() {
  // A click on OK straight from the status-every field leaves that field
  // first; when its rule refuses the value, OK goes no further.
  if (status_leave_pending_ && ApplyStatusLeaveRule()) return;

  AprsOkOutcome outcome = CheckAprsSettings(ReadControls(), values_, firmware_);
  values_ = outcome.values;
  if (outcome.callsignFieldText)
    callsign_edit_->setText(Cp1252ToFieldText(*outcome.callsignFieldText));
  if (outcome.pathFieldText) path_edit_->setText(Cp1252ToFieldText(*outcome.pathFieldText));
  if (outcome.finding) {
    ShowFinding(*outcome.finding, outcome.pathFieldText.has_value());
    return;
  }
  accept();
}

QLineEdit* CAprsSettings::FieldOf(AprsField field) const {
  switch (field) {
    case AprsField::FreqBeaconInterval:
      return freq_beacon_edit_;
    case AprsField::StatusEvery:
      return status_every_edit_;
    case AprsField::Comment:
      return comment_edit_;
    case AprsField::StatusText:
      return status_text_edit_;
    case AprsField::Valid:
      return valid_edit_;
    case AprsField::Latitude:
      return latitude_edit_;
    case AprsField::Longitude:
      return longitude_edit_;
    case AprsField::Path:
      return path_edit_;
    case AprsField::TxInterval:
      return interval_edit_;
    case AprsField::Callsign:
      return callsign_edit_;
  }
  return path_edit_;
}

void CAprsSettings::ShowFinding(const AprsFinding& finding, bool focusFirst) {
  QLineEdit* field = FieldOf(finding.field);
  const auto takeUserThere = [&] {
    FocusRefusedField(field, finding.selection, finding.selectionStart, finding.selectionLength);
    scroll_area_->ensureWidgetVisible(field);
  };
  if (finding.restoredText) field->setText(Cp1252ToFieldText(*finding.restoredText));
  if (focusFirst) takeUserThere();
  prompt_.ShowMessage(finding.message.caption, finding.message.text, finding.message.icon);
  if (!focusFirst) takeUserThere();
}

}  // namespace vextune::ui
