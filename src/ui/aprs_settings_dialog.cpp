#include "ui/aprs_settings_dialog.h"

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
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "common/dialog_prompt.h"
#include "common/text_codec.h"
#include "common/text_util.h"
#include "editor/aprs_choice_lists.h"
#include "editor/aprs_field_filters.h"
#include "editor/aprs_path.h"
#include "editor/aprs_position.h"
#include "link/device_state.h"
#include "ui/aprs_symbol_box.h"
#include "ui/cp1252_field_text.h"
#include "ui/keystroke_filter.h"
#include "ui/position_edit.h"

namespace vextune::ui {
namespace {

constexpr int kStatusEveryMin = 1;
constexpr int kStatusEveryMax = 20;
constexpr int kOldCommentLength = 40;
constexpr int kMediumSpeed = 1;
constexpr int kLoopbackEntry = 2;  // NMEA "GPS-data (loopback)"
constexpr int kR300Entry = 1;      // cross mode "R300 Bd"
constexpr int kCompressedAndPlainEntry = 1;
constexpr const char* kManualIntervalDefault = "900";
constexpr const char* kFreqBeaconDefault = "60";
constexpr const char* kStatusEveryDefault = "3";

void FillList(QComboBox* list, AprsChoiceList which, int32_t firmware) {
  // Wide enough for its longest entry from the start, so that the dialog's
  // size is known before it shows.
  list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  list->clear();
  for (const std::string& entry : AprsChoiceEntries(which, firmware))
    list->addItem(QString::fromStdString(entry));
}

int32_t DecimalValue(const QString& text) {
  const std::string digits = FieldTextToCp1252(text);
  return DigitsToNumber(LeadingDigits(TrimSpace(digits)));
}

// "0", "00": a stored number that means off or automatic.
bool IsZeroText(std::string_view text) {
  return !text.empty() && LeadingDigits(text).size() == text.size() && DigitsToNumber(text) == 0;
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
  connect(latitude_edit_, &PositionEdit::beeped, this, &CAprsSettings::beeped);
  connect(longitude_edit_, &PositionEdit::beeped, this, &CAprsSettings::beeped);
  status_every_edit_->installEventFilter(this);
}

// The opening sequence: every control shows its value, lists get the
// entries the firmware knows, and the controls that do not apply are off.
void CAprsSettings::Open() {
  const AprsSettingsValues& v = values_;
  callsign_edit_->setText(Cp1252ToFieldText(v.callsign));
  path_edit_->setText(Cp1252ToFieldText(JoinAprsPath(v.path)));
  comment_edit_->setText(Cp1252ToFieldText(v.comment));
  status_text_edit_->setText(Cp1252ToFieldText(v.statusText));
  valid_edit_->setText(Cp1252ToFieldText(v.valid));
  track_only_check_->setChecked(v.trackOnly);
  compressed_check_->setChecked(v.compressed);
  timestamp_check_->setChecked(v.timestamp);
  alternate_table_check_->setChecked(v.alternateTable);
  hf_toggle_check_->setChecked(v.hfToggleSwitch);
  unproto_cross_check_->setChecked(v.unprotoCross);

  FillList(auto_speed_list_, AprsChoiceList::AutoSpeed, firmware_);
  auto_speed_list_->setCurrentIndex(v.autoSpeed);

  const bool automatic = IsZeroText(v.txInterval);
  auto_interval_radio_->setChecked(automatic);
  manual_interval_radio_->setChecked(!automatic);
  interval_edit_->setText(automatic ? QStringLiteral("0") : Cp1252ToFieldText(v.txInterval));
  interval_edit_->setEnabled(!automatic);
  auto_speed_list_->setEnabled(automatic);

  FillSymbolBox(*primary_symbol_box_, SymbolTable::Primary);
  FillSymbolBox(*alternate_symbol_box_, SymbolTable::Alternate);
  const int symbol = DigitsToNumber(LeadingDigits(v.symbol));
  primary_symbol_box_->setCurrentIndex(symbol);
  alternate_symbol_box_->setCurrentIndex(symbol);
  ShowSymbolTable(v.alternateTable);

  const PositionParts position = SplitPosition(v.position);
  latitude_edit_->SetCp1252Text(position.latitude);
  longitude_edit_->SetCp1252Text(position.longitude);
  if (position.empty) {
    latitude_button_->setText(QStringLiteral("N"));
    longitude_button_->setText(QStringLiteral("W"));
  } else {
    SetHemisphere(latitude_button_, latitude_hemisphere_label_, position.latitudeHemisphere);
    SetHemisphere(longitude_button_, longitude_hemisphere_label_, position.longitudeHemisphere);
  }

  if (v.beaconMode == "0" || v.beaconMode == "1" || v.beaconMode == "2") {
    beacon_off_radio_->setChecked(v.beaconMode == "0");
    beacon_gps_radio_->setChecked(v.beaconMode == "1");
    beacon_fixed_radio_->setChecked(v.beaconMode == "2");
    SetPositionControlsEnabled(v.beaconMode == "2");
  }

  FillList(digi_alias_list_, AprsChoiceList::DigiAlias, firmware_);
  const bool digipeating = v.digipeating >= 1;
  digipeating_check_->setChecked(digipeating);
  digi_alias_list_->setCurrentIndex(digipeating ? v.digipeating - 1 : 0);
  digi_alias_list_->setEnabled(digipeating);
  digi_alias_label_->setEnabled(digipeating);

  FillList(nmea_list_, AprsChoiceList::NmeaOut, firmware_);
  const bool nmea = v.nmeaOut >= 1;
  nmea_check_->setChecked(nmea);
  nmea_list_->setEnabled(nmea);
  nmea_list_->setCurrentIndex(nmea ? v.nmeaOut - 1 : kLoopbackEntry);

  const bool status = v.statusEvery != 0;
  status_on_every_radio_->setChecked(status);
  status_never_radio_->setChecked(!status);
  status_every_edit_->setText(status ? QString::number(v.statusEvery) : QStringLiteral("0"));
  SetStatusEveryEnabled(status);

  FillList(cross_mode_list_, AprsChoiceList::CrossMode, firmware_);
  const bool cross = v.crossMode >= 1;
  cross_mode_check_->setChecked(cross);
  cross_mode_list_->setEnabled(cross);
  cross_mode_list_->setCurrentIndex(cross ? v.crossMode - 1 : kR300Entry);

  FillList(altitude_list_, AprsChoiceList::Altitude, firmware_);
  const bool altitude = v.altitude >= 1;
  altitude_check_->setChecked(altitude);
  altitude_list_->setCurrentIndex(altitude ? v.altitude - 1 : kCompressedAndPlainEntry);
  altitude_list_->setEnabled(altitude);

  const bool freqBeacon = !IsZeroText(v.freqBeacon);
  freq_beacon_check_->setChecked(freqBeacon);
  freq_beacon_edit_->setText(freqBeacon ? Cp1252ToFieldText(v.freqBeacon) : QStringLiteral("0"));
  for (QWidget* w : std::initializer_list<QWidget*>{freq_beacon_edit_, freq_beacon_label_,
                                                    freq_beacon_unit_label_})
    w->setEnabled(freqBeacon);

  hf_always_radio_->setChecked(v.hfToggle == 2);
  hf_only_radio_->setChecked(v.hfToggle != 2);
  if (!v.hfToggleSwitch) {
    hf_only_radio_->setEnabled(false);
    hf_always_radio_->setEnabled(false);
  }

  ApplyFirmwareRestrictions();
}

void CAprsSettings::ApplyFirmwareRestrictions() {
  const auto below = [this](uint32_t threshold) { return !FirmwareReaches(firmware_, threshold); };
  const auto disable = [](std::initializer_list<QWidget*> widgets) {
    for (QWidget* w : widgets) w->setEnabled(false);
  };
  if (below(firmware::k1_4B)) {
    auto_speed_list_->setCurrentIndex(kMediumSpeed);
    disable({auto_speed_list_});
  }
  if (below(firmware::k1_3E)) {
    unproto_cross_check_->setChecked(false);
    disable({unproto_cross_check_, unproto_cross_label_});
  }
  if (below(firmware::k1_1J)) {
    hf_only_radio_->setChecked(true);
    cross_mode_list_->setCurrentIndex(0);
    altitude_list_->setCurrentIndex(0);
    disable({hf_only_radio_, hf_always_radio_, cross_mode_list_, altitude_list_, altitude_label_,
             freq_beacon_check_, freq_beacon_edit_, freq_beacon_group_});
  }
  if (below(firmware::k1_0Q)) {
    if (comment_edit_->text().size() > kOldCommentLength) {
      ShowMessage("", "APRS Comment will be truncated to 40 chars.", MessageIcon::None);
      comment_edit_->setText(comment_edit_->text().left(kOldCommentLength));
    }
    // A group box whose every control is off is switched off as a whole;
    // the NMEA box keeps its check box, so only its list and labels go.
    disable({hf_toggle_check_,    hf_group_,
             valid_edit_,         valid_label_,
             valid_unit_label_,   digipeating_check_,
             digi_alias_list_,    digi_alias_label_,
             digipeating_group_,  callsign_edit_,
             callsign_label_,     status_text_edit_,
             status_text_label_,  status_group_,
             status_every_label_, status_transmission_label_,
             status_never_radio_, status_on_every_radio_,
             nmea_list_,          nmea_output_label_,
             nmea_port_label_});
    SetStatusEveryEnabled(false);
  }
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
  connect(auto_interval_radio_, &QRadioButton::toggled, this, [this](bool on) {
    if (!on) return;
    interval_edit_->setText(QStringLiteral("0"));
    interval_edit_->setEnabled(false);
    auto_speed_list_->setEnabled(FirmwareReaches(firmware_, firmware::k1_4B));
  });
  connect(manual_interval_radio_, &QRadioButton::toggled, this, [this](bool on) {
    if (!on) return;
    interval_edit_->setText(QString::fromLatin1(kManualIntervalDefault));
    interval_edit_->setEnabled(true);
    auto_speed_list_->setEnabled(false);
  });

  const auto beacon = [this](const char* mode) {
    values_.beaconMode = mode;
    SetPositionControlsEnabled(values_.beaconMode == "2");
  };
  connect(beacon_off_radio_, &QRadioButton::clicked, this, [beacon] { beacon("0"); });
  connect(beacon_gps_radio_, &QRadioButton::clicked, this, [beacon] { beacon("1"); });
  connect(beacon_fixed_radio_, &QRadioButton::clicked, this, [beacon] { beacon("2"); });

  connect(latitude_button_, &QPushButton::clicked, this, [this] {
    SetHemisphere(latitude_button_, latitude_hemisphere_label_,
                  ToggleHemisphere(PositionAxis::Latitude, HemisphereOf(latitude_button_)));
  });
  connect(longitude_button_, &QPushButton::clicked, this, [this] {
    SetHemisphere(longitude_button_, longitude_hemisphere_label_,
                  ToggleHemisphere(PositionAxis::Longitude, HemisphereOf(longitude_button_)));
  });

  connect(digipeating_check_, &QCheckBox::clicked, this, [this](bool checked) {
    digi_alias_list_->setEnabled(checked);
    digi_alias_label_->setEnabled(checked);
    if (checked) digi_alias_list_->setCurrentIndex(0);
  });
  connect(hf_toggle_check_, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked && !FirmwareReaches(firmware_, firmware::k1_1J)) return;
    hf_only_radio_->setEnabled(checked);
    hf_always_radio_->setEnabled(checked);
  });
  connect(altitude_check_, &QCheckBox::clicked, altitude_list_, &QWidget::setEnabled);
  connect(nmea_check_, &QCheckBox::clicked, nmea_list_, &QWidget::setEnabled);
  connect(cross_mode_check_, &QCheckBox::clicked, cross_mode_list_, &QWidget::setEnabled);
  connect(freq_beacon_check_, &QCheckBox::clicked, this, [this](bool checked) {
    freq_beacon_edit_->setText(checked ? QString::fromLatin1(kFreqBeaconDefault)
                                       : QStringLiteral("0"));
    for (QWidget* w : std::initializer_list<QWidget*>{freq_beacon_edit_, freq_beacon_label_,
                                                      freq_beacon_unit_label_})
      w->setEnabled(checked);
  });

