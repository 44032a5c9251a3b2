#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "link/serial_port.h"
#include "link/system_serial_port.h"

namespace vextune {

class CancelPipe;
class OpenPortSlots;

/// Opens termios serial lines (USB CDC-ACM, USB serial adapters, UARTs,
/// pseudo-terminals). Each port is held exclusively: an advisory lock on the
/// device, which also keeps out other processes of root, and TIOCEXCL.
class PosixSerialOpener final : public SystemSerialOpener {
 public:
  /// Low-level failures are also written to `errors` (nullptr: nowhere).
  /// With `cancel`, the ports' waits end as soon as its flag is set, and
  /// their writes are refused from then on (see OnCancel). Neither is owned.
  explicit PosixSerialOpener(std::ostream* errors, CancelPipe* cancel = nullptr);
  PosixSerialOpener();  ///< writes failures to std::cerr
  ~PosixSerialOpener() override;
  PosixSerialOpener(const PosixSerialOpener&) = delete;
  PosixSerialOpener& operator=(const PosixSerialOpener&) = delete;

  /// Raw 8N1 at `baudRate` (one of CorrectBaudRate's rates, else EINVAL),
  /// receiver on, modem lines ignored, no software flow control; pending
  /// input discarded. Returns errno of the failing step; ENAMETOOLONG for a
  /// path of PATH_MAX bytes or more, EWOULDBLOCK when another holder has the
  /// device.
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override;

  /// Clears exclusive use (TIOCNXCL) on every port of this opener that is
  /// still open, for a program that is about to end without closing them
  /// (_exit after a second Ctrl-C): a terminal whose far end stays open would
  /// otherwise stay locked for every later open. Async-signal-safe.
  void ReleaseExclusiveUse() const noexcept override;

 private:
  std::ostream* errors_;
  CancelPipe* cancel_;
  /// The descriptors of the open ports; shared with the ports, which may
  /// outlive the opener.
  std::shared_ptr<OpenPortSlots> open_ports_;
};

}  // namespace vextune
