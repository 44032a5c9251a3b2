// The controls of the APRS settings dialog and their places: two columns of
// group boxes in a scroll area, the OK and Abbrechen buttons below it.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include "config/config_data.h"
#include "editor/field_texts.h"
#include "ui/aprs_settings_dlg.h"
#include "ui/cp1252_field_text.h"
#include "ui/dialog_controls.h"
#include "ui/position_edit.h"
#include "ui/widget_support.h"

namespace vextune::ui {
namespace {

constexpr int kTextLengthLimit = static_cast<int>(kText80Length);
constexpr int kValidLengthLimit = 4;
constexpr int kStatusEveryLengthLimit = 2;

// Room for `characters` digits or letters plus the frame.
int FieldWidth(const QWidget* widget, int characters) {
  return widget->fontMetrics().horizontalAdvance(QLatin1Char('0')) * characters + 16;
}

QRegularExpressionValidator* DigitsOnly(QObject* parent) {
  return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

}  // namespace

void CAprsSettings::BuildControls() {
  setWindowTitle(QStringLiteral("Olvane Vextune - APRS Settings"));
  setObjectName(QStringLiteral("aprsSettingsDialog"));

  content_ = new QWidget;
  content_->setObjectName(QStringLiteral("scrollContent"));
  auto* columns = new QHBoxLayout(content_);
  QWidget* left = BuildLeftColumn();
  QWidget* right = BuildRightColumn();
  columns->addWidget(left, 0, Qt::AlignTop);
  columns->addWidget(right, 0, Qt::AlignTop);
  scroll_area_ = NewFittingScrollArea(content_, this);
  KeepOnScreen(this, scroll_area_);

  // The position is typed as it is written, latitude then longitude; the
  // hemisphere buttons come after both fields.
  setTabOrder(beacon_fixed_radio_, latitude_edit_);
  setTabOrder(latitude_edit_, longitude_edit_);
  setTabOrder(longitude_edit_, latitude_button_);
  setTabOrder(latitude_button_, longitude_button_);
  setTabOrder(longitude_button_, position_from_edit_);
  setTabOrder(position_from_edit_, position_use_button_);
  setTabOrder(path_edit_, path_hint_button_);
  TabToCheckedRadio({beacon_off_radio_, beacon_gps_radio_, beacon_fixed_radio_});
  TabToCheckedRadio({auto_interval_radio_, manual_interval_radio_});
  TabToCheckedRadio({status_never_radio_, status_on_every_radio_});
  TabToCheckedRadio({hf_only_radio_, hf_always_radio_});

  const OkCancelRow buttons = NewOkCancelButtons(this, ButtonWidth::Natural);
  ok_button_ = buttons.ok;
  ok_button_->setDefault(true);
  cancel_button_ = buttons.cancel;

  auto* dialog_layout = new QVBoxLayout(this);
  dialog_layout->addWidget(scroll_area_, 1);
  dialog_layout->addLayout(buttons.layout);
}

QWidget* CAprsSettings::BuildLeftColumn() {
  aprs_group_ = Make<QGroupBox>(nullptr, "aprsGroup", QStringLiteral("APRS Settings"));
  auto* column = new QVBoxLayout(aprs_group_);

  // Callsign and path
  auto* fields = new QGridLayout;
  callsign_edit_ = Make<QLineEdit>(aprs_group_, "aprsCallsignEdit");
  callsign_label_ = MakeLabel(aprs_group_, "aprsCallsignLabel",
                              QStringLiteral("APRS Callsign [%AM]:"), callsign_edit_);
  callsign_edit_->setFixedWidth(FieldWidth(callsign_edit_, 10));
  callsign_edit_->setValidator(
      new Cp1252Validator(static_cast<int>(kMaxTextLength), callsign_edit_));
  path_edit_ = Make<QLineEdit>(aprs_group_, "pathEdit");
  path_label_ = MakeLabel(aprs_group_, "pathLabel", QStringLiteral("Path [%AP]:"), path_edit_);
  path_edit_->setMinimumWidth(FieldWidth(path_edit_, 26));
  fields->addWidget(callsign_label_, 0, 0);
  fields->addWidget(callsign_edit_, 0, 1, Qt::AlignLeft);
  fields->addWidget(path_label_, 1, 0);
  fields->addWidget(path_edit_, 1, 1);
  // Shown only while the destination looks like a digipeater.
  path_hint_label_ = Make<QLabel>(aprs_group_, "pathHintLabel");
  path_hint_label_->setWordWrap(true);
  path_hint_button_ =
      Make<QPushButton>(aprs_group_, "pathHintButton", QStringLiteral("Use &suggested path"));
  path_hint_button_->setAutoDefault(false);
  path_hint_button_->setAccessibleName(QStringLiteral("Use suggested path"));
  auto* hint = new QHBoxLayout;
  hint->setContentsMargins(0, 0, 0, 0);
  hint->addWidget(path_hint_label_, 1);
  hint->addWidget(path_hint_button_, 0, Qt::AlignTop);
  fields->addLayout(hint, 2, 0, 1, 2);
  column->addLayout(fields);

  // Position
  position_group_ = Make<QGroupBox>(aprs_group_, "positionGroup", QStringLiteral("Position"));
  auto* position = new QGridLayout(position_group_);
  beacon_off_radio_ =
      Make<QRadioButton>(position_group_, "beaconOffRadio", QStringLiteral("Beacon OFF"));
  beacon_gps_radio_ = Make<QRadioButton>(position_group_, "beaconGpsRadio", QStringLiteral("GPS"));
  beacon_fixed_radio_ =
      Make<QRadioButton>(position_group_, "beaconFixedRadio", QStringLiteral("Fixed"));
  auto* modes = new QHBoxLayout;
  modes->addWidget(beacon_off_radio_);
  modes->addWidget(beacon_gps_radio_);
  modes->addWidget(beacon_fixed_radio_);
  modes->addStretch();
  position->addLayout(modes, 0, 0, 1, 5);

  latitude_button_ = Make<QPushButton>(position_group_, "latitudeHemisphereButton", "N");
  latitude_button_->setAccessibleName(QStringLiteral("Latitude hemisphere"));
  latitude_edit_ = Make<CLatPosEdit>(position_group_, "latitudeEdit");
  latitude_label_ =
      MakeLabel(position_group_, "latitudeLabel", QStringLiteral("Lat:"), latitude_edit_);
  latitude_hemisphere_label_ = Make<QLabel>(position_group_, "latitudeHemisphereLabel", "N");
  longitude_button_ = Make<QPushButton>(position_group_, "longitudeHemisphereButton", "W");
  longitude_button_->setAccessibleName(QStringLiteral("Longitude hemisphere"));
  longitude_edit_ = Make<CLonPosEdit>(position_group_, "longitudeEdit");
  longitude_label_ =
      MakeLabel(position_group_, "longitudeLabel", QStringLiteral("Lon:"), longitude_edit_);
  longitude_hemisphere_label_ = Make<QLabel>(position_group_, "longitudeHemisphereLabel", "W");
  for (QPushButton* button : {latitude_button_, longitude_button_}) {
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 16);
  }
  for (PositionEdit* edit : std::initializer_list<PositionEdit*>{latitude_edit_, longitude_edit_})
    edit->setFixedWidth(FieldWidth(edit, 10));
  position->addWidget(latitude_label_, 1, 0);
  position->addWidget(latitude_button_, 1, 1);
  position->addWidget(latitude_edit_, 1, 2);
  position->addWidget(latitude_hemisphere_label_, 1, 3);
  position->addWidget(longitude_label_, 2, 0);
  position->addWidget(longitude_button_, 2, 1);
  position->addWidget(longitude_edit_, 2, 2);
  position->addWidget(longitude_hemisphere_label_, 2, 3);
  // Beside the fields, so that the helper rows below stay few.
  locator_label_ = Make<QLabel>(position_group_, "locatorLabel");
  locator_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  position->addWidget(locator_label_, 1, 4, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);

