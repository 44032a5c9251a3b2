#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_data.h"
#include "config/param_tables.h"
#include "editor/settings_message.h"

namespace vextune {

/// The packet-radio modes of the %B setting, by the index that the record
/// and the radio buttons use (the words are in config/param_tables.h).
inline constexpr int kPrModeCount = static_cast<int>(kPrModeWords.size());
/// "1200 Bd": checked when the stored index is unknown or nothing is checked.
inline constexpr int kDefaultPrModeIndex = 3;

/// Connect mode of the U setting.
inline constexpr int kConnectTextOff = 0;
inline constexpr int kConnectTextOn = 1;
/// Connect text on, and the device disconnects on receipt of "//Q".
inline constexpr int kConnectTextRemoteDisconnect = 2;

/// What the general settings dialog edits: numbers as decimal texts, texts in
/// Windows-1252 as the record holds them.
struct GeneralSettingsValues {
  std::string callsign;     ///< I; the field takes at most 10 characters
  std::string txDelay;      ///< T in units of 10 ms; at most 3 digits
  std::string channel;      ///< S; at most 2 digits
  std::string centerFreq;   ///< %F in Hz; at most 4 digits
  std::string levelAfsk;    ///< %XA in mV; at most 4 digits
  std::string levelFsk;     ///< %XF in mV; at most 4 digits
  std::string levelRobust;  ///< %XR in mV; at most 4 digits
  std::string connectText;  ///< U text; at most 72 characters
  int connectMode = kConnectTextOff;
  bool monitorU = false;
  bool monitorI = false;
  bool monitorS = false;
  bool monitorC = false;
  int prMode = kDefaultPrModeIndex;  ///< %B index 0..5

  bool operator==(const GeneralSettingsValues&) const = default;
};

/// Input limits of the general dialog's fields, in characters.
namespace general_limits {
inline constexpr int kCallsign = 10;
inline constexpr int kTxDelay = 3;
inline constexpr int kChannel = 2;
inline constexpr int kCenterFreq = 4;
inline constexpr int kLevel = 4;
/// The record's limit of the U text.
inline constexpr int kConnectText = static_cast<int>(kText72Length);
}  // namespace general_limits

/// The centre frequency the dialog shows when it opens with an empty one.
inline constexpr std::string_view kShownCenterFreqWhenEmpty = "1700";

/// The general dialog's edit fields, named by what OK checks.
enum class GeneralField {
  Callsign,
  TxDelay,
  Channel,
  CenterFreq,
  LevelAfsk,
  LevelFsk,
  LevelRobust,
  ConnectText,
};

/// A failed check of OK: the message, and the field that then gets the focus
/// with its whole text selected.
using GeneralSettingsFinding = SettingsFinding<GeneralField>;

/// What the controls hold when OK is pressed: the fields' texts and the
/// monitor flags in `fields` (its connect mode and PR mode are not read),
/// the checked PR mode radio button (-1 when none), and the two connect-text
/// check boxes.
struct GeneralSettingsEntries {
  GeneralSettingsValues fields;
  int checkedPrMode = -1;
  bool connectTextOn = false;
  bool remoteDisconnectOn = false;
};

/// The outcome of OK: the values as the dialog holds them afterwards (the
/// callsign in upper case, which the dialog also writes back into its field,
/// and the PR mode taken from the radio buttons), and the findings to show in
/// order. No findings: the dialog ends with OK, and the connect mode follows
/// the check boxes.
struct GeneralSettingsOk {
  GeneralSettingsValues values;
  std::vector<GeneralSettingsFinding> findings;  ///< at most one: checks stop at the first
};

/// Runs the checks of the general dialog's OK button in their order:
/// callsign, TX delay, switch channel, the AFSK, FSK and Robust PR levels, the
/// audio centre frequency (also when its field is disabled) and the connect
/// text (blank while switched on, or one the record would refuse).
GeneralSettingsOk CheckGeneralSettingsOk(const GeneralSettingsEntries& entries);

/// The message when the connect text holds what the record cannot take (a tab
/// or line break, too many characters).
std::string ConnectTextRefusedMessage();

/// The message for a nonzero CheckCallsign code, naming `callsign` (Windows-1252).
SettingsMessage CallsignMessage(int code, std::string_view callsign);

}  // namespace vextune
