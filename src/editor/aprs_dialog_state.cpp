#include "editor/aprs_dialog_state.h"

#include <algorithm>

#include "common/text_util.h"
#include "config/aprs_symbols.h"
#include "config/config_data.h"
#include "config/firmware.h"
#include "editor/aprs_choice_lists.h"
#include "editor/aprs_path.h"
#include "editor/aprs_position.h"
#include "editor/settings_message.h"

namespace vextune {
namespace {

using D = CConfigData;

// The arrows step "on every" reports: 0 is "never", its own radio button.
constexpr int64_t kStatusEveryMin = 1;

// What a switched-on control shows when the stored value has it off.
constexpr const char* kManualIntervalDefault = "900";
constexpr const char* kFreqBeaconDefault = "60";
constexpr const char* kStatusEveryDefault = "3";
constexpr const char* kOffText = "0";

// The entries a list falls back to while its switch is off.
constexpr int kMediumSpeedEntry = 1;
constexpr int kLoopbackEntry = 2;  // NMEA "GPS-data (loopback)"
constexpr int kR300Entry = 1;      // cross mode "R300 Bd"
constexpr int kCompressedAndPlainEntry = 1;

int32_t StatusEveryMax() {
  return D::InfoOf(&D::m_AprsStatusEvery).max;
}

// "0", "00": a stored number that means off or automatic.
bool IsZeroText(std::string_view text) {
  return !text.empty() && LeadingDigits(text).size() == text.size() && DigitsToNumber(text) == 0;
}

// An index the list does not have shows no entry at all.
int Offered(int index, size_t count) {
  return index >= 0 && static_cast<size_t>(index) < count ? index : -1;
}

// A list whose parameter stores the entry + 1 and 0 for off: the entry when
// on, `offEntry` when off.
AprsListState SwitchedList(AprsChoiceList list, int32_t stored, int offEntry, int32_t firmware) {
  AprsListState state;
  state.entries = AprsChoiceEntries(list, firmware);
  state.enabled = stored >= 1;
  state.index = Offered(state.enabled ? stored - 1 : offEntry, state.entries.size());
  return state;
}

std::optional<AprsBeaconMode> BeaconOf(std::string_view mode) {
  if (mode == "0") return AprsBeaconMode::Off;
  if (mode == "1") return AprsBeaconMode::Gps;
  if (mode == "2") return AprsBeaconMode::Fixed;
  return std::nullopt;
}

// Firmware that lacks a parameter or feature switches its controls off and
// shows a value the device cannot take as one it can.
void RestrictToFirmware(AprsDialogState& s, int32_t firmware) {
  const auto lacks = [firmware](CConfigParam D::*member) {
    return !ParamAvailable(member, firmware);
  };
  AprsControlsEnabled& on = s.enabled;
  if (lacks(&D::m_AprsAutoSpeed)) {
    s.autoSpeed.index = kMediumSpeedEntry;
    s.autoSpeed.enabled = false;
  }
  if (lacks(&D::m_AprsUnprotoCross)) {
    s.unprotoCross = false;
    on.unprotoCross = false;
  }
  if (lacks(&D::m_AprsHfToggle)) {
    s.hfAlways = false;
    on.hfChoice = false;
  }
  if (lacks(&D::m_AprsCrossMode)) {
    s.crossMode.index = 0;
    s.crossMode.enabled = false;
  }
  if (lacks(&D::m_AprsAltitude)) {
    s.altitude.index = 0;
    s.altitude.enabled = false;
    on.altitudeLabel = false;
  }
  if (!FeatureAvailable(FirmwareFeature::FreqBeaconControls, firmware)) {
    on.freqBeaconGroup = false;
    on.freqBeaconInterval = false;
  }
  if (!FeatureAvailable(FirmwareFeature::LongComment, firmware) &&
      s.comment.size() > kShortCommentLength) {
    s.notice =
        "APRS Comment will be truncated to " + std::to_string(kShortCommentLength) + " chars.";
    s.comment.resize(kShortCommentLength);
  }
  // A group box whose every control is off is switched off as a whole; the
  // NMEA box keeps its check box, so only its list and labels go.
  if (lacks(&D::m_AprsHfToggleOld)) on.hfGroup = false;
  if (lacks(&D::m_AprsValid)) on.valid = false;
  if (lacks(&D::m_AprsDigi)) {
    on.digipeatingGroup = false;
    s.digiAlias.enabled = false;
  }
  if (lacks(&D::m_AprsCall)) on.callsign = false;
  if (lacks(&D::m_AprsStatusText)) on.statusText = false;
  if (lacks(&D::m_AprsStatusEvery)) {
    on.statusEveryChoice = false;
    on.statusEvery = false;
  }
  if (lacks(&D::m_NmeaOut)) {
    s.nmeaOut.enabled = false;
    on.nmeaLabels = false;
  }
}

}  // namespace

bool AprsPositionEditable(std::string_view beaconMode) {
  return BeaconOf(beaconMode) == AprsBeaconMode::Fixed;
}

AprsDialogState AprsOpeningState(const AprsSettingsValues& v, int32_t firmware) {
  AprsDialogState s;
  s.callsign = v.callsign;
  s.path = JoinAprsPath(v.path);
  s.comment = v.comment;
  s.statusText = v.statusText;
  s.valid = v.valid;
  s.trackOnly = v.trackOnly;
  s.compressed = v.compressed;
  s.timestamp = v.timestamp;
  s.alternateTable = v.alternateTable;
  s.hfToggleSwitch = v.hfToggleSwitch;
  s.unprotoCross = v.unprotoCross;
  AprsControlsEnabled& on = s.enabled;

  const bool automatic = IsZeroText(v.txInterval);
  s.manualInterval = !automatic;
  s.txInterval = automatic ? kOffText : v.txInterval;
  on.txInterval = !automatic;
  s.autoSpeed.entries = AprsChoiceEntries(AprsChoiceList::AutoSpeed, firmware);
  s.autoSpeed.index = Offered(v.autoSpeed, s.autoSpeed.entries.size());
  s.autoSpeed.enabled = automatic;

  s.symbolIndex = Offered(DigitsToNumber(LeadingDigits(v.symbol)), kSymbolCount);

  const PositionParts position = SplitPosition(v.position);
  s.latitude = position.latitude;
  s.latitudeHemisphere = position.latitudeHemisphere;
  s.longitude = position.longitude;
  s.longitudeHemisphere = position.longitudeHemisphere;
  s.beacon = BeaconOf(v.beaconMode);
  // An unknown mode checks no button and leaves the fields as they are.
  if (s.beacon) on.positionFields = AprsPositionEditable(v.beaconMode);

  s.digiAlias = SwitchedList(AprsChoiceList::DigiAlias, v.digipeating, 0, firmware);
  s.digipeatingOn = s.digiAlias.enabled;
  s.nmeaOut = SwitchedList(AprsChoiceList::NmeaOut, v.nmeaOut, kLoopbackEntry, firmware);
  s.nmeaOn = s.nmeaOut.enabled;
  s.crossMode = SwitchedList(AprsChoiceList::CrossMode, v.crossMode, kR300Entry, firmware);
  s.crossModeOn = s.crossMode.enabled;
  s.altitude =
      SwitchedList(AprsChoiceList::Altitude, v.altitude, kCompressedAndPlainEntry, firmware);
  s.altitudeOn = s.altitude.enabled;

  s.statusOnEvery = v.statusEvery != 0;
  s.statusEvery = s.statusOnEvery ? std::to_string(v.statusEvery) : kOffText;
  on.statusEvery = s.statusOnEvery;

  s.freqBeaconOn = !IsZeroText(v.freqBeacon);
  s.freqBeacon = s.freqBeaconOn ? v.freqBeacon : kOffText;
  on.freqBeaconInterval = s.freqBeaconOn;

  s.hfAlways = v.hfToggle == 2;
  on.hfChoice = v.hfToggleSwitch;

  RestrictToFirmware(s, firmware);
  return s;
}

AprsIntervalChoice ChooseAprsInterval(bool manual, int32_t firmware) {
  AprsIntervalChoice choice;
  choice.interval = {manual ? kManualIntervalDefault : kOffText, manual};
  choice.speedListEnabled = !manual && ParamAvailable(&D::m_AprsAutoSpeed, firmware);
  return choice;
}

AprsSwitchedField SwitchAprsFreqBeacon(bool on) {
  return {on ? kFreqBeaconDefault : kOffText, on};
}

AprsSwitchedField ChooseAprsStatusEvery(bool onEvery, std::string_view text) {
  if (!onEvery) return {kOffText, false};
  if (text == kOffText) return {kStatusEveryDefault, true};
  return {std::nullopt, true};
}

std::string StepAprsStatusEvery(std::string_view text, int delta) {
  const int64_t stepped = int64_t{ReadFieldNumber(text)} + delta;
  return std::to_string(std::clamp(stepped, kStatusEveryMin, int64_t{StatusEveryMax()}));
}

std::optional<bool> SwitchAprsHfToggle(bool on, int32_t firmware) {
  if (on && !ParamAvailable(&D::m_AprsHfToggle, firmware)) return std::nullopt;
  return on;
}

AprsStatusLeave LeaveAprsStatusEvery(std::string_view text) {
  AprsStatusLeave leave;
  const int32_t value = ReadFieldNumber(text);
  if (value > StatusEveryMax()) {
    const std::string most = std::to_string(StatusEveryMax());
    leave.action = AprsStatusLeave::Action::Refuse;
    leave.refusal = {AprsField::StatusEvery,
                     {"APRS Status Report Error",
                      "APRS Status Report max. on every " + most + "th APRS Transmission",
                      MessageIcon::Warning}};
    leave.refusal.restoredText = most;
  } else if (value == 0) {
    leave.action = AprsStatusLeave::Action::Never;
  }
  return leave;
}

}  // namespace vextune
