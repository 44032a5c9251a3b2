#include "editor/aprs_settings_values.h"

#include <array>

#include "config/config_data.h"
#include "config/paired_params.h"
#include "config/param_tables.h"

namespace vextune {

// The dialog's path entries are the record's path callsigns, in their order.
static_assert(kAprsPathEntries == static_cast<int>(kPathCallsignCount));

AprsSettingsValues AprsValuesFromRecord(const CConfigData& r) {
  AprsSettingsValues v;
  v.callsign = r.m_AprsCall.text;
  for (int i = 0; i < kAprsPathEntries; ++i) v.path[i] = (r.*kPathCallsigns[i].callsign).text;
  v.alternateTable = r.m_AprsAltTable.value == 1;
  v.symbol = r.m_AprsSymbol.text;
  v.txInterval = r.m_AprsInterval.text;
  v.autoSpeed = r.m_AprsAutoSpeed.value;
  // The number, not its text: a text kept with leading zeros ("02") would
  // match none of the three beacon buttons.
  v.beaconMode = std::to_string(r.m_AprsBeacon.value);
  v.position = r.m_AprsPosition.text;
  v.trackOnly = r.m_AprsTrackOnly.value == 1;
  v.comment = r.m_AprsComment.text;
  v.statusText = r.m_AprsStatusText.text;
  v.statusEvery = r.m_AprsStatusEvery.value;
  v.hfToggleSwitch = r.m_AprsHfToggleOld.value == 1;
  v.hfToggle = r.m_AprsHfToggle.value;
  v.altitude = r.m_AprsAltitude.value;
  v.compressed = r.m_AprsCompressed.value == 1;
  v.timestamp = r.m_AprsTimestamp.value == 1;
  v.valid = r.m_AprsValid.text;
  v.nmeaOut = r.m_NmeaOut.value;
  v.digipeating = r.m_AprsDigi.value;
  v.crossMode = r.m_AprsCrossMode.value;
  v.unprotoCross = r.m_AprsUnprotoCross.value == 1;
  v.freqBeacon = r.m_AprsFreqBeacon.text;
  return v;
}

void TakeBackAprsValues(const AprsSettingsValues& v, CConfigData& r) {
  CConfigData::SetNumber(r.m_AprsTimestamp, v.timestamp ? 1 : 0);
  CConfigData::SetNumber(r.m_AprsCompressed, v.compressed ? 1 : 0);
  CConfigData::SetNumber(r.m_AprsAltTable, v.alternateTable ? 1 : 0);
  CConfigData::SetNumber(r.m_AprsTrackOnly, v.trackOnly ? 1 : 0);
  CConfigData::SetNumber(r.m_AprsHfToggleOld, v.hfToggleSwitch ? 1 : 0);
  CConfigData::SetNumber(r.m_AprsHfToggle, v.hfToggle);
  CConfigData::SetNumber(r.m_AprsDigi, v.digipeating);
  CConfigData::SetNumber(r.m_AprsStatusEvery, v.statusEvery);
  CConfigData::SetNumber(r.m_AprsUnprotoCross, v.unprotoCross ? 1 : 0);
  // Older firmware knows no "APRS + GPS (loopback)"; it gets plain loopback.
  CConfigData::SetNumber(r.m_NmeaOut, v.nmeaOut);
  FollowPartner(r, &CConfigData::m_NmeaOut, PairSource::Edit);
  CConfigData::SetNumber(r.m_AprsCrossMode, v.crossMode);
  CConfigData::SetNumber(r.m_AprsAltitude, v.altitude);
  CConfigData::SetNumber(r.m_AprsAutoSpeed, v.autoSpeed);

  CConfigData::SetNumberText(r.m_AprsBeacon, v.beaconMode);
  CConfigData::SetNumberText(r.m_AprsInterval, v.txInterval);
  CConfigData::SetNumberText(r.m_AprsSymbol, v.symbol);
  CConfigData::SetNumberText(r.m_AprsValid, v.valid);
  CConfigData::SetNumberText(r.m_AprsFreqBeacon, v.freqBeacon);

  CConfigData::SetText(r.m_AprsComment, v.comment);
  CConfigData::SetText(r.m_AprsPosition, v.position);
  for (int i = 0; i < kAprsPathEntries; ++i)
    CConfigData::SetText(r.*kPathCallsigns[i].callsign, v.path[i]);
  CConfigData::SetText(r.m_AprsStatusText, v.statusText);
  CConfigData::SetText(r.m_AprsCall, v.callsign);
}

}  // namespace vextune
