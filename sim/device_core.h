#pragma once

#include <cstdint>
#include <memory>
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
  ~DeviceCore();

  /// Loads the nonvolatile memory (`nonvolatile` when given, else the state
  /// file or the defaults) and applies the power-on overrides.
  bool PowerOn(const CConfigData* nonvolatile, std::string* error);
  /// One byte from the line; returns the bytes to send.
  std::string Feed(uint8_t byte);
  /// Ends a reboot after an update (see BiosMode::Reboot); returns the bytes
  /// to send, empty when none was under way.
  std::string Reboot() { return bios_.Reboot(); }

  /// The device after its BIOS switch was set to `biosSwitch` and it was
  /// restarted: what is not stored is lost, the flash keeps its image and
  /// time stamp. The first start of the normal firmware after an update runs
  /// the new version (firmwareAfterUpdate) and, with updateResetsParameters,
  /// starts from the defaults, stored. Nothing, with the reason in *error,
  /// when the state file cannot be written.
  std::unique_ptr<DeviceCore> Restart(bool biosSwitch, Clock& clock, std::string* error) const;

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
  /// The options this start was made with, for the next one.
  std::unique_ptr<SimulatorOptions> options_;
  /// Updates received before this start.
  int completedBefore_ = 0;
  /// An update was flashed and the normal firmware has not started since.
  bool updatePending_ = false;
};

}  // namespace vextune::sim
