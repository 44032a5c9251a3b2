#pragma once

#include "common/operation.h"

namespace vextune {

/// What makes a CancelFlag something a blocking wait can wait for, so that a
/// wait on the serial line or a pause ends at once when the flag is set. One
/// beside each flag whose operations block. POSIX: a self-pipe that turns
/// readable (cancel_pipe.cpp); Windows: a manual-reset event that turns
/// signalled (win32_cancel_pipe.cpp).
class CancelPipe final : public CancelWaker {
 public:
  /// Attaches itself to `flag` as its waker.
  explicit CancelPipe(CancelFlag& flag);
  /// Detaches from the flag and closes the pipe.
  ~CancelPipe() override;
  CancelPipe(const CancelPipe&) = delete;
  CancelPipe& operator=(const CancelPipe&) = delete;

  /// POSIX: the end to poll for POLLIN; -1 when no pipe could be made (waits
  /// then run to their time-out; operations still test the flag between
  /// steps), and always on Windows.
  int fd() const { return read_fd_; }
  /// Windows: the event (a HANDLE) to wait for; nullptr when none could be
  /// made, and always on POSIX systems.
  void* event() const { return event_; }
  /// True when the flag is set.
  bool Cancelled() const { return flag_.IsSet(); }
  /// After a wait found fd() readable or event() signalled: true when the flag
  /// is set (it stays so for the waits that follow); otherwise swallows the
  /// wake-up of a flag that was cleared since and returns false.
  bool ConfirmWake();
  /// Waits until `inputFd` has input to read (true) or the flag is set
  /// (false), so that a cancel that comes just before a read of the terminal
  /// is not missed. Where the system cannot wait for both (Windows consoles)
  /// it returns false for a set flag and otherwise true at once: a Ctrl-C in
  /// the console then ends the read itself.
  bool WaitForInput(int inputFd);
  /// Makes fd() readable or event() signalled; async-signal-safe.
  void Wake() noexcept override;

 private:
  CancelFlag& flag_;
  int read_fd_ = -1;
  int write_fd_ = -1;
  void* event_ = nullptr;
};

}  // namespace vextune
