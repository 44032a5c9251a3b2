#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "common/version.h"
#include "config/backup_store.h"
#include "editor/config_document.h"
#include "link/device_context.h"
#include "link/device_watch.h"
#include "link/port_discovery.h"
#include "link/port_doctor.h"

namespace vextune::ui {

/// The desktop program's process-wide state: created once in main (or by a
/// test) and passed to every dialog that needs it. Nothing of it is kept
/// between runs.
struct ApplicationState {
  /// The real clock and serial ports; low-level serial failures go to
  /// `serialErrors` (nullptr: nowhere), and with `trace` every byte on the
  /// line goes there too (--trace).
  explicit ApplicationState(std::ostream* serialErrors, std::ostream* trace = nullptr)
      : device(serialErrors, trace) {}
  /// Another clock and port opener, owned by the caller.
  ApplicationState(Clock& clock, SerialPortOpener& ports) : device(clock, ports) {}

  /// The selected port and its rate, the firmware version and its text, the
  /// file-only mode flag, and the cancel flag of a running operation.
  DeviceContext device;
  /// What port discovery found: the devices-found count, the candidate ports
  /// and the status text.
  PortDiscovery discovery;
  /// The folder that stands for "/" in the device list (its sys/ and dev/):
  /// VEXTUNE_SYSTEM_ROOT when set, else "/".
  std::string systemRoot = SystemRootFrom(std::getenv("VEXTUNE_SYSTEM_ROOT"));
  /// Lists the machine's serial ports, for discovery and the port dialog.
  std::function<std::vector<SerialDevice>()> listSerialPorts = [root = systemRoot] {
    return EnumerateSerialDevicesIn(root);
  };
  /// Watches that list for devices plugged in or out; null when the system
  /// refuses (then the list is read only at start and when a dialog opens).
  std::function<std::unique_ptr<DeviceChangeSource>()> watchSerialPorts = [root = systemRoot] {
    return WatchDeviceChangesIn(root, nullptr);
  };
  /// The doctor's checks of `port` (empty: the one discovery finds) with the
  /// device's `answer` already known, so that nothing goes out on the line:
  /// what the messages advise when the device cannot be reached.
  std::function<std::vector<Finding>(const std::string& port, const Identification& answer)>
      diagnosePort = [](const std::string& port, const Identification& answer) {
        LiveDoctorSystem system(answer);
        return RunDoctor(SystemTree{}, port, system);
      };
  /// The working and baseline records, file loaded and the current file.
  ConfigDocument document;
  /// Written into configuration files as their format version.
  int32_t programVersionWord = version::kProgramVersionWord;
  /// A port given on the command line (--port, --simulate): used without
  /// discovery, as if chosen in the port dialog. Empty: discover.
  std::string presetPort;
  /// The preset port is the simulated DAV-OZI inside this program.
  bool simulated = false;
  /// With the simulated DAV-OZI: sets its BIOS switch and restarts it, as
  /// its owner does when a guided update asks. Empty for a real device.
  std::function<void(bool biosSwitchOn)> switchSimulatedBios;
  /// Where the backups of the device's configuration go; from the
  /// environment when the state is created.
  UserDataFolder dataFolder =
      UserDataFolder::FromEnvironment([](const char* name) { return std::getenv(name); });
};

}  // namespace vextune::ui
