#pragma once

// What a test asks of the line once a program or dialog has let go of it.

#include <memory>
#include <string>

#include "link/device_protocol.h"
#include "link/posix_serial_port.h"

namespace vextune::testing {

/// True when a second program may open `path` now: the port is closed and
/// its exclusive use given up.
inline bool PortIsFree(const std::string& path) {
  PosixSerialOpener opener(nullptr);
  std::unique_ptr<SerialPort> port;
  return opener.Open(path, 38400, &port) == kSerialOk;
}

/// `bytes` without the last frame that leaves host mode, which an abort path
/// sends.
inline std::string WithoutLeaveFrame(std::string bytes) {
  const std::string leave = LeaveHostModeFrame();
  if (const size_t at = bytes.rfind(leave); at != std::string::npos) bytes.erase(at, leave.size());
  return bytes;
}

}  // namespace vextune::testing
