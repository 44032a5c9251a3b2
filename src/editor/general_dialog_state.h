#pragma once

#include <cstdint>
#include <string>

#include "editor/general_settings.h"

namespace vextune {

/// What the general settings dialog shows as it opens where that is more
/// than the value itself. Texts are 8-bit like the record.
struct GeneralDialogState {
  std::string centerFreq;  ///< the shown centre frequency; "1700" for an empty one
  bool centerFreqEnabled = true;
  int prMode = kDefaultPrModeIndex;  ///< the checked %B button
  bool connectTextOn = false;
  bool remoteDisconnectOn = false;
};

/// The opening state for `values` on firmware `firmwareVersion` (-1: no
/// device); the centre frequency can be edited from 1.0Q on.
GeneralDialogState GeneralOpeningState(const GeneralSettingsValues& values,
                                       int32_t firmwareVersion);

/// The connect text switched on or off: the text field and "allow remote
/// disconnect" can be used only while it is on, and off clears the latter.
struct ConnectTextControls {
  bool enabled = false;
  bool clearRemoteDisconnect = false;
};
ConnectTextControls SwitchConnectText(bool on);

}  // namespace vextune
