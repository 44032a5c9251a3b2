#pragma once
// The APRS dialog's controls for the OK check's tests.
#include "degree_text.h"
#include "editor/aprs_settings_check.h"

namespace vextune::testing {

// A dialog as it opens on the default record, with a fixed position typed.
inline AprsDialogControls GoodAprsControls() {
  AprsDialogControls c;
  c.callsign = "klmnop-9";
  c.comment = "Comment";
  c.statusText = "Status";
  c.valid = "1200";
  c.txIntervalText = "900";
  c.freqBeaconText = "0";
  c.compressed = true;
  c.timestamp = true;
  c.autoSpeedIndex = 1;
  c.path = "APRS,RELAY,WIDE";
  c.hfOnlyInHfPrMode = true;
  c.statusEveryText = "0";
  c.latitude = Deg("48*31.79");
  c.latitudeHemisphere = 'N';
  c.longitude = Deg("008*11.88");
  c.longitudeHemisphere = 'E';
  c.manualInterval = true;
  c.altitudeIndex = 1;
  c.nmeaIndex = 2;
  c.primarySymbolIndex = 14;
  c.alternateSymbolIndex = 14;
  return c;
}

}  // namespace vextune::testing