  connect(status_never_radio_, &QRadioButton::clicked, this, [this] {
    status_every_edit_->setText(QStringLiteral("0"));
    SetStatusEveryEnabled(false);
  });
  connect(status_on_every_radio_, &QRadioButton::clicked, this, [this] {
    if (status_every_edit_->text() == QStringLiteral("0"))
      status_every_edit_->setText(QString::fromLatin1(kStatusEveryDefault));
    SetStatusEveryEnabled(true);
  });
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
           longitude_button_, longitude_edit_, longitude_hemisphere_label_, longitude_label_})
    w->setEnabled(enabled);
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

void CAprsSettings::StepStatusEvery(int delta) {
  const int value = std::clamp(DecimalValue(status_every_edit_->text()) + delta, kStatusEveryMin,
                               kStatusEveryMax);
  status_every_edit_->setText(QString::number(value));
}

bool CAprsSettings::eventFilter(QObject* watched, QEvent* event) {
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
  const int32_t value = DecimalValue(status_every_edit_->text());
  if (value > kStatusEveryMax) {
    status_every_edit_->setText(QString::number(kStatusEveryMax));
    status_every_edit_->setFocus(Qt::OtherFocusReason);
    status_every_edit_->selectAll();
    Beep();
    ShowMessage("APRS Status Report Error",
                "APRS Status Report max. on every 20th APRS Transmission", MessageIcon::Warning);
    return true;
  }
  if (value == 0) {
    status_never_radio_->setChecked(true);
    SetStatusEveryEnabled(false);
  }
  return false;
}

