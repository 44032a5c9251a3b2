#pragma once

#include <string>
#include <vector>

#include "common/clock.h"
#include "config/config_data.h"
#include "link/device_state.h"

namespace vextune {

/// The steps of the send script in their fixed order. The step number is also
/// the position of the progress bar (0 to 58).
enum class SendStep : int {
  Open = 0,
  Identify,
  QuietPttAndBeacon,
  CallCheckOff,
  AddLinefeed,
  Echo,
  CallsignPlaceholder,
  AprsCallOff,
  Frack,
  ClockAndTimestamp,
  Monitor,
  Retry,
  MaxFrame,
  Persistence,
  Digipeat,
  Channel,
  TxDelay,
  ConnectText,
  SlotTime,
  Channels,
  FlowControl,
  Duplex,
  SendFlags,
  IPoll,
  Timer2,
  Timer3,
  UiPoll,
  AprsAltitude,
  AprsDigi,
  AprsStatusEvery,
  AprsFreqBeacon,
  AprsCrossMode,
  AprsHfToggle,
  NmeaOut,
  AprsStatusText,
  AprsInterval,
  AprsAutoSpeed,
  AprsValid,
  AprsComment,
  AprsTimestamp,
  AprsPosition,
  AprsPath,
  AprsCompressed,
  AprsSymbol,
  AprsTrackOnly,
  AprsUnprotoCross,
  PrMode,
  CenterFreq,
  TxFreqTrack,
  LevelAfsk,
  LevelFsk,
  LevelRobust,
  Ptt,
  AprsBeacon,
  CallCheck,
  Callsign,
  AprsCall,
  Store,
  End,
  Done,  ///< not a step: the script has finished
};
static_assert(static_cast<int>(SendStep::End) == 58);

/// Highest step number, the end of the progress range.
inline constexpr int kLastTransferStep = 58;

/// The command lines (ESC ... CR, one string per write) that a parameter step
/// (QuietPttAndBeacon to AprsCall) sends for `config` to a device with the
/// firmware of `device`; empty when the step sends nothing. The clock is asked
/// for the local time only by ClockAndTimestamp, and only when the record
/// wants the device clock set.
std::vector<std::string> SendStepCommands(SendStep step, const CConfigData& config,
                                          const DeviceState& device, Clock& clock);

/// The whole %AP path as sent: destination and non-empty digipeaters, each
/// with "-SSID" unless its SSID text is "00".
std::string AprsPathText(const CConfigData& config);

}  // namespace vextune
