#pragma once

#include <cstdint>
#include <string>

#include "editor/aprs_path.h"

namespace vextune {

class CConfigData;

/// Everything the APRS settings dialog edits, in the forms the dialog works
/// with. Texts are 8-bit like the record. The configuration main dialog
/// fills these from the working record before the dialog opens and takes
/// them back after OK.
struct AprsSettingsValues {
  std::string callsign;            ///< %AM
  AprsPathEntries path;            ///< %AP destination and digipeaters 1 to 8
  bool alternateTable = false;     ///< %AY table
  std::string symbol = "14";       ///< %AY index 0..93 as decimal text
  std::string txInterval = "900";  ///< %AT, "0" for automatic
  int32_t autoSpeed = 1;           ///< %AL: 0 slow, 1 medium, 2 fast
  std::string beaconMode = "0";    ///< %A: "0" off, "1" GPS, "2" fixed
  std::string position;            ///< %AO: empty or "4831.79N 00811.88E"
  bool trackOnly = false;          ///< %AX
  std::string comment;             ///< %AC, at most 80 characters
  std::string statusText;          ///< %AR, at most 80 characters
  int32_t statusEvery = 0;         ///< %AE 0..20, 0 never
  bool hfToggleSwitch = false;     ///< %AH in its older on/off form
  int32_t hfToggle = 0;            ///< %AH 0 off, 1 only in HF PR mode, 2 always
  int32_t altitude = 0;            ///< %AA: list index + 1, 0 off
  bool compressed = true;          ///< %AS
  bool timestamp = true;           ///< %AI
  std::string valid = "1200";      ///< %AV seconds as decimal text
  int32_t nmeaOut = 0;             ///< %AN: list index + 1, 0 off
  int32_t digipeating = 0;         ///< %AD: list index + 1, 0 off
  int32_t crossMode = 0;           ///< %AG: list index + 1, 0 off
  bool unprotoCross = false;       ///< %AU
  std::string freqBeacon = "0";    ///< %AF seconds as decimal text, "0" off

  bool operator==(const AprsSettingsValues&) const = default;
};

/// The dialog's values as the record holds them.
AprsSettingsValues AprsSettingsFromRecord(const CConfigData& record);

/// Takes the dialog's values back into `record` through its setters:
/// SetNumber for the switches and list choices (the older %AN form gets the
/// same choice with 4 stored as 3), SetNumberText for the numbers kept as
/// typed text, SetText for the texts. The nine path SSIDs stay as they are.
void TakeBackAprsSettings(const AprsSettingsValues& values, CConfigData& record);

}  // namespace vextune
