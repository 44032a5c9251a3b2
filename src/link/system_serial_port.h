#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "link/serial_port.h"

namespace vextune {

class CancelPipe;

/// The opener of the system's own serial ports: termios on POSIX systems
/// (PosixSerialOpener), the communications API on Windows (Win32SerialOpener).
class SystemSerialOpener : public SerialPortOpener {
 public:
  /// Gives up exclusive use of every port of this opener that is still open,
  /// for a program about to end at once without closing them. Async-signal-
  /// safe. Where the system ends exclusive use with the process, nothing.
  virtual void ReleaseExclusiveUse() const noexcept = 0;
};

/// The system's opener. Low-level failures are also written to `errors`
/// (nullptr: nowhere). With `cancel`, the ports' waits end as soon as its flag
/// is set, and their writes are refused from then on (see OnCancel). Neither
/// is owned.
std::unique_ptr<SystemSerialOpener> MakeSystemSerialOpener(std::ostream* errors,
                                                           CancelPipe* cancel = nullptr);

/// One line for the user after an open failed for want of access (EACCES,
/// ERROR_ACCESS_DENIED): what to do about it for `path`.
std::string PermissionHint(const std::string& path);

/// False when the port named `portName` is certainly not there to be opened
/// (its device node is gone, as while a device with a USB adapter inside
/// restarts). Where the system cannot tell cheaply, true.
bool SerialPortPresent(const std::string& portName);

/// True when an open failed for want of access: EACCES on POSIX systems,
/// ERROR_ACCESS_DENIED on Windows.
bool IsAccessDenied(SerialCode code);

}  // namespace vextune
