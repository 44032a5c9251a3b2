#include "editor/general_settings_record.h"

#include "config/config_data.h"
#include "config/paired_params.h"

namespace vextune {

GeneralSettingsValues GeneralSettingsFromRecord(const CConfigData& record) {
  GeneralSettingsValues values;
  values.callsign = record.m_Callsign.text;
  values.txDelay = std::to_string(record.m_TxDelay.value);
  values.channel = std::to_string(record.m_Channel.value);
  values.centerFreq = std::to_string(record.m_CenterFreq.value);
  values.levelAfsk = std::to_string(record.m_LevelAfsk.value);
  values.levelFsk = std::to_string(record.m_LevelFsk.value);
  values.levelRobust = std::to_string(record.m_LevelRobust.value);
  values.connectText = record.m_ConnectText.text;
  values.connectMode = record.m_ConnectMode.value;
  values.monitorU = record.m_MonitorU.value != 0;
  values.monitorI = record.m_MonitorI.value != 0;
  values.monitorS = record.m_MonitorS.value != 0;
  values.monitorC = record.m_MonitorC.value != 0;
  values.prMode = record.m_PrModeIndex.value;
  return values;
}

void TakeBackGeneralSettings(const GeneralSettingsValues& values, CConfigData& record) {
  CConfigData::SetNumber(record.m_MonitorU, values.monitorU ? 1 : 0);
  CConfigData::SetNumber(record.m_MonitorI, values.monitorI ? 1 : 0);
  CConfigData::SetNumber(record.m_MonitorS, values.monitorS ? 1 : 0);
  CConfigData::SetNumber(record.m_MonitorC, values.monitorC ? 1 : 0);
  CConfigData::SetNumber(record.m_ConnectMode, values.connectMode);
  // An index outside the modes is refused and leaves the %B text alone.
  if (CConfigData::SetNumber(record.m_PrModeIndex, values.prMode)) {
    FollowPartner(record, &CConfigData::m_PrModeIndex, PairSource::Edit);
  }

  CConfigData::SetNumberText(record.m_Channel, values.channel);
  CConfigData::SetNumberText(record.m_TxDelay, values.txDelay);
  CConfigData::SetNumberText(record.m_LevelAfsk, values.levelAfsk);
  CConfigData::SetNumberText(record.m_LevelFsk, values.levelFsk);
  CConfigData::SetNumberText(record.m_LevelRobust, values.levelRobust);
  CConfigData::SetNumberText(record.m_CenterFreq, values.centerFreq);

  CConfigData::SetText(record.m_Callsign, values.callsign);
  CConfigData::SetText(record.m_ConnectText, values.connectText);
}

}  // namespace vextune