  position_from_edit_ = Make<QLineEdit>(position_group_, "positionFromEdit");
  position_from_edit_->setPlaceholderText(QStringLiteral("JN48nm or 48.5298, 8.1980"));
  position_from_edit_->setMinimumWidth(FieldWidth(position_from_edit_, 20));
  position_from_label_ = MakeLabel(position_group_, "positionFromLabel",
                                   QStringLiteral("Position from:"), position_from_edit_);
  position_use_button_ = Make<QPushButton>(position_group_, "positionUseButton", "&Use");
  position_use_button_->setAccessibleName(QStringLiteral("Use position"));
  position_use_button_->setAutoDefault(false);
  auto* from = new QHBoxLayout;
  from->addWidget(position_from_edit_, 1);
  from->addWidget(position_use_button_);
  position->addWidget(position_from_label_, 3, 0);
  position->addLayout(from, 3, 1, 1, 4);
  position_problem_label_ = Make<QLabel>(position_group_, "positionProblemLabel");
  position_problem_label_->setWordWrap(true);
  position_problem_label_->hide();
  position->addWidget(position_problem_label_, 4, 0, 1, 5);
  position->setColumnStretch(4, 1);
  column->addWidget(position_group_);

  // TX interval
  interval_group_ =
      Make<QGroupBox>(aprs_group_, "txIntervalGroup", QStringLiteral("TX Interval [%AT]"));
  auto* interval = new QGridLayout(interval_group_);
  auto_interval_radio_ =
      Make<QRadioButton>(interval_group_, "autoIntervalRadio", QStringLiteral("Auto TX Interval"));
  auto_speed_list_ = Make<QComboBox>(interval_group_, "autoSpeedList");
  auto_speed_list_->setAccessibleName(QStringLiteral("Auto TX Interval speed"));
  manual_interval_radio_ = Make<QRadioButton>(interval_group_, "manualIntervalRadio",
                                              QStringLiteral("Manual TX interval:"));
  interval_edit_ = Make<QLineEdit>(interval_group_, "txIntervalEdit");
  interval_edit_->setAccessibleName(QStringLiteral("Manual TX interval in seconds"));
  interval_edit_->setFixedWidth(FieldWidth(interval_edit_, 6));
  interval_unit_label_ = Make<QLabel>(interval_group_, "txIntervalUnitLabel", "seconds");
  interval->addWidget(auto_interval_radio_, 0, 0);
  interval->addWidget(auto_speed_list_, 0, 1, 1, 2, Qt::AlignLeft);
  interval->addWidget(manual_interval_radio_, 1, 0);
  interval->addWidget(interval_edit_, 1, 1);
  interval->addWidget(interval_unit_label_, 1, 2);
  interval->setColumnStretch(3, 1);
  column->addWidget(interval_group_);

