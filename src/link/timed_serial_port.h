#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>

#include "link/serial_port.h"

namespace vextune {

class CancelPipe;

/// What the system serial ports share: the read time-out rule applied
/// between short waits that a cancel ends at once, the lasting line fault,
/// and the monotonic clock the time-outs run on. A platform supplies the
/// wait and the read of what the driver holds.
class TimedSerialPort : public SerialPort {
 public:
  SerialCode Read(uint8_t* buffer, size_t n, size_t* received) final;
  uint64_t NowMs() final { return static_cast<uint64_t>(MonotonicMs()); }
  void MarkFailed(SerialCode code) final;

 protected:
  /// `cancel` may be null (a port that nothing cancels); failures are
  /// reported once on `errors` unless it is null.
  TimedSerialPort(uint32_t baudRate, CancelPipe* cancel, std::ostream* errors)
      : baud_rate_(baudRate), cancel_(cancel), errors_(errors) {}

  /// Waits until the driver holds bytes, a cancel, or `giveUpMs` on
  /// MonotonicMs; then reads what it holds, at most `n`, into `buffer`.
  /// kSerialOk with `*got` possibly 0 (time up, or woken for nothing: the
  /// caller looks at the time again); else the failure, with the bytes read
  /// before it in `*got`.
  virtual SerialCode ReadAvailable(uint8_t* buffer, size_t n, double giveUpMs, size_t* got) = 0;

  /// Milliseconds with sub-millisecond precision, so that rounding never
  /// shortens a time-out.
  static double MonotonicMs();

  uint32_t baudRate() const { return baud_rate_; }
  CancelPipe* cancel() const { return cancel_; }
  bool Cancelled() const;
  /// kSerialOk, or the fault that every later transfer answers with.
  SerialCode fault() const { return fault_; }

 private:
  uint32_t baud_rate_;
  CancelPipe* cancel_;
  std::ostream* errors_;
  SerialCode fault_ = kSerialOk;
};

}  // namespace vextune
