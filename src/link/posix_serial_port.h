#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "link/serial_port.h"

namespace vextune {

/// Opens termios serial lines (USB CDC-ACM, USB serial adapters, UARTs,
/// pseudo-terminals). Each port is held exclusively: an advisory lock on the
/// device, which also keeps out other processes of root, and TIOCEXCL.
class PosixSerialOpener final : public SerialPortOpener {
 public:
  /// Low-level failures are also written to `errors` (nullptr: nowhere).
  explicit PosixSerialOpener(std::ostream* errors);
  PosixSerialOpener();  ///< writes failures to std::cerr

  /// Raw 8N1 at `baudRate` (one of CorrectBaudRate's rates, else EINVAL),
  /// receiver on, modem lines ignored, no software flow control; pending
  /// input discarded. Returns errno of the failing step; ENAMETOOLONG for a
  /// path of PATH_MAX bytes or more, EWOULDBLOCK when another holder has the
  /// device.
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override;

 private:
  std::ostream* errors_;
};

/// One line for the user after an open failed with EACCES: which group owns
/// `path` (typically "dialout") and that joining it needs a new login.
std::string PermissionHint(const std::string& path);

}  // namespace vextune