  // Symbol: both boxes share one place, only one is shown.
  symbol_group_ = Make<QGroupBox>(aprs_group_, "symbolGroup", QStringLiteral("APRS Symbol [%AY]"));
  auto* symbol = new QGridLayout(symbol_group_);
  primary_symbol_box_ = Make<QComboBox>(symbol_group_, "primarySymbolBox");
  primary_symbol_box_->setAccessibleName(QStringLiteral("APRS Symbol, primary table"));
  alternate_symbol_box_ = Make<QComboBox>(symbol_group_, "alternateSymbolBox");
  alternate_symbol_box_->setAccessibleName(QStringLiteral("APRS Symbol, alternate table"));
  for (QComboBox* box : {primary_symbol_box_, alternate_symbol_box_}) {
    box->setMinimumContentsLength(18);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMaxVisibleItems(16);
    symbol->addWidget(box, 0, 0);
  }
  alternate_table_check_ =
      Make<QCheckBox>(symbol_group_, "alternateTableCheck", QStringLiteral("alternate table"));
  symbol->addWidget(alternate_table_check_, 0, 1);
  symbol->setColumnStretch(2, 1);
  column->addWidget(symbol_group_);

  // Altitude
  altitude_group_ =
      Make<QGroupBox>(aprs_group_, "altitudeGroup", QStringLiteral("GPS Altitude [%AA]"));
  auto* altitude = new QHBoxLayout(altitude_group_);
  altitude_check_ = Make<QCheckBox>(altitude_group_, "altitudeCheck");
  altitude_check_->setAccessibleName(QStringLiteral("GPS Altitude [%AA]"));
  altitude_list_ = Make<QComboBox>(altitude_group_, "altitudeList");
  altitude_label_ = MakeLabel(altitude_group_, "altitudeLabel",
                              QStringLiteral("in the following APRS-Packets:"), altitude_list_);
  altitude->addWidget(altitude_check_);
  altitude->addWidget(altitude_label_);
  altitude->addWidget(altitude_list_);
  altitude->addStretch();
  column->addWidget(altitude_group_);

