#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/operation.h"
#include "editor/aprs_settings_record.h"
#include "editor/settings_message.h"

namespace vextune {

/// What the APRS dialog's controls hold when OK is pressed. Texts are 8-bit
/// like the record (the degree sign of the position fields is 0xB0).
struct AprsDialogControls {
  // Fields bound to values: their content is taken over as it stands.
  std::string callsign;
  std::string comment;
  std::string statusText;
  std::string valid;
  std::string txIntervalText;
  std::string freqBeaconText;
  bool trackOnly = false;
  bool compressed = false;
  bool timestamp = false;
  bool alternateTable = false;
  bool hfToggleSwitch = false;
  bool unprotoCross = false;
  int autoSpeedIndex = 0;

  // Controls whose state is converted into values.
  std::string path;
  bool freqBeaconOn = false;
  bool crossModeOn = false;
  int crossModeIndex = 0;
  bool hfOnlyInHfPrMode = true;  ///< "only if in HF-PR-Mode [%B]" rather than "always"
  std::string statusEveryText;
  bool digipeatingOn = false;
  int digiAliasIndex = 0;
  std::string latitude;
  char latitudeHemisphere = 'N';
  std::string longitude;
  char longitudeHemisphere = 'W';
  bool manualInterval = false;  ///< "Manual TX interval:" rather than "Auto TX Interval"
  bool altitudeOn = false;
  int altitudeIndex = 0;
  bool nmeaOn = false;
  int nmeaIndex = 0;
  int primarySymbolIndex = 0;
  int alternateSymbolIndex = 0;
};

/// The field that a refusal puts the focus on.
enum class AprsField {
  FreqBeaconInterval,
  StatusEvery,
  Comment,
  StatusText,
  Valid,
  Latitude,
  Longitude,
  Path,
  TxInterval,
  Callsign,
};

/// One refusal: the message box and where the user is taken afterwards.
using AprsFinding = SettingsFinding<AprsField>;

/// The outcome of pressing OK.
struct AprsOkOutcome {
  /// Empty when every check passed and the dialog ends with OK.
  std::optional<AprsFinding> finding;
  /// The values as far as the checks got; complete when accepted.
  AprsSettingsValues values;
  /// Text the program puts into a field before the message shows: the
  /// upper-cased callsign once the callsign step is reached, the default
  /// path when the path field was emptied.
  std::optional<std::string> callsignFieldText;
  std::optional<std::string> pathFieldText;

  bool accepted() const { return !finding.has_value(); }
};

/// The OK checks in their fixed order; the first refusal ends them.
/// `values` holds the dialog's values before OK (the beacon mode and the
/// values OK leaves alone); `firmwareVersion` is -1 without a device. A list
/// index of -1 (the list shows no entry because the stored choice is not
/// offered) keeps the stored value.
AprsOkOutcome CheckAprsSettings(const AprsDialogControls& controls, AprsSettingsValues values,
                                int32_t firmwareVersion);

}  // namespace vextune
