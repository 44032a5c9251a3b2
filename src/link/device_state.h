#pragma once

#include <cstdint>
#include <string>

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

/// What the program knows of the attached device. One object per program
/// run (or per test), passed to whoever needs it.
struct DeviceState {
  /// 0 before the first check, -1 in file-only mode (newer than everything).
  int32_t firmwareVersion = 0;
  /// " V.1.4b": from the blank before "V." up to the first comma.
  std::string firmwareText;
  /// Editing configuration files without a device.
  bool fileOnly = false;

  /// Thresholds compare unsigned, so -1 passes every one.
  bool FirmwareAtLeast(uint32_t threshold) const {
    return static_cast<uint32_t>(firmwareVersion) >= threshold;
  }
};

}  // namespace vextune