  // Compression, time stamp, GPS validity
  compressed_check_ =
      Make<QCheckBox>(aprs_group_, "compressedCheck", QStringLiteral("compressed (BASE91) [%AS]"));
  timestamp_check_ =
      Make<QCheckBox>(aprs_group_, "timestampCheck", QStringLiteral("Timestamp [%AI]"));
  auto* switches = new QHBoxLayout;
  switches->addWidget(compressed_check_);
  switches->addWidget(timestamp_check_);
  switches->addStretch();
  column->addLayout(switches);

  valid_edit_ = Make<QLineEdit>(aprs_group_, "validEdit");
  valid_edit_->setMaxLength(kValidLengthLimit);
  valid_edit_->setValidator(DigitsOnly(valid_edit_));
  valid_edit_->setFixedWidth(FieldWidth(valid_edit_, 6));
  valid_label_ =
      MakeLabel(aprs_group_, "validLabel", QStringLiteral("APRS Valid [%AV]:"), valid_edit_);
  valid_unit_label_ = Make<QLabel>(aprs_group_, "validUnitLabel", "s");
  auto* valid = new QHBoxLayout;
  valid->addWidget(valid_label_);
  valid->addWidget(valid_edit_);
  valid->addWidget(valid_unit_label_);
  valid->addStretch();
  column->addLayout(valid);

  // NMEA output
  nmea_group_ = Make<QGroupBox>(aprs_group_, "nmeaGroup", QStringLiteral("NMEA Out [%AN]"));
  auto* nmea = new QHBoxLayout(nmea_group_);
  nmea_check_ = Make<QCheckBox>(nmea_group_, "nmeaCheck");
  nmea_check_->setAccessibleName(QStringLiteral("NMEA Out [%AN]"));
  nmea_list_ = Make<QComboBox>(nmea_group_, "nmeaList");
  nmea_output_label_ =
      MakeLabel(nmea_group_, "nmeaOutputLabel", QStringLiteral("output"), nmea_list_);
  nmea_port_label_ = Make<QLabel>(nmea_group_, "nmeaPortLabel", QStringLiteral("on GPS-Port"));
  nmea->addWidget(nmea_check_);
  nmea->addWidget(nmea_output_label_);
  nmea->addWidget(nmea_list_);
  nmea->addWidget(nmea_port_label_);
  nmea->addStretch();
  column->addWidget(nmea_group_);

