#pragma once

#include <cstdint>
#include <string>

namespace vextune {

/// What the program knows of the attached device. One object per program
/// run (or per test), passed to whoever needs it.
struct DeviceState {
  /// 0 before the first check, -1 in file-only mode (newer than everything):
  /// compare it with FirmwareAtLeast or ParamAvailable (config/firmware.h).
  int32_t firmwareVersion = 0;
  /// " V.1.4b": from the blank before "V." up to the first comma.
  std::string firmwareText;
  /// Editing configuration files without a device.
  bool fileOnly = false;
};

}  // namespace vextune
