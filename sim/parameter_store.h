#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "config/config_data.h"
#include "sim/device_clock.h"

namespace vextune::sim {

/// Firmware version number of a version text "<major>.<minor>[letter]":
/// major x 10000 + minor x 100 + upper-case letter code ("1.4b" gives 10466).
/// Nothing when the text has another form or the minor number exceeds 99.
std::optional<uint32_t> FirmwareNumber(std::string_view version);

enum class ApplyResult {
  Applied,  ///< the parameter holds the new value
  Refused,  ///< value out of range or of the wrong form; the old value stays
  Unknown,  ///< no such parameter in this firmware
};

/// The device's parameter memory: the 77-parameter working store, the
/// nonvolatile copy that "%ZS" writes, and the clock. It sets and reports
/// parameters the way the firmware does, for both command and host mode.
class ParameterStore {
 public:
  /// `firmware`: the version number deciding which commands exist.
  /// `statePath`: the .vxg file behind the nonvolatile memory (may be empty).
  ParameterStore(uint32_t firmware, std::string statePath, Clock& clock);

  /// Power-on: the nonvolatile memory becomes `nonvolatile` when given, else
  /// the state file's content when it exists, else the defaults; the working
  /// store starts as a copy. False with a reason when the file exists but
  /// cannot be read.
  bool PowerOn(const CConfigData* nonvolatile, std::string* error);
  /// "%ZS": copies the working store into the nonvolatile memory and, with a
  /// state file, writes it (atomically). False with a reason when the write
  /// failed; the memory copy is made in any case.
  bool StoreNonvolatile(std::string* error);

  /// Sets the parameter `command` (upper case) from `args` (not empty).
  ApplyResult Apply(std::string_view command, std::string_view args);
  /// The answer to a query of `command` (upper case): the bare value or the
  /// value behind its label. Nothing when this firmware has no such parameter.
  std::optional<std::string> Query(std::string_view command) const;
  /// True when this firmware has the parameter `command` (upper case).
  bool Knows(std::string_view command) const;

  CConfigData& Params() { return params_; }
  const CConfigData& Params() const { return params_; }
  const CConfigData& Nonvolatile() const { return nonvolatile_; }
  const DeviceClock& DeviceTime() const { return clock_; }
  uint32_t Firmware() const { return firmware_; }

 private:
  uint32_t firmware_;
  std::string statePath_;
  CConfigData params_;
  CConfigData nonvolatile_;
  DeviceClock clock_;
};

}  // namespace vextune::sim
