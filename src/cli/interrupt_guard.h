#pragma once

#include <memory>

#include "common/operation.h"
#include "link/device_context.h"

namespace vextune::cli {

/// Routes the user's interrupt (Ctrl-C; on POSIX systems also SIGTERM) to a
/// cancel flag while it lives. The first interrupt sets the flag, so that the
/// running operation ends through its abort path; a second one gives up the
/// ports' exclusive use and ends the program at once with status 130 (128 +
/// the signal number on POSIX systems). POSIX: sigaction
/// (posix_interrupt_guard.cpp); Windows: SetConsoleCtrlHandler
/// (win32_interrupt_guard.cpp). One at a time.
class InterruptGuard {
 public:
  virtual ~InterruptGuard() = default;
};

/// Installs the guard for `flag` and the ports of `ports` (neither owned; both
/// outlive the guard).
std::unique_ptr<InterruptGuard> GuardInterrupts(CancelFlag& flag, const DeviceContext& ports);

}  // namespace vextune::cli
