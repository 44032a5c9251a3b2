#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/operation.h"
#include "editor/aprs_settings_check.h"
#include "editor/aprs_settings_record.h"

namespace vextune {

/// A drop-down list of the APRS dialog as it opens: its entries, the entry
/// shown (-1: none, the stored choice is not offered) and whether it can be
/// used (its label with it, where it has one).
struct AprsListState {
  std::vector<std::string> entries;
  int index = 0;
  bool enabled = true;
};

/// The three beacon buttons; the stored "0", "1" and "2" in this order.
enum class AprsBeaconMode { Off, Gps, Fixed };

/// Which parts of the APRS dialog can be used as it opens. Each member names
/// a control and the labels and buttons that belong to it; a group's member
/// covers the group box and its own check box.
struct AprsControlsEnabled {
  bool callsign = true;            ///< the callsign field and its label
  bool positionFields = true;      ///< latitude, longitude, their buttons and labels
  bool txInterval = true;          ///< the manual interval field
  bool valid = true;               ///< the validity field, its label and unit
  bool statusText = true;          ///< the status box, its text field and label
  bool statusEveryChoice = true;   ///< "Never", "On every" and their labels
  bool statusEvery = true;         ///< the status-every field and its arrows
  bool hfGroup = true;             ///< the HF toggle box and its check box
  bool hfChoice = true;            ///< "only if in HF-PR-Mode" and "always"
  bool digipeatingGroup = true;    ///< the digipeating box and its check box
  bool nmeaLabels = true;          ///< "output" and "on GPS-Port"
  bool altitudeLabel = true;       ///< "in the following APRS-Packets:"
  bool unprotoCross = true;        ///< the unproto cross check box and its label
  bool freqBeaconGroup = true;     ///< the frequency beacon box and its check box
  bool freqBeaconInterval = true;  ///< the beacon interval field, its label and unit

  bool operator==(const AprsControlsEnabled&) const = default;
};

/// Everything the APRS dialog shows as it opens, decided from the values and
/// the device's firmware. Texts are 8-bit like the record.
struct AprsDialogState {
  std::string callsign;
  std::string path;     ///< the path entries joined as the field shows them
  std::string comment;  ///< cut to what old firmware takes
  std::string statusText;
  std::string valid;
  std::string txInterval;   ///< "0" while the interval is automatic
  std::string statusEvery;  ///< "0" while the report is off
  std::string freqBeacon;   ///< "0" while the beacon is off

  bool trackOnly = false;
  bool compressed = false;
  bool timestamp = false;
  bool alternateTable = false;  ///< also: which symbol box shows
  bool hfToggleSwitch = false;
  bool unprotoCross = false;
  bool digipeatingOn = false;
  bool nmeaOn = false;
  bool crossModeOn = false;
  bool altitudeOn = false;
  bool freqBeaconOn = false;

  bool manualInterval = false;
  bool statusOnEvery = false;
  bool hfAlways = false;  ///< "always" rather than "only if in HF-PR-Mode"
  /// Empty when the stored mode is none of the three: no button is checked.
  std::optional<AprsBeaconMode> beacon;

  /// The symbol both boxes show; -1 when the stored index is beyond them.
  int symbolIndex = 0;
  std::string latitude;  ///< the field's text, the mask when there is none
  char latitudeHemisphere = 'N';
  std::string longitude;
  char longitudeHemisphere = 'W';

  AprsListState autoSpeed;
  AprsListState digiAlias;
  AprsListState nmeaOut;
  AprsListState crossMode;
  AprsListState altitude;

  AprsControlsEnabled enabled;

  /// The notice shown while the dialog opens (old firmware cutting a long
  /// comment); 8-bit, no caption.
  std::optional<std::string> notice;
};

/// The dialog's opening state for `values` on firmware `firmwareVersion`
/// (-1: no device, nothing restricted).
AprsDialogState AprsOpeningState(const AprsSettingsValues& values, int32_t firmwareVersion);

/// The position fields can be edited only with the fixed beacon ("2").
bool AprsPositionEditable(std::string_view beaconMode);

/// A field and the controls beside it after a click on the switch that
/// governs them.
struct AprsSwitchedField {
  std::optional<std::string> text;  ///< empty: the field keeps what it holds
  bool enabled = false;
};

/// "Manual TX interval:" (`manual`) or "Auto TX Interval" chosen: the
/// interval field's text and state; `speedListEnabled` for the speed list,
/// which firmware before 1.4B keeps off.
struct AprsIntervalChoice {
  AprsSwitchedField interval;
  bool speedListEnabled = false;
};
AprsIntervalChoice ChooseAprsInterval(bool manual, int32_t firmwareVersion);

/// The frequency beacon switched on or off: its interval field.
AprsSwitchedField SwitchAprsFreqBeacon(bool on);

/// "On every" (`onEvery`) or "Never" clicked, the field holding `text`.
AprsSwitchedField ChooseAprsStatusEvery(bool onEvery, std::string_view text);

/// The status-every field's text after an arrow step of `delta` from `text`,
/// kept within 1 and the parameter's maximum (0 is "Never", its own button).
std::string StepAprsStatusEvery(std::string_view text, int delta);

/// The HF toggle switch clicked to `on`: whether its two buttons can be
/// used now, or empty when they stay as they are (firmware before 1.1J does
/// not switch them on).
std::optional<bool> SwitchAprsHfToggle(bool on, int32_t firmwareVersion);

/// What leaving the status-every field does with `text`.
struct AprsStatusLeave {
  enum class Action {
    Keep,    ///< the value stands
    Refuse,  ///< `refusal`: its restored text goes into the field, selected, with a beep
    Never,   ///< "Never" is checked and the field switched off
  };
  Action action = Action::Keep;
  AprsFinding refusal;
};
AprsStatusLeave LeaveAprsStatusEvery(std::string_view text);

}  // namespace vextune
