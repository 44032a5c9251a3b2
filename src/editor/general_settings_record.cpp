#include "editor/general_settings_record.h"

#include <array>

#include "config/config_data.h"
#include "config/paired_params.h"
#include "editor/record_mapping.h"

namespace vextune {
namespace {

using D = CConfigData;
using V = GeneralSettingsValues;
using Member = CConfigParam CConfigData::*;

constexpr std::pair<bool V::*, Member> kFlags[] = {
    {&V::monitorU, &D::m_MonitorU},
    {&V::monitorI, &D::m_MonitorI},
    {&V::monitorS, &D::m_MonitorS},
    {&V::monitorC, &D::m_MonitorC},
};
constexpr std::pair<std::string V::*, Member> kDigits[] = {
    {&V::txDelay, &D::m_TxDelay},       {&V::channel, &D::m_Channel},
    {&V::centerFreq, &D::m_CenterFreq}, {&V::levelAfsk, &D::m_LevelAfsk},
    {&V::levelFsk, &D::m_LevelFsk},     {&V::levelRobust, &D::m_LevelRobust},
};
constexpr std::pair<int32_t V::*, Member> kValues[] = {{&V::connectMode, &D::m_ConnectMode}};
constexpr std::pair<std::string V::*, Member> kTexts[] = {
    {&V::callsign, &D::m_Callsign},
    {&V::connectText, &D::m_ConnectText},
};

// The %B index is apart: its text follows it.
constexpr RecordMapping<V> kMapping{kFlags, kDigits, {}, kValues, kTexts};

}  // namespace

GeneralSettingsValues GeneralSettingsFromRecord(const CConfigData& record) {
  GeneralSettingsValues values;
  ReadMapped(kMapping, record, values);
  values.prMode = record.m_PrModeIndex.value;
  return values;
}

void TakeBackGeneralSettings(const GeneralSettingsValues& values, CConfigData& record) {
  TakeBackMapped(kMapping, values, record);
  // An index outside the modes is refused and leaves the %B text alone.
  if (CConfigData::SetNumber(record.m_PrModeIndex, values.prMode)) {
    FollowPartner(record, &CConfigData::m_PrModeIndex, PairSource::Edit);
  }
}

}  // namespace vextune
