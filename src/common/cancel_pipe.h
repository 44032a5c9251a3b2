#pragma once

#include "common/operation.h"

namespace vextune {

/// A self-pipe that makes a CancelFlag something poll() can wait for: it turns
/// readable when the flag is set, so that a wait on the serial line or a pause
/// ends at once. One beside each flag whose operations block (POSIX).
class CancelPipe final : public CancelWaker {
 public:
  /// Attaches itself to `flag` as its waker.
  explicit CancelPipe(CancelFlag& flag);
  /// Detaches from the flag and closes the pipe.
  ~CancelPipe() override;
  CancelPipe(const CancelPipe&) = delete;
  CancelPipe& operator=(const CancelPipe&) = delete;

  /// The end to poll for POLLIN; -1 when no pipe could be made (waits then
  /// run to their time-out; operations still test the flag between steps).
  int fd() const { return read_fd_; }
  /// True when the flag is set.
  bool Cancelled() const { return flag_.IsSet(); }
  /// After poll found fd() readable: true when the flag is set (the pipe stays
  /// readable for the waits that follow); otherwise swallows the wake-up of a
  /// flag that was cleared since and returns false.
  bool ConfirmWake();
  /// Makes fd() readable; async-signal-safe.
  void Wake() noexcept override;

 private:
  CancelFlag& flag_;
  int read_fd_ = -1;
  int write_fd_ = -1;
};

}  // namespace vextune
