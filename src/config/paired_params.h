#pragma once

#include "config/config_data.h"

namespace vextune {

/// Where the value of a paired parameter came from. It matters for `%AH`
/// only: an edit sets its two forms as separate settings (the APRS dialog has
/// a control for each), while a device answers with one value and a file
/// older than the value form holds only the on/off form.
enum class PairSource {
  Edit,       ///< a settings dialog's OK, the command line's set
  Device,     ///< a device's answer or store
  OlderFile,  ///< a configuration file older than the `%AH` value form
};

/// Brings the partner of `changed` in line after a setter has set `changed`:
/// - `m_PrModeIndex` gives `m_PrMode` its mode word; `m_PrMode` gives
///   `m_PrModeIndex` the index of its word (an unknown word leaves it).
/// - `m_NmeaOut` gives `m_NmeaOutOld` its value, 4 (APRS and GPS) as 3, which
///   the older form does not know; `m_NmeaOutOld` gives `m_NmeaOut` its value
///   and text.
/// - `%AH` from the device: the on/off form is 1 when the value is not 0; the
///   value takes the on/off form's number. From an older file: the on/off form
///   switched on makes the value 1, switched off leaves it. From an edit:
///   nothing.
/// Any other parameter has no partner; nothing changes.
void FollowPartner(CConfigData& record, CConfigParam CConfigData::*changed,
                   PairSource source = PairSource::Edit);

}  // namespace vextune
