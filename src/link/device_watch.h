#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/port_discovery.h"

namespace vextune {

class CancelPipe;
class Clock;

/// How a wait for the device list ended.
enum class WatchOutcome {
  Changed,    ///< the list (may have) changed
  TimedOut,   ///< the time-out passed first
  Cancelled,  ///< the cancel flag was set
};

/// Tells when the system's list of serial devices may have changed. Linux:
/// an inotify watch of the tty class folder of sysfs and of the device
/// folder (inotify_device_watch.cpp); Windows: a slow poll
/// (win32_device_watch.cpp). A notice means "look again", not what changed:
/// the list itself comes from EnumerateSerialDevices.
class DeviceChangeSource {
 public:
  virtual ~DeviceChangeSource() = default;

  /// A descriptor that turns readable when the list may have changed, for an
  /// event loop to watch; -1 where the system gives none (then PollIntervalMs
  /// says how often to look again).
  virtual int fd() const = 0;
  /// Milliseconds between two looks where fd() is -1; 0 otherwise.
  virtual int PollIntervalMs() const = 0;
  /// Reads away the notices fd() has waiting, without blocking; true when
  /// there were any.
  virtual bool Drain() = 0;
  /// Waits up to `timeoutMs` (counted from the call) for a notice, or until
  /// `cancel`'s flag is set (nullptr: no cancel); swallows the notices seen.
  virtual WatchOutcome Wait(int timeoutMs, CancelPipe* cancel) = 0;
};

/// Watches the devices below `sysfsRoot` and `devRoot` ("/sys" and "/dev"
/// on a real system). Null with `error` set when the system refuses the
/// watch (no inotify, neither folder exists).
std::unique_ptr<DeviceChangeSource> WatchDeviceChanges(const std::string& sysfsRoot,
                                                       const std::string& devRoot,
                                                       std::string* error);

/// The same for a system whose "/" is `systemRoot`: its sys/ and dev/.
std::unique_ptr<DeviceChangeSource> WatchDeviceChangesIn(const std::string& systemRoot,
                                                         std::string* error);

/// A device shows up as several entries made one after the other (the sysfs
/// entry, the device node, then its permissions): notices that follow each
/// other within this many milliseconds count as one change.
inline constexpr int kDeviceSettleMs = 150;

/// Waits until the DAV-OZI ports of `list()` differ from `known`, for at most
/// `timeoutMs` on `clock`, or until `cancel`'s flag is set. `now` receives the
/// last list taken (whatever the outcome).
WatchOutcome WaitForDevicePortChange(DeviceChangeSource& source,
                                     const std::function<std::vector<SerialDevice>()>& list,
                                     const std::vector<std::string>& known, int timeoutMs,
                                     Clock& clock, CancelPipe* cancel,
                                     std::vector<SerialDevice>* now);

/// The folder that stands for "/" when the device list is read: `override`
/// (the environment variable VEXTUNE_SYSTEM_ROOT, for a copy of a system's
/// tree) when set and not empty, else "/".
std::string SystemRootFrom(const char* override);

}  // namespace vextune