void CAprsSettings::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The content may have grown while it was polished for showing.
  scroll_area_->updateGeometry();
  if (QScreen* shown_on = screen()) FitToScreen(shown_on->availableGeometry());
}

void CAprsSettings::FitToScreen(const QRect& available) {
  // The title bar and frame count too; before the window exists they are 0.
  const int frame = frameGeometry().height() - geometry().height();
  const QSize wanted = sizeHint();
  const int width = std::min(wanted.width(), available.width());
  // A screen too narrow as well brings a horizontal scroll bar, which needs
  // its own room.
  const int height =
      wanted.height() +
      (width < wanted.width() ? scroll_area_->horizontalScrollBar()->sizeHint().height() : 0);
  if (height + frame <= available.height()) {
    resize(width, height);
    return;
  }
  resize(width, available.height() - frame);
  move(available.topLeft());
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
    field->setFocus(Qt::OtherFocusReason);
    scroll_area_->ensureWidgetVisible(field);
    switch (finding.selection) {
      case AprsSelection::All:
        field->selectAll();
        break;
      case AprsSelection::Range:
        field->setSelection(finding.selectionStart, finding.selectionLength);
        break;
      case AprsSelection::None:
        field->deselect();
        break;
    }
  };
  if (focusFirst) takeUserThere();
  ShowMessage(finding.caption, finding.message, finding.icon);
  if (!focusFirst) takeUserThere();
}

}  // namespace vextune::ui