  column->addStretch();
  return aprs_group_;
}

QWidget* CAprsSettings::BuildRightColumn() {
  auto* right = new QWidget;
  right->setObjectName(QStringLiteral("rightColumn"));
  auto* column = new QVBoxLayout(right);
  column->setContentsMargins(0, 0, 0, 0);

  // Tracking options
  tracking_group_ = Make<QGroupBox>(right, "trackingGroup", QStringLiteral("Tracking Options"));
  auto* tracking = new QVBoxLayout(tracking_group_);
  track_only_check_ = Make<QCheckBox>(tracking_group_, "trackOnlyCheck",
                                      QStringLiteral("APRS beacon only in tracking mode [%AX]"));
  tracking->addWidget(track_only_check_);
  comment_edit_ = Make<QLineEdit>(tracking_group_, "commentEdit");
  comment_edit_->setMaxLength(kTextLengthLimit);
  comment_edit_->setValidator(new Cp1252Validator(kTextLengthLimit, comment_edit_));
  comment_edit_->setMinimumWidth(FieldWidth(comment_edit_, 28));
  comment_label_ =
      MakeLabel(tracking_group_, "commentLabel", QStringLiteral("Comment [%AC]:"), comment_edit_);
  auto* comment = new QHBoxLayout;
  comment->addWidget(comment_label_);
  comment->addWidget(comment_edit_, 1);
  tracking->addLayout(comment);

  status_group_ = Make<QGroupBox>(tracking_group_, "statusGroup", QStringLiteral("Status Report"));
  auto* status = new QGridLayout(status_group_);
  status_text_edit_ = Make<QLineEdit>(status_group_, "statusTextEdit");
  status_text_edit_->setMaxLength(kTextLengthLimit);
  status_text_edit_->setValidator(new Cp1252Validator(kTextLengthLimit, status_text_edit_));
  status_text_label_ = MakeLabel(status_group_, "statusTextLabel",
                                 QStringLiteral("Report Text [%AR]:"), status_text_edit_);
  status->addWidget(status_text_label_, 0, 0);
  status->addWidget(status_text_edit_, 0, 1, 1, 5);
  status_every_label_ =
      Make<QLabel>(status_group_, "statusEveryLabel", QStringLiteral("Send Status Report [%AE]:"));
  status->addWidget(status_every_label_, 1, 0, 1, 6);
  status_never_radio_ =
      Make<QRadioButton>(status_group_, "statusNeverRadio", QStringLiteral("Never"));
  status_on_every_radio_ =
      Make<QRadioButton>(status_group_, "statusOnEveryRadio", QStringLiteral("On every"));
  status_every_edit_ = Make<QLineEdit>(status_group_, "statusEveryEdit");
  status_every_edit_->setAccessibleName(
      QStringLiteral("Send Status Report on every n-th APRS Transmission"));
  status_every_edit_->setMaxLength(kStatusEveryLengthLimit);
  status_every_edit_->setValidator(DigitsOnly(status_every_edit_));
  status_every_edit_->setFixedWidth(FieldWidth(status_every_edit_, 3));
  status_every_up_ = Make<QToolButton>(status_group_, "statusEveryUp");
  status_every_up_->setArrowType(Qt::UpArrow);
  status_every_up_->setAccessibleName(QStringLiteral("Status Report interval up"));
  status_every_down_ = Make<QToolButton>(status_group_, "statusEveryDown");
  status_every_down_->setArrowType(Qt::DownArrow);
  status_every_down_->setAccessibleName(QStringLiteral("Status Report interval down"));
  auto* spin = new QVBoxLayout;
  spin->setSpacing(0);
  const int half_height = status_every_edit_->sizeHint().height() / 2;
  for (QToolButton* button : {status_every_up_, status_every_down_}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);  // the arrow keys in the edit do the same
    button->setFixedSize(half_height + 6, half_height);
    spin->addWidget(button);
  }
  status_transmission_label_ =
      Make<QLabel>(status_group_, "statusTransmissionLabel", QStringLiteral("APRS Transmission"));
  status->addWidget(status_never_radio_, 2, 0);
  auto* every = new QHBoxLayout;
  every->setSpacing(2);
  every->addWidget(status_on_every_radio_);
  every->addWidget(status_every_edit_);
  every->addLayout(spin);
  every->addSpacing(4);
  every->addWidget(status_transmission_label_);
  every->addStretch();
  status->addLayout(every, 2, 1, 1, 5);
  tracking->addWidget(status_group_);

  hf_group_ = Make<QGroupBox>(tracking_group_, "hfToggleGroup",
                              QStringLiteral("Tracking - HF mode Toggle [%AH]"));
  auto* hf = new QHBoxLayout(hf_group_);
  hf_toggle_check_ = Make<QCheckBox>(hf_group_, "hfToggleCheck");
  hf_toggle_check_->setAccessibleName(QStringLiteral("Tracking - HF mode Toggle [%AH]"));
  hf_only_radio_ = Make<QRadioButton>(hf_group_, "hfOnlyInHfPrModeRadio",
                                      QStringLiteral("only if in HF-PR-Mode [%B]"));
  hf_always_radio_ = Make<QRadioButton>(hf_group_, "hfAlwaysRadio", QStringLiteral("always"));
  hf->addWidget(hf_toggle_check_);
  hf->addWidget(hf_only_radio_);
  hf->addWidget(hf_always_radio_);
  hf->addStretch();
  tracking->addWidget(hf_group_);
  column->addWidget(tracking_group_);

