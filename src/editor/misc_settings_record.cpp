#include "editor/misc_settings_record.h"

#include <utility>

#include "config/config_data.h"

namespace vextune {
namespace {

// Which record parameter each number field edits.
constexpr std::array<std::pair<MiscField, CConfigParam CConfigData::*>, kMiscFieldCount>
    kNumberParams = {{
        {MiscField::Frack, &CConfigData::m_Frack},
        {MiscField::Retry, &CConfigData::m_Retry},
        {MiscField::MaxFrame, &CConfigData::m_MaxFrame},
        {MiscField::Persistence, &CConfigData::m_Persistence},
        {MiscField::SlotTime, &CConfigData::m_SlotTime},
        {MiscField::Channels, &CConfigData::m_Channels},
        {MiscField::IPoll, &CConfigData::m_IPoll},
        {MiscField::Timer2, &CConfigData::m_Timer2},
        {MiscField::Timer3, &CConfigData::m_Timer3},
    }};

// Which record parameter each switch edits.
constexpr std::array<std::pair<bool MiscSettingsValues::*, CConfigParam CConfigData::*>, 10>
    kFlagParams = {{
        {&MiscSettingsValues::addLinefeed, &CConfigData::m_AddLinefeed},
        {&MiscSettingsValues::echo, &CConfigData::m_Echo},
        {&MiscSettingsValues::syncClock, &CConfigData::m_SyncClock},
        {&MiscSettingsValues::digipeat, &CConfigData::m_Digipeat},
        {&MiscSettingsValues::ptt, &CConfigData::m_Ptt},
        {&MiscSettingsValues::duplex, &CConfigData::m_Duplex},
        {&MiscSettingsValues::sendFlags, &CConfigData::m_SendFlags},
        {&MiscSettingsValues::uiPoll, &CConfigData::m_UiPoll},
        {&MiscSettingsValues::callCheck, &CConfigData::m_CallCheck},
        {&MiscSettingsValues::txFreqTrack, &CConfigData::m_TxFreqTrack},
    }};

}  // namespace

MiscSettingsValues MiscSettingsFromRecord(const CConfigData& record) {
  MiscSettingsValues values;
  for (const auto& [flag, param] : kFlagParams) values.*flag = (record.*param).value != 0;
  for (const auto& [field, param] : kNumberParams)
    values.number(field) = std::to_string((record.*param).value);
  values.flowControl = std::to_string(record.m_FlowControl.value);
  values.timestamp = std::to_string(record.m_Timestamp.value);
  return values;
}

void TakeBackMiscSettings(const MiscSettingsValues& values, CConfigData& record) {
  for (const auto& [flag, param] : kFlagParams)
    CConfigData::SetNumber(record.*param, values.*flag ? 1 : 0);
  for (const auto& [field, param] : kNumberParams)
    CConfigData::SetNumberText(record.*param, values.number(field));
  CConfigData::SetNumberText(record.m_Timestamp, values.timestamp);
  CConfigData::SetNumberText(record.m_FlowControl, values.flowControl);
}

}  // namespace vextune
