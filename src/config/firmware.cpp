// The firmware levels beside the parameter table's `since` column: list
// entries and controls that a firmware offers although their parameter is
// older or newer.
#include "config/firmware.h"

#include <array>

namespace vextune {
namespace {

struct FeatureLevel {
  FirmwareFeature feature;
  uint32_t since;
};

// The frequency beacon box opens one letter before the firmware that takes
// its command (%AF from 1.1K): the dialog has always offered it from 1.1J,
// and the send script leaves the command out for 1.1J all the same.
constexpr std::array<FeatureLevel, 6> kFeatureLevels = {{
    {FirmwareFeature::DigiAliasGate, firmware::k1_1J},
    {FirmwareFeature::DigiAliasWideN, firmware::k1_2},
    {FirmwareFeature::NmeaAprsAndGps, firmware::k1_1J},
    {FirmwareFeature::CrossModeHfDual, firmware::k1_3E},
    {FirmwareFeature::FreqBeaconControls, firmware::k1_1J},
    {FirmwareFeature::LongComment, firmware::k1_0Q},
}};

}  // namespace

bool ParamAvailable(CConfigParam CConfigData::*member, int32_t firmwareVersion) {
  return FirmwareAtLeast(firmwareVersion, CConfigData::InfoOf(member).since);
}

bool FeatureAvailable(FirmwareFeature feature, int32_t firmwareVersion) {
  for (const FeatureLevel& level : kFeatureLevels) {
    if (level.feature == feature) return FirmwareAtLeast(firmwareVersion, level.since);
  }
  return false;
}

}  // namespace vextune