  // Digipeating and gateway options
  gateway_group_ =
      Make<QGroupBox>(right, "gatewayGroup", QStringLiteral("Digipeating / Gateway Options"));
  auto* gateway = new QVBoxLayout(gateway_group_);

  digipeating_group_ =
      Make<QGroupBox>(gateway_group_, "digipeatingGroup", QStringLiteral("APRS-Digipeating [%AD]"));
  auto* digipeating = new QHBoxLayout(digipeating_group_);
  digipeating_check_ = Make<QCheckBox>(digipeating_group_, "digipeatingCheck");
  digipeating_check_->setAccessibleName(QStringLiteral("APRS-Digipeating [%AD]"));
  digi_alias_list_ = Make<QComboBox>(digipeating_group_, "digiAliasList");
  digi_alias_label_ = MakeLabel(digipeating_group_, "digiAliasLabel",
                                QStringLiteral("Digip. Alias:"), digi_alias_list_);
  digipeating->addWidget(digipeating_check_);
  digipeating->addWidget(digi_alias_label_);
  digipeating->addWidget(digi_alias_list_);
  digipeating->addStretch();
  gateway->addWidget(digipeating_group_);

  cross_mode_group_ = Make<QGroupBox>(gateway_group_, "crossModeGroup",
                                      QStringLiteral("Cross Mode Digipeating [%AG]"));
  auto* cross = new QGridLayout(cross_mode_group_);
  cross_mode_check_ = Make<QCheckBox>(cross_mode_group_, "crossModeCheck");
  cross_mode_check_->setAccessibleName(QStringLiteral("Cross Mode Digipeating [%AG]"));
  cross_mode_list_ = Make<QComboBox>(cross_mode_group_, "crossModeList");
  cross_mode_label_ = MakeLabel(cross_mode_group_, "crossModeLabel", QStringLiteral("Cross Mode:"),
                                cross_mode_list_);
  unproto_cross_check_ = Make<QCheckBox>(cross_mode_group_, "unprotoCrossCheck");
  unproto_cross_label_ = MakeLabel(cross_mode_group_, "unprotoCrossLabel",
                                   QStringLiteral("APRS Unproto Cross Mode"), unproto_cross_check_);
  cross->addWidget(cross_mode_check_, 0, 0);
  cross->addWidget(cross_mode_label_, 0, 1);
  cross->addWidget(cross_mode_list_, 0, 2, Qt::AlignLeft);
  cross->addWidget(unproto_cross_check_, 1, 0);
  cross->addWidget(unproto_cross_label_, 1, 1, 1, 2);
  cross->setColumnStretch(3, 1);
  gateway->addWidget(cross_mode_group_);

  freq_beacon_group_ = Make<QGroupBox>(gateway_group_, "freqBeaconGroup",
                                       QStringLiteral("APRS frequency beacon [%AF]"));
  auto* freq = new QHBoxLayout(freq_beacon_group_);
  freq_beacon_check_ = Make<QCheckBox>(freq_beacon_group_, "freqBeaconCheck");
  freq_beacon_check_->setAccessibleName(QStringLiteral("APRS frequency beacon [%AF]"));
  freq_beacon_edit_ = Make<QLineEdit>(freq_beacon_group_, "freqBeaconEdit");
  freq_beacon_edit_->setFixedWidth(FieldWidth(freq_beacon_edit_, 7));
  freq_beacon_label_ = MakeLabel(freq_beacon_group_, "freqBeaconIntervalLabel",
                                 QStringLiteral("Interval:"), freq_beacon_edit_);
  freq_beacon_unit_label_ = Make<QLabel>(freq_beacon_group_, "freqBeaconUnitLabel", "seconds");
  freq->addWidget(freq_beacon_check_);
  freq->addWidget(freq_beacon_label_);
  freq->addWidget(freq_beacon_edit_);
  freq->addWidget(freq_beacon_unit_label_);
  freq->addStretch();
  gateway->addWidget(freq_beacon_group_);
  column->addWidget(gateway_group_);
  column->addStretch();
  return right;
}

