#include "config/paired_params.h"

#include <algorithm>

#include "config/param_tables.h"

namespace vextune {
namespace {

// The older %AN form ends at 3 (GPS data); APRS and GPS becomes GPS data.
constexpr int32_t kNmeaOldMax = 3;

void FollowHfToggle(CConfigData& r, CConfigParam CConfigData::*changed, PairSource source) {
  const bool valueChanged = changed == &CConfigData::m_AprsHfToggle;
  switch (source) {
    case PairSource::Edit:
      return;
    case PairSource::Device:
      if (valueChanged) {
        CConfigData::SetNumber(r.m_AprsHfToggleOld, r.m_AprsHfToggle.value != 0 ? 1 : 0);
      } else {
        CConfigData::SetNumber(r.m_AprsHfToggle, r.m_AprsHfToggleOld.value);
      }
      return;
    case PairSource::OlderFile:
      if (!valueChanged && r.m_AprsHfToggleOld.value == 1) {
        CConfigData::SetNumber(r.m_AprsHfToggle, 1);
      }
      return;
  }
}

}  // namespace

void FollowPartner(CConfigData& r, CConfigParam CConfigData::*changed, PairSource source) {
  if (changed == &CConfigData::m_PrModeIndex) {
    if (const auto word = WordAt(kPrModeWords, r.m_PrModeIndex.value)) {
      CConfigData::SetText(r.m_PrMode, *word);
    }
  } else if (changed == &CConfigData::m_PrMode) {
    if (const auto index = WordIndex(kPrModeWords, r.m_PrMode.text)) {
      CConfigData::SetNumber(r.m_PrModeIndex, *index);
    }
  } else if (changed == &CConfigData::m_NmeaOut) {
    CConfigData::SetNumber(r.m_NmeaOutOld, std::min(r.m_NmeaOut.value, kNmeaOldMax));
  } else if (changed == &CConfigData::m_NmeaOutOld) {
    CConfigData::SetNumberText(r.m_NmeaOut, r.m_NmeaOutOld.text);
  } else if (changed == &CConfigData::m_AprsHfToggle ||
             changed == &CConfigData::m_AprsHfToggleOld) {
    FollowHfToggle(r, changed, source);
  }
}

}  // namespace vextune
