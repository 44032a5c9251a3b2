#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "link/system_serial_port.h"

namespace vextune {

/// Opens Windows COM ports ("\\.\COM5") through the communications API, each
/// exclusively (no sharing), for overlapped I/O so that a cancel ends a wait
/// at once.
class Win32SerialOpener final : public SystemSerialOpener {
 public:
  /// Low-level failures are also written to `errors` (nullptr: nowhere).
  /// With `cancel`, the ports' waits end as soon as its flag is set, and
  /// their writes are refused from then on (see OnCancel). Neither is owned.
  explicit Win32SerialOpener(std::ostream* errors, CancelPipe* cancel = nullptr);

  /// 8N1 at `baudRate` (one of CorrectBaudRate's rates, else
  /// ERROR_INVALID_PARAMETER), binary, no flow control; queues of 2048 and
  /// 1024 bytes; COMMTIMEOUTS that make a read return at once (the port's
  /// Read applies the time-outs of serial_port.h itself); pending input
  /// purged. Returns GetLastError() of the failing step (ERROR_ACCESS_DENIED
  /// when another program holds the port).
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override;

  /// Windows ends exclusive use with the process: nothing to do.
  void ReleaseExclusiveUse() const noexcept override {}

 private:
  std::ostream* errors_;
  CancelPipe* cancel_;
};

}  // namespace vextune
