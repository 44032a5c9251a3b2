#pragma once

#include <cstdint>
#include <ctime>

namespace vextune {

/// Time as the protocols need it: a monotonic millisecond counter for pauses
/// and time-outs, and the local calendar time for setting the device clock.
/// Operations take a Clock so that tests can run them on a fake one.
class Clock {
 public:
  virtual ~Clock() = default;
  /// Milliseconds on a monotonic clock; only differences are meaningful.
  virtual uint64_t NowMs() = 0;
  /// Blocks the calling thread for `ms` milliseconds. A clock that watches
  /// a cancel flag returns early once the flag is set; callers test the flag
  /// after their pauses.
  virtual void SleepMs(uint32_t ms) = 0;
  /// The PC's local date and time.
  virtual std::tm LocalTime() = 0;
};

class CancelPipe;

/// The real clock: a monotonic clock, a pause that a cancel ends, and the
/// local time (clock.cpp on POSIX systems, win32_clock.cpp on Windows).
class SystemClock final : public Clock {
 public:
  /// With `cancel`, pauses end as soon as its flag is set (not owned).
  explicit SystemClock(CancelPipe* cancel = nullptr) : cancel_(cancel) {}
  uint64_t NowMs() override;
  void SleepMs(uint32_t ms) override;
  std::tm LocalTime() override;

 private:
  CancelPipe* cancel_;
};

}  // namespace vextune
