#pragma once

#include <cstdint>
#include <string>

#include "common/clock.h"
#include "sim/bios_mode.h"
#include "sim/command_mode.h"
#include "sim/device_mode.h"
#include "sim/host_mode.h"
#include "sim/parameter_store.h"

namespace vextune::sim {

struct SimulatorOptions;

/// The device without its line: takes received bytes one at a time and
/// returns what it sends back, switching between its modes. Not thread-safe;
/// the simulator serialises access.
class DeviceCore {
 public:
  /// `firmware` must have been checked with FirmwareNumber.
  DeviceCore(const SimulatorOptions& options, uint32_t firmware, Clock& clock);

  /// Loads the nonvolatile memory (`nonvolatile` when given, else the state
  /// file or the defaults) and applies the power-on overrides.
  bool PowerOn(const CConfigData* nonvolatile, std::string* error);
  /// One byte from the line; returns the bytes to send.
  std::string Feed(uint8_t byte);
  /// Ends a reboot after an update (see BiosMode::Reboot); returns the bytes
  /// to send, empty when none was under way.
  std::string Reboot() { return bios_.Reboot(); }

  DeviceMode Mode() const { return mode_; }
  const ParameterStore& Store() const { return store_; }
  const BiosMode& Bios() const { return bios_; }
  /// The last problem worth telling the operator ("%ZS" or image write
  /// failures); empty when there was none.
  std::string LastProblem() const;

  /// The answer to ESC "v" CR for firmware version text `firmware`.
  static std::string Identification(const std::string& firmware);

 private:
  ParameterStore store_;
  CommandMode command_;
  HostMode host_;
  BiosMode bios_;
  DeviceMode mode_;
  std::optional<int> channels_;
};

}  // namespace vextune::sim
