#include "editor/general_dialog_state.h"

#include "config/firmware.h"

namespace vextune {

GeneralDialogState GeneralOpeningState(const GeneralSettingsValues& values, int32_t firmware) {
  GeneralDialogState s;
  s.centerFreq =
      values.centerFreq.empty() ? std::string(kShownCenterFreqWhenEmpty) : values.centerFreq;
  s.centerFreqEnabled = ParamAvailable(&CConfigData::m_CenterFreq, firmware);
  const bool knownMode = values.prMode >= 0 && values.prMode < kPrModeCount;
  s.prMode = knownMode ? values.prMode : kDefaultPrModeIndex;
  s.connectTextOn = values.connectMode != kConnectTextOff;
  s.remoteDisconnectOn = values.connectMode == kConnectTextRemoteDisconnect;
  return s;
}

ConnectTextControls SwitchConnectText(bool on) {
  return {on, !on};
}

}  // namespace vextune
