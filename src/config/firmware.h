#pragma once

#include <cstdint>

#include "config/config_data.h"

namespace vextune {

/// Firmware thresholds, as version numbers (major*10000 + minor*100 + letter).
namespace firmware {
inline constexpr uint32_t k1_0Q = 10081;
inline constexpr uint32_t k1_1J = 10174;
inline constexpr uint32_t k1_1K = 10175;
inline constexpr uint32_t k1_2 = 10200;
inline constexpr uint32_t k1_3E = 10369;
inline constexpr uint32_t k1_4B = 10466;
}  // namespace firmware

/// True when `firmwareVersion` is at least `threshold`. Versions compare
/// unsigned, so -1 (no device: file-only mode) passes every threshold, and 0
/// (not yet checked) only those of 0.
constexpr bool FirmwareAtLeast(int32_t firmwareVersion, uint32_t threshold) {
  return static_cast<uint32_t>(firmwareVersion) >= threshold;
}

/// True when a device with `firmwareVersion` knows `member`: the send script
/// sends it, the read asks it and the dialogs enable its controls. The level
/// is the parameter table's `since` column.
bool ParamAvailable(CConfigParam CConfigData::*member, int32_t firmwareVersion);

/// What the dialogs offer by firmware apart from whole parameters: list
/// entries that came later than their list, and controls whose level is not
/// their parameter's.
enum class FirmwareFeature {
  DigiAliasGate,       ///< the third %AD alias names the gateway: "RELAY WIDE / GATE"
  DigiAliasWideN,      ///< the %AD aliases of WIDEn-N: "WIDE/WIDEn-N", ...
  NmeaAprsAndGps,      ///< the %AN entry "APRS + GPS (loopback)" (value 4)
  CrossModeHfDual,     ///< the %AG entry "HF DUAL" (value 7)
  FreqBeaconControls,  ///< the APRS dialog's frequency beacon box
  LongComment,         ///< a %AC comment above kShortCommentLength characters
};

/// True when a device with `firmwareVersion` offers `feature`.
bool FeatureAvailable(FirmwareFeature feature, int32_t firmwareVersion);

/// The longest comment of firmware without FirmwareFeature::LongComment.
inline constexpr size_t kShortCommentLength = 40;

}  // namespace vextune
