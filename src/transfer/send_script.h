#pragma once

#include <optional>
#include <span>
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

/// A parameter of the record, as CConfigData's member.
using ParamMember = CConfigParam CConfigData::*;

/// What a step does in the script.
enum class StepRole {
  Frame,      ///< open, identify, store, end: around every run
  Quiet,      ///< silences the device (PTT, beacon, callsigns) while it is configured
  Parameter,  ///< sends parameters of the record
  Restore,    ///< sends the real values of what the quieting silenced
};

/// The role of `step`; Frame for the steps that send no parameter.
StepRole RoleOf(SendStep step);

/// The record's parameters that `step`'s lines are made of; the step's
/// command sets all of them at once. Every parameter belongs to one step.
std::span<const ParamMember> StepMembers(SendStep step);

/// The step that sends `member`; nothing for what is not a member of the
/// record.
std::optional<SendStep> StepOf(ParamMember member);

/// The parameter and restoring steps, in script order, that must run for the
/// device, holding `onDevice`, to hold `config`: those with a parameter that
/// differs (as the verification compares them), and the clock step when
/// `config` sets the device's clock.
std::vector<SendStep> ChangedSteps(const CConfigData& config, const CConfigData& onDevice);

/// Whether a send of `config` ends with the store command: a whole send
/// (`onDevice` null) always does; an incremental one when something changes,
/// or when `storeUnchanged` asks for the store all the same.
bool StoreAfterSend(const CConfigData& config, const CConfigData* onDevice, bool storeUnchanged);

/// The steps a send runs, in order. Without `onDevice`, the whole script.
/// With it (what a complete read found on the device just before, which
/// stands for the identification), only the changed steps, framed by the
/// open, every quieting and restoring step, the store step and the end; with
/// nothing changed, open, store and end when `store` is set, and no step at
/// all when it is not.
std::vector<SendStep> ScriptSteps(const CConfigData& config, const CConfigData* onDevice,
                                  bool store);

/// The store command: the device keeps its parameters through power-off.
inline constexpr const char* kStoreCommand = "\x1b%ZS\r";

/// The lines `steps` write after the identification, in order, as a send
/// writes them: each parameter step's lines and, with `store`, the store
/// command.
std::vector<std::string> ScriptLines(const std::vector<SendStep>& steps, const CConfigData& config,
                                     const DeviceState& device, Clock& clock, bool store);

/// The whole %AP path as sent: destination and non-empty digipeaters, each
/// with "-SSID" unless its SSID text is "00".
std::string AprsPathText(const CConfigData& config);

}  // namespace vextune
