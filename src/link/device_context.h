#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "common/clock.h"
#include "common/operation.h"
#include "link/com_port.h"
#include "link/device_link.h"
#include "link/device_state.h"
#include "link/serial_port.h"
#include "link/serial_trace.h"

namespace vextune {

class CancelPipe;
class SystemSerialOpener;

/// Everything a program needs to reach the DAV-OZI: the clock that paces the
/// protocol, who opens serial ports, which port at which rate, what is known of
/// the device, and the flag that cancels a running operation. The command
/// line and the desktop program each create one and set the device up through
/// it the same way. One per program run; not copyable, since the link refers
/// to the members.
class DeviceContext {
 public:
  /// The real clock and the system's serial opener, which also writes low-level serial
  /// failures to `serialErrors` (nullptr: nowhere). A cancel wakes their
  /// waits at once. With `trace` (not owned), every byte that crosses the
  /// line is recorded there (SerialTrace).
  explicit DeviceContext(std::ostream* serialErrors, std::ostream* trace = nullptr);
  /// Another clock and opener, owned by the caller and outliving this object
  /// (tests use a fake line or a fake clock).
  DeviceContext(Clock& clock, SerialPortOpener& ports);
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  Clock& clock() { return clock_; }
  SerialPortOpener& ports() { return ports_; }
  /// The selected port and the rate the last operation found the device at.
  LinkSettings& settings() { return settings_; }
  const LinkSettings& settings() const { return settings_; }
  /// Ports, settings and clock together, as the operations take them.
  DeviceLink& link() { return link_; }
  /// Firmware version and file-only mode.
  DeviceState& state() { return state_; }
  const DeviceState& state() const { return state_; }
  CancelFlag& cancel() { return cancel_; }
  /// The pipe through which the cancel flag wakes waits, for other waits of
  /// the program (a question on the terminal); nullptr with the caller's clock
  /// and opener.
  CancelPipe* cancelPipe() { return cancel_pipe_.get(); }

  /// Gives up the exclusive use of the ports the own opener holds open, so
  /// that it does not outlive a program that ends at once. Safe in a signal
  /// handler. Nothing with the caller's opener.
  void ReleaseExclusiveUse() const noexcept;

  /// Makes `portName` the port of every later operation ("ttyACM0" stands for
  /// "/dev/ttyACM0"). The rate starts again at 38400 Bd.
  void SelectPort(const std::string& portName);
  /// The selected port as a path; empty when none is selected.
  std::string SelectedPath() const;

 private:
  // The flag comes first: the pipe, clock and ports of the first constructor
  // wait on it and must go before it.
  CancelFlag cancel_;
  // Set only by the first constructor; the references below point at them.
  std::unique_ptr<CancelPipe> cancel_pipe_;
  std::unique_ptr<Clock> own_clock_;
  std::unique_ptr<SystemSerialOpener> line_ports_;
  std::unique_ptr<SerialTrace> trace_;
  /// The tracing opener around line_ports_; null without a trace.
  std::unique_ptr<SerialPortOpener> traced_ports_;
  Clock& clock_;
  SerialPortOpener& ports_;
  LinkSettings settings_;
  DeviceLink link_{ports_, settings_, clock_};
  DeviceState state_;
};

}  // namespace vextune
