#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/operation.h"
#include "recording_progress.h"
#include "config/config_data.h"
#include "fake_serial.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "scripted_davozi.h"

namespace vextune::testing {


/// Everything a transfer needs, wired to a scripted device on a fake line.
struct TransferRig {
  FakeClock clock;
  ScriptedDavozi device;
  FakeSerialOpener ports{clock, device};
  LinkSettings settings{"ttyACM0", 38400};
  DeviceLink link{ports, settings, clock};
  DeviceState state{10466, " V.1.4b", false};
  CancelFlag cancel;
  RecordingProgress progress;
};

/// The identification probe's lines, without ESC and CR.
inline const std::vector<std::string> kProbeLines = {"", "v"};
/// Steps 2 to 57 of the send script for a default record at 1.4b, saving.
const std::vector<std::string>& DefaultScriptLines();
/// `lines` as written: each with ESC in front and CR behind.
std::string Framed(const std::vector<std::string>& lines);
/// The command lines written, without ESC and CR; any other write shows up
/// as "<raw:...>" so the comparison fails.
std::vector<std::string> CommandLines(const std::vector<std::string>& writes);
/// Sets a parameter by member name as a dialog would; false when refused.
bool SetParam(CConfigData& record, const char* member, const std::string& value);
/// A record with every parameter away from its default, clock flag set.
CConfigData EveryParameterChanged();
/// The same without what a device cannot give back (the clock flag, SSIDs
/// outside the path callsigns).
CConfigData EveryDeviceParameterChanged();

}  // namespace vextune::testing
