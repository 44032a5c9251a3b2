#include "editor/misc_settings_record.h"

#include <utility>

#include "config/config_data.h"
#include "editor/field_rules.h"
#include "editor/record_mapping.h"

namespace vextune {
namespace {

// Which record parameter each switch edits; the numbers are by MiscFieldRules.
constexpr std::pair<bool MiscSettingsValues::*, CConfigParam CConfigData::*> kFlagParams[] = {
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
};
constexpr RecordMapping<MiscSettingsValues> kMapping{kFlagParams, {}, {}, {}, {}};

}  // namespace

MiscSettingsValues MiscSettingsFromRecord(const CConfigData& record) {
  MiscSettingsValues values;
  ReadMapped(kMapping, record, values);
  for (const MiscFieldRule& rule : MiscFieldRules())
    values.number(rule.field) = std::to_string((record.*rule.param).value);
  values.flowControl = std::to_string(record.m_FlowControl.value);
  values.timestamp = std::to_string(record.m_Timestamp.value);
  return values;
}

void TakeBackMiscSettings(const MiscSettingsValues& values, CConfigData& record) {
  TakeBackMapped(kMapping, values, record);
  for (const MiscFieldRule& rule : MiscFieldRules())
    TakeFieldNumber(record.*rule.param, values.number(rule.field));
  CConfigData::SetNumberText(record.m_Timestamp, values.timestamp);
  CConfigData::SetNumberText(record.m_FlowControl, values.flowControl);
}

}  // namespace vextune
