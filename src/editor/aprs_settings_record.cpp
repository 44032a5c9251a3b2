#include "editor/aprs_settings_record.h"

#include <array>

#include "config/config_data.h"
#include "config/paired_params.h"
#include "config/param_tables.h"
#include "editor/record_mapping.h"

namespace vextune {

// The dialog's path entries are the record's path callsigns, in their order.
static_assert(kAprsPathEntries == static_cast<int>(kPathCallsignCount));

namespace {

using D = CConfigData;
using V = AprsSettingsValues;
using Member = CConfigParam CConfigData::*;

constexpr std::pair<bool V::*, Member> kFlags[] = {
    {&V::alternateTable, &D::m_AprsAltTable},    {&V::trackOnly, &D::m_AprsTrackOnly},
    {&V::hfToggleSwitch, &D::m_AprsHfToggleOld}, {&V::compressed, &D::m_AprsCompressed},
    {&V::timestamp, &D::m_AprsTimestamp},        {&V::unprotoCross, &D::m_AprsUnprotoCross},
};
// The beacon mode as a number, not its text: a text kept with leading zeros
// ("02") would match none of the three beacon buttons.
constexpr std::pair<std::string V::*, Member> kDigits[] = {{&V::beaconMode, &D::m_AprsBeacon}};
constexpr std::pair<std::string V::*, Member> kNumberTexts[] = {
    {&V::symbol, &D::m_AprsSymbol},
    {&V::txInterval, &D::m_AprsInterval},
    {&V::valid, &D::m_AprsValid},
    {&V::freqBeacon, &D::m_AprsFreqBeacon},
};
constexpr std::pair<int32_t V::*, Member> kValues[] = {
    {&V::autoSpeed, &D::m_AprsAutoSpeed}, {&V::statusEvery, &D::m_AprsStatusEvery},
    {&V::hfToggle, &D::m_AprsHfToggle},   {&V::altitude, &D::m_AprsAltitude},
    {&V::digipeating, &D::m_AprsDigi},    {&V::crossMode, &D::m_AprsCrossMode},
};
constexpr std::pair<std::string V::*, Member> kTexts[] = {
    {&V::callsign, &D::m_AprsCall},
    {&V::position, &D::m_AprsPosition},
    {&V::comment, &D::m_AprsComment},
    {&V::statusText, &D::m_AprsStatusText},
};

// The path and the NMEA output are apart: the path is nine parameters, and
// the older %AN form follows the NMEA output.
constexpr RecordMapping<V> kMapping{kFlags, kDigits, kNumberTexts, kValues, kTexts};

}  // namespace

AprsSettingsValues AprsSettingsFromRecord(const CConfigData& r) {
  AprsSettingsValues v;
  ReadMapped(kMapping, r, v);
  for (int i = 0; i < kAprsPathEntries; ++i) v.path[i] = (r.*kPathCallsigns[i].callsign).text;
  v.nmeaOut = r.m_NmeaOut.value;
  return v;
}

void TakeBackAprsSettings(const AprsSettingsValues& v, CConfigData& r) {
  TakeBackMapped(kMapping, v, r);
  // Older firmware knows no "APRS + GPS (loopback)"; it gets plain loopback.
  CConfigData::SetNumber(r.m_NmeaOut, v.nmeaOut);
  FollowPartner(r, &CConfigData::m_NmeaOut, PairSource::Edit);
  for (int i = 0; i < kAprsPathEntries; ++i)
    CConfigData::SetText(r.*kPathCallsigns[i].callsign, v.path[i]);
}

}  // namespace vextune