void CAprsSettings::SetToolTips() {
  struct Tip {
    QWidget* widget;
    std::string text;  // UTF-8
  };
  const Tip tips[] = {
      {callsign_edit_, AprsToolTip(AprsField::Callsign)},
      {path_edit_, "AX.25 TX-path (target callsign and max. 8 digi callsigns)"},
      {auto_interval_radio_, "Speed dependent automatic APRS-beacon operation"},
      {manual_interval_radio_, "Periodic APRS beacon interval"},
      {interval_edit_, AprsToolTip(AprsField::TxInterval)},
      {comment_edit_, "Comment added to every APRS-datagram (e.g.: brief system description)"},
      {valid_edit_, AprsToolTip(AprsField::Valid)},
      {digi_alias_list_, "Digipeating-Aliases"},
      {digipeating_check_, "Enables / Disables APRS-Digipeating"},
      {latitude_button_, "Toggle Latitude (North<-->South)"},
      {longitude_button_, "Toggle Longitude (East<-->West)"},
      {track_only_check_, "Enables / disables APRS-beacon during normal TNC-operation"},
      {hf_toggle_check_, "Alternate modulation of APRS beacon in tracking mode (FSK / RPR)"},
      {timestamp_check_, "Enables / disables APRS-\u201CTimestamp\u201C-function"},
      {compressed_check_,
       "Enables / disables compression (BASE91) of position data in APRS datagram"},
      {nmea_list_, "Selects Output on GPS-port of DAV-OZI"},
      {nmea_check_, "Enables / Disables Output on GPS-port of DAV-OZI"},
      {status_text_edit_, AprsToolTip(AprsField::StatusText)},
      {status_never_radio_, "Disables APRS Status Report"},
      {status_on_every_radio_, "Enables Status Report"},
      {status_every_edit_,
       "Defines Status Report interval  (e.g.: 3 = Report after every third Position packet)"},
      {beacon_off_radio_, "Switches APRS beacon OFF"},
      {beacon_gps_radio_, "Switches APRS beacon ON, using GPS-position data"},
      {beacon_fixed_radio_, "Switches APRS beacon ON, using fixed position data"},
      {hf_only_radio_, "Alternate modulation of APRS beacon (FSK / RPR) only if in HF-PR-Mode"},
      {hf_always_radio_, "Always alternate modulation of APRS beacon (FSK / RPR)"},
      {altitude_list_, "Configures DAV-OZI to transmit Altitude-Information in APRS Packets"},
      {altitude_check_,
       "Enables / Disables transmission of the \u201Caltitude\u201D-information in APRS packets"},
      {freq_beacon_check_,
       "Enables periodic broadcast of actual frequency list (32 last heard Calls in 300 Bd FSK "
       "with frequency deviation)"},
      {freq_beacon_edit_, AprsToolTip(AprsField::FreqBeaconInterval)},
      // The list has a second text about the %B command; the first says
      // what the list does.
      {cross_mode_list_,
       "APRS-Packets will be digipeated in the selected Mode (differing from Receive-Mode)"},
      {cross_mode_check_,
       "Enables cross-mode-digipeating of APRS packets, i.e. packets that have to be digipeated "
       "can be transmitted in a mode different from the receiving mode."},
      {alternate_table_check_,
       "Use symbols from the alternative table (\u201Calternate table\u201D)"},
      {latitude_edit_,
       "Enter Latitude position in the following format: \u201C48\u00B031.79\u201D"},
      {longitude_edit_,
       "Enter Longitude position here in the following format: \u201C008\u00B011.88\u201D"},
      {auto_speed_list_, "Select Auto TX Intervall (slow, medium or fast)"},
      {position_from_edit_,
       "A Maidenhead locator, decimal degrees or degrees and minutes; Return fills Lat and Lon"},
  };
  for (const Tip& tip : tips) tip.widget->setToolTip(QString::fromStdString(tip.text));
}

}  // namespace vextune::ui
